// The fault handlers of the Windows build under a real exception dispatcher:
// an integer division by zero and a write through a null pointer in this
// module's code arrive as Dovbase::Kvx_Exception with the name of the code,
// and the program goes on. Run by tests/wine/run.sh; prints one line per
// check and "N passed, N failed", and exits with the number of failures.
#include <cstdio>
#include <string>

#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "platform/text.h"
#include "tests/wine/checks.h"

namespace {

using wine_checks::Check;

volatile int g_zero = 0;
volatile int g_quotient = 0;
int* volatile g_null = nullptr;

__attribute__((noinline)) int Divide(int value) { return value / g_zero; }

__attribute__((noinline)) void WriteThroughNull() { *g_null = 1; }

// The message of the exception that the call raised; "(none)" when it
// returned, "(other)" for another exception.
template <typename Call>
std::u16string FaultOf(Call call) {
  try {
    call();
    return u"(none)";
  } catch (const Dovbase::Kvx_Exception& error) {
    return error.message();
  } catch (...) {
    return u"(other)";
  }
}

bool StartsWith(const std::u16string& text, std::u16string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

int main() {
  Dovbase::InstallErrorHandlers();
  for (int round = 1; round <= 2; ++round) {
    std::u16string divide = FaultOf([] { g_quotient = Divide(7); });
    std::printf("     %s\n", platform::Utf16ToUtf8(divide).c_str());
    Check(StartsWith(divide, u"EXCEPTION_INT_DIVIDE_BY_ZERO\n address:\t0x"),
          "a division by zero becomes EXCEPTION_INT_DIVIDE_BY_ZERO");
    std::u16string write = FaultOf([] { WriteThroughNull(); });
    std::printf("     %s\n", platform::Utf16ToUtf8(write).c_str());
    Check(StartsWith(write, u"EXCEPTION_ACCESS_VIOLATION\n address:\t0x") &&
              write.find(u" code:\t\t3221225477") != std::u16string::npos,
          "a write through a null pointer becomes EXCEPTION_ACCESS_VIOLATION");
  }
  return wine_checks::Summary();
}
