#include "import/update_tables.h"

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "import/db_to_sld.h"
#include "platform/bstr.h"

namespace {

constexpr Dovbase::CatchSite kUpdateTableSite{u".\\Harbolt", u"CHarbolt::UpdateTable", 739};

}  // namespace

HRESULT UpdateTables(IHostApplication* host, BSTR tableList, BSTR dbPath,
                     const OLECHAR* errorSource, int32_t& errNumber, std::u16string& errDescription,
                     int busyTimeoutMs) noexcept {
  return Dovbase::GuardAutomationMethod(kUpdateTableSite, errorSource, [&] {
    Dovbase::InstallErrorHandlers();
    CDbToSld importer{ComPtr<IHostApplication>(host), busyTimeoutMs};
    if (importer.Import(std::u16string(BstrView(dbPath)), std::u16string(BstrView(tableList)))) {
      return S_OK;
    }
    errNumber = importer.errNumber();
    errDescription = importer.errDescription();
    return S_FALSE;
  });
}
