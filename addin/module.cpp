#include "addin/module.h"

#include <atomic>

#include "addin/class_factory.h"
#include "addin/object_map.h"
#include "platform/module.h"

namespace {

// The module's state: plain values, nothing to construct or destroy when the
// module is loaded or unloaded.
constinit std::atomic<LONG> g_locks{0};
constinit std::atomic<HMODULE> g_module{nullptr};

}  // namespace

void CHarboltModule::Lock() noexcept { ++g_locks; }

void CHarboltModule::Unlock() noexcept { --g_locks; }

LONG CHarboltModule::LockCount() noexcept { return g_locks.load(); }

bool CHarboltModule::StartUp(HMODULE module) noexcept {
  g_module = module;
  return module != nullptr;
}

void CHarboltModule::ShutDown() noexcept { g_module = nullptr; }

HMODULE CHarboltModule::Handle() noexcept {
  HMODULE module = g_module.load();
  if (module) return module;
  return platform::ModuleOfAddress(reinterpret_cast<const void*>(&CHarboltModule::Handle));
}

std::u16string CHarboltModule::ModulePath() {
  HMODULE module = Handle();
  if (!module) return {};
  std::u16string path(4096, u'\0');
  DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

HRESULT CHarboltModule::GetClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  const harbolt::ObjectMapEntry* entry = harbolt::FindObjectMapEntry(clsid);
  if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateComInstance<CClassFactory, IClassFactory>(riid, object, *entry);
}

HRESULT CHarboltModule::CanUnloadNow() noexcept { return g_locks.load() == 0 ? S_OK : S_FALSE; }
