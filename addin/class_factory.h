// The class object of one class of the object map: creates its instances
// (without aggregation) and locks the module for its clients.
#pragma once

#include "addin/module_object.h"
#include "addin/object_map.h"

class CClassFactory final : public ModuleObject<IClassFactory> {
 public:
  // entry belongs to the object map, which outlives every object.
  explicit CClassFactory(const harbolt::ObjectMapEntry& entry) : entry_(entry) {}

  // CLASS_E_NOAGGREGATION with an outer object; otherwise the object map's
  // creation result.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  // Takes or gives back one module lock.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  const harbolt::ObjectMapEntry& entry_;
};
