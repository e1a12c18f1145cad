// The one way a fuzz target is written, so that the same source serves two
// builds:
//
//   HARBOLT_FUZZ_TARGET(xml) {
//     ... use data and size ...
//     return 0;
//   }
//
// In the fuzzing build (clang, HARBOLT_FUZZ) the body is libFuzzer's entry
// LLVMFuzzerTestOneInput. In the replay build (HARBOLT_FUZZ_REPLAY, part of
// the ordinary test suite) it becomes a named function registered under its
// target's name, and a test feeds it every seed and regression input kept
// in fuzz/corpus/<name>/ and fuzz/regressions/<name>/.
//
// A target aborts (FuzzCheck) when an invariant breaks, so that libFuzzer
// keeps the input that broke it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace fuzz {

using TargetFunction = int (*)(const uint8_t* data, size_t size);

// Registers a target of the replay build; returns true.
bool Register(const char* name, TargetFunction function);

// Stops the run with a message when the condition does not hold.
inline void FuzzCheck(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

// Whether a failure text shows a run-time fault (a bad pointer, a division
// by zero, ...) that the program's fault handlers turned into an error: in
// a fuzz run that is a crash, which the handlers would otherwise hide from
// the sanitizers.
inline bool ShowsRuntimeFault(std::u16string_view text) {
  for (std::u16string_view mark :
       {u"EXCEPTION_", u"unspecified Structed exception.", u"In _purecall_handler.",
        u"call function error.", u"Expression: "}) {
    if (text.find(mark) != std::u16string_view::npos) return true;
  }
  return false;
}

}  // namespace fuzz

#ifdef HARBOLT_FUZZ_REPLAY
#define HARBOLT_FUZZ_TARGET(name)                                        \
  static int HarboltFuzzTarget_##name(const uint8_t* data, size_t size); \
  [[maybe_unused]] static const bool kHarboltFuzzRegistered_##name =     \
      ::fuzz::Register(#name, &HarboltFuzzTarget_##name);                \
  static int HarboltFuzzTarget_##name(const uint8_t* data, size_t size)
#else
#define HARBOLT_FUZZ_TARGET(name) \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#endif
