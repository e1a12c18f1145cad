// A component of an assembly's component tree in one configuration.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/host_component.h"
#include "sim/sim_object.h"

namespace sim {

// Where a component is. The root of a configuration has no model: it stands
// for the owner, an assembly, in that configuration. Any other component is
// a ComponentModel of the owner's model; its name carries the prefix of the
// components it lies in ("SubAsm-1/"). context is the assembly whose tree
// was walked.
struct ComponentRef {
  std::shared_ptr<DocumentState> owner;
  const ComponentModel* model = nullptr;
  std::u16string configuration;  // the root's configuration
  std::u16string prefix;
  // The state of the component this one lies in: inside a suppressed
  // subassembly everything reads suppressed, inside a lightweight one every
  // loaded component reads as lightweight as it.
  LONG parentState = kComponentFullyResolved;
  std::shared_ptr<DocumentState> context;

  std::u16string Name() const { return model ? prefix + model->name : std::u16string(); }
  LONG State() const;
  // The model document (null when not loaded: suppressed or lightweight).
  std::shared_ptr<DocumentState> LoadedModel() const;
  // The component's file's document, loaded or not.
  std::shared_ptr<DocumentState> FileDocument() const;
  // The configuration of its model the component uses.
  std::u16string ReferencedConfiguration() const;
  std::vector<ComponentRef> Children() const;
};

class SimComponent final : public SimDispatchObject<IHostComponent> {
 public:
  SimComponent(std::shared_ptr<HostState> host, ComponentRef component);

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE GetSuppressionState(LONG* state) override;
  HRESULT STDMETHODCALLTYPE GetModelDoc(IDispatch** document) override;
  HRESULT STDMETHODCALLTYPE GetChildrenCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** children) override;
  HRESULT STDMETHODCALLTYPE GetReferencedConfiguration(BSTR* configuration) override;
  HRESULT STDMETHODCALLTYPE GetVisibility(LONG* visibility) override;
  HRESULT STDMETHODCALLTYPE GetConstraintStatus(LONG* status) override;
  HRESULT STDMETHODCALLTYPE GetPathName(BSTR* path) override;
  HRESULT STDMETHODCALLTYPE GetFirstFeature(IHostFeature** feature) override;

 private:
  std::u16string Target() const;

  ComponentRef component_;
};

}  // namespace sim
