// The equation step: the rows of the table Equation flagged changed (2),
// deleted (3) and added (1), applied in that order in three passes. The
// changed and deleted passes address equations by their index as it was
// before the step began; added equations go after the last one.
#include <algorithm>
#include <functional>
#include <vector>

#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "common/messages.h"
#include "hostutil/host_call.h"
#include "import/db_to_sld.h"
#include "import/host_access.h"
#include "platform/format.h"

namespace {

constexpr Dovbase::CatchSite kUpdateEquationSite{u"DbToSld", u"CDbToSld::UpdateEquation", 853};
constexpr char16_t kPrefix[] = u"CDbToSld::UpdateEquation():";

// A text the host refused to take: the caller's equation is not in the model,
// which must not pass as a success.
[[noreturn]] void Refused(std::u16string_view format, LONG index, std::u16string_view text,
                          HRESULT result) {
  throw Dovbase::Kvx_Exception(
      platform::FormatWide(platform::kUnlimited, format, index, text, result));
}

}  // namespace

bool CDbToSld::UpdateEquation() {
  // The step's validation failures: error -1 and a message of the table.
  auto fail = [&](UINT message) {
    errNumber_ = -1;
    errDescription_ = kPrefix + Dovbase::LoadMessage(message);
    return false;
  };

  return Dovbase::GuardWorkerOperation(kUpdateEquationSite, errNumber_, errDescription_, [&] {
    Dovbase::InstallErrorHandlers();
    ComPtr<IHostModelDoc> document = RequiredActiveDocument();
    ComPtr<IHostEquationManager> equations;
    HRESULT hr = document->GetEquationManager(equations.ReleaseAndGetAddressOf());
    importer::RequireHostObject(hr, static_cast<bool>(equations),
                                u"IHostModelDoc::GetEquationManager");
    // A count the host could not give would make every row's index look
    // out of range.
    LONG count = hostutil::HostGet(u"IHostEquationManager::GetCount", equations,
                                   &IHostEquationManager::GetCount);

    // Changed: the text and the suppression state at the row's index.
    SetQuery(kEquationChangedColumns, MakeFlagCondition(2));
    if (!ExecQuery()) return fail(Dovbase::IDS_QUERY_FAILED);
    for (; !query_.atEnd(); query_.next()) {
      const LONG index = query_.intByName(u"equIndex");
      if (index < 0 || index >= count) return fail(Dovbase::IDS_INDEX_OUT_OF_RANGE);
      ScopedBstr text(query_.textByName(u"equation"));
      hr = equations->SetEquation(index, text.Get());
      if (FAILED(hr)) {
        Refused(u"equation %d not changed to %s (hr=0x%08x)", index, text.View(), hr);
      }
      refused_.Check(
          equations->SetSuppression(index, importer::HostBool(query_.intByName(u"suppression"))),
          u"IHostEquationManager::SetSuppression", text.View());
    }

    // Deleted: largest index first, so that the indices still to come keep
    // their place. Two rows naming one index delete that equation once.
    SetQuery(kEquationDeletedColumns, MakeFlagCondition(3));
    if (!ExecQuery()) return fail(Dovbase::IDS_QUERY_FAILED);
    if (!query_.atEnd()) {
      std::vector<LONG> deleted;
      for (; !query_.atEnd(); query_.next()) deleted.push_back(query_.intByName(u"equIndex"));
      std::sort(deleted.begin(), deleted.end(), std::greater<LONG>());
      deleted.erase(std::unique(deleted.begin(), deleted.end()), deleted.end());
      if (deleted.front() >= count) return fail(Dovbase::IDS_INDEX_OUT_OF_RANGE);
      for (LONG index : deleted) {
        LONG result = -1;
        // A failing call is the host's failure, not an answer about the
        // index: it is reported with the host's code.
        hostutil::CheckHost(equations->Delete(index, &result), u"IHostEquationManager::Delete");
        if (result == -1) return fail(Dovbase::IDS_INDEX_OUT_OF_RANGE);
      }
    }

    // Added: after the last equation, in the order of the rows; the row's
    // index has no say.
    SetQuery(kEquationAddedColumns, MakeFlagCondition(1));
    if (!ExecQuery()) return fail(Dovbase::IDS_QUERY_FAILED);
    LONG last = hostutil::HostGet(u"IHostEquationManager::GetCount", equations,
                                  &IHostEquationManager::GetCount);
    for (; !query_.atEnd(); query_.next()) {
      ScopedBstr text(query_.textByName(u"equation"));
      LONG added = -1;
      hr = equations->Add(last, text.Get(), VARIANT_TRUE, &added);
      if (FAILED(hr) || added < 0) {
        Refused(u"equation %d not added as %s (hr=0x%08x)", last, text.View(), hr);
      }
      ++last;
    }
    return true;
  });
}
