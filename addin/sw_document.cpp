#include "addin/sw_document.h"

#include "addin/harbolt.h"
#include "addin/host_version.h"
#include "host/host_component.h"
#include "host/host_ids.h"
#include "host/published/binding.h"
#include "host/published/published_ids.h"

namespace {

using Sink = CSwDocument::Sink;
using harbolt::EventArgs;
namespace doc_event = published::doc_event;

HRESULT Destroy(CSwDocument& document, const EventArgs&) { return document.OnDestroyNotify(); }
HRESULT NewSelection(CSwDocument& document, const EventArgs&) {
  return document.OnNewSelectionNotify();
}

constexpr Sink::Entry kPartSinkMap[] = {
    {doc_event::kDestroyNotify, &Destroy},
    {doc_event::kNewSelectionNotify, &NewSelection},
};

constexpr Sink::Entry kAssemblySinkMap[] = {
    {doc_event::kDestroyNotify, &Destroy},
    {doc_event::kNewSelectionNotify, &NewSelection},
    // (component, component name, old state, new state)
    {doc_event::kComponentStateChangeNotify2,
     [](CSwDocument& document, const EventArgs& args) {
       return document.AttachNewDocument(args.Long(3), args.Object(0));
     }},
    // (component's model document, old state, new state)
    {doc_event::kComponentStateChangeNotify,
     [](CSwDocument& document, const EventArgs& args) {
       return document.AttachNewDocument(args.Long(2), args.Object(0));
     }},
    // (component)
    {doc_event::kComponentVisualPropertiesChangeNotify,
     [](CSwDocument& document, const EventArgs& args) {
       return document.AttachComponentDocument(args.Object(0));
     }},
    // (component)
    {doc_event::kComponentDisplayStateChangeNotify,
     [](CSwDocument& document, const EventArgs& args) {
       return document.AttachComponentDocument(args.Object(0));
     }},
};

constexpr Sink::Entry kDrawingSinkMap[] = {
    {doc_event::kDestroyNotify, &Destroy},
    {doc_event::kNewSelectionNotify, &NewSelection},
};

}  // namespace

CSwDocument::CSwDocument() {
  sinks_[0] = MakeComObject<Sink, Sink>(published::kIidPartDocEvents, this, kPartSinkMap);
  sinks_[1] = MakeComObject<Sink, Sink>(published::kIidAssemblyDocEvents, this, kAssemblySinkMap);
  sinks_[2] = MakeComObject<Sink, Sink>(published::kIidDrawingDocEvents, this, kDrawingSinkMap);
}

CSwDocument::~CSwDocument() {
  // The host must not keep a sink that points at a destroyed object.
  for (ComPtr<Sink>& sink : sinks_) {
    if (sink->advised()) sink->Unadvise(document_.Get());
    sink->Orphan();
  }
}

void CSwDocument::Init(CHarbolt* addin, IHostModelDoc* document) {
  addin_ = addin;
  application_ = addin ? addin->hostApplication() : nullptr;
  document_ = ComPtr<IHostModelDoc>(document);
  type_ = 0;
  if (document_) document_->GetType(&type_);
}

CSwDocument::Sink* CSwDocument::SinkOfType() const {
  switch (type_) {
    case kDocTypePart:
      return sinks_[0].Get();
    case kDocTypeAssembly:
      return sinks_[1].Get();
    case kDocTypeDrawing:
      return sinks_[2].Get();
    default:
      return nullptr;
  }
}

bool CSwDocument::AttachEventHandlers() {
  Sink* sink = SinkOfType();
  if (!sink || !document_) return false;
  LONG hostMajor = addin_ ? addin_->hostMajorVersion() : 0;
  sink->SetTypeLibVersion(harbolt::EventTypeLibMajorVersion(hostMajor), 0);
  return SUCCEEDED(sink->Advise(document_.Get()));
}

bool CSwDocument::UnadviseSink() {
  Sink* sink = SinkOfType();
  if (!sink) return false;
  sink->Unadvise(document_.Get());
  return true;
}

HRESULT CSwDocument::DetachEventHandlers() {
  if (!SinkOfType()) return S_OK;
  // The add-in's map may hold the last reference to this object.
  ComPtr<CSwDocument> keep(this);
  UnadviseSink();
  ComPtr<IUnknown> identity;
  if (document_) document_.As(&identity);
  if (addin_ && identity) addin_->RemoveDocument(identity.Get());
  return S_OK;
}

HRESULT CSwDocument::OnDestroyNotify() { return DetachEventHandlers(); }

HRESULT CSwDocument::AttachNewDocument(LONG state, IUnknown* object) {
  if (!object) return S_OK;
  ComPtr<IHostModelDoc> document = published::BindDocument(object);
  bool loaded = state == kComponentFullyResolved || state == kComponentResolved;
  if (loaded && document && addin_) {
    ComPtr<IUnknown> identity;
    document.As(&identity);
    if (identity && !addin_->HasDocument(identity.Get())) addin_->AttachDocument(document.Get());
  }
  return S_OK;
}

HRESULT CSwDocument::AttachComponentDocument(IUnknown* component) {
  if (!component) return S_OK;
  ComPtr<IHostComponent> host = published::BindComponent(component);
  if (!host) return S_OK;
  ComPtr<IDispatch> model;
  host->GetModelDoc(model.ReleaseAndGetAddressOf());
  return AttachNewDocument(kComponentFullyResolved, model.Get());
}
