// Facts about the user's system: default language and local time.
#pragma once

#include "platform/win_types.h"

constexpr LANGID LANG_ENGLISH_US = 0x0409;
constexpr LANGID LANG_CHINESE_SIMPLIFIED = 0x0804;
constexpr LANGID LANG_CHINESE_TRADITIONAL = 0x0404;

// The user's default language: on Windows the system's. Elsewhere it comes
// from LC_ALL, LC_MESSAGES or LANG (the first that is set): zh_CN and zh_SG
// give Chinese (Simplified), zh_TW, zh_HK and zh_MO Chinese (Traditional),
// anything else English (United States).
LANGID GetUserDefaultLangID();

// The calling thread's locale. It starts as the user's default language;
// SetThreadLocale takes any locale identifier, LOCALE_SYSTEM_DEFAULT and
// LOCALE_USER_DEFAULT (platform/unknown.h) standing for the language they name (elsewhere than
// on Windows, both are the user's default language), and returns TRUE. On
// Windows these are the system's calls; elsewhere the value is kept per
// thread by the platform layer, and nothing else reads it.
LCID GetThreadLocale();
BOOL SetThreadLocale(LCID locale);

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

// The current local date and time, to the millisecond.
void GetLocalTime(SYSTEMTIME* time);
