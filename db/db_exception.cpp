#include "db/db_exception.h"

#include <sqlite3.h>

#include "platform/format.h"

namespace {

struct CodeName {
  int code;
  const OLECHAR* name;
};

constexpr CodeName kCodeNames[] = {
    {SQLITE_OK, u"SQLITE_OK"},
    {SQLITE_ERROR, u"SQLITE_ERROR"},
    {SQLITE_INTERNAL, u"SQLITE_INTERNAL"},
    {SQLITE_PERM, u"SQLITE_PERM"},
    {SQLITE_ABORT, u"SQLITE_ABORT"},
    {SQLITE_BUSY, u"SQLITE_BUSY"},
    {SQLITE_LOCKED, u"SQLITE_LOCKED"},
    {SQLITE_NOMEM, u"SQLITE_NOMEM"},
    {SQLITE_READONLY, u"SQLITE_READONLY"},
    {SQLITE_INTERRUPT, u"SQLITE_INTERRUPT"},
    {SQLITE_IOERR, u"SQLITE_IOERR"},
    {SQLITE_CORRUPT, u"SQLITE_CORRUPT"},
    {SQLITE_NOTFOUND, u"SQLITE_NOTFOUND"},
    {SQLITE_FULL, u"SQLITE_FULL"},
    {SQLITE_CANTOPEN, u"SQLITE_CANTOPEN"},
    {SQLITE_PROTOCOL, u"SQLITE_PROTOCOL"},
    {SQLITE_EMPTY, u"SQLITE_EMPTY"},
    {SQLITE_SCHEMA, u"SQLITE_SCHEMA"},
    {SQLITE_TOOBIG, u"SQLITE_TOOBIG"},
    {SQLITE_CONSTRAINT, u"SQLITE_CONSTRAINT"},
    {SQLITE_MISMATCH, u"SQLITE_MISMATCH"},
    {SQLITE_MISUSE, u"SQLITE_MISUSE"},
    {SQLITE_NOLFS, u"SQLITE_NOLFS"},
    {SQLITE_AUTH, u"SQLITE_AUTH"},
    {SQLITE_FORMAT, u"SQLITE_FORMAT"},
    {SQLITE_RANGE, u"SQLITE_RANGE"},
    {SQLITE_ROW, u"SQLITE_ROW"},
    {SQLITE_DONE, u"SQLITE_DONE"},
    {DbException::kLayerError, u"DBLAYER_ERROR"},
};

}  // namespace

DbException::DbException(int code, std::u16string_view detail)
    : code_(code),
      message_(platform::FormatWide(platform::kUnlimited, u"%s[%d]: %s", sqliteCodeName(code), code,
                                    detail)) {}

DbException::~DbException() = default;

const OLECHAR* sqliteCodeName(int code) noexcept {
  for (const CodeName& entry : kCodeNames) {
    if (entry.code == code) return entry.name;
  }
  return u"UNKNOWN_ERROR";
}
