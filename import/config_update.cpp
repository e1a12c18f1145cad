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
    ScopedBstr alternateName(query_.textByName(u"alternateName"));
    configuration->SetAlternateName(alternateName.Get());
    configuration->SetBomPartNumberSource(query_.intByName(u"bomPartNoSrc"));
    ScopedBstr comment(query_.textByName(u"comment"));
    configuration->SetComment(comment.Get());
    ScopedBstr description(query_.textByName(u"description"));
    configuration->SetDescription(description.Get());
    configuration->SetLocked(importer::HostBool(query_.intByName(u"isLock")));
    configuration->SetUseAlternateNameInBom(importer::HostBool(query_.intByName(u"useAlterInBom")));
  }
  return true;
}
