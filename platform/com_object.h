// ComObject<I...>: reference counting and QueryInterface for a class that
// implements the COM interfaces I... . IUnknown and IDispatch resolve to the
// first listed interface that derives from them. A class adds further
// identities by overriding QueryOtherInterface.
//
// Objects are created with MakeComObject, which hands out the first
// reference; the object deletes itself when the last reference goes.
#pragma once

#include <atomic>
#include <type_traits>
#include <utility>

#include "platform/com_ptr.h"

template <typename... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    void* found = Find<Interfaces...>(riid);
    if (!found) found = QueryOtherInterface(riid);
    if (!found) return E_NOINTERFACE;
    AddRef();
    *object = found;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;
  // Further interfaces of the object, without AddRef; null when unknown.
  virtual void* QueryOtherInterface(REFIID) { return nullptr; }

 private:
  template <typename First, typename... Rest>
  void* Find(REFIID riid) {
    if (riid == IidOf<First>()) return static_cast<First*>(this);
    if constexpr (sizeof...(Rest) > 0) {
      if (void* p = Find<Rest...>(riid)) return p;
    }
    if (riid == IidOf<IUnknown>()) return FirstDerivedFrom<IUnknown, Interfaces...>();
    if (riid == IidOf<IDispatch>()) return FirstDerivedFrom<IDispatch, Interfaces...>();
    return nullptr;
  }
  template <typename Base, typename First, typename... Rest>
  void* FirstDerivedFrom() {
    if constexpr (std::is_base_of_v<Base, First>) {
      return static_cast<Base*>(static_cast<First*>(this));
    } else if constexpr (sizeof...(Rest) > 0) {
      return FirstDerivedFrom<Base, Rest...>();
    } else {
      return nullptr;
    }
  }

  std::atomic<ULONG> refs_{0};
};

// Creates a T and returns the first reference to it, as interface I.
template <typename T, typename I = T, typename... Args>
ComPtr<I> MakeComObject(Args&&... args) {
  ComPtr<I> result;
  result.Attach(static_cast<I*>(new T(std::forward<Args>(args)...)));
  result->AddRef();
  return result;
}
