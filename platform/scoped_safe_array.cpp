// ScopedSafeArray: the same on every platform, over the SAFEARRAY functions.
#include "platform/safearray.h"

ScopedSafeArray& ScopedSafeArray::operator=(ScopedSafeArray&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

void ScopedSafeArray::Reset(SAFEARRAY* array) {
  if (array_ && array_ != array) SafeArrayDestroy(array_);
  array_ = array;
}

SAFEARRAY* ScopedSafeArray::Release() {
  SAFEARRAY* array = array_;
  array_ = nullptr;
  return array;
}

SAFEARRAY** ScopedSafeArray::Receive() {
  Reset();
  return &array_;
}

LONG ScopedSafeArray::Count() const {
  return array_ ? static_cast<LONG>(array_->rgsabound[0].cElements) : 0;
}

LONG ScopedSafeArray::LowerBound() const { return array_ ? array_->rgsabound[0].lLbound : 0; }
