// A dimension of a model document: IDimension.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_object.h"

namespace sim {

class SimDimension final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimDimension(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
               DimensionModel* dimension);

  std::u16string FullName();
  // The value in the document's units, as a list of one (the model has one
  // value for every configuration).
  std::vector<double> GetValue3(LONG whichConfigurations, const VARIANT& configurations);
  // 0 done; swSetValue_Failure for a read-only dimension, which keeps its
  // value.
  LONG SetValue3(double value, LONG whichConfigurations, const VARIANT& configurations);
  // The value in metres or radians, as a list of one.
  std::vector<double> GetSystemValue3(LONG whichConfigurations, const VARIANT& configurations);
  bool ReadOnly();
  LONG DrivenState();
  // A state outside 0..2 is ignored.
  void put_DrivenState(LONG state);
  // swDimensionParamType_e: the model's parameter type, one lower.
  LONG GetType();
  bool IsReference();
  ComPtr<IDispatch> Tolerance();

  // dimension@feature@document.
  static std::u16string FullNameOf(const DocumentState& owner, const DimensionModel& dimension);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override { return FullNameOf(*owner_, *dimension_); }

  std::shared_ptr<DocumentState> owner_;
  DimensionModel* dimension_;
};

}  // namespace sim
