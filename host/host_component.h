// A component of an assembly, in the component tree of one configuration.
// The root component of a configuration stands for the assembly itself: its
// name reads empty, its children are the top-level components. A component
// inside a subassembly carries the path in its name ("SubAsm-1/Bolt-2").
#pragma once

#include "host/host_feature.h"
#include "platform/safearray.h"
#include "platform/unknown.h"

struct IHostComponent : IDispatch {
  // The instance name: the model name, "-", a number ("Bolt-2"); empty for
  // the root.
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
  // kComponentSuppressed ... kComponentFullyLightweight (host_ids.h). Inside
  // a suppressed subassembly every component reads suppressed.
  virtual HRESULT STDMETHODCALLTYPE GetSuppressionState(LONG* state) = 0;
  // The component's model document, an object that answers QueryInterface
  // for IHostModelDoc; null when the component is suppressed or lightweight.
  virtual HRESULT STDMETHODCALLTYPE GetModelDoc(IDispatch** document) = 0;
  // All children at once, in the host's order: a VT_DISPATCH vector whose
  // elements answer QueryInterface for IHostComponent.
  virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) = 0;
  // The configuration of its model that the component uses.
  virtual HRESULT STDMETHODCALLTYPE GetReferencedConfiguration(BSTR* configuration) = 0;
  // The host's visibility value: 0 hidden, 1 visible, -1 unknown.
  virtual HRESULT STDMETHODCALLTYPE GetVisibility(LONG* visibility) = 0;
  // The host's constraint status in the assembly: 1 unknown, 2 under
  // defined, 3 fully defined, 4 over defined, 5 no solution, 6 invalid
  // solution, 7 solving turned off.
  virtual HRESULT STDMETHODCALLTYPE GetConstraintStatus(LONG* status) = 0;
  // The full path of the component's model file.
  virtual HRESULT STDMETHODCALLTYPE GetPathName(BSTR* path) = 0;
  // The first feature of the component's model, reached in the assembly's
  // context (selecting a "Reference" feature found below it selects in the
  // assembly); null when the model is not loaded.
  virtual HRESULT STDMETHODCALLTYPE GetFirstFeature(IHostFeature** feature) = 0;

 protected:
  ~IHostComponent() = default;
};
HB_DECLARE_IID(IHostComponent, "{8075E3BF-EAB2-4EDB-B8F3-FA04E8C4FAF3}");
