#include "loader/addin_loader.h"

#include <utility>

#include "host/published/binding.h"
#include "platform/last_error.h"
#include "platform/module.h"
#include "platform/registry.h"
#include "platform/registry_reading.h"

namespace loader {
namespace {

using DllGetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);
using DllFunction = HRESULT (*)();

}  // namespace

AddinLoader::~AddinLoader() { Unload(); }

HRESULT AddinLoader::Load(IDispatch* host, std::u16string_view clsidText, LONG cookie,
                          VARIANT_BOOL* connected) {
  if (connected) *connected = VARIANT_FALSE;
  if (module_) return E_UNEXPECTED;
  std::u16string clsidString(clsidText);
  CLSID clsid{};
  if (FAILED(CLSIDFromString(clsidString.c_str(), &clsid))) return REGDB_E_CLASSNOTREG;
  if (!platform::RegistryKeyExists(HKEY_LOCAL_MACHINE,
                                   u"SOFTWARE\\SolidWorks\\AddIns\\" + clsidString)) {
    return REGDB_E_CLASSNOTREG;
  }
  std::u16string path = platform::RegistryDefaultText(
      HKEY_CLASSES_ROOT, u"CLSID\\" + clsidString + u"\\InprocServer32");
  if (path.empty()) return REGDB_E_CLASSNOTREG;

  HMODULE module = LoadLibraryW(path.c_str());
  if (!module) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
  auto getClassObject =
      reinterpret_cast<DllGetClassObjectFunction>(GetProcAddress(module, "DllGetClassObject"));
  ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject
                   ? getClassObject(clsid, IidOf<IClassFactory>(),
                                    reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()))
                   : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  ComPtr<ISwAddin> addin;
  if (SUCCEEDED(hr)) {
    hr = factory->CreateInstance(nullptr, IidOf<ISwAddin>(),
                                 reinterpret_cast<void**>(addin.ReleaseAndGetAddressOf()));
  }
  factory = nullptr;
  if (FAILED(hr) || !addin) {
    addin = nullptr;
    FreeLibrary(module);
    return FAILED(hr) ? hr : E_NOINTERFACE;
  }

  host_ = ComPtr<IDispatch>(host);
  cookie_ = cookie;
  module_ = module;
  addin_ = std::move(addin);
  disconnected_ = false;
  VARIANT_BOOL answer = VARIANT_FALSE;
  hr = addin_->ConnectToSW(host, cookie, &answer);
  if (connected) *connected = answer;
  if (FAILED(hr)) {
    // An add-in that did not connect is released without a disconnection.
    disconnected_ = true;
    Unload();
  }
  return hr;
}

HRESULT AddinLoader::Disconnect(VARIANT_BOOL* disconnected) {
  if (disconnected) *disconnected = VARIANT_FALSE;
  if (!addin_) return E_UNEXPECTED;
  VARIANT_BOOL answer = VARIANT_FALSE;
  HRESULT hr = addin_->DisconnectFromSW(&answer);
  disconnected_ = true;
  if (disconnected) *disconnected = answer;
  return hr;
}

void AddinLoader::Release() {
  addin_ = nullptr;
  if (host_) {
    // The host drops the command callback registration of an add-in it
    // unloads.
    ComPtr<IHostApplication> application = published::BindApplication(host_.Get());
    VARIANT_BOOL done = VARIANT_FALSE;
    if (application) application->SetAddinCallbackInfo(0, nullptr, cookie_, &done);
    host_ = nullptr;
  }
}

HRESULT AddinLoader::CanUnloadNow() const {
  if (!module_) return E_UNEXPECTED;
  auto canUnloadNow = reinterpret_cast<DllFunction>(GetProcAddress(module_, "DllCanUnloadNow"));
  return canUnloadNow ? canUnloadNow() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
}

bool AddinLoader::FreeModule() {
  if (!module_) return true;
  if (CanUnloadNow() != S_OK) return false;
  FreeLibrary(std::exchange(module_, nullptr));
  return true;
}

void AddinLoader::Unload() {
  if (addin_ && !disconnected_) Disconnect();
  Release();
  FreeModule();
}

ComPtr<IDispatch> AddinLoader::Dispatch() const {
  ComPtr<IDispatch> dispatch;
  if (addin_) addin_.As(&dispatch);
  return dispatch;
}

HRESULT AddinLoader::RegisterModule(std::u16string_view path, bool registering) {
  std::u16string modulePath(path);
  HMODULE module = LoadLibraryW(modulePath.c_str());
  if (!module) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
  auto entry = reinterpret_cast<DllFunction>(
      GetProcAddress(module, registering ? "DllRegisterServer" : "DllUnregisterServer"));
  HRESULT hr = entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  FreeLibrary(module);
  return hr;
}

}  // namespace loader
