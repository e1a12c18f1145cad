// The feature and dimension steps: changed rows of the tables Feature and
// Dimension, written to the items of the active document that carry the
// row's name.
#include <map>
#include <string>

#include "hostutil/host_call.h"
#include "hostutil/model_names.h"
#include "import/db_to_sld.h"
#include "import/host_access.h"

namespace {

using hostutil::HostGet;
using importer::HostBool;

// The features on the document's chain of first and next feature, by name;
// when two report the same name, the first keeps it. A host failure raises:
// a walk cut short would make the rows after it look unknown to the model.
std::map<std::u16string, ComPtr<IHostFeature>> FeatureIndex(IHostModelDoc* document) {
  std::map<std::u16string, ComPtr<IHostFeature>> index;
  ComPtr<IHostFeature> feature =
      HostGet(u"IHostModelDoc::GetFirstFeature", document, &IHostModelDoc::GetFirstFeature);
  while (feature) {
    std::u16string name = HostGet(u"IHostFeature::GetName", feature, &IHostFeature::GetName);
    index.emplace(std::move(name), feature);
    feature = HostGet(u"IHostFeature::GetNextFeature", feature, &IHostFeature::GetNextFeature);
  }
  return index;
}

// Adds the dimensions of one display dimension: one, or two for a chamfer
// dimension. A key already indexed ends the display dimension.
void IndexDisplayDimension(IDispatch* displayDimension,
                           std::map<std::u16string, ComPtr<IHostDimension>>& index) {
  ComPtr<IHostDisplayDimension> display;
  HRESULT hr = ComPtr<IDispatch>(displayDimension).As(&display);
  importer::RequireHostObject(hr, static_cast<bool>(display), u"IHostDisplayDimension");
  const LONG type =
      HostGet(u"IHostDisplayDimension::GetType", display, &IHostDisplayDimension::GetType);
  const LONG count = type == kDisplayDimensionChamfer ? 2 : 1;
  for (LONG k = 0; k < count; ++k) {
    ComPtr<IHostDimension> dimension;
    hr = display->GetDimension(k, dimension.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(dimension),
                                u"IHostDisplayDimension::GetDimension");
    std::u16string key(hostutil::DimensionKey(
        HostGet(u"IHostDimension::GetFullName", dimension, &IHostDimension::GetFullName)));
    if (index.count(key)) return;
    index.emplace(std::move(key), std::move(dimension));
  }
}

// The dimensions shown by the features on the document's chain, by key.
std::map<std::u16string, ComPtr<IHostDimension>> DimensionIndex(IHostModelDoc* document) {
  std::map<std::u16string, ComPtr<IHostDimension>> index;
  ComPtr<IHostFeature> feature =
      HostGet(u"IHostModelDoc::GetFirstFeature", document, &IHostModelDoc::GetFirstFeature);
  while (feature) {
    ComPtr<IDispatch> display = HostGet(u"IHostFeature::GetFirstDisplayDimension", feature,
                                        &IHostFeature::GetFirstDisplayDimension);
    while (display) {
      IndexDisplayDimension(display.Get(), index);
      display = HostGet(u"IHostFeature::GetNextDisplayDimension", feature,
                        &IHostFeature::GetNextDisplayDimension, display.Get());
    }
    feature = HostGet(u"IHostFeature::GetNextFeature", feature, &IHostFeature::GetNextFeature);
  }
  return index;
}

}  // namespace

bool CDbToSld::UpdateFeature() {
  SetQuery(kFeatureColumns, MakeFlagCondition(2));
  if (!ExecQuery()) return false;
  if (query_.atEnd()) return true;

  ComPtr<IHostModelDoc> document = ActiveDocument();
  if (!document) return false;
  const std::map<std::u16string, ComPtr<IHostFeature>> index = FeatureIndex(document.Get());

  for (; !query_.atEnd(); query_.next()) {
    auto found = index.find(query_.textByName(u"featName"));
    if (found == index.end()) return false;
    const ComPtr<IHostFeature>& feature = found->second;
    const std::u16string& name = found->first;
    ScopedBstr description(query_.textByName(u"description"));
    refused_.Check(feature->SetDescription(description.Get()), u"IHostFeature::SetDescription",
                   name);
    refused_.Check(
        feature->SetUIState(kFeatureUiStateHidden, HostBool(query_.intByName(u"uiState"))),
        u"IHostFeature::SetUIState", name);
  }
  return true;
}

bool CDbToSld::UpdateDimension() {
  SetQuery(kDimensionColumns, MakeFlagCondition(2));
  if (!ExecQuery()) return false;
  if (query_.atEnd()) return true;

  ComPtr<IHostModelDoc> document = ActiveDocument();
  if (!document) return false;
  const std::map<std::u16string, ComPtr<IHostDimension>> index = DimensionIndex(document.Get());

  for (; !query_.atEnd(); query_.next()) {
    std::u16string key = query_.textByName(u"dimName");
    key += u'@';
    key += query_.textByName(u"feature");
    auto found = index.find(key);
    if (found == index.end()) return false;
    const ComPtr<IHostDimension>& dimension = found->second;

    // The write order is fixed: value, read-only flag, driven state,
    // tolerance type, tolerance limits.
    // A refused value does not stop the row: the host decides what it takes
    // (a read-only dimension keeps its value), and the import reports it.
    refused_.Check(dimension->SetValue(query_.realByName(u"dimValue")), u"IHostDimension::SetValue",
                   key);
    refused_.Check(dimension->SetReadOnly(HostBool(query_.intByName(u"readOnly"))),
                   u"IHostDimension::SetReadOnly", key);
    refused_.Check(dimension->SetDrivenState(query_.intByName(u"drivenState")),
                   u"IHostDimension::SetDrivenState", key);
    ComPtr<IHostTolerance> tolerance;
    HRESULT hr = dimension->GetTolerance(tolerance.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(tolerance), u"IHostDimension::GetTolerance");
    refused_.Check(tolerance->SetType(query_.intByName(u"tolType")), u"IHostTolerance::SetType",
                   key);
    // The host answers "not done" for the limits of a tolerance without any
    // (type none); only a failing call is a refusal.
    VARIANT_BOOL done = VARIANT_FALSE;
    refused_.Check(tolerance->SetValues(query_.realByName(u"tolMinVal"),
                                        query_.realByName(u"tolMaxVal"), &done),
                   u"IHostTolerance::SetValues", key);
  }
  return true;
}
