// The outcome of one call of the add-in's automation interface, judged as
// the caller judges it, and told in words for the user.
#pragma once

#include <optional>
#include <string>

#include "platform/win_types.h"

namespace harbolt_cli {

// The add-in's status when an exception ended a method (its COM error
// object then holds the text).
inline constexpr HRESULT kHarboltException = MakeHresult(0x80040200);
// The failure result of the file operations.
inline constexpr HRESULT kFileOperationFailed = -1;

// A status as a caller names it: "S_OK", "S_FALSE", "E_NOTIMPL (0x80004001)",
// "-1", "0x80040200", ...
std::string StatusText(HRESULT hr);

struct CallResult {
  std::u16string member;
  HRESULT hr = S_OK;
  // The COM error text (EXCEPINFO) when an exception ended the call.
  std::u16string exceptionText;
  // errNumber and errDescription, read right after a failure of a member
  // that reports through them (export, import, menus, file operations).
  std::optional<LONG> errorNumber;
  std::u16string errorDescription;

  bool ok() const { return hr == S_OK; }
  // kExitOk, kExitException for 0x80040200, else kExitFailed.
  int ExitStatus() const;
  // One line: "RefreshTable returned S_FALSE: error -1: CSldToDb::...",
  // "RefreshTable ended with an exception (0x80040200): Unexpected error.",
  // "SaveFile is not implemented by this add-in (E_NOTIMPL)", ...
  std::string Describe() const;
};

// Whether a failure of the member is reported through errNumber and
// errDescription.
bool ReportsErrorState(std::u16string_view member);

// A text from the add-in as UTF-8, without trailing blanks and line breaks.
std::string Printable(std::u16string_view text);

}  // namespace harbolt_cli
