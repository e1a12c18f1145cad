// The three process-wide handlers that turn run-time faults into the
// program's exception: structured exceptions (bad pointers, division by zero,
// ...), invalid parameters handed to run-time functions, and calls of pure
// virtual functions. Each handler throws Dovbase::Kvx_Exception with empty
// file and function and line 0; the fault then unwinds as that exception.
#pragma once

#include <string>

#include "platform/fault_handlers.h"
#include "platform/win_types.h"

namespace Dovbase {

// Installs the three handlers below, process-wide. They stay installed; a
// second call changes nothing. Call it before work in which a fault must
// become a reported error rather than end the host process.
void InstallErrorHandlers();

// The message the translator throws for a structured exception: the name of
// the code ("EXCEPTION_ACCESS_VIOLATION", ..., "unspecified Structed
// exception." for a code without a name), then "\n address:\t", the low 32
// bits of the address as 0x and eight lower-case hexadecimal digits,
// " code:\t\t" and the code in decimal. At most 600 characters.
std::u16string StructuredExceptionMessage(unsigned int code, const void* address);

// The structured-exception translator: throws Kvx_Exception with
// StructuredExceptionMessage of the code and of the record's address (0 when
// there is no record).
[[noreturn]] void TranslateStructuredException(unsigned int code, EXCEPTION_POINTERS* pointers);

// The invalid-parameter handler: throws Kvx_Exception with "Expression: "
// and the expression text, or "call function error." when there is none.
[[noreturn]] void HandleInvalidParameter(const OLECHAR* expression, const OLECHAR* function,
                                         const OLECHAR* file, unsigned int line,
                                         uintptr_t reserved);

// The pure-call handler: throws Kvx_Exception "In _purecall_handler.".
[[noreturn]] void HandlePureCall();

}  // namespace Dovbase
