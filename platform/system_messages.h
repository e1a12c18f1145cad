// The system's message texts for status codes (Win32 error codes and
// HRESULTs), as FormatMessage gives them from the system's message table.
#pragma once

#include "platform/win_types.h"

constexpr DWORD FORMAT_MESSAGE_IGNORE_INSERTS = 0x00000200;
constexpr DWORD FORMAT_MESSAGE_FROM_SYSTEM = 0x00001000;
constexpr DWORD ERROR_MR_MID_NOT_FOUND = 317;

// Writes the text of messageId in the language (0: the user's default) into
// buffer, each text ending in "\r\n" as the system's texts do. Only
// FORMAT_MESSAGE_FROM_SYSTEM is served; source and arguments are ignored.
// Returns the characters written (without the terminator), or 0 with the last
// error set when the table has no text or the buffer is too small.
DWORD FormatMessageW(DWORD flags, const void* source, DWORD messageId, DWORD languageId,
                     LPWSTR buffer, DWORD bufferChars, void* arguments);
