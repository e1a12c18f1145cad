// The text of the host failure behind the binding's last failing call on
// this thread: "IFeature.Name failed (0x8004DEAD): the host's own words".
// Every failure the binding reports (a failing Invoke, an answer of the
// wrong type, a check of the binding's own) records its HRESULT and text
// here, so that whoever turns the failing HRESULT into an error message can
// name the host member and keep the host's words.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/win_types.h"

namespace published {

// Records a failure; returns hr, so that a caller can write
// `return RecordHostFailure(hr, text);`.
HRESULT RecordHostFailure(HRESULT hr, std::u16string text);

// The text recorded for hr, taken off the thread; nothing when the last
// recorded failure had another HRESULT (it then stays for its owner).
std::optional<std::u16string> TakeHostFailure(HRESULT hr);

// Forgets the recorded failure.
void ClearHostFailure();

// "Interface.Member failed (0x%08X)", with ": detail" when there is one.
std::u16string HostFailureText(const char* interfaceName, std::u16string_view member, HRESULT hr,
                               std::u16string_view detail);

}  // namespace published
