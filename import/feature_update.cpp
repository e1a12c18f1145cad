// The feature and dimension steps: changed rows of the tables Feature and
// Dimension, written to the items of the active document that carry the
// row's name.
#include <map>
#include <string>

#include "import/db_to_sld.h"
#include "import/host_access.h"

namespace {

using importer::HostBool;
using importer::HostText;

// The features on the document's chain of first and next feature, by name;
// when two report the same name, the first keeps it.
std::map<std::u16string, ComPtr<IHostFeature>> FeatureIndex(IHostModelDoc* document) {
  std::map<std::u16string, ComPtr<IHostFeature>> index;
  ComPtr<IHostFeature> feature;
  document->GetFirstFeature(feature.ReleaseAndGetAddressOf());
  while (feature) {
    std::u16string name = HostText([&](BSTR* text) { return feature->GetName(text); });
    index.emplace(std::move(name), feature);
    ComPtr<IHostFeature> next;
    feature->GetNextFeature(next.ReleaseAndGetAddressOf());
    feature = std::move(next);
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
  LONG type = 0;
  display->GetType(&type);
  const LONG count = type == kDisplayDimensionChamfer ? 2 : 1;
  for (LONG k = 0; k < count; ++k) {
    ComPtr<IHostDimension> dimension;
    hr = display->GetDimension(k, dimension.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(dimension),
                                u"IHostDisplayDimension::GetDimension");
    std::u16string key =
        importer::DimensionKey(HostText([&](BSTR* text) { return dimension->GetFullName(text); }));
    if (index.count(key)) return;
    index.emplace(std::move(key), std::move(dimension));
  }
}

// The dimensions shown by the features on the document's chain, by key.
std::map<std::u16string, ComPtr<IHostDimension>> DimensionIndex(IHostModelDoc* document) {
  std::map<std::u16string, ComPtr<IHostDimension>> index;
  ComPtr<IHostFeature> feature;
  document->GetFirstFeature(feature.ReleaseAndGetAddressOf());
  while (feature) {
    ComPtr<IDispatch> display;
    feature->GetFirstDisplayDimension(display.ReleaseAndGetAddressOf());
    while (display) {
      IndexDisplayDimension(display.Get(), index);
      ComPtr<IDispatch> next;
      feature->GetNextDisplayDimension(display.Get(), next.ReleaseAndGetAddressOf());
      display = std::move(next);
    }
    ComPtr<IHostFeature> next;
    feature->GetNextFeature(next.ReleaseAndGetAddressOf());
    feature = std::move(next);
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
    ScopedBstr description(query_.textByName(u"description"));
    feature->SetDescription(description.Get());
    feature->SetUIState(kFeatureUiStateExpanded, HostBool(query_.intByName(u"uiState")));
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
    dimension->SetValue(query_.realByName(u"dimValue"));
    dimension->SetReadOnly(HostBool(query_.intByName(u"readOnly")));
    dimension->SetDrivenState(query_.intByName(u"drivenState"));
    ComPtr<IHostTolerance> tolerance;
    HRESULT hr = dimension->GetTolerance(tolerance.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(tolerance), u"IHostDimension::GetTolerance");
    tolerance->SetType(query_.intByName(u"tolType"));
    VARIANT_BOOL done = VARIANT_FALSE;
    tolerance->SetValues(query_.realByName(u"tolMinVal"), query_.realByName(u"tolMaxVal"), &done);
  }
  return true;
}
