// AddinLoader: loads an add-in into a host the way the host does it. It
// finds the add-in under the host's add-ins key of the registry
// (HKLM\SOFTWARE\SolidWorks\AddIns\{CLSID}), takes the module path from
// HKCR\CLSID\{CLSID}\InprocServer32, loads the module, gets the class object
// with DllGetClassObject, creates the add-in as ISwAddin and connects it with
// ConnectToSW. Unloading runs the other way: DisconnectFromSW, the add-in's
// release, the host forgetting the add-in's callback registration, and
// FreeLibrary once DllCanUnloadNow allows it.
//
// One loader holds at most one add-in. Its destructor unloads whatever is
// still loaded.
#pragma once

#include <string>
#include <string_view>

#include "host/host_addin.h"
#include "platform/com_ptr.h"

namespace loader {

class AddinLoader {
 public:
  AddinLoader() = default;
  AddinLoader(const AddinLoader&) = delete;
  AddinLoader& operator=(const AddinLoader&) = delete;
  ~AddinLoader();

  // Loads and connects the add-in whose CLSID (braced text) is registered
  // under the host's add-ins key. REGDB_E_CLASSNOTREG when the add-in key or
  // the module path is missing, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) when
  // the module does not load, or the failure of DllGetClassObject,
  // CreateInstance or ConnectToSW (nothing stays loaded after a failure).
  // connected receives the add-in's answer.
  // host is the host's application object, as the host hands it over.
  HRESULT Load(IDispatch* host, std::u16string_view clsid, LONG cookie,
               VARIANT_BOOL* connected = nullptr);

  // DisconnectFromSW: its result; E_UNEXPECTED when nothing is loaded.
  HRESULT Disconnect(VARIANT_BOOL* disconnected = nullptr);
  // Releases the loader's references on the add-in, and the host forgets
  // the add-in as the target of its commands.
  void Release();
  // The module's DllCanUnloadNow; E_UNEXPECTED when no module is loaded.
  HRESULT CanUnloadNow() const;
  // Frees the module when DllCanUnloadNow answers S_OK; returns whether it
  // did (true when nothing was loaded).
  bool FreeModule();

  // Disconnect (unless done), Release and FreeModule.
  void Unload();

  // The loaded add-in; null when none.
  const ComPtr<ISwAddin>& addin() const { return addin_; }
  // The add-in's IDispatch (what the caller drives); null when none.
  ComPtr<IDispatch> Dispatch() const;
  HMODULE module() const { return module_; }

  // Loads the module at path, calls its DllRegisterServer or
  // DllUnregisterServer and frees it again.
  static HRESULT RegisterModule(std::u16string_view path, bool registering = true);

 private:
  ComPtr<IDispatch> host_;
  LONG cookie_ = 0;
  HMODULE module_ = nullptr;
  ComPtr<ISwAddin> addin_;
  bool disconnected_ = false;
};

}  // namespace loader
