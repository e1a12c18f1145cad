// Win32 through the SDK: last error, files, modules, the registry, shell
// execution, message texts, language and time, the ANSI code page, faults.
// clang-format off
// windows.h comes first: the other SDK headers build on it.
#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>
// clang-format on

#include <atomic>
#include <cstddef>
#include <cstdlib>

#include "platform/win/layout.h"
#include "platform/win/sdk.h"

namespace layout = platform::layout;

static_assert(sizeof(SYSTEMTIME) == layout::kSystemTimeSize);
static_assert(sizeof(EXCEPTION_RECORD) == layout::kExceptionRecordSize);
static_assert(offsetof(EXCEPTION_RECORD, ExceptionAddress) == layout::kExceptionAddressOffset);
static_assert(sizeof(DWORD) == sizeof(uint32_t) && sizeof(LONG) == sizeof(int32_t));

namespace platform::sdk {
namespace {

LPCWSTR Wide(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }
LPWSTR Wide(char16_t* text) { return reinterpret_cast<LPWSTR>(text); }

// The platform names the predefined keys 0x80000000, 0x80000001, ... without
// the sign extension that the SDK's 64-bit values carry.
HKEY Key(void* key) {
  auto value = reinterpret_cast<ULONG_PTR>(key);
  if (value >= 0x80000000u && value <= 0x800000FFu) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
  }
  return static_cast<HKEY>(key);
}

HMODULE ModuleHolding(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(address), &module)) {
    return nullptr;
  }
  return module;
}

// The fault filter's state: plain values, set once.
constinit std::atomic<FaultCallback> g_onFault{nullptr};
constinit std::atomic<HMODULE> g_faultModule{nullptr};
constinit std::atomic<bool> g_filterInstalled{false};
// The fault being raised on this thread, handed from the filter to the
// function that it makes the faulting code call.
thread_local EXCEPTION_RECORD t_fault{};

bool IsFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
      return true;
    default:
      return false;
  }
}

// Runs as if the faulting instruction had called it: the callback's throw
// unwinds from there through the faulting function's frames.
[[noreturn]] void RaiseFault() {
  EXCEPTION_RECORD record = t_fault;
  if (FaultCallback onFault = g_onFault.load()) onFault(record.ExceptionCode, &record);
  // A callback that returns leaves the fault unhandled, as with no callback.
  std::abort();
}

LONG CALLBACK FaultFilter(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (!IsFault(record->ExceptionCode) || !g_onFault.load() ||
      (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE)) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  // Faults of other modules belong to their own handlers.
  if (ModuleHolding(record->ExceptionAddress) != g_faultModule.load()) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  t_fault = *record;
  t_fault.ExceptionRecord = nullptr;
  CONTEXT* context = pointers->ContextRecord;
  // Push the faulting address as a return address: the unwinder then finds
  // the faulting function as RaiseFault's caller. A function is entered
  // with the stack 8 bytes off 16-byte alignment; where the faulting code ran
  // on a stack without that frame (a leaf function), a second copy keeps the
  // alignment and reads as a second return into the same place.
  DWORD64 sp = context->Rsp;
  if ((sp - 8) % 16 != 8) {
    sp -= 8;
    *reinterpret_cast<DWORD64*>(sp) = context->Rip;
  }
  sp -= 8;
  *reinterpret_cast<DWORD64*>(sp) = context->Rip;
  context->Rsp = sp;
  context->Rip = reinterpret_cast<DWORD64>(&RaiseFault);
  return EXCEPTION_CONTINUE_EXECUTION;
}

constinit std::atomic<CrtInvalidParameter> g_invalidParameter{nullptr};

void OnCrtInvalidParameter(const wchar_t* expression, const wchar_t* function, const wchar_t* file,
                           unsigned int line, uintptr_t reserved) {
  if (CrtInvalidParameter handler = g_invalidParameter.load()) {
    handler(reinterpret_cast<const char16_t*>(expression),
            reinterpret_cast<const char16_t*>(function), reinterpret_cast<const char16_t*>(file),
            line, reserved);
  }
  std::abort();
}

}  // namespace

uint32_t GetLastError() { return ::GetLastError(); }
void SetLastError(uint32_t error) { ::SetLastError(error); }

int32_t PathFileExistsW(const char16_t* path) { return ::PathFileExistsW(Wide(path)); }
uint32_t GetTempPathW(uint32_t bufferChars, char16_t* buffer) {
  return ::GetTempPathW(bufferChars, Wide(buffer));
}
uint32_t GetTempFileNameW(const char16_t* dir, const char16_t* prefix, uint32_t unique,
                          char16_t* buffer) {
  return ::GetTempFileNameW(Wide(dir), Wide(prefix), unique, Wide(buffer));
}
int32_t DeleteFileW(const char16_t* path) { return ::DeleteFileW(Wide(path)); }

void* LoadLibraryW(const char16_t* path) { return ::LoadLibraryW(Wide(path)); }
void (*GetProcAddress(void* module, const char* name))() {
  return reinterpret_cast<void (*)()>(::GetProcAddress(static_cast<HMODULE>(module), name));
}
int32_t FreeLibrary(void* module) { return ::FreeLibrary(static_cast<HMODULE>(module)); }
uint32_t GetModuleFileNameW(void* module, char16_t* buffer, uint32_t bufferChars) {
  return ::GetModuleFileNameW(static_cast<HMODULE>(module), Wide(buffer), bufferChars);
}
void* ModuleOfAddress(const void* address) { return ModuleHolding(address); }

int32_t RegCreateKeyExW(void* key, const char16_t* subKey, char16_t* keyClass, uint32_t options,
                        uint32_t access, void** result, uint32_t* disposition) {
  DWORD made = 0;
  HKEY opened = nullptr;
  LSTATUS status = ::RegCreateKeyExW(Key(key), Wide(subKey), 0, Wide(keyClass), options, access,
                                     nullptr, &opened, &made);
  *result = opened;
  if (disposition) *disposition = made;
  return status;
}
int32_t RegOpenKeyExW(void* key, const char16_t* subKey, uint32_t options, uint32_t access,
                      void** result) {
  HKEY opened = nullptr;
  LSTATUS status = ::RegOpenKeyExW(Key(key), Wide(subKey), options, access, &opened);
  *result = opened;
  return status;
}
int32_t RegCloseKey(void* key) { return ::RegCloseKey(Key(key)); }
int32_t RegSetValueExW(void* key, const char16_t* name, uint32_t type, const uint8_t* data,
                       uint32_t bytes) {
  return ::RegSetValueExW(Key(key), Wide(name), 0, type, data, bytes);
}
int32_t RegQueryValueExW(void* key, const char16_t* name, uint32_t* type, uint8_t* data,
                         uint32_t* bytes) {
  DWORD valueType = 0;
  DWORD size = bytes ? *bytes : 0;
  LSTATUS status =
      ::RegQueryValueExW(Key(key), Wide(name), nullptr, &valueType, data, bytes ? &size : nullptr);
  if (type) *type = valueType;
  if (bytes) *bytes = size;
  return status;
}
int32_t RegDeleteValueW(void* key, const char16_t* name) {
  return ::RegDeleteValueW(Key(key), Wide(name));
}
int32_t RegDeleteKeyW(void* key, const char16_t* subKey) {
  return ::RegDeleteKeyW(Key(key), Wide(subKey));
}
int32_t RegDeleteTreeW(void* key, const char16_t* subKey) {
  return ::RegDeleteTreeW(Key(key), Wide(subKey));
}
int32_t RegEnumKeyExW(void* key, uint32_t index, char16_t* name, uint32_t* nameChars,
                      char16_t* keyClass, uint32_t* classChars) {
  DWORD nameSize = *nameChars;
  DWORD classSize = classChars ? *classChars : 0;
  LSTATUS status = ::RegEnumKeyExW(Key(key), index, Wide(name), &nameSize, nullptr, Wide(keyClass),
                                   classChars ? &classSize : nullptr, nullptr);
  *nameChars = nameSize;
  if (classChars) *classChars = classSize;
  return status;
}

intptr_t StartProgram(void* window, const char16_t* operation, const char16_t* file,
                      const char16_t* parameters, const char16_t* directory, int32_t show) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = static_cast<HWND>(window);
  info.lpVerb = Wide(operation);
  info.lpFile = Wide(file);
  info.lpParameters = Wide(parameters);
  info.lpDirectory = Wide(directory);
  info.nShow = show;
  if (!ShellExecuteExW(&info) && reinterpret_cast<intptr_t>(info.hInstApp) > 32) {
    return SE_ERR_NOASSOC;  // failed without saying how
  }
  return reinterpret_cast<intptr_t>(info.hInstApp);
}

uint32_t FormatMessageW(uint32_t flags, const void* source, uint32_t messageId, uint32_t languageId,
                        char16_t* buffer, uint32_t bufferChars, void* arguments) {
  return ::FormatMessageW(flags, source, messageId, languageId, Wide(buffer), bufferChars,
                          static_cast<va_list*>(arguments));
}

int32_t SetEnvironmentVariableW(const char16_t* name, const char16_t* value) {
  return ::SetEnvironmentVariableW(Wide(name), Wide(value));
}

uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, uint32_t size) {
  return ::GetEnvironmentVariableW(Wide(name), Wide(buffer), size);
}

bool IsTerminal(int32_t stream) {
  HANDLE handle = GetStdHandle(stream == 1 ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR &&
         GetConsoleMode(handle, &mode);
}

uint16_t GetUserDefaultLangID() { return ::GetUserDefaultLangID(); }
uint32_t GetThreadLocale() { return ::GetThreadLocale(); }
int32_t SetThreadLocale(uint32_t locale) { return ::SetThreadLocale(locale); }
void GetLocalTime(void* time) { ::GetLocalTime(static_cast<SYSTEMTIME*>(time)); }

int32_t AnsiToWide(const char* text, int32_t length, char16_t* out, int32_t outChars) {
  if (length == 0) return 0;
  return MultiByteToWideChar(CP_ACP, 0, text, length, Wide(out), outChars);
}
int32_t WideToAnsi(const char16_t* text, int32_t length, char* out, int32_t outBytes) {
  if (length == 0) return 0;
  return WideCharToMultiByte(CP_ACP, 0, Wide(text), length, out, outBytes, nullptr, nullptr);
}

void InstallFaultFilter(FaultCallback onFault) {
  g_faultModule = ModuleHolding(reinterpret_cast<const void*>(&InstallFaultFilter));
  g_onFault = onFault;
  if (!g_filterInstalled.exchange(true)) AddVectoredExceptionHandler(1, &FaultFilter);
}

void SetCrtInvalidParameterHandler(CrtInvalidParameter handler) {
  g_invalidParameter = handler;
  _set_invalid_parameter_handler(&OnCrtInvalidParameter);
}

}  // namespace platform::sdk
