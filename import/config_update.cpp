// The configuration step: changed rows of the table Config, written to the
// configuration of the active document that the row names. A
// configuration's name, parent and type are never written.
#include "import/db_to_sld.h"
#include "import/host_access.h"

bool CDbToSld::UpdateConfig() {
  SetQuery(kConfigColumns, MakeFlagCondition(2));
  if (!ExecQuery()) return false;
  if (query_.atEnd()) return true;

  ComPtr<IHostModelDoc> document = ActiveDocument();
  if (!document) return false;

  for (; !query_.atEnd(); query_.next()) {
    ScopedBstr name(query_.textByName(u"configName"));
    ComPtr<IHostConfiguration> configuration;
    if (FAILED(document->GetConfiguration(name.Get(), configuration.ReleaseAndGetAddressOf())) ||
        !configuration) {
      return false;
    }
    // A refused value does not stop the row; the import reports it.
    const std::u16string item(name.View());
    ScopedBstr alternateName(query_.textByName(u"alternateName"));
    refused_.Check(configuration->SetAlternateName(alternateName.Get()),
                   u"IHostConfiguration::SetAlternateName", item);
    refused_.Check(configuration->SetBomPartNumberSource(query_.intByName(u"bomPartNoSrc")),
                   u"IHostConfiguration::SetBomPartNumberSource", item);
    ScopedBstr comment(query_.textByName(u"comment"));
    refused_.Check(configuration->SetComment(comment.Get()), u"IHostConfiguration::SetComment",
                   item);
    ScopedBstr description(query_.textByName(u"description"));
    refused_.Check(configuration->SetDescription(description.Get()),
                   u"IHostConfiguration::SetDescription", item);
    refused_.Check(configuration->SetLocked(importer::HostBool(query_.intByName(u"isLock"))),
                   u"IHostConfiguration::SetLocked", item);
    refused_.Check(configuration->SetUseAlternateNameInBom(
                       importer::HostBool(query_.intByName(u"useAlterInBom"))),
                   u"IHostConfiguration::SetUseAlternateNameInBom", item);
  }
  return true;
}
