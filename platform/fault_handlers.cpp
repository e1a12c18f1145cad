#include "platform/fault_handlers.h"

#include <signal.h>
#include <ucontext.h>

#include <atomic>
#include <cstdlib>

namespace platform {
namespace {

std::atomic<StructuredExceptionTranslator> g_translator{nullptr};
std::atomic<PureCallHandler> g_pureCall{nullptr};
std::atomic<InvalidParameterHandler> g_invalidParameter{nullptr};

constexpr DWORD kAccessViolation = 0xC0000005;
constexpr DWORD kIllegalInstruction = 0xC000001D;
constexpr DWORD kPrivilegedInstruction = 0xC0000096;
constexpr DWORD kDatatypeMisalignment = 0x80000002;
constexpr DWORD kIntDivideByZero = 0xC0000094;
constexpr DWORD kIntOverflow = 0xC0000095;
constexpr DWORD kFltDivideByZero = 0xC000008E;
constexpr DWORD kFltInexactResult = 0xC000008F;
constexpr DWORD kFltInvalidOperation = 0xC0000090;
constexpr DWORD kFltOverflow = 0xC0000091;
constexpr DWORD kFltUnderflow = 0xC0000093;

DWORD ExceptionCodeOf(int signal, int cause) {
  switch (signal) {
    case SIGFPE:
      switch (cause) {
        case FPE_INTOVF:
          return kIntOverflow;
        case FPE_FLTDIV:
          return kFltDivideByZero;
        case FPE_FLTOVF:
          return kFltOverflow;
        case FPE_FLTUND:
          return kFltUnderflow;
        case FPE_FLTRES:
          return kFltInexactResult;
        case FPE_FLTINV:
        case FPE_FLTSUB:
          return kFltInvalidOperation;
        default:
          return kIntDivideByZero;
      }
    case SIGILL:
      return cause == ILL_PRVOPC || cause == ILL_PRVREG ? kPrivilegedInstruction
                                                        : kIllegalInstruction;
    case SIGBUS:
      return cause == BUS_ADRALN ? kDatatypeMisalignment : kAccessViolation;
    default:
      return kAccessViolation;
  }
}

// Runs on the faulting thread's stack; the translator throws, and the
// exception unwinds from the faulting instruction.
// The address of the faulting instruction, which is what a structured
// exception reports; si_addr holds the data address of a bad access instead.
PVOID InstructionAddress(const void* context, [[maybe_unused]] const siginfo_t* info) {
  const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
  return reinterpret_cast<PVOID>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  return reinterpret_cast<PVOID>(uc->uc_mcontext.pc);
#else
  (void)uc;
  return info->si_addr;
#endif
}

void OnFaultSignal(int signal, siginfo_t* info, void* context) {
  StructuredExceptionTranslator translator = g_translator.load();
  if (translator) {
    EXCEPTION_RECORD record{};
    record.ExceptionCode = ExceptionCodeOf(signal, info->si_code);
    record.ExceptionAddress = InstructionAddress(context, info);
    if (signal == SIGSEGV || signal == SIGBUS) {
      // As for an access violation: read (0) and the inaccessible address.
      record.NumberParameters = 2;
      record.ExceptionInformation[1] = reinterpret_cast<ULONG_PTR>(info->si_addr);
    }
    EXCEPTION_POINTERS pointers{&record, nullptr};
    translator(record.ExceptionCode, &pointers);
  }
  // No translator, or it returned: let the fault end the process, as an
  // unhandled structured exception does, rather than retry it forever.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  sigaction(signal, &fallback, nullptr);
}

void InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_sigaction = OnFaultSignal;
  sigemptyset(&action.sa_mask);
  // The handler is left by a throw, never by a return to the kernel: without
  // SA_NODEFER the signal would stay blocked and a second fault would kill.
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) sigaction(signal, &action, nullptr);
}

}  // namespace

StructuredExceptionTranslator SetStructuredExceptionTranslator(
    StructuredExceptionTranslator translator) {
  if (translator) InstallSignalHandlers();
  return g_translator.exchange(translator);
}

PureCallHandler SetPureCallHandler(PureCallHandler handler) { return g_pureCall.exchange(handler); }

InvalidParameterHandler SetInvalidParameterHandler(InvalidParameterHandler handler) {
  return g_invalidParameter.exchange(handler);
}

void ReportInvalidParameter(const OLECHAR* expression) {
  if (InvalidParameterHandler handler = g_invalidParameter.load()) {
    handler(expression, nullptr, nullptr, 0, 0);
  }
  std::abort();
}

}  // namespace platform

// The C++ run-time calls this for a call of a pure virtual function. Hidden,
// so that the module's own virtual tables bind to it and not to the host
// process's run-time.
extern "C" __attribute__((visibility("hidden"))) void __cxa_pure_virtual() {
  if (platform::PureCallHandler handler = platform::g_pureCall.load()) handler();
  std::abort();
}
