#include "platform/system_info.h"

#include <sys/time.h>

#include <cstdlib>
#include <ctime>
#include <string_view>

#include "platform/unknown.h"

namespace {

const char* LocaleName() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) return value;
  }
  return "";
}

}  // namespace

LANGID GetUserDefaultLangID() {
  std::string_view locale = LocaleName();
  // "zh_CN.UTF-8" and "zh_CN@variant": the territory is what follows '_'.
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale == "zh_CN" || locale == "zh_SG") return LANG_CHINESE_SIMPLIFIED;
  if (locale == "zh_TW" || locale == "zh_HK" || locale == "zh_MO") return LANG_CHINESE_TRADITIONAL;
  return LANG_ENGLISH_US;
}

namespace {

// The thread's locale; 0 until the thread sets one.
thread_local LCID t_threadLocale = 0;

}  // namespace

LCID GetThreadLocale() { return t_threadLocale ? t_threadLocale : GetUserDefaultLangID(); }

BOOL SetThreadLocale(LCID locale) {
  bool isDefault = locale == LOCALE_SYSTEM_DEFAULT || locale == LOCALE_USER_DEFAULT;
  t_threadLocale = isDefault ? GetUserDefaultLangID() : locale;
  return TRUE;
}

void GetLocalTime(SYSTEMTIME* out) {
  timeval now{};
  gettimeofday(&now, nullptr);
  time_t seconds = now.tv_sec;
  tm local{};
  localtime_r(&seconds, &local);
  out->wYear = static_cast<WORD>(local.tm_year + 1900);
  out->wMonth = static_cast<WORD>(local.tm_mon + 1);
  out->wDayOfWeek = static_cast<WORD>(local.tm_wday);
  out->wDay = static_cast<WORD>(local.tm_mday);
  out->wHour = static_cast<WORD>(local.tm_hour);
  out->wMinute = static_cast<WORD>(local.tm_min);
  out->wSecond = static_cast<WORD>(local.tm_sec);
  out->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}
