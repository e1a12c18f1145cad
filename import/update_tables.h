// The work of IHarbolt::UpdateTable: the import of the rows that the caller
// flagged in the tables of a database into the host's active model.
#pragma once

#include <cstdint>
#include <string>

#include "db/db_connection.h"
#include "host/host_application.h"
#include "platform/win_types.h"

// Imports the flagged rows of the logical tables in tableList (separated by
// ",") from the database file at dbPath into the active document of host,
// through one CDbToSld. The file is only read. Null texts read as empty.
// Returns S_OK when the import succeeded (errNumber and errDescription are
// left as they were); S_FALSE when it failed, after copying the importer's
// error number and description into errNumber and errDescription (0 and
// empty for the failures without a message); E_HARBOLT_EXCEPTION
// (0x80040200) when an exception ended it, after publishing the failure
// ("CHarbolt::UpdateTable") as the thread's COM error object with source
// errorSource, errNumber and errDescription untouched. Installs the
// process-wide error handlers. Statements wait up to busyTimeoutMs for
// another connection's lock. Never throws.
HRESULT UpdateTables(IHostApplication* host, BSTR tableList, BSTR dbPath,
                     const OLECHAR* errorSource, int32_t& errNumber, std::u16string& errDescription,
                     int busyTimeoutMs = DbConnection::kDefaultBusyTimeoutMs) noexcept;
