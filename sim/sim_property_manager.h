// The custom properties of a configuration or of a document as a whole:
// ICustomPropertyManager.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

class SimPropertyManager final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  // configuration: a configuration of the document; empty: the document.
  SimPropertyManager(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> document,
                     std::u16string configuration);

  LONG Count();
  // The count, and the names, type codes and values in the host's order.
  LONG GetAll(std::vector<std::u16string>* names, std::vector<LONG>* types,
              std::vector<std::u16string>* values);
  // 1 added, 0 not added (no name, an unknown type, a value that does not
  // fit it), -1 present already (unchanged).
  LONG Add2(std::u16string_view name, LONG type, std::u16string_view value);
  // 0 done, 1 not present, 2 a value that does not fit the type, 3 linked.
  LONG Set2(std::u16string_view name, std::u16string_view value);
  std::vector<std::u16string> GetNames();
  // swCustomInfoGetResult_CachedValue with the stored text in both values,
  // or swCustomInfoGetResult_NotPresent with empty texts.
  LONG Get6(std::u16string_view name, bool useCached, std::u16string* value,
            std::u16string* resolvedValue, bool* wasResolved, bool* linkToProperty);
  // The type code; 0 when the property is not there.
  LONG GetType2(std::u16string_view name);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override {
    return document_->FileName() + u":" + configuration_;
  }
  // The properties managed. Throws MemberFailure when the configuration is
  // gone.
  std::vector<PropertyModel>& List() const;
  // The property of that name; null when none.
  const PropertyModel* Find(std::u16string_view name) const;

  std::shared_ptr<DocumentState> document_;
  std::u16string configuration_;
};

}  // namespace sim
