#include "export/refresh_tables.h"

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "db/db_connection.h"
#include "export/sld_to_db.h"
#include "platform/bstr.h"
#include "platform/files.h"

namespace {

constexpr Dovbase::CatchSite kRefreshTableSite{u".\\Harbolt", u"CHarbolt::RefreshTable", 712};

}  // namespace

HRESULT RefreshTables(IHostApplication* host, const Dovbase::XmlDocument& dictionary,
                      const std::u16string& workDir, BSTR tableList, BSTR dbPath,
                      const OLECHAR* errorSource, int32_t& errNumber,
                      std::u16string& errDescription, int busyTimeoutMs) {
  return Dovbase::GuardAutomationMethod(kRefreshTableSite, errorSource, [&]() -> HRESULT {
    Dovbase::InstallErrorHandlers();
    const std::u16string path(BstrView(dbPath));
    // SQLite would open an empty path as a private temporary database, and
    // the export would vanish with it while reporting success.
    if (path.empty()) throw Dovbase::Kvx_Exception(u"No database file given.");
    // The file system would read the path only up to a zero character and
    // the export would land in another file than the one named.
    if (path.find(u'\0') != std::u16string::npos) {
      throw Dovbase::Kvx_Exception(u"The database file name holds a zero character.");
    }
    // A file that cannot be deleted (in use) is reused: every table is
    // emptied before it is written. Deleting a database another connection
    // still works in would pull the file from under it (and let its journal
    // meet the new file), so such a file is kept, as Windows keeps it.
    if (DbConnection::Replaceable(path)) DeleteFileW(path.c_str());

    DbConnection db(busyTimeoutMs);
    db.open(path);
    db.execute(u"begin transaction");
    CSldToDb exporter(host, &db, dictionary, workDir);
    if (exporter.Export(BstrView(tableList))) {
      db.execute(u"commit transaction");
      return S_OK;
    }
    errNumber = exporter.errNumber();
    errDescription = exporter.errDescription();
    db.execute(u"rollback transaction");
    return S_FALSE;
  });
}
