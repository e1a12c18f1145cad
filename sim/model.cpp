#include "sim/model.h"

#include <algorithm>

namespace sim {

double UnitMetres(const ModelData& model) {
  for (const LengthUnit& unit : kLengthUnits) {
    std::u16string_view name = model.units;
    std::string_view want = unit.name;
    if (name.size() == want.size() && std::equal(name.begin(), name.end(), want.begin())) {
      return unit.metres;
    }
  }
  return 0.001;
}

ConfigurationModel* FindConfiguration(ModelData& model, std::u16string_view name) {
  for (ConfigurationModel& configuration : model.configurations) {
    if (configuration.name == name) return &configuration;
  }
  return nullptr;
}

const ConfigurationModel* FindConfiguration(const ModelData& model, std::u16string_view name) {
  return FindConfiguration(const_cast<ModelData&>(model), name);
}

const ConfigurationModel* ActiveConfiguration(const ModelData& model) {
  if (model.configurations.empty()) return nullptr;
  if (model.activeConfiguration.empty()) return &model.configurations.front();
  return FindConfiguration(model, model.activeConfiguration);
}

DimensionModel* FindDimension(ModelData& model, std::u16string_view name) {
  for (DimensionModel& dimension : model.dimensions) {
    if (dimension.name == name) return &dimension;
  }
  return nullptr;
}

}  // namespace sim
