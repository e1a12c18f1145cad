#include "addin/class_factory.h"

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return entry_.createInstance(riid, object);
}

HRESULT CClassFactory::LockServer(BOOL lock) {
  if (lock) {
    CHarboltModule::Lock();
  } else {
    CHarboltModule::Unlock();
  }
  return S_OK;
}
