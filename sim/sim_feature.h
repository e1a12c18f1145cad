// A feature of a model document's feature tree: IFeature.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

// Where a feature is: the document that holds it, the node, and the context
// it was reached in: the document the walk started from (selection goes
// there) and the name path of the components it was reached through
// ("SubAsm-1/"), which the components found below it carry.
struct FeatureRef {
  std::shared_ptr<DocumentState> owner;
  FeatureNode node;
  std::shared_ptr<DocumentState> context;
  std::u16string prefix;
};

class SimFeature final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimFeature(std::shared_ptr<HostState> host, FeatureRef feature);
  // A new feature object; null for an empty node.
  static ComPtr<IDispatch> Make(const std::shared_ptr<HostState>& host, FeatureRef feature);

  std::u16string Name();
  // "Reference" for the feature of a component.
  std::u16string GetTypeName2();
  ComPtr<IDispatch> GetNextFeature();
  ComPtr<IDispatch> GetOwnerFeature();
  ComPtr<IDispatch> GetFirstSubFeature();
  ComPtr<IDispatch> GetNextSubFeature();
  std::u16string CreatedBy();
  std::u16string DateCreated();
  std::u16string DateModified();
  LONG GetCreatedVersion();
  LONG GetModifiedVersion();
  LONG GetUpdateStamp();
  std::u16string Description();
  void put_Description(std::u16string_view description);
  LONG GetEditStatus();
  LONG GetErrorCode2(bool* isWarning);
  bool IsBase2();
  LONG Visible();
  // Selects the feature in the document it was reached through (alone
  // unless append) with the mark, and raises that document's selection
  // event.
  bool Select2(bool append, LONG mark);
  // Kind swIsHiddenInFeatureMgr is the model's uiState flag; other kinds
  // read false and are not set.
  bool GetUIState(LONG kind);
  void SetUIState(LONG kind, bool flag);
  // One flag for the option swThisConfiguration; nothing for the others.
  std::vector<bool> IsSuppressed2(LONG option, const VARIANT& configurations);
  ComPtr<IDispatch> GetFirstDisplayDimension();
  // The display dimension after current, when current is one of this
  // feature's; else null.
  ComPtr<IDispatch> GetNextDisplayDimension(IDispatch* current);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;
  std::u16string NodeName() const;
  FeatureFields& Fields() const;
  ComPtr<IDispatch> NodeObject(FeatureNode node) const;
  ComPtr<IDispatch> DisplayDimension(size_t index) const;

  FeatureRef feature_;
};

}  // namespace sim
