// The user's language and the local time, as the system reports them.
#include "platform/system_info.h"

#include "platform/win/layout.h"
#include "platform/win/sdk.h"

static_assert(sizeof(SYSTEMTIME) == platform::layout::kSystemTimeSize);

LANGID GetUserDefaultLangID() { return platform::sdk::GetUserDefaultLangID(); }

void GetLocalTime(SYSTEMTIME* time) { platform::sdk::GetLocalTime(time); }
