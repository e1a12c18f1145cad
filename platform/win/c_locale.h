// The POSIX per-thread locale calls that the portable number formatting uses
// (newlocale, uselocale with the "C" locale), served by the C run-time's
// per-thread locales. Included ahead of the portable sources that need it
// (platform/CMakeLists.txt).
#pragma once

#include <locale.h>

#include <string>

using locale_t = struct HarboltCLocale*;

#ifndef LC_ALL_MASK
#define LC_ALL_MASK 0x3F
#endif

// The one locale served: "C". Any other name gives null.
inline locale_t newlocale(int, const char* name, locale_t) {
  static int classic;
  return name && std::string(name) == "C" ? reinterpret_cast<locale_t>(&classic) : nullptr;
}

// Switches the calling thread's numeric conventions to "C" for a non-null
// locale, and back to the thread's previous ones when handed the value an
// earlier call returned. Returns what restores the previous state.
inline locale_t uselocale(locale_t locale) {
  struct Saved {
    int perThread;
    std::string numeric;
  };
  thread_local Saved saved{};
  thread_local int depth = 0;
  static int marker;
  if (locale && reinterpret_cast<int*>(locale) != &marker) {
    if (depth++ == 0) {
      saved.perThread = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
      const char* current = setlocale(LC_NUMERIC, nullptr);
      saved.numeric = current ? current : "C";
      setlocale(LC_NUMERIC, "C");
    }
    return reinterpret_cast<locale_t>(&marker);
  }
  if (locale && depth > 0 && --depth == 0) {
    setlocale(LC_NUMERIC, saved.numeric.c_str());
    _configthreadlocale(saved.perThread);
  }
  return nullptr;
}
