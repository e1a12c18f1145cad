// The export as the automation method RefreshTable runs it: a fresh database
// file, one transaction, the exporter, and commit or rollback.
#pragma once

#include <cstdint>
#include <string>

#include "common/kvx_xml.h"
#include "db/db_connection.h"
#include "host/host_application.h"
#include "platform/win_types.h"

// Exports the host's active document into the tables of tableList (logical
// names separated by ",") in the SQLite file dbPath. The file is deleted
// (ignoring failure) and opened anew; everything is written in one
// transaction. A database that another connection uses or that is
// read-only is not deleted but written in place, as on Windows, where such a
// file cannot be deleted; its statements wait up to busyTimeoutMs for
// another connection's lock. Null BSTRs read as empty texts.
//
// Returns S_OK when the export was committed (errNumber and errDescription
// untouched); S_FALSE when it failed and was rolled back, with the
// exporter's error number and description copied into errNumber and
// errDescription; E_HARBOLT_EXCEPTION (0x80040200) when an exception ended it
// (the database could not be opened, a transaction statement failed, no host,
// an empty database path), after publishing the failure as the thread's COM
// error object with source errorSource. The database file is closed on
// return; an export that did not commit leaves none of its tables behind.
HRESULT RefreshTables(IHostApplication* host, const Dovbase::XmlDocument& dictionary,
                      const std::u16string& workDir, BSTR tableList, BSTR dbPath,
                      const OLECHAR* errorSource, int32_t& errNumber,
                      std::u16string& errDescription,
                      int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs);
