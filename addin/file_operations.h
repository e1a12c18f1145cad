// The caller's file operations through the host: open a model file, save
// the active document, list the files the active document depends on. Each
// returns 0 on success and -1 on failure; a failure sets the error number to
// -1 and the error description as stated, and publishes no COM error object.
// No exception leaves them: one that reaches them (out of memory) is a
// failure with the description "CHarbolt::<operation>():" and its message.
//
// The host may be null (not connected): opening fails as the host's open
// would, saving and listing as without an active document. No reference on
// the host or its documents is kept.
#pragma once

#include <string>
#include <string_view>

#include "host/host_application.h"
#include "platform/win_types.h"

namespace harbolt {

// What the file operations return on failure (0xFFFFFFFF).
inline constexpr HRESULT kFileOperationFailed = -1;

// Opens the model file at path as the document type its extension names
// (SLDPRT part, SLDASM assembly, SLDDRW drawing, in any letter case) and
// makes it the active document. First every open document whose file name
// (the text after the last "\" or "/") equals the requested one exactly
// (letter case counts) is prepared for closing and closed, without saving.
// Failures:
// - no file at path: the system's message text for the last error code;
// - an extension outside the three: "CHarbolt::OpenFile():" and a sentence
//   naming the extensions that can be opened;
// - the host opens nothing: the empty text (the message without text that
//   this failure names).
HRESULT OpenModelFile(IHostApplication* host, std::u16string_view path, LONG& errNumber,
                      std::u16string& errDescription);

// Saves the active document (with the documents it changed). Failure:
// "CHarbolt::SaveFile():" and the system's message text for the host's
// failing status, or "No document is active." when there is none.
HRESULT SaveActiveDocument(IHostApplication* host, LONG& errNumber, std::u16string& errDescription);

// The full paths of the files the active document depends on (all levels,
// suppressed components included), each once, in the host's order, joined
// by "|"; written to *depends as a new BSTR, which the receiver frees. What
// *depends held on entry is neither read nor freed, and it is left as it
// was on failure: "CHarbolt::GetDependencies():" and the system's message
// text for the host's failing status, or "No document is active.".
HRESULT ListDependencies(IHostApplication* host, BSTR* depends, LONG& errNumber,
                         std::u16string& errDescription);

// The system's message text for a status (a Win32 error code or an HRESULT)
// in the user's default language, without the line break that ends the
// table's texts. A status without text: "IDispatch error #n" for a status
// above 0x80040200 and up to 0x8004FFFF (n: the status less 0x200, low 16
// bits), else "Unknown error 0x" and the status in upper-case hexadecimal.
std::u16string SystemMessageText(DWORD status);

}  // namespace harbolt
