// The caller's event source: the object the command-line caller hands the
// add-in with SetEventSrc. It keeps what the add-in sends, in order, for
// the commands to print.
#pragma once

#include <string>
#include <vector>

#include "tools/automation/caller_events_dispatch.h"

namespace harbolt_cli {

class CallerEventSource final : public automation::CallerEventsDispatch {
 public:
  struct Click {
    std::u16string caxHandle;
    std::u16string documentPath;
    std::u16string menuItem;
  };

  const std::vector<Click>& clicks() const { return clicks_; }
  // Paths of the files the host reported as opened.
  const std::vector<std::u16string>& openedFiles() const { return openedFiles_; }

  // Each records what arrived and answers S_OK.
  HRESULT STDMETHODCALLTYPE FireClickMenu(BSTR caxHandle, BSTR documentPath,
                                          BSTR menuItem) override;
  HRESULT STDMETHODCALLTYPE FireFileNew(BSTR caxHandle) override;
  HRESULT STDMETHODCALLTYPE FireFileOpen(BSTR caxHandle, BSTR fileName) override;

 private:
  std::vector<Click> clicks_;
  std::vector<std::u16string> openedFiles_;
};

}  // namespace harbolt_cli
