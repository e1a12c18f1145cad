// The feature list of the active document and the table "Feature".
#include <string>
#include <utility>

#include "common/catch_pattern.h"
#include "export/sld_to_db.h"
#include "hostutil/host_call.h"
#include "platform/text.h"

namespace {

constexpr Dovbase::CatchSite kGetFeaturesSite{u"SldToDb", u"CSldToDb::GetFeatures", 641};
constexpr Dovbase::CatchSite kExportFeatureSite{u"SldToDb", u"CSldToDb::ExportFeature", 756};

// The edit status is known to hosts above this revision value.
constexpr double kEditStatusRevision = 18.0;

using hostutil::HostGet;

void AppendEntry(std::vector<FeatureEntry>& features, ComPtr<IHostFeature> feature,
                 int32_t ownerIndex) {
  std::u16string name = HostGet(u"IHostFeature::GetName", feature, &IHostFeature::GetName);
  int32_t index = static_cast<int32_t>(features.size());
  features.push_back({std::move(feature), std::move(name), {}, index, ownerIndex});
}

}  // namespace

bool CSldToDb::GetFeatures() {
  return Dovbase::GuardWorkerOperation(kGetFeaturesSite, errNumber_, errDescription_, [&] {
    features_.clear();
    ComPtr<IHostModelDoc> document = ActiveDocument();

    // The top of the tree, in definition order; a feature with an owner is
    // reached under its owner.
    ComPtr<IHostFeature> feature =
        HostGet(u"IHostModelDoc::GetFirstFeature", document, &IHostModelDoc::GetFirstFeature);
    while (feature) {
      ComPtr<IHostFeature> owner =
          HostGet(u"IHostFeature::GetOwnerFeature", feature, &IHostFeature::GetOwnerFeature);
      ComPtr<IHostFeature> next =
          HostGet(u"IHostFeature::GetNextFeature", feature, &IHostFeature::GetNextFeature);
      if (!owner) AppendEntry(features_, std::move(feature), -1);
      feature = std::move(next);
    }

    // Breadth first: the list grows while it is expanded, and every entry
    // appended is expanded in its turn, so an owner always precedes what
    // hangs under it.
    ComPtr<IHostSelectionManager> selection;
    for (size_t i = 0; i < features_.size(); ++i) {
      ComPtr<IHostFeature> current = features_[i].feature;
      // Kept for the feature's row: the host is asked once.
      features_[i].typeName =
          HostGet(u"IHostFeature::GetTypeName", current, &IHostFeature::GetTypeName);
      ComPtr<IHostFeature> child;
      if (platform::EqualsIgnoringAsciiCase(features_[i].typeName, kReferenceFeatureTypeName)) {
        // A component: its features are those of its model, reached through
        // the component that selecting the feature yields.
        HostGet(u"IHostFeature::Select", current, &IHostFeature::Select, VARIANT_FALSE);
        if (!selection) {
          selection = HostGet(u"IHostModelDoc::GetSelectionManager", document,
                              &IHostModelDoc::GetSelectionManager);
        }
        ComPtr<IDispatch> selected =
            HostGet(u"IHostSelectionManager::GetSelectedObject", selection,
                    &IHostSelectionManager::GetSelectedObject, 1, kAnySelectionMark);
        if (ComPtr<IHostComponent> component = hostutil::QueryHost<IHostComponent>(selected)) {
          child = HostGet(u"IHostComponent::GetFirstFeature", component,
                          &IHostComponent::GetFirstFeature);
        }
      } else {
        child = HostGet(u"IHostFeature::GetFirstSubFeature", current,
                        &IHostFeature::GetFirstSubFeature);
      }
      while (child) {
        ComPtr<IHostFeature> next =
            HostGet(u"IHostFeature::GetNextSubFeature", child, &IHostFeature::GetNextSubFeature);
        AppendEntry(features_, std::move(child), static_cast<int32_t>(i));
        child = std::move(next);
      }
    }
    return true;
  });
}

bool CSldToDb::ExportFeature() {
  return Dovbase::GuardWorkerOperation(kExportFeatureSite, errNumber_, errDescription_, [&] {
    for (const FeatureEntry& entry : features_) {
      const ComPtr<IHostFeature>& feature = entry.feature;
      row_.BeginRow();
      row_.AddInteger(u"featId", entry.index);
      row_.AddText(u"featName", entry.name);
      row_.AddText(u"typeName", entry.typeName);
      if (entry.ownerIndex >= 0) {
        row_.AddInteger(u"ownerFeatureId", entry.ownerIndex);
        row_.AddText(u"ownerFeature", features_[entry.ownerIndex].name);
      }
      row_.AddText(u"createdBy",
                   HostGet(u"IHostFeature::GetCreatedBy", feature, &IHostFeature::GetCreatedBy));
      row_.AddText(u"dateCreated", HostGet(u"IHostFeature::GetDateCreated", feature,
                                           &IHostFeature::GetDateCreated));
      row_.AddInteger(u"createdVersion", HostGet(u"IHostFeature::GetCreatedVersion", feature,
                                                 &IHostFeature::GetCreatedVersion));
      row_.AddText(u"dateModified", HostGet(u"IHostFeature::GetDateModified", feature,
                                            &IHostFeature::GetDateModified));
      row_.AddInteger(u"modifiedVersion", HostGet(u"IHostFeature::GetModifiedVersion", feature,
                                                  &IHostFeature::GetModifiedVersion));
      row_.AddInteger(u"updateStamp", HostGet(u"IHostFeature::GetUpdateStamp", feature,
                                              &IHostFeature::GetUpdateStamp));
      row_.AddText(u"description", HostGet(u"IHostFeature::GetDescription", feature,
                                           &IHostFeature::GetDescription));
      row_.AddInteger(u"editStatus", revisionValue_ > kEditStatusRevision
                                         ? HostGet(u"IHostFeature::GetEditStatus", feature,
                                                   &IHostFeature::GetEditStatus)
                                         : 0);
      row_.AddInteger(u"errorCode",
                      HostGet(u"IHostFeature::GetErrorCode", feature, &IHostFeature::GetErrorCode));
      row_.AddInteger(u"isBase", HostGet(u"IHostFeature::IsBase", feature, &IHostFeature::IsBase));
      row_.AddInteger(u"visible",
                      HostGet(u"IHostFeature::GetVisible", feature, &IHostFeature::GetVisible));
      row_.AddInteger(u"uiState", HostGet(u"IHostFeature::GetUIState", feature,
                                          &IHostFeature::GetUIState, kFeatureUiStateHidden));
      row_.AddInteger(u"isSuppressed",
                      HostGet(u"IHostFeature::IsSuppressed", feature, &IHostFeature::IsSuppressed));
      row_.InsertRow();
    }
    return true;
  });
}
