// The table "Config": one row per configuration of the active document.
#include <string>

#include "common/catch_pattern.h"
#include "export/sld_to_db.h"
#include "hostutil/host_call.h"
#include "hostutil/host_lists.h"

namespace {

constexpr Dovbase::CatchSite kExportConfigSite{u"SldToDb", u"CSldToDb::ExportConfig", 1049};

// The configuration type is known to hosts above this revision value.
constexpr double kConfigTypeRevision = 18.4;

using hostutil::HostGet;

}  // namespace

bool CSldToDb::ExportConfig() {
  return Dovbase::GuardWorkerOperation(kExportConfigSite, errNumber_, errDescription_, [&] {
    ComPtr<IHostModelDoc> document = ActiveDocument();
    for (const std::u16string& name : hostutil::ConfigurationNames(document.Get())) {
      ComPtr<IHostConfiguration> configuration =
          hostutil::ConfigurationByName(document.Get(), name);
      row_.BeginRow();
      row_.AddText(u"configName", name);
      // A top-level configuration has no parent: the column stays empty.
      if (ComPtr<IHostConfiguration> parent = HostGet(
              u"IHostConfiguration::GetParent", configuration, &IHostConfiguration::GetParent)) {
        row_.AddText(u"parentConfig",
                     HostGet(u"IHostConfiguration::GetName", parent, &IHostConfiguration::GetName));
      }
      row_.AddText(u"alternateName", HostGet(u"IHostConfiguration::GetAlternateName", configuration,
                                             &IHostConfiguration::GetAlternateName));
      row_.AddInteger(u"configType", revisionValue_ > kConfigTypeRevision
                                         ? HostGet(u"IHostConfiguration::GetType", configuration,
                                                   &IHostConfiguration::GetType)
                                         : 0);
      row_.AddInteger(u"bomPartNoSrc",
                      HostGet(u"IHostConfiguration::GetBomPartNumberSource", configuration,
                              &IHostConfiguration::GetBomPartNumberSource));
      row_.AddText(u"comment", HostGet(u"IHostConfiguration::GetComment", configuration,
                                       &IHostConfiguration::GetComment));
      row_.AddText(u"description", HostGet(u"IHostConfiguration::GetDescription", configuration,
                                           &IHostConfiguration::GetDescription));
      row_.AddInteger(u"isLock", HostGet(u"IHostConfiguration::GetLocked", configuration,
                                         &IHostConfiguration::GetLocked));
      row_.AddInteger(u"useAlterInBom",
                      HostGet(u"IHostConfiguration::GetUseAlternateNameInBom", configuration,
                              &IHostConfiguration::GetUseAlternateNameInBom));
      row_.InsertRow();
    }
    return true;
  });
}
