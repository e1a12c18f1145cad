#include "common/error_handlers.h"

#include <cstdint>

#include "common/kvx_exception.h"
#include "platform/format.h"

namespace Dovbase {
namespace {

// The size of the buffers the handlers format their messages into.
constexpr size_t kHandlerMessageLimit = 600;

struct CodeName {
  DWORD code;
  const char16_t* name;
};

// Named after the Windows constants with these values.
constexpr CodeName kCodeNames[] = {
    {0xC0000005, u"EXCEPTION_ACCESS_VIOLATION"},
    {0xC0000006, u"EXCEPTION_IN_PAGE_ERROR"},
    {0xC0000008, u"EXCEPTION_INVALID_HANDLE"},
    {0xC000001D, u"EXCEPTION_ILLEGAL_INSTRUCTION"},
    {0xC0000025, u"EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    {0xC0000026, u"EXCEPTION_INVALID_DISPOSITION"},
    {0xC000008C, u"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC000008D, u"EXCEPTION_FLT_DENORMAL_OPERAND"},
    {0xC000008E, u"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, u"EXCEPTION_FLT_INEXACT_RESULT"},
    {0xC0000090, u"EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091, u"EXCEPTION_FLT_OVERFLOW"},
    {0xC0000092, u"EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093, u"EXCEPTION_FLT_UNDERFLOW"},
    {0xC0000094, u"EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095, u"EXCEPTION_INT_OVERFLOW"},
    {0xC0000096, u"EXCEPTION_PRIV_INSTRUCTION"},
    {0xC00000FD, u"EXCEPTION_STACK_OVERFLOW"},
    {0x80000001, u"EXCEPTION_GUARD_PAGE"},
    {0x80000002, u"EXCEPTION_DATATYPE_MISALIGNMENT"},
    {0x80000003, u"EXCEPTION_BREAKPOINT"},
    {0x80000004, u"EXCEPTION_SINGLE_STEP"},
    {0, u"EXCEPTION_CONTINUE_SEARCH"},
    {1, u"EXCEPTION_EXECUTE_HANDLER"},
    {15, u"EXCEPTION_MAXIMUM_PARAMETERS"},
    {0xFFFFFFFF, u"EXCEPTION_CONTINUE_EXECUTION"},
};

const char16_t* NameOfCode(DWORD code) {
  for (const CodeName& entry : kCodeNames) {
    if (entry.code == code) return entry.name;
  }
  return u"unspecified Structed exception.";
}

}  // namespace

void InstallErrorHandlers() {
  platform::SetStructuredExceptionTranslator(&TranslateStructuredException);
  platform::SetInvalidParameterHandler(&HandleInvalidParameter);
  platform::SetPureCallHandler(&HandlePureCall);
}

std::u16string StructuredExceptionMessage(unsigned int code, const void* address) {
  std::u16string message = NameOfCode(code);
  auto lowAddress = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
  message += platform::FormatWide(kHandlerMessageLimit - message.size(),
                                  u"\n address:\t%#010x code:\t\t%lu", lowAddress,
                                  static_cast<DWORD>(code));
  return message;
}

void TranslateStructuredException(unsigned int code, EXCEPTION_POINTERS* pointers) {
  const void* address =
      pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionAddress : nullptr;
  throw Kvx_Exception(StructuredExceptionMessage(code, address));
}

void HandleInvalidParameter(const OLECHAR* expression, const OLECHAR*, const OLECHAR*, unsigned int,
                            uintptr_t) {
  if (!expression) throw Kvx_Exception(u"call function error.");
  throw Kvx_Exception(platform::FormatWide(kHandlerMessageLimit, u"Expression: %s", expression));
}

void HandlePureCall() { throw Kvx_Exception(u"In _purecall_handler."); }

}  // namespace Dovbase
