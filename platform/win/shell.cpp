// Programs start through the shell, as the user's file associations say.
#include "platform/shell.h"

#include "platform/win/sdk.h"

HINSTANCE ShellExecuteW(HWND window, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT showCommand) {
  return reinterpret_cast<HINSTANCE>(
      platform::sdk::StartProgram(window, operation, file, parameters, directory, showCommand));
}
