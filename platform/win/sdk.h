// The Windows SDK entry points behind the platform layer's Windows side.
//
// The platform headers declare the Windows types with the SDK's layouts and
// method orders, but with the system's own text type: OLECHAR is char16_t,
// where the SDK's is wchar_t (the same 16-bit units, a different C++ type).
// A translation unit therefore cannot include both. The sources in this
// folder implement the platform headers by calling these functions, whose
// signatures hold only fundamental types and untyped pointers; sdk_*.cpp
// include the SDK and forward each call to the system. Those files check
// with static_assert that every structure the two sides exchange has the
// same size and field offsets as the platform's (layout.h).
//
// Every function returns what the SDK function returns (HRESULT, Win32
// error code or BOOL as an int32_t), unless its comment says otherwise.
#pragma once

#include <cstdint>

namespace platform::sdk {

// OLE Automation strings (oleaut32).
char16_t* SysAllocStringLen(const char16_t* text, uint32_t length);
int32_t SysReAllocString(char16_t** bstr, const char16_t* text);
void SysFreeString(char16_t* bstr);
uint32_t SysStringByteLen(char16_t* bstr);

// VARIANT (oleaut32); the pointers are VARIANTs.
void VariantInit(void* variant);
int32_t VariantClear(void* variant);
int32_t VariantCopy(void* dest, const void* src);
int32_t VariantChangeType(void* dest, const void* src, uint16_t flags, uint16_t vt);

// SAFEARRAY (oleaut32); the pointers are SAFEARRAYs and SAFEARRAYBOUNDs.
void* SafeArrayCreate(uint16_t vt, uint32_t dims, void* bounds);
void* SafeArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t elements);
int32_t SafeArrayDestroy(void* array);
int32_t SafeArrayCopy(void* source, void** copy);
uint32_t SafeArrayGetDim(void* array);
uint32_t SafeArrayGetElemsize(void* array);
int32_t SafeArrayGetVartype(void* array, uint16_t* vt);
int32_t SafeArrayGetLBound(void* array, uint32_t dim, int32_t* bound);
int32_t SafeArrayGetUBound(void* array, uint32_t dim, int32_t* bound);
int32_t SafeArrayGetElement(void* array, int32_t* indices, void* value);
int32_t SafeArrayPutElement(void* array, int32_t* indices, void* value);
int32_t SafeArrayAccessData(void* array, void** data);
int32_t SafeArrayUnaccessData(void* array);

// COM error objects (oleaut32); the pointers are ICreateErrorInfo and IErrorInfo.
int32_t CreateErrorInfo(void** info);
int32_t SetErrorInfo(uint32_t reserved, void* info);
int32_t GetErrorInfo(uint32_t reserved, void** info);

// Type libraries (oleaut32). LoadTypeLibFromModule loads the type library
// resource 1 of the module at path without registering it.
int32_t LoadTypeLibFromModule(const char16_t* path, void** lib);
int32_t DispGetIDsOfNames(void* typeInfo, char16_t** names, uint32_t count, int32_t* dispids);
int32_t RegisterTypeLib(void* lib, const char16_t* path, const char16_t* helpDirectory);
int32_t UnRegisterTypeLib(const void* libid, uint16_t major, uint16_t minor, uint32_t lcid,
                          int32_t syskind);

// OLE pictures (oleaut32, gdi32). CreateBitmapPicture makes an IPictureDisp
// that owns a device-independent section bitmap of the pixels (0x00RRGGBB,
// rows from the top). SavePictureFile writes a bitmap picture as a 24-bit
// bitmap file: E_POINTER, E_INVALIDARG for another kind of picture, E_FAIL
// when the file cannot be written.
int32_t CreateBitmapPicture(int32_t width, int32_t height, const uint32_t* pixels,
                            void** pictureDisp);
int32_t SavePictureFile(void* dispatch, const char16_t* path);

// A module's resources (kernel32, user32, oleaut32). FindStringResource
// gives string `id` of the string table in exactly `language`
// (FindResourceExW), LoadStringResource the one LoadStringW picks; both point
// into the loaded module (the text is not terminated) and set *length, or
// give null when there is none. FindDataResource gives the bytes of resource
// `id` of type `type`, or null. LoadBitmapPicture makes an IPictureDisp that
// owns bitmap resource `id` loaded as a device-independent section bitmap.
const char16_t* FindStringResource(void* module, uint32_t id, uint16_t language, uint32_t* length);
const char16_t* LoadStringResource(void* module, uint32_t id, uint32_t* length);
const void* FindDataResource(void* module, const char16_t* type, uint32_t id, uint32_t* bytes);
int32_t LoadBitmapPicture(void* module, uint32_t id, void** pictureDisp);

// Threads' last error (kernel32).
uint32_t GetLastError();
void SetLastError(uint32_t error);

// Files (kernel32, shlwapi).
int32_t PathFileExistsW(const char16_t* path);
uint32_t GetTempPathW(uint32_t bufferChars, char16_t* buffer);
uint32_t GetTempFileNameW(const char16_t* dir, const char16_t* prefix, uint32_t unique,
                          char16_t* buffer);
int32_t DeleteFileW(const char16_t* path);

// Modules (kernel32).
void* LoadLibraryW(const char16_t* path);
void (*GetProcAddress(void* module, const char* name))();
int32_t FreeLibrary(void* module);
uint32_t GetModuleFileNameW(void* module, char16_t* buffer, uint32_t bufferChars);
// The module that holds address, without a load reference; null when none.
void* ModuleOfAddress(const void* address);

// The registry (advapi32). Keys are HKEYs; the platform's predefined keys
// (0x80000000 and up, not sign-extended) are taken for the system's.
int32_t RegCreateKeyExW(void* key, const char16_t* subKey, char16_t* keyClass, uint32_t options,
                        uint32_t access, void** result, uint32_t* disposition);
int32_t RegOpenKeyExW(void* key, const char16_t* subKey, uint32_t options, uint32_t access,
                      void** result);
int32_t RegCloseKey(void* key);
int32_t RegSetValueExW(void* key, const char16_t* name, uint32_t type, const uint8_t* data,
                       uint32_t bytes);
int32_t RegQueryValueExW(void* key, const char16_t* name, uint32_t* type, uint8_t* data,
                         uint32_t* bytes);
int32_t RegDeleteValueW(void* key, const char16_t* name);
int32_t RegDeleteKeyW(void* key, const char16_t* subKey);
int32_t RegDeleteTreeW(void* key, const char16_t* subKey);
int32_t RegEnumKeyExW(void* key, uint32_t index, char16_t* name, uint32_t* nameChars,
                      char16_t* keyClass, uint32_t* classChars);

// Shell execution (shell32, through ShellExecuteExW). Returns the instance
// value that ShellExecuteW would return: above 32 on success.
intptr_t StartProgram(void* window, const char16_t* operation, const char16_t* file,
                      const char16_t* parameters, const char16_t* directory, int32_t show);

// Message texts (kernel32).
uint32_t FormatMessageW(uint32_t flags, const void* source, uint32_t messageId, uint32_t languageId,
                        char16_t* buffer, uint32_t bufferChars, void* arguments);

// The process's environment and standard streams (kernel32). IsTerminal
// takes 1 for standard output, 2 for standard error.
int32_t SetEnvironmentVariableW(const char16_t* name, const char16_t* value);
uint32_t GetEnvironmentVariableW(const char16_t* name, char16_t* buffer, uint32_t size);
bool IsTerminal(int32_t stream);

// The user's language, the thread's locale and the local time (kernel32);
// time is a SYSTEMTIME.
uint16_t GetUserDefaultLangID();
uint32_t GetThreadLocale();
int32_t SetThreadLocale(uint32_t locale);
void GetLocalTime(void* time);

// The ANSI code page (kernel32): conversions that never fail (unmappable
// characters become the code page's default character, broken input U+FFFD).
// Each returns the length of the output; called with a null output it only
// measures.
int32_t AnsiToWide(const char* text, int32_t length, char16_t* out, int32_t outChars);
int32_t WideToAnsi(const char16_t* text, int32_t length, char* out, int32_t outBytes);

// Faults (kernel32, the C run-time). InstallFaultFilter makes every fault
// raised by the code of the module that holds this function (access
// violation, division by zero, ...) call `onFault(code, record)` on
// the faulting thread as if the faulting instruction had called it; record is
// an EXCEPTION_RECORD copy that lives until onFault returns or throws. The
// filter is installed once and stays.
using FaultCallback = void (*)(uint32_t code, void* record);
void InstallFaultFilter(FaultCallback onFault);
// Routes the C run-time's invalid-parameter reports to handler.
using CrtInvalidParameter = void (*)(const char16_t* expression, const char16_t* function,
                                     const char16_t* file, unsigned int line, uintptr_t reserved);
void SetCrtInvalidParameterHandler(CrtInvalidParameter handler);

}  // namespace platform::sdk
