// CSwDocument: the add-in's listener on one document open in the host. It
// advises the sink of the document's kind (part, assembly or drawing) on the
// document; when the document goes away it takes itself out of the add-in's
// open-documents map, and when an assembly brings further documents into
// memory it makes sure the add-in attaches them too. No document event
// reaches the caller.
//
// The add-in's map holds the object; the object's pointer back to the add-in
// is plain (the add-in outlives its documents). Host failures are not
// reported: a document that cannot be advised is simply not kept.
#pragma once

#include "addin/dispatch_object.h"
#include "addin/event_sink.h"
#include "host/host_application.h"
#include "host/host_model_doc.h"

class CHarbolt;

struct ISwDocument : IDispatch {
 protected:
  ~ISwDocument() = default;
};
HB_DECLARE_IID(ISwDocument, "{922FE20B-A06F-4593-9A30-C7FBEAFFF7B2}");

class CSwDocument final : public DispatchObject<ISwDocument> {
 public:
  using Sink = EventSink<CSwDocument>;

  CSwDocument();

  // Keeps the add-in (not counted), a reference to the add-in's host
  // application and to the document, and asks the document for its type.
  void Init(CHarbolt* addin, IHostModelDoc* document);
  // Advises the sink of the stored type on the document, with the event
  // type library version of the add-in's host. False when advising failed or
  // the type is not 1, 2 or 3.
  bool AttachEventHandlers();
  // Unadvises the sink of the stored type and asks the add-in to drop this
  // document from its map. S_OK; nothing happens for another type.
  HRESULT DetachEventHandlers();
  // Unadvises the sink of the stored type, its cookie reading 0xFEFEFEFE
  // afterwards. False (and nothing done) for a type other than 1, 2 or 3.
  bool UnadviseSink();
  // Cuts the object from its add-in, which is going away: later events change
  // nothing in it.
  void Orphan() { addin_ = nullptr; }

  LONG documentType() const { return type_; }
  // The sinks, one per document kind.
  const Sink& partSink() const { return *sinks_[0].Get(); }
  const Sink& assemblySink() const { return *sinks_[1].Get(); }
  const Sink& drawingSink() const { return *sinks_[2].Get(); }

  // Event handlers (the sink maps).
  HRESULT OnDestroyNotify();
  HRESULT OnNewSelectionNotify() { return S_OK; }
  // Assembly events 25 and 22: the object o (asked for the host's document
  // interface; a component, which event 25 passes, is none) in state s.
  HRESULT AttachNewDocument(LONG state, IUnknown* object);
  // Assembly events 46 and 47: the model document of the component.
  HRESULT AttachComponentDocument(IUnknown* component);

 private:
  ~CSwDocument() override;
  // The sink of the stored type; null for another type.
  Sink* SinkOfType() const;

  CHarbolt* addin_ = nullptr;
  ComPtr<IHostApplication> application_;
  ComPtr<IHostModelDoc> document_;
  LONG type_ = 0;
  ComPtr<Sink> sinks_[3];
};
