// ComPtr<T>: the one owner of a COM interface reference. It calls AddRef and
// Release so that no other code has to.
#pragma once

#include <utility>

#include "platform/unknown.h"

template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}  // NOLINT: a null reference converts implicitly
  // Shares ptr: takes a new reference on it.
  explicit ComPtr(T* ptr) : ptr_(ptr) { AddRefHeld(); }
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(const ComPtr& other) {
    ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }
  ~ComPtr() { Reset(); }

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // Releases what is held and returns the address for an out-parameter.
  T** ReleaseAndGetAddressOf() {
    Reset();
    return &ptr_;
  }
  // Takes over a reference that the caller already owns.
  void Attach(T* ptr) {
    Reset();
    ptr_ = ptr;
  }
  // Hands the reference to the caller, who must release it.
  T* Detach() { return std::exchange(ptr_, nullptr); }
  void Reset() {
    if (T* old = std::exchange(ptr_, nullptr)) old->Release();
  }
  void Swap(ComPtr& other) noexcept { std::swap(ptr_, other.ptr_); }

  // A new reference for an out-parameter of the caller.
  HRESULT CopyTo(T** out) const {
    if (!out) return E_POINTER;
    *out = ptr_;
    if (ptr_) ptr_->AddRef();
    return S_OK;
  }
  // QueryInterface for the interface U, by its registered IID.
  template <typename U>
  HRESULT As(ComPtr<U>* out) const {
    if (!ptr_) return E_POINTER;
    return ptr_->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(out->ReleaseAndGetAddressOf()));
  }
  HRESULT AsIID(REFIID riid, ComPtr<IUnknown>* out) const {
    if (!ptr_) return E_POINTER;
    return ptr_->QueryInterface(riid, reinterpret_cast<void**>(out->ReleaseAndGetAddressOf()));
  }

 private:
  void AddRefHeld() {
    if (ptr_) ptr_->AddRef();
  }
  T* ptr_ = nullptr;
};

template <typename T, typename U>
bool operator==(const ComPtr<T>& a, const ComPtr<U>& b) {
  return static_cast<const void*>(a.Get()) == static_cast<const void*>(b.Get());
}
