// Names that the export and the import both derive, so that the two sides of
// the database agree on them: stored table names and the model names taken
// from host texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hostutil {

// The stored name of a logical table: "DADU" + "_3_" + the logical name
// ("Feature" is stored as DADU_3_Feature).
std::u16string MakeTableName(std::u16string_view logicalName);

// The pieces of a text split at every separator: each piece before a
// separator as it stands (an empty one included), the piece after the last
// separator only when it is not empty. Nothing is trimmed; an empty text
// gives no pieces.
std::vector<std::u16string_view> SplitPieces(std::u16string_view text, char16_t separator);

// The names of a caller's table list: its pieces between "," (SplitPieces).
std::vector<std::u16string> SplitTableList(std::u16string_view tableList);

// A dimension's key: its full name without the document part, cut before
// the last "@"; empty when there is none ("D1@Sketch1@Plate.SLDPRT" gives
// "D1@Sketch1").
std::u16string_view DimensionKey(std::u16string_view fullName);

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
