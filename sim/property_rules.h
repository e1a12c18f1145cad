// How the simulated host adds and changes custom properties ("Add2",
// "Set2"), on one list of properties.
#pragma once

#include <string_view>
#include <vector>

#include "sim/list_index.h"
#include "sim/model.h"

namespace sim {

// Results of "Add2".
constexpr LONG kAddPropertyAdded = 1;
constexpr LONG kAddPropertyNotAdded = 0;
constexpr LONG kAddPropertyPresent = -1;

// Results of "Set2".
constexpr LONG kSetPropertyDone = 0;
constexpr LONG kSetPropertyMissing = 1;
constexpr LONG kSetPropertyTypeMismatch = 2;
constexpr LONG kSetPropertyLinked = 3;

// Whether a value text fits a property type: a number type needs an integer
// (type 3) or a decimal number (type 5), yes/no needs "Yes" or "No", a date
// needs YYYY-MM-DD or YYYY/MM/DD; text and unknown take anything.
bool ValueFitsType(LONG type, std::u16string_view value);
bool IsPropertyType(LONG type);

// "Add2": kAddPropertyAdded, kAddPropertyPresent or kAddPropertyNotAdded;
// adds at the end.
// The property is looked up through the document's list indexes.
LONG AddProperty(ListIndexes& indexes, std::vector<PropertyModel>& properties,
                 std::u16string_view name, LONG type, std::u16string_view value);
// "Set2": kSetPropertyDone, kSetPropertyMissing, kSetPropertyTypeMismatch or
// kSetPropertyLinked.
LONG SetProperty(ListIndexes& indexes, std::vector<PropertyModel>& properties,
                 std::u16string_view name, std::u16string_view value);

}  // namespace sim
