// The thread's last error is the system's.
#include "platform/last_error.h"

#include "platform/win/sdk.h"

DWORD GetLastError() { return platform::sdk::GetLastError(); }

void SetLastError(DWORD error) { platform::sdk::SetLastError(error); }
