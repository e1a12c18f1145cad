// A small module for the module-loading tests.
#include "platform/module.h"

extern "C" __attribute__((visibility("default"))) int TestModuleAnswer() { return 42; }

extern "C" __attribute__((visibility("default"))) HMODULE TestModuleSelf() {
  return platform::ModuleOfAddress(reinterpret_cast<const void*>(&TestModuleAnswer));
}
