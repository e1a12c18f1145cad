// Names that the export and the import both derive, so that the two sides of
// the database agree on them: stored table names and the model names taken
// from host texts.
#pragma once

#include <string>
#include <string_view>

namespace hostutil {

// The stored name of a logical table: "DADU" + "_3_" + the logical name
// ("Feature" is stored as DADU_3_Feature).
std::u16string MakeTableName(std::u16string_view logicalName);

// The model name in a component name: the text between the last "/" and the
// last "-" ("SubAsm-1/Bolt-2" gives "Bolt"). Without a "-" after the last "/"
// the text runs to the end ("SubAsm-1/Bolt" gives "Bolt", "Bolt" gives
// "Bolt").
std::u16string RealName(std::u16string_view componentName);

// A document's title without its extension: everything from the last "." on
// is removed ("Plate.SLDPRT" gives "Plate", "a.b.SLDPRT" gives "a.b"); a title
// without "." is kept whole.
std::u16string TitleBase(std::u16string_view title);

}  // namespace hostutil
