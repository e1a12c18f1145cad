// The "C" locale through the POSIX per-thread locale calls.
#include "platform/c_locale.h"

#include <locale.h>

namespace platform {
namespace {

// Made once and kept for the process's life.
locale_t ClassicLocale() {
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return classic;
}

}  // namespace

ClassicNumbersScope::ClassicNumbersScope()
    : saved_(ClassicLocale() ? uselocale(ClassicLocale()) : nullptr) {}

ClassicNumbersScope::~ClassicNumbersScope() {
  if (saved_) uselocale(static_cast<locale_t>(saved_));
}

}  // namespace platform
