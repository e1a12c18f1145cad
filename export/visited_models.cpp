#include "export/visited_models.h"

#include <utility>

#include "hostutil/host_call.h"

bool VisitedModels::FirstVisit(std::u16string_view compName, IHostModelDoc* model) {
  std::u16string key(compName);
  key += u'\n';
  key += hostutil::HostGet(u"IHostModelDoc::GetPathName", model, &IHostModelDoc::GetPathName);
  return visited_.insert(std::move(key)).second;
}
