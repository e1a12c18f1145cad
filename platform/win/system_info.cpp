// The user's language, the thread's locale and the local time, as the
// system keeps them.
#include "platform/system_info.h"

#include "platform/win/layout.h"
#include "platform/win/sdk.h"

static_assert(sizeof(SYSTEMTIME) == platform::layout::kSystemTimeSize);

LANGID GetUserDefaultLangID() { return platform::sdk::GetUserDefaultLangID(); }

LCID GetThreadLocale() { return platform::sdk::GetThreadLocale(); }

BOOL SetThreadLocale(LCID locale) { return platform::sdk::SetThreadLocale(locale); }

void GetLocalTime(SYSTEMTIME* time) { platform::sdk::GetLocalTime(time); }
