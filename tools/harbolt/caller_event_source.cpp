#include "tools/harbolt/caller_event_source.h"

#include "platform/bstr.h"

namespace harbolt_cli {

HRESULT CallerEventSource::FireClickMenu(BSTR caxHandle, BSTR documentPath, BSTR menuItem) {
  clicks_.push_back({std::u16string(BstrView(caxHandle)), std::u16string(BstrView(documentPath)),
                     std::u16string(BstrView(menuItem))});
  return S_OK;
}

HRESULT CallerEventSource::FireFileNew(BSTR) { return S_OK; }

HRESULT CallerEventSource::FireFileOpen(BSTR, BSTR fileName) {
  openedFiles_.emplace_back(BstrView(fileName));
  return S_OK;
}

}  // namespace harbolt_cli
