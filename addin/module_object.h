// ModuleObject<I...>: the base of every COM object of the add-in module. It
// is a ComObject that holds one module lock for as long as it lives, so that
// the module is not unloaded under its objects. CreateComInstance makes one
// for a class factory.
#pragma once

#include <new>
#include <utility>

#include "addin/module.h"
#include "platform/com_object.h"

template <typename... Interfaces>
class ModuleObject : public ComObject<Interfaces...> {
 protected:
  ModuleObject() { CHarboltModule::Lock(); }
  ~ModuleObject() override { CHarboltModule::Unlock(); }
};

// Creates a T from args (held first as its interface I) and hands out
// interface riid: E_OUTOFMEMORY when it cannot be made, E_NOINTERFACE when T
// lacks riid.
template <typename T, typename I, typename... Args>
HRESULT CreateComInstance(REFIID riid, void** object, Args&&... args) noexcept {
  if (!object) return E_POINTER;
  *object = nullptr;
  try {
    ComPtr<I> instance = MakeComObject<T, I>(std::forward<Args>(args)...);
    return instance->QueryInterface(riid, object);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
