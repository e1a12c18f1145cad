// The run-time fault hooks on Windows: faults raised by this module's code
// reach the translator through a vectored exception filter that makes the
// faulting instruction call it (so that its throw unwinds from there), the
// C++ run-time's pure-call hook calls the pure-call handler, and the C
// run-time's invalid-parameter reports reach the invalid-parameter handler.
#include "platform/fault_handlers.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>

#include "platform/win/layout.h"
#include "platform/win/sdk.h"

static_assert(sizeof(EXCEPTION_RECORD) == platform::layout::kExceptionRecordSize);
static_assert(offsetof(EXCEPTION_RECORD, ExceptionAddress) ==
              platform::layout::kExceptionAddressOffset);

namespace platform {
namespace {

constinit std::atomic<StructuredExceptionTranslator> g_translator{nullptr};
constinit std::atomic<PureCallHandler> g_pureCall{nullptr};
constinit std::atomic<InvalidParameterHandler> g_invalidParameter{nullptr};

void OnFault(uint32_t code, void* record) {
  if (StructuredExceptionTranslator translator = g_translator.load()) {
    EXCEPTION_POINTERS pointers{static_cast<EXCEPTION_RECORD*>(record), nullptr};
    translator(code, &pointers);
  }
}

void OnInvalidParameter(const char16_t* expression, const char16_t* function, const char16_t* file,
                        unsigned int line, uintptr_t reserved) {
  if (InvalidParameterHandler handler = g_invalidParameter.load()) {
    handler(expression, function, file, line, reserved);
  }
}

}  // namespace

StructuredExceptionTranslator SetStructuredExceptionTranslator(
    StructuredExceptionTranslator translator) {
  if (translator) sdk::InstallFaultFilter(&OnFault);
  return g_translator.exchange(translator);
}

PureCallHandler SetPureCallHandler(PureCallHandler handler) { return g_pureCall.exchange(handler); }

InvalidParameterHandler SetInvalidParameterHandler(InvalidParameterHandler handler) {
  if (handler) sdk::SetCrtInvalidParameterHandler(&OnInvalidParameter);
  return g_invalidParameter.exchange(handler);
}

void ReportInvalidParameter(const OLECHAR* expression) {
  if (InvalidParameterHandler handler = g_invalidParameter.load()) {
    handler(expression, nullptr, nullptr, 0, 0);
  }
  std::abort();
}

}  // namespace platform

// The C++ run-time calls this for a call of a pure virtual function; the
// module carries its own run-time, so this definition is the module's.
extern "C" void __cxa_pure_virtual() {
  if (platform::PureCallHandler handler = platform::g_pureCall.load()) handler();
  std::abort();
}
