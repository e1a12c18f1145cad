// The run-time fault hooks of the C run-time, in a form every platform can
// serve: a structured-exception translator (here fed from the synchronous
// fault signals), a pure-virtual-call handler and an invalid-parameter
// handler. A translator or handler is expected to throw; the fault is then
// unwound as a C++ exception from the faulting instruction.
#pragma once

#include "platform/win_types.h"

struct EXCEPTION_RECORD {
  DWORD ExceptionCode;
  DWORD ExceptionFlags;
  EXCEPTION_RECORD* ExceptionRecord;
  PVOID ExceptionAddress;
  DWORD NumberParameters;
  ULONG_PTR ExceptionInformation[15];
};

struct EXCEPTION_POINTERS {
  EXCEPTION_RECORD* ExceptionRecord;
  PVOID ContextRecord;
};

namespace platform {

using StructuredExceptionTranslator = void (*)(unsigned int code, EXCEPTION_POINTERS* pointers);
using PureCallHandler = void (*)();
using InvalidParameterHandler = void (*)(const OLECHAR* expression, const OLECHAR* function,
                                         const OLECHAR* file, unsigned int line,
                                         uintptr_t reserved);

// Each setter installs its handler process-wide and returns the previous one.
// On Windows the faults are the structured exceptions raised by the code of
// the module that holds the platform layer (other modules' faults are left
// to their own handlers), and the C run-time reports invalid parameters to
// the invalid-parameter handler. Elsewhere SIGSEGV and SIGBUS arrive as
// access violations (or misalignment), SIGFPE as the integer or
// floating-point code that its cause names, SIGILL as an illegal or
// privileged instruction.
StructuredExceptionTranslator SetStructuredExceptionTranslator(
    StructuredExceptionTranslator translator);
PureCallHandler SetPureCallHandler(PureCallHandler handler);
InvalidParameterHandler SetInvalidParameterHandler(InvalidParameterHandler handler);

// What the run-time does when a function is handed an invalid parameter: it
// calls the installed handler, or aborts the process when there is none.
[[noreturn]] void ReportInvalidParameter(const OLECHAR* expression);

}  // namespace platform
