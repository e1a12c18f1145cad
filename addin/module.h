// CHarboltModule: the state of the add-in module as a whole. It counts the
// module's live objects and the locks taken through IClassFactory::LockServer
// (the module may be unloaded only when both are gone), knows the module's
// handle, and serves the class objects of the object map and the module's
// registration. Everything is static: the module has exactly one, it lives
// from start-up to shut-down and it holds nothing that needs destroying.
#pragma once

#include <string>

#include "platform/guid.h"
#include "platform/win_types.h"

class CHarboltModule {
 public:
  CHarboltModule() = delete;

  // Reasons of the module entry point.
  static constexpr DWORD kProcessDetach = 0;
  static constexpr DWORD kProcessAttach = 1;

  // Every object of the module holds one lock while it lives.
  static void Lock() noexcept;
  static void Unlock() noexcept;
  static LONG LockCount() noexcept;

  // Start-up when the module is loaded: remembers its handle. Fails (false)
  // for a null handle. Shut-down forgets it.
  static bool StartUp(HMODULE module) noexcept;
  static void ShutDown() noexcept;

  // The module that holds the add-in's code: the handle given at start-up,
  // else the module found from the code's address.
  static HMODULE Handle() noexcept;
  // The module's full path; empty when it cannot be found.
  static std::u16string ModulePath();

  // A new class factory for the class (CLASS_E_CLASSNOTAVAILABLE for a class
  // that the object map does not hold), as interface riid.
  static HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept;
  // S_OK when no object and no lock is outstanding, else S_FALSE.
  static HRESULT CanUnloadNow() noexcept;
};
