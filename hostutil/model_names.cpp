#include "hostutil/model_names.h"

namespace hostutil {

std::u16string MakeTableName(std::u16string_view logicalName) {
  std::u16string name = u"DADU";
  name += u"_3_";
  name += logicalName;
  return name;
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
