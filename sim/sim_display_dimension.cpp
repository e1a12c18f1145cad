#include "sim/sim_display_dimension.h"

#include <string>

#include "sim/out_params.h"
#include "sim/sim_dimension.h"

namespace sim {

SimDisplayDimension::SimDisplayDimension(std::shared_ptr<HostState> host,
                                         std::shared_ptr<DocumentState> owner,
                                         const FeatureModel* feature, size_t index)
    : SimDispatchObject(std::move(host)),
      owner_(std::move(owner)),
      feature_(feature),
      index_(index) {}

std::u16string SimDisplayDimension::Target() const {
  std::u16string text = owner_->FileName() + u":" + feature_->name + u"#";
  for (char c : std::to_string(index_)) text.push_back(static_cast<char16_t>(c));
  return text;
}

HRESULT SimDisplayDimension::GetType(LONG* type) {
  if (!type) return E_POINTER;
  *type = 0;
  if (auto fault = Enter("IHostDisplayDimension.GetType", [this] { return Target(); }))
    return *fault;
  *type = Model().type;
  return S_OK;
}

HRESULT SimDisplayDimension::GetDimension(LONG index, IHostDimension** dimension) {
  if (!dimension) return E_POINTER;
  *dimension = nullptr;
  if (auto fault =
          Enter("IHostDisplayDimension.GetDimension", [this] { return Target(); }, {index}))
    return *fault;
  const DisplayDimensionModel& model = Model();
  if (index < 0 || static_cast<size_t>(index) >= model.dimensions.size()) return E_INVALIDARG;
  DimensionModel* found = owner_->listIndexes.Find(owner_->model.dimensions,
                                                   model.dimensions[static_cast<size_t>(index)]);
  if (!found) return E_FAIL;
  return ReturnObject(MakeComObject<SimDimension, IHostDimension>(host_, owner_, found), dimension);
}

}  // namespace sim
