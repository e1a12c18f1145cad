// COM error objects through the system: an error that this module publishes
// is what its caller's COM run-time reads, across apartments and processes.
#include "platform/error_info.h"

#include "platform/win/sdk.h"

HRESULT CreateErrorInfo(ICreateErrorInfo** info) {
  return platform::sdk::CreateErrorInfo(reinterpret_cast<void**>(info));
}

HRESULT SetErrorInfo(DWORD reserved, IErrorInfo* info) {
  return platform::sdk::SetErrorInfo(reserved, info);
}

HRESULT GetErrorInfo(DWORD reserved, IErrorInfo** info) {
  return platform::sdk::GetErrorInfo(reserved, reinterpret_cast<void**>(info));
}
