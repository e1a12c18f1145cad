// A model document open in the host: a part, an assembly or a drawing. The
// host keeps one object per open document, so the IUnknown of a document
// identifies it for as long as someone holds a reference. A document is
// also a connection-point container for the host's event interface of its
// type (part, assembly or drawing document events, published_ids.h).
#pragma once

#include "host/host_configuration.h"
#include "host/host_equations.h"
#include "host/host_feature.h"
#include "host/host_selection.h"
#include "platform/safearray.h"
#include "platform/unknown.h"

struct IHostModelDoc : IDispatch {
  // kDocTypePart, kDocTypeAssembly or kDocTypeDrawing (host_ids.h).
  virtual HRESULT STDMETHODCALLTYPE GetType(LONG* type) = 0;
  // The full path of the document's file.
  virtual HRESULT STDMETHODCALLTYPE GetPathName(BSTR* path) = 0;
  // The title the host shows, normally the file name with its extension.
  virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) = 0;
  // The next open document after this one; null after the last.
  virtual HRESULT STDMETHODCALLTYPE GetNext(IHostModelDoc** next) = 0;

  // The first feature of the feature tree; IHostFeature::GetNextFeature
  // continues the walk in definition order, suppressed features included.
  virtual HRESULT STDMETHODCALLTYPE GetFirstFeature(IHostFeature** feature) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSelectionManager(IHostSelectionManager** manager) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEquationManager(IHostEquationManager** manager) = 0;

  // The names of all configurations at once (a VT_BSTR vector, in the
  // host's order).
  virtual HRESULT STDMETHODCALLTYPE GetConfigurationNames(SAFEARRAY** names) = 0;
  // The configuration with that name; E_INVALIDARG and no configuration for
  // a name the document does not have (the empty name included).
  virtual HRESULT STDMETHODCALLTYPE GetConfiguration(BSTR name,
                                                     IHostConfiguration** configuration) = 0;
  // The configuration-parameter access of the document.
  virtual HRESULT STDMETHODCALLTYPE
  GetConfigurationManager(IHostConfigurationManager** manager) = 0;

  // Writes the document to its file, and every changed document it loaded
  // for its components. silent: no questions to the user (this host never
  // asks). A failure to write gives E_FAIL and the host's error info.
  virtual HRESULT STDMETHODCALLTYPE Save(VARIANT_BOOL silent) = 0;
  // The files the document refers to, as a VT_ARRAY | VT_BSTR variant of
  // name/path pairs: file name, full path, file name, full path, ... (a file
  // may be listed more than once). traverse: also the files that those files
  // refer to. searchRules: the host finds the files by its search rules.
  // readOnlyMarker is not passed on: a marker after each pair would turn the
  // pairs into triples. An empty array when there are none.
  virtual HRESULT STDMETHODCALLTYPE GetDependencies(VARIANT_BOOL traverse, VARIANT_BOOL searchRules,
                                                    VARIANT_BOOL readOnlyMarker,
                                                    VARIANT* dependencies) = 0;
  // Tells the document that it is about to be closed: its selection is
  // cleared. The document stays open until IHostApplication::CloseDocument.
  virtual HRESULT STDMETHODCALLTYPE PrepareForClose() = 0;

 protected:
  ~IHostModelDoc() = default;
};
HB_DECLARE_IID(IHostModelDoc, "{F239FF61-64A1-48D4-A81A-E6C05314C93F}");
