#include "host/published/bound_object.h"

#include <functional>
#include <unordered_map>

namespace published {
namespace {

struct Key {
  IUnknown* identity;
  const void* kind;
  bool operator==(const Key& other) const {
    return identity == other.identity && kind == other.kind;
  }
};

struct KeyHash {
  size_t operator()(const Key& key) const {
    return std::hash<const void*>()(key.identity) ^ (std::hash<const void*>()(key.kind) << 1);
  }
};

using WrapperMap = std::unordered_map<Key, IUnknown*, KeyHash>;

// Made with the first wrapper and gone with the last: the module keeps no
// object with a destructor while nothing of the host is held.
WrapperMap* liveWrappers = nullptr;

}  // namespace

namespace wrappers {

IUnknown* Find(IUnknown* identity, const void* kind) {
  if (!liveWrappers) return nullptr;
  auto it = liveWrappers->find(Key{identity, kind});
  return it == liveWrappers->end() ? nullptr : it->second;
}

void Add(IUnknown* identity, const void* kind, IUnknown* wrapper) {
  if (!liveWrappers) liveWrappers = new WrapperMap();
  (*liveWrappers)[Key{identity, kind}] = wrapper;
}

void Remove(IUnknown* identity, const void* kind) {
  if (!liveWrappers) return;
  liveWrappers->erase(Key{identity, kind});
  if (liveWrappers->empty()) {
    delete liveWrappers;
    liveWrappers = nullptr;
  }
}

size_t Count() { return liveWrappers ? liveWrappers->size() : 0; }

}  // namespace wrappers

ComPtr<IDispatch> Unwrap(IUnknown* object) {
  if (!object) return nullptr;
  ComPtr<IBoundObject> bound;
  if (SUCCEEDED(ComPtr<IUnknown>(object).As(&bound)) && bound) {
    return ComPtr<IDispatch>(bound->HostObject());
  }
  ComPtr<IDispatch> dispatch;
  if (FAILED(ComPtr<IUnknown>(object).As(&dispatch))) dispatch = nullptr;
  return dispatch;
}

HRESULT FindHostConnectionPoint(IDispatch* host, REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!host) return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = ComPtr<IDispatch>(host).As(&container);
  if (FAILED(hr) || !container) return FAILED(hr) ? hr : E_NOINTERFACE;
  return container->FindConnectionPoint(riid, point);
}

}  // namespace published
