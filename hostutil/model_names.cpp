#include "hostutil/model_names.h"

namespace hostutil {

std::u16string MakeTableName(std::u16string_view logicalName) {
  std::u16string name = u"DADU";
  name += u"_3_";
  name += logicalName;
  return name;
}

std::vector<std::u16string_view> SplitPieces(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> pieces;
  size_t start = 0;
  for (size_t found = text.find(separator); found != std::u16string_view::npos;
       found = text.find(separator, start)) {
    pieces.push_back(text.substr(start, found - start));
    start = found + 1;
  }
  if (start < text.size()) pieces.push_back(text.substr(start));
  return pieces;
}

std::vector<std::u16string> SplitTableList(std::u16string_view tableList) {
  std::vector<std::u16string> names;
  for (std::u16string_view piece : SplitPieces(tableList, u',')) names.emplace_back(piece);
  return names;
}

std::u16string_view DimensionKey(std::u16string_view fullName) {
  size_t at = fullName.rfind(u'@');
  return at == std::u16string_view::npos ? std::u16string_view() : fullName.substr(0, at);
}

std::u16string RealName(std::u16string_view componentName) {
  size_t slash = componentName.rfind(u'/');
  size_t start = slash == std::u16string_view::npos ? 0 : slash + 1;
  size_t dash = componentName.rfind(u'-');
  if (dash == std::u16string_view::npos || dash < start) dash = componentName.size();
  return std::u16string(componentName.substr(start, dash - start));
}

std::u16string TitleBase(std::u16string_view title) {
  return std::u16string(title.substr(0, title.rfind(u'.')));
}

}  // namespace hostutil
