// The checks of the programs that tests/wine/run.sh runs under Wine: one
// line per check ("ok" or "FAIL" and what was checked), and at the end
// "N passed, N failed", the number of failures being the exit code.
#pragma once

#include <cstdio>
#include <string>

namespace wine_checks {

inline int& Passed() {
  static int count = 0;
  return count;
}

inline int& Failed() {
  static int count = 0;
  return count;
}

inline void Check(bool ok, const std::string& what) {
  ++(ok ? Passed() : Failed());
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  std::fflush(stdout);
}

// Prints the summary line; returns the exit code.
inline int Summary() {
  std::printf("%d passed, %d failed\n", Passed(), Failed());
  return Failed();
}

}  // namespace wine_checks
