// Number formatting in the "C" locale on the calling thread, whatever locale
// the host process runs in (a decimal comma would change "%g").
#pragma once

namespace platform {

// While it lives, the C library formats and reads numbers on the calling
// thread in the "C" locale; the thread's previous locale comes back when it
// goes. Scopes nest. Never fails: when the "C" locale cannot be had, the
// thread's locale stays as it is.
class ClassicNumbersScope {
 public:
  ClassicNumbersScope();
  ClassicNumbersScope(const ClassicNumbersScope&) = delete;
  ClassicNumbersScope& operator=(const ClassicNumbersScope&) = delete;
  ~ClassicNumbersScope();

 private:
  void* saved_;  // what restores the previous state; its meaning is the system's
};

}  // namespace platform
