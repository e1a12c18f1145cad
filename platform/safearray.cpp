#include "platform/safearray.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/unknown.h"

namespace {

constexpr USHORT FADF_HAVEVARTYPE = 0x0080;

// The element type is kept in front of the array, where Windows keeps it too.
struct SafeArrayBlock {
  VARTYPE vt;
  SAFEARRAY array;
};

SafeArrayBlock* BlockOf(SAFEARRAY* array) {
  return reinterpret_cast<SafeArrayBlock*>(reinterpret_cast<char*>(array) -
                                           offsetof(SafeArrayBlock, array));
}

ULONG ElementSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_DATE:
      return 8;
    case VT_BSTR:
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return sizeof(void*);
    case VT_VARIANT:
      return sizeof(VARIANT);
    default:
      return 0;
  }
}

VARTYPE TypeOf(SAFEARRAY* array) { return BlockOf(array)->vt; }

void* ElementAt(SAFEARRAY* array, LONG index) {
  return static_cast<char*>(array->pvData) +
         static_cast<size_t>(index - array->rgsabound[0].lLbound) * array->cbElements;
}

HRESULT CheckIndex(SAFEARRAY* array, LONG* indices) {
  if (!array || !indices) return E_INVALIDARG;
  const SAFEARRAYBOUND& b = array->rgsabound[0];
  int64_t offset = int64_t{indices[0]} - b.lLbound;
  if (offset < 0 || offset >= int64_t{b.cElements}) return DISP_E_BADINDEX;
  return S_OK;
}

void ReleaseElement(VARTYPE vt, void* element) {
  switch (vt) {
    case VT_BSTR:
      SysFreeString(*static_cast<BSTR*>(element));
      *static_cast<BSTR*>(element) = nullptr;
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (IUnknown* unk = *static_cast<IUnknown**>(element)) unk->Release();
      *static_cast<IUnknown**>(element) = nullptr;
      break;
    case VT_VARIANT:
      VariantClear(static_cast<VARIANT*>(element));
      break;
    default:
      break;
  }
}

// Copies one element into an empty slot with the ownership rules of its type.
HRESULT CopyElement(VARTYPE vt, const void* from, void* to, ULONG size) {
  switch (vt) {
    case VT_BSTR: {
      BSTR source = *static_cast<const BSTR*>(from);
      BSTR copy = source ? SysAllocStringLen(source, SysStringLen(source)) : nullptr;
      if (source && !copy) return E_OUTOFMEMORY;
      *static_cast<BSTR*>(to) = copy;
      return S_OK;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      IUnknown* unk = *static_cast<IUnknown* const*>(from);
      if (unk) unk->AddRef();
      *static_cast<IUnknown**>(to) = unk;
      return S_OK;
    }
    case VT_VARIANT:
      VariantInit(static_cast<VARIANT*>(to));
      return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
    default:
      std::memcpy(to, from, size);
      return S_OK;
  }
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, SAFEARRAYBOUND* bounds) {
  // Only one-dimensional arrays are used by the system.
  if (dims != 1 || !bounds) return nullptr;
  ULONG size = ElementSize(vt);
  if (size == 0) return nullptr;
  size_t count = bounds[0].cElements;
  if (count > (size_t{1} << 31) / size) return nullptr;
  auto* block = static_cast<SafeArrayBlock*>(std::calloc(1, sizeof(SafeArrayBlock)));
  if (!block) return nullptr;
  void* data = std::calloc(count ? count : 1, size);
  if (!data) {
    std::free(block);
    return nullptr;
  }
  block->vt = vt;
  SAFEARRAY* array = &block->array;
  array->cDims = 1;
  array->fFeatures = FADF_HAVEVARTYPE;
  array->cbElements = size;
  array->pvData = data;
  array->rgsabound[0] = bounds[0];
  return array;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements) {
  SAFEARRAYBOUND bound{elements, lowerBound};
  return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* array) {
  if (!array) return S_OK;
  if (array->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  VARTYPE vt = TypeOf(array);
  LONG lower = array->rgsabound[0].lLbound;
  for (ULONG i = 0; i < array->rgsabound[0].cElements; ++i) {
    ReleaseElement(vt, ElementAt(array, lower + static_cast<LONG>(i)));
  }
  std::free(array->pvData);
  std::free(BlockOf(array));
  return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* source, SAFEARRAY** copy) {
  if (!source || !copy) return E_INVALIDARG;
  *copy = nullptr;
  VARTYPE vt = TypeOf(source);
  SAFEARRAY* target = SafeArrayCreate(vt, 1, source->rgsabound);
  if (!target) return E_OUTOFMEMORY;
  LONG lower = source->rgsabound[0].lLbound;
  for (ULONG i = 0; i < source->rgsabound[0].cElements; ++i) {
    LONG index = lower + static_cast<LONG>(i);
    HRESULT hr = CopyElement(vt, ElementAt(source, index), ElementAt(target, index),
                             source->cbElements);
    if (FAILED(hr)) {
      SafeArrayDestroy(target);
      return hr;
    }
  }
  *copy = target;
  return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* array) { return array ? array->cDims : 0; }

UINT SafeArrayGetElemsize(SAFEARRAY* array) { return array ? array->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* array, VARTYPE* vt) {
  if (!array || !vt) return E_INVALIDARG;
  *vt = TypeOf(array);
  return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (!array || !bound) return E_INVALIDARG;
  if (dim != 1) return DISP_E_BADINDEX;
  *bound = array->rgsabound[0].lLbound;
  return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* array, UINT dim, LONG* bound) {
  if (!array || !bound) return E_INVALIDARG;
  if (dim != 1) return DISP_E_BADINDEX;
  *bound = array->rgsabound[0].lLbound + static_cast<LONG>(array->rgsabound[0].cElements) - 1;
  return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* array, LONG* indices, void* value) {
  HRESULT hr = CheckIndex(array, indices);
  if (FAILED(hr)) return hr;
  if (!value) return E_INVALIDARG;
  return CopyElement(TypeOf(array), ElementAt(array, indices[0]), value, array->cbElements);
}

HRESULT SafeArrayPutElement(SAFEARRAY* array, LONG* indices, void* value) {
  HRESULT hr = CheckIndex(array, indices);
  if (FAILED(hr)) return hr;
  VARTYPE vt = TypeOf(array);
  // Strings and interfaces are put from the pointer itself (which may be
  // null), everything else from the address of the value.
  bool byPointer = vt == VT_BSTR || vt == VT_UNKNOWN || vt == VT_DISPATCH;
  const void* source = byPointer ? static_cast<const void*>(&value) : value;
  if (!source) return E_INVALIDARG;
  alignas(VARIANT) unsigned char copy[sizeof(VARIANT)];
  hr = CopyElement(vt, source, copy, array->cbElements);
  if (FAILED(hr)) return hr;
  void* slot = ElementAt(array, indices[0]);
  ReleaseElement(vt, slot);
  std::memcpy(slot, copy, array->cbElements);
  return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
  if (!array || !data) return E_INVALIDARG;
  ++array->cLocks;
  *data = array->pvData;
  return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
  if (!array) return E_INVALIDARG;
  if (array->cLocks == 0) return E_UNEXPECTED;
  --array->cLocks;
  return S_OK;
}
