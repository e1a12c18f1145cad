// The localised messages that users may see: string resources of the module
// in English (United States), Chinese (Simplified) and Chinese (Traditional),
// looked up by id in the user's default language. On Windows they are the
// DLL's string tables; elsewhere the built-in table (message_table.h).
#pragma once

#include <string>

#include "platform/win_types.h"

namespace Dovbase {

// Message ids.
constexpr UINT IDS_ADDIN_TITLE = 4000;          // title of the default command group
constexpr UINT IDS_LOGIN = 4001;                // the default command
constexpr UINT IDS_LOGOUT = 4002;               // first command of the caller's menu
constexpr UINT IDS_MENU_NODE_MISSING = 5800;    // "menuNode not exists"
constexpr UINT IDS_INVALID_DOC_TYPE = 5810;     // "error: invalid docType"
constexpr UINT IDS_NOT_ASSEMBLY = 5811;         // "GetDocType not assembly"
constexpr UINT IDS_TABLE_NODE_MISSING = 5812;   // "tabNode is nothing"
constexpr UINT IDS_QUERY_FAILED = 5820;         // "ExecQuery is failed"
constexpr UINT IDS_INDEX_OUT_OF_RANGE = 5821;   // "index cross the border"
constexpr UINT IDS_QUERY_UNKNOWN_ERROR = 5822;  // "ExecQuery is failed..unknown error."

// The text of message `id` in the user's default language
// (GetUserDefaultLangID); when that language has no text for it, the
// module's ordinary string lookup (platform::LoadStringOrdinary), which
// finds the English (United States) text;
// when no table holds the id, the empty text. Never fails otherwise.
std::u16string LoadMessage(UINT id);

}  // namespace Dovbase
