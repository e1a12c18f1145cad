// The table "Dimension": every dimension the features show, once.
#include <string>
#include <string_view>
#include <unordered_set>

#include "common/catch_pattern.h"
#include "export/sld_to_db.h"
#include "hostutil/host_call.h"
#include "hostutil/model_names.h"

namespace {

constexpr Dovbase::CatchSite kExportDimensionSite{u"SldToDb", u"CSldToDb::ExportDimension", 894};

using hostutil::HostGet;

}  // namespace

bool CSldToDb::ExportDimension() {
  return Dovbase::GuardWorkerOperation(kExportDimensionSite, errNumber_, errDescription_, [&] {
    std::unordered_set<std::u16string> keys;
    for (const FeatureEntry& entry : features_) {
      const ComPtr<IHostFeature>& feature = entry.feature;
      ComPtr<IDispatch> shown = HostGet(u"IHostFeature::GetFirstDisplayDimension", feature,
                                        &IHostFeature::GetFirstDisplayDimension);
      while (shown) {
        ComPtr<IHostDisplayDimension> display = hostutil::QueryHost<IHostDisplayDimension>(shown);
        if (!display) hostutil::ThrowNoObject(u"IHostDisplayDimension");
        LONG displayType =
            HostGet(u"IHostDisplayDimension::GetType", display, &IHostDisplayDimension::GetType);
        LONG held = displayType == kDisplayDimensionChamfer ? 2 : 1;
        for (LONG k = 0; k < held; ++k) {
          ComPtr<IHostDimension> dimension =
              HostGet(u"IHostDisplayDimension::GetDimension", display,
                      &IHostDisplayDimension::GetDimension, k);
          std::u16string fullName =
              HostGet(u"IHostDimension::GetFullName", dimension, &IHostDimension::GetFullName);
          std::u16string key(hostutil::DimensionKey(fullName));
          // A known key: another feature shows this display dimension, and
          // its other dimension too.
          if (!keys.insert(key).second) break;

          // The key's first "@" parts the dimension's name from its feature's.
          std::u16string_view keyView(key);
          size_t at = keyView.find(u'@');
          std::u16string_view dimName = at == keyView.npos ? u"" : keyView.substr(0, at);
          std::u16string_view featureName = at == keyView.npos ? keyView : keyView.substr(at + 1);
          row_.BeginRow();
          row_.AddText(u"dimFullName", key);
          row_.AddText(u"dimName", dimName);
          row_.AddText(u"feature", featureName);
          row_.AddInteger(u"featId", entry.index);
          row_.AddReal(u"dimValue",
                       HostGet(u"IHostDimension::GetValue", dimension, &IHostDimension::GetValue));
          row_.AddReal(u"sysValue", HostGet(u"IHostDimension::GetSystemValue", dimension,
                                            &IHostDimension::GetSystemValue));
          row_.AddInteger(u"dimType", displayType);
          row_.AddInteger(u"dimParamType", HostGet(u"IHostDimension::GetParameterType", dimension,
                                                   &IHostDimension::GetParameterType));
          row_.AddInteger(u"readOnly", HostGet(u"IHostDimension::GetReadOnly", dimension,
                                               &IHostDimension::GetReadOnly));
          row_.AddInteger(u"drivenState", HostGet(u"IHostDimension::GetDrivenState", dimension,
                                                  &IHostDimension::GetDrivenState));
          row_.AddInteger(u"isReference", HostGet(u"IHostDimension::IsReference", dimension,
                                                  &IHostDimension::IsReference));
          // A dimension without a tolerance object has no tolerance columns:
          // nothing is claimed about it.
          ComPtr<IHostTolerance> tolerance =
              HostGet(u"IHostDimension::GetTolerance", dimension, &IHostDimension::GetTolerance);
          if (tolerance) {
            row_.AddInteger(u"tolType", HostGet(u"IHostTolerance::GetType", tolerance,
                                                &IHostTolerance::GetType));
            row_.AddReal(u"tolMinVal", HostGet(u"IHostTolerance::GetMinValue", tolerance,
                                               &IHostTolerance::GetMinValue));
            row_.AddReal(u"tolMaxVal", HostGet(u"IHostTolerance::GetMaxValue", tolerance,
                                               &IHostTolerance::GetMaxValue));
          }
          row_.InsertRow();
        }
        shown = HostGet(u"IHostFeature::GetNextDisplayDimension", feature,
                        &IHostFeature::GetNextDisplayDimension, shown.Get());
      }
    }
    return true;
  });
}
