// The table "Componen": the component tree of every configuration of the
// active document, with preview pictures saved in the work directory.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/catch_pattern.h"
#include "export/sld_to_db.h"
#include "hostutil/host_call.h"
#include "hostutil/host_lists.h"
#include "hostutil/model_names.h"
#include "platform/ole_picture.h"

namespace {

constexpr Dovbase::CatchSite kExportComponentSite{u"SldToDb", u"CSldToDb::ExportComponent", 1329};

using hostutil::HostGet;

// The preview file of a model: the work directory, a separator unless it
// ends with one, the model's name and ".bmp". All instances and
// configurations of a model share the file. The name comes from the host: a
// character that would lead out of the work directory or that no file name
// may hold (separators, a drive colon, wildcards, control characters)
// becomes "_", so that the file is always one file inside the work
// directory.
std::u16string PreviewPath(std::u16string_view workDir, std::u16string_view realName) {
  std::u16string path(workDir);
  if (path.back() != u'\\' && path.back() != u'/') {
    path += static_cast<char16_t>(std::filesystem::path::preferred_separator);
  }
  for (char16_t c : realName) {
    const bool unfit =
        c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos;
    path += unfit ? u'_' : c;
  }
  path += u".bmp";
  return path;
}

// What every component row needs besides the component.
struct ComponentRowContext {
  RowWriter& row;
  IHostApplication* host;
  const std::u16string& workDir;
  const std::u16string& configName;
};

// Writes the row of one component under its parent's name (no parentComp
// when that is empty) and returns the component's own name.
std::u16string WriteComponentRow(const ComponentRowContext& context, IHostComponent* component,
                                 std::u16string_view parentName) {
  RowWriter& row = context.row;
  std::u16string name = HostGet(u"IHostComponent::GetName", component, &IHostComponent::GetName);
  std::u16string realName = hostutil::RealName(name);
  row.BeginRow();
  row.AddText(u"configName", context.configName);
  row.AddText(u"compName", name);
  row.AddText(u"realName", realName);
  row.AddText(u"refConfig", HostGet(u"IHostComponent::GetReferencedConfiguration", component,
                                    &IHostComponent::GetReferencedConfiguration));
  if (!parentName.empty()) row.AddText(u"parentComp", parentName);
  row.AddInteger(u"compVisible", HostGet(u"IHostComponent::GetVisibility", component,
                                         &IHostComponent::GetVisibility));
  row.AddInteger(u"ConsStatus", HostGet(u"IHostComponent::GetConstraintStatus", component,
                                        &IHostComponent::GetConstraintStatus));
  row.AddInteger(u"compSupState", HostGet(u"IHostComponent::GetSuppressionState", component,
                                          &IHostComponent::GetSuppressionState));
  std::u16string modelPath =
      HostGet(u"IHostComponent::GetPathName", component, &IHostComponent::GetPathName);
  // A work directory with a zero character names no directory the file
  // system can find; the preview is an extra, so the row goes without it.
  if (!context.workDir.empty() && context.workDir.find(u'\0') == std::u16string::npos) {
    // The preview is an extra: a picture the host cannot give leaves the row
    // without one, and whether the file could be written does not change the
    // row.
    ScopedBstr bsModelPath(modelPath);
    ScopedBstr bsConfigName(context.configName);
    ComPtr<IPictureDisp> picture;
    if (SUCCEEDED(context.host->GetPreviewPicture(bsModelPath.Get(), bsConfigName.Get(),
                                                  picture.ReleaseAndGetAddressOf())) &&
        picture) {
      std::u16string previewPath = PreviewPath(context.workDir, realName);
      ScopedBstr bsPreviewPath(previewPath);
      OleSavePictureFile(picture.Get(), bsPreviewPath.Get());
      row.AddText(u"previewBitmap", previewPath);
    }
  }
  row.InsertRow();
  return name;
}

}  // namespace

bool CSldToDb::ExportComponent() {
  return Dovbase::GuardWorkerOperation(kExportComponentSite, errNumber_, errDescription_, [&] {
    ComPtr<IHostModelDoc> document = ActiveDocument();
    for (const std::u16string& configName : hostutil::ConfigurationNames(document.Get())) {
      ComPtr<IHostConfiguration> configuration =
          hostutil::ConfigurationByName(document.Get(), configName);
      ComPtr<IHostComponent> root = HostGet(u"IHostConfiguration::GetRootComponent", configuration,
                                            &IHostConfiguration::GetRootComponent);
      if (!root) continue;
      ComponentRowContext context{row_, host_.Get(), workDir_, configName};
      // Every component is written, suppressed ones too; the root's row has
      // no parent.
      auto visit = [&](IHostComponent* component,
                       const std::u16string& parentName) -> std::optional<std::u16string> {
        return WriteComponentRow(context, component, parentName);
      };
      hostutil::WalkComponentTree(root.Get(), std::u16string(), visit);
    }
    return true;
  });
}
