// The module's five exports, with C linkage: the entry points through which
// COM, the host and the registration tool reach the in-process server. Every
// other symbol of the module stays hidden (exports.map, or harbolt.def on
// Windows). Start-up and shut-down run once when the module is loaded and
// unloaded: through the entry point, called by the system's loader or by the
// module's own load hooks.
#include "addin/module.h"
#include "addin/registration.h"
#include "platform/module.h"

#define HARBOLT_EXPORT extern "C" __attribute__((visibility("default")))

HARBOLT_EXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, void* /*reserved*/) {
  switch (reason) {
    case CHarboltModule::kProcessAttach:
      return CHarboltModule::StartUp(instance) ? TRUE : FALSE;
    case CHarboltModule::kProcessDetach:
      CHarboltModule::ShutDown();
      return TRUE;
    default:
      return TRUE;
  }
}

HARBOLT_EXPORT HRESULT DllCanUnloadNow() { return CHarboltModule::CanUnloadNow(); }

HARBOLT_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  return CHarboltModule::GetClassObject(clsid, riid, object);
}

HARBOLT_EXPORT HRESULT DllRegisterServer() {
  try {
    return harbolt::RegisterServer(CHarboltModule::ModulePath());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HARBOLT_EXPORT HRESULT DllUnregisterServer() {
  try {
    return harbolt::UnregisterServer(CHarboltModule::ModulePath());
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

namespace {

// The loader runs these around the module's life. Where it also calls the
// entry point itself (Windows), they leave the work to it, so that start-up
// and shut-down run once per load. A start-up that fails leaves the module
// without a handle; it then finds itself from its code's address.
__attribute__((constructor)) void ModuleLoaded() {
  if (platform::LoaderCallsEntryPoint()) return;
  DllMain(platform::ModuleOfAddress(reinterpret_cast<const void*>(&DllMain)),
          CHarboltModule::kProcessAttach, nullptr);
}

__attribute__((destructor)) void ModuleUnloaded() {
  if (platform::LoaderCallsEntryPoint()) return;
  DllMain(nullptr, CHarboltModule::kProcessDetach, nullptr);
}

}  // namespace
