// The tolerance of a dimension of a model document: IDimensionTolerance.
#pragma once

#include <memory>
#include <string>

#include "sim/sim_object.h"

namespace sim {

class SimTolerance final : public SimDispatchObject<> {
 public:
  static const PublishedInterface kPublished;

  SimTolerance(std::shared_ptr<HostState> host, std::shared_ptr<DocumentState> owner,
               DimensionModel* dimension);

  LONG Type();
  // A type outside 0..11 is ignored.
  void put_Type(LONG type);
  // swDimensionToleranceValid with the limit, or, while the type is none,
  // swDimensionToleranceNotValid with 0.
  LONG GetMinValue2(double* value);
  LONG GetMaxValue2(double* value);
  // False, and nothing set, while the type is none.
  bool SetValues2(double minValue, double maxValue, LONG whichConfigurations,
                  const VARIANT& configurations);

 private:
  const PublishedInterface& Published() const override { return kPublished; }
  std::u16string JournalTarget() const override;
  LONG Limit(double DimensionModel::*limit, double* value) const;

  std::shared_ptr<DocumentState> owner_;
  DimensionModel* dimension_;
};

}  // namespace sim
