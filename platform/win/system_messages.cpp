// Message texts from the system's message tables.
#include "platform/system_messages.h"

#include "platform/win/sdk.h"

DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPWSTR buffer, DWORD bufferChars, void* arguments) {
  return platform::sdk::FormatMessageW(flags, source, messageId, languageId, buffer, bufferChars,
                                       arguments);
}
