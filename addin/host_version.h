// The host's version as the add-in reads it from the host's revision text.
#pragma once

#include <string_view>

#include "platform/win_types.h"

namespace harbolt {

// The leading decimal integer of the revision text ("20.3.0" gives 20), read
// in the system's ANSI code page as the standard string-to-long conversion
// reads it: leading white space skipped, an optional sign, digits up to the
// first other character. No digits give 0; values beyond 32 bits are
// clamped.
LONG HostMajorVersion(std::u16string_view revision);

// The major version of the host's event type library that the add-in's
// sinks use: the host's major version from 14 on, else 0.
WORD EventTypeLibMajorVersion(LONG hostMajorVersion);

}  // namespace harbolt
