// A component of an assembly's component tree in one configuration.
#pragma once

#include <memory>
#include <string>
#include <vector>

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

class SimComponent final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimComponent(std::shared_ptr<HostState> host, ComponentRef component);

  // "SubAsm-1/Bolt-2"; "" for the root.
  std::u16string Name2();
  LONG GetSuppression2();
  // The model document; null when the component is not loaded (states 0, 1
  // and 4).
  ComPtr<IDispatch> GetModelDoc2();
  std::vector<ComPtr<IDispatch>> GetChildren();
  std::u16string ReferencedConfiguration();
  LONG Visible();
  // swConstrainedStatus_e: the model's constraint status, one higher.
  LONG GetConstrainedStatus();
  std::u16string GetPathName();
  // Null when the component is not loaded.
  ComPtr<IDispatch> FirstFeature();
  bool IsRoot();

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;

  ComponentRef component_;
};

}  // namespace sim
