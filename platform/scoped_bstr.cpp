// ScopedBstr: the same on every platform; it allocates through SysAllocString.
#include "platform/bstr.h"

ScopedBstr::ScopedBstr(std::u16string_view text)
    : bstr_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}

ScopedBstr& ScopedBstr::operator=(ScopedBstr&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

void ScopedBstr::Reset(BSTR bstr) {
  if (bstr != bstr_) SysFreeString(bstr_);
  bstr_ = bstr;
}

BSTR ScopedBstr::Release() {
  BSTR bstr = bstr_;
  bstr_ = nullptr;
  return bstr;
}

BSTR* ScopedBstr::Receive() {
  Reset();
  return &bstr_;
}
