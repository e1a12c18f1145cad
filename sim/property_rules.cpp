#include "sim/property_rules.h"

#include <charconv>
#include <string>

#include "platform/text.h"

namespace sim {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsInteger(std::string_view text) {
  long long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool IsDecimal(std::string_view text) {
  double value = 0;
  auto [end, ec] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

bool IsDate(std::u16string_view text) {
  if (text.size() != 10) return false;
  char16_t separator = text[4];
  if ((separator != u'-' && separator != u'/') || text[7] != separator) return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!IsDigit(text[i])) return false;
  }
  int month = (text[5] - u'0') * 10 + (text[6] - u'0');
  int day = (text[8] - u'0') * 10 + (text[9] - u'0');
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

}  // namespace

bool IsPropertyType(LONG type) {
  return type == kPropertyTypeUnknown || type == kPropertyTypeNumber ||
         type == kPropertyTypeDouble || type == kPropertyTypeYesNo || type == kPropertyTypeText ||
         type == kPropertyTypeDate;
}

bool ValueFitsType(LONG type, std::u16string_view value) {
  switch (type) {
    case kPropertyTypeNumber:
      return IsInteger(platform::Utf16ToUtf8(value));
    case kPropertyTypeDouble:
      return IsDecimal(platform::Utf16ToUtf8(value));
    case kPropertyTypeYesNo:
      return value == u"Yes" || value == u"No";
    case kPropertyTypeDate:
      return IsDate(value);
    default:
      return true;
  }
}

LONG AddProperty(ListIndexes& indexes, std::vector<PropertyModel>& properties,
                 std::u16string_view name, LONG type, std::u16string_view value) {
  if (indexes.Find(properties, name)) return kAddPropertyPresent;
  if (name.empty() || !IsPropertyType(type) || !ValueFitsType(type, value)) {
    return kAddPropertyNotAdded;
  }
  properties.push_back(PropertyModel{std::u16string(name), type, std::u16string(value), false});
  return kAddPropertyAdded;
}

LONG SetProperty(ListIndexes& indexes, std::vector<PropertyModel>& properties,
                 std::u16string_view name, std::u16string_view value) {
  PropertyModel* property = indexes.Find(properties, name);
  if (!property) return kSetPropertyMissing;
  if (property->linked) return kSetPropertyLinked;
  if (!ValueFitsType(property->type, value)) return kSetPropertyTypeMismatch;
  property->value = std::u16string(value);
  return kSetPropertyDone;
}

}  // namespace sim
