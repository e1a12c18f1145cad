#include "host/published/binding.h"

#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/host_trace.h"
#include "host/published/published_ids.h"

namespace published {
namespace {

// The object's interface iid, as the IDispatch of a dual interface.
ComPtr<IDispatch> AskFor(IUnknown* object, const IID& iid) {
  if (!object) return nullptr;
  ComPtr<IUnknown> answer;
  if (FAILED(ComPtr<IUnknown>(object).AsIID(iid, &answer)) || !answer) return nullptr;
  ComPtr<IDispatch> dispatch;
  if (FAILED(answer.As(&dispatch))) return nullptr;
  return dispatch;
}

}  // namespace

ComPtr<IHostApplication> BindApplication(IUnknown* host) {
  ConfigureHostTrace();
  ComPtr<IHostApplication> application;
  WrapApplication(AskFor(host, kIidSldWorks), application.ReleaseAndGetAddressOf());
  return application;
}

ComPtr<IHostModelDoc> BindDocument(IUnknown* object) {
  ComPtr<IHostModelDoc> document;
  if (object && SUCCEEDED(ComPtr<IUnknown>(object).As(&document)) && document) return document;
  WrapDocument(AskFor(object, kIidModelDoc2), document.ReleaseAndGetAddressOf());
  return document;
}

ComPtr<IHostComponent> BindComponent(IUnknown* object) {
  ComPtr<IHostComponent> component;
  if (object && SUCCEEDED(ComPtr<IUnknown>(object).As(&component)) && component) {
    return component;
  }
  WrapComponent(Unwrap(object), component.ReleaseAndGetAddressOf());
  return component;
}

}  // namespace published
