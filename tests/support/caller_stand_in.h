// A stand-in for the caller's event source: a COM object implementing
// ICallerEvents that records what the add-in sends it. "FireClickMenu" is
// reached by name through IDispatch (automation::CallerEventsDispatch: the
// one name, ignoring case); the two host notifications come through the
// table.
#pragma once

#include <string>
#include <vector>

#include "tools/automation/caller_events_dispatch.h"

namespace testing_support {

class CallerStandIn final : public automation::CallerEventsDispatch {
 public:
  struct Click {
    std::u16string caxHandle;
    std::u16string documentPath;
    std::u16string menuItem;
  };
  struct FileOpen {
    std::u16string caxHandle;
    std::u16string fileName;
  };

  // What arrived, in order.
  const std::vector<Click>& clicks() const { return clicks_; }
  const std::vector<std::u16string>& newDocuments() const { return newDocuments_; }
  const std::vector<FileOpen>& fileOpens() const { return fileOpens_; }

  // Every later call is still recorded but returns result (S_OK again to
  // stop failing).
  void FailWith(HRESULT result) { result_ = result; }

  // References held on the object, by anyone.
  long references() const { return references_; }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++references_;
    return CallerEventsDispatch::AddRef();
  }
  ULONG STDMETHODCALLTYPE Release() override {
    --references_;
    return CallerEventsDispatch::Release();
  }

  HRESULT STDMETHODCALLTYPE FireClickMenu(BSTR caxHandle, BSTR documentPath,
                                          BSTR menuItem) override;
  HRESULT STDMETHODCALLTYPE FireFileNew(BSTR caxHandle) override;
  HRESULT STDMETHODCALLTYPE FireFileOpen(BSTR caxHandle, BSTR fileName) override;

 private:
  std::vector<Click> clicks_;
  std::vector<std::u16string> newDocuments_;
  std::vector<FileOpen> fileOpens_;
  HRESULT result_ = S_OK;
  long references_ = 0;
};

// A COM object with IUnknown only: no IDispatch, no events.
class PlainObject final : public ComObject<IUnknown> {};

}  // namespace testing_support
