// The table "Equation": one row per equation, with its two sides.
#include <string>
#include <string_view>
#include <vector>

#include "common/catch_pattern.h"
#include "export/sld_to_db.h"
#include "hostutil/host_call.h"
#include "hostutil/model_names.h"

namespace {

constexpr Dovbase::CatchSite kExportEquationSite{u"SldToDb", u"CSldToDb::ExportEquation", 959};

using hostutil::HostGet;

struct EquationSides {
  std::u16string_view left;
  std::u16string_view right;
};

// The left and right side of an equation text. A text of the form left "="
// right splits into exactly two pieces. Any other text (no "=", an "=" at the
// end, a condition or comparison with more "=") still has its row, since the
// import addresses equations by their index: its left side is the text before
// the first "=" (the whole text when there is none) and its right side the
// rest after that "=".
EquationSides SidesOf(std::u16string_view text) {
  std::vector<std::u16string_view> pieces = hostutil::SplitPieces(text, u'=');
  if (pieces.size() == 2) return {pieces[0], pieces[1]};
  size_t equals = text.find(u'=');
  if (equals == std::u16string_view::npos) return {text, std::u16string_view()};
  return {text.substr(0, equals), text.substr(equals + 1)};
}

}  // namespace

bool CSldToDb::ExportEquation() {
  return Dovbase::GuardWorkerOperation(kExportEquationSite, errNumber_, errDescription_, [&] {
    ComPtr<IHostModelDoc> document = ActiveDocument();
    ComPtr<IHostEquationManager> equations =
        HostGet(u"IHostModelDoc::GetEquationManager", document, &IHostModelDoc::GetEquationManager);
    LONG count =
        HostGet(u"IHostEquationManager::GetCount", equations, &IHostEquationManager::GetCount);
    for (LONG i = 0; i < count; ++i) {
      row_.BeginRow();
      row_.AddInteger(u"equIndex", i);
      std::u16string text = HostGet(u"IHostEquationManager::GetEquation", equations,
                                    &IHostEquationManager::GetEquation, i);
      row_.AddText(u"equation", text);
      EquationSides sides = SidesOf(text);
      row_.AddText(u"equLeft", sides.left);
      row_.AddText(u"equRight", sides.right);
      row_.AddReal(u"equValue", HostGet(u"IHostEquationManager::GetValue", equations,
                                        &IHostEquationManager::GetValue, i));
      row_.AddInteger(u"suppression", HostGet(u"IHostEquationManager::GetSuppression", equations,
                                              &IHostEquationManager::GetSuppression, i));
      row_.InsertRow();
    }
    return true;
  });
}
