// The "C" locale through the C run-time's per-thread locales: the thread is
// switched to a locale of its own, set to "C" for numbers, and switched back.
#include "platform/c_locale.h"

#include <locale.h>

#include <string>

namespace platform {
namespace {

// The state a scope restores: the thread's locale mode and numeric locale.
struct Saved {
  int perThread;
  std::string numeric;
};

}  // namespace

ClassicNumbersScope::ClassicNumbersScope() : saved_(nullptr) {
  const int perThread = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
  const char* numeric = setlocale(LC_NUMERIC, nullptr);
  try {
    saved_ = new Saved{perThread, numeric ? numeric : "C"};
  } catch (...) {
    _configthreadlocale(perThread);
    return;
  }
  setlocale(LC_NUMERIC, "C");
}

ClassicNumbersScope::~ClassicNumbersScope() {
  auto* saved = static_cast<Saved*>(saved_);
  if (!saved) return;
  setlocale(LC_NUMERIC, saved->numeric.c_str());
  _configthreadlocale(saved->perThread);
  delete saved;
}

}  // namespace platform
