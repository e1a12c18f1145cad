// What the add-in's commands do when the host calls them back: a command of
// the caller's menu is forwarded to the caller as a FireClickMenu event, and
// the login command of the default group starts the caller's client program.
#pragma once

#include <string_view>

#include "addin/command_groups.h"
#include "host/host_application.h"
#include "platform/unknown.h"

namespace harbolt {

// The client program that the login command starts, found on the PATH.
inline constexpr char16_t kClientProgram[] = u"Pelmora.exe";

// The click of command callback `number` (100 to 199) of the caller's menu:
// the first "mnu" element of the menu definition whose id, with blanks
// normalised, is the decimal text of the id that the command map holds for
// the number, is sent to eventSource with "FireClickMenu" (reached by name,
// invoked as a method with three texts: caxHandle, the path of the host's
// active document and the element's XML text). host and eventSource may be
// null; no reference is kept.
//
// Returns S_OK when no menu definition is loaded; S_FALSE when the number is
// not in the command map or no element has the id; the status of the host's
// active-document call when there is no active document (nothing is sent;
// S_OK without a host); otherwise the status of the last call made: the
// invocation, the name lookup when that failed, or the host's path call when
// there is no event source. The error state of the add-in is not touched.
HRESULT ForwardMenuClick(LONG number, CommandGroups& groups, IHostApplication* host,
                         IDispatch* eventSource, std::u16string_view caxHandle);

// The login command: starts kClientProgram through the shell with the
// parameter text "5 " followed by the low 32 bits of the host's main-window
// handle as an unsigned decimal number (0 when the host gives no frame). The
// outcome is not examined; S_OK.
HRESULT StartClientProgram(IHostApplication* host);

}  // namespace harbolt
