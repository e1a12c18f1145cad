#include "import/host_access.h"

#include <new>

#include "common/kvx_exception.h"
#include "hostutil/host_call.h"
#include "platform/format.h"

namespace importer {
namespace {

bool IsVectorOf(SAFEARRAY* array, VARTYPE type) {
  VARTYPE held = VT_EMPTY;
  return array && SafeArrayGetDim(array) == 1 && SUCCEEDED(SafeArrayGetVartype(array, &held)) &&
         held == type;
}

}  // namespace

std::vector<std::u16string> TextElements(SAFEARRAY* array) {
  std::vector<std::u16string> texts;
  if (!IsVectorOf(array, VT_BSTR)) return texts;
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return texts;
  // Read in place: the texts are copied once, into the list.
  const BSTR* elements = static_cast<const BSTR*>(data);
  const size_t count = array->rgsabound[0].cElements;
  texts.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    texts.emplace_back(elements[i] ? elements[i] : u"", SysStringLen(elements[i]));
  }
  SafeArrayUnaccessData(array);
  return texts;
}

ScopedSafeArray MakeTextArray(std::span<const std::u16string> texts) {
  ScopedSafeArray array(SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(texts.size())));
  if (!array.Get()) throw std::bad_alloc();
  for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
    ScopedBstr text(texts[static_cast<size_t>(i)]);
    if (!text.Get() || FAILED(SafeArrayPutElement(array.Get(), &i, text.Get()))) {
      throw std::bad_alloc();
    }
  }
  return array;
}

ComPtr<IHostModelDoc> ComponentModelDocument(IHostComponent* component) {
  ComPtr<IDispatch> model =
      hostutil::HostGet(u"IHostComponent::GetModelDoc", component, &IHostComponent::GetModelDoc);
  ComPtr<IHostModelDoc> document;
  if (model) model.As(&document);
  return document;
}

void RefusedWrites::Check(HRESULT result, std::u16string_view operation, std::u16string_view item) {
  if (SUCCEEDED(result)) return;
  std::u16string failure = hostutil::HostFailureMessage(result, operation);
  if (count_++ == 0) first_ = failure + u" for [" + std::u16string(item) + u"]";
}

void RequireHostObject(HRESULT result, bool gotObject, std::u16string_view operation) {
  if (SUCCEEDED(result) && gotObject) return;
  if (FAILED(result)) throw Dovbase::Kvx_Exception(hostutil::HostFailureMessage(result, operation));
  throw Dovbase::Kvx_Exception(platform::FormatWide(
      platform::kUnlimited, u"%s gave no object (hr=0x%08x)", operation, result));
}

}  // namespace importer
