// The registrar: applies or removes a registry script, the text form in
// which a COM server describes its registry entries:
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {1C227C16-...} = s 'Harbolt Class'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s 'apartment'
//         }
//       }
//     }
//   }
//
// Roots: HKCR, HKCU, HKLM (or their long names). A key may carry a default
// value (= s 'text', = d 'number') and a block of subkeys and named values
// (val Name = s 'text'). Names are bare words or quoted ('...', with ''
// standing for one quote). %NAME% in names and values is replaced from the
// replacement list (%% is a percent sign).
//
// Registering creates every key and writes its values; a ForceRemove key is
// first deleted with everything below it; a Delete key is deleted. Removing
// deletes a ForceRemove key whole, visits the subkeys of every other key and
// then deletes it when nothing is left below it; NoRemove keys stay (only
// their subkeys are visited). Keys that do not exist are passed over.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win_types.h"

namespace platform {

using RegistryReplacements = std::vector<std::pair<std::u16string, std::u16string>>;

// S_OK; E_INVALIDARG for a script that does not parse (nothing is written
// then); the registry's failure as an HRESULT otherwise.
HRESULT UpdateRegistryFromScript(std::u16string_view script,
                                 const RegistryReplacements& replacements, bool registering);

}  // namespace platform
