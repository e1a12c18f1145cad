// The positions of the named elements (properties, parameters) of a
// document's lists, so that the host finds one by name without reading the
// whole list: a model with thousands of properties would otherwise make
// every "Set2" cost as much as the list is long.
//
// The lists stay the model's plain vectors, which loaders, tests and the
// writer use as they are. An index is kept per list and checked on every
// use: a position is believed only when the element there has the name, so
// a list changed behind the index's back (moved, edited directly) costs a
// search, never a wrong answer. Names are unique within a list.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace sim {

class ListIndexes {
 public:
  // The element of that name, or null.
  template <typename Element>
  Element* Find(std::vector<Element>& list, std::u16string_view name) {
    Index& index = indexes_[&list];
    if (index.indexed > list.size()) index = Index{};
    // Elements are only ever added at the end; the new ones join the index.
    for (; index.indexed < list.size(); ++index.indexed) {
      index.positions.emplace(list[index.indexed].name, index.indexed);
    }
    auto known = index.positions.find(std::u16string(name));
    if (known != index.positions.end() && known->second < list.size() &&
        list[known->second].name == name) {
      return &list[known->second];
    }
    auto found = std::find_if(list.begin(), list.end(),
                              [&](const Element& element) { return element.name == name; });
    if (found == list.end()) return nullptr;
    index = Index{};  // out of date: made anew at the next use
    return &*found;
  }

 private:
  struct Index {
    size_t indexed = 0;  // the elements at the front that the index holds
    std::unordered_map<std::u16string, size_t> positions;
  };
  std::unordered_map<const void*, Index> indexes_;
};

}  // namespace sim
