#include "tests/support/caller_stand_in.h"

#include "platform/bstr.h"

namespace testing_support {

HRESULT CallerStandIn::FireClickMenu(BSTR caxHandle, BSTR documentPath, BSTR menuItem) {
  clicks_.push_back({std::u16string(BstrView(caxHandle)), std::u16string(BstrView(documentPath)),
                     std::u16string(BstrView(menuItem))});
  return result_;
}

HRESULT CallerStandIn::FireFileNew(BSTR caxHandle) {
  newDocuments_.emplace_back(BstrView(caxHandle));
  return result_;
}

HRESULT CallerStandIn::FireFileOpen(BSTR caxHandle, BSTR fileName) {
  fileOpens_.push_back({std::u16string(BstrView(caxHandle)), std::u16string(BstrView(fileName))});
  return result_;
}

}  // namespace testing_support
