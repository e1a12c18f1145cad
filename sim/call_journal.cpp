#include "sim/call_journal.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "platform/text.h"
#include "sim/published_catalog.h"

namespace sim {
namespace {

// Operations of the connection points, which are no published members.
constexpr std::string_view kConnectionOperations[] = {
    "IConnectionPointContainer.FindConnectionPoint",
    "IConnectionPoint.Advise",
    "IConnectionPoint.Unadvise",
};

}  // namespace

std::string HostCall::ToString() const {
  std::string text = operation;
  if (!target.empty()) text += " " + platform::Utf16ToUtf8(target);
  text += "(";
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) text += ", ";
    text += platform::Utf16ToUtf8(arguments[i]);
  }
  return text + ")";
}

std::vector<std::string> KnownOperations() {
  std::vector<std::string> operations = PublishedOperations();
  operations.insert(operations.end(), std::begin(kConnectionOperations),
                    std::end(kConnectionOperations));
  return operations;
}

bool IsKnownOperation(std::string_view operation) {
  return FindOperation(operation) ||
         std::find(std::begin(kConnectionOperations), std::end(kConnectionOperations), operation) !=
             std::end(kConnectionOperations);
}

std::optional<HRESULT> CallJournal::Enter(std::string_view operation, std::u16string target,
                                          std::vector<std::u16string> arguments) {
  if (recording_) {
    calls_.push_back(HostCall{std::string(operation), std::move(target), std::move(arguments)});
  }
  std::optional<HRESULT> outcome;
  for (Fault& fault : faults_) {
    if (fault.operation != operation) continue;
    ++fault.seen;
    if (!outcome && (fault.occurrence == 0 || fault.seen == fault.occurrence)) {
      outcome = fault.kind == FaultKind::kFail ? fault.failure : S_OK;
    }
  }
  return outcome;
}

void CallJournal::AddFault(std::string_view faultText, FaultKind kind, HRESULT failure) {
  std::string_view operation = faultText;
  int occurrence = 0;
  if (size_t hash = faultText.find('#'); hash != std::string_view::npos) {
    operation = faultText.substr(0, hash);
    std::string_view count = faultText.substr(hash + 1);
    if (count != "*") {
      auto [end, ec] = std::from_chars(count.data(), count.data() + count.size(), occurrence);
      if (ec != std::errc() || end != count.data() + count.size() || occurrence < 1) {
        throw std::invalid_argument("bad occurrence in fault \"" + std::string(faultText) +
                                    "\" (expected #1, #2, ... or #*)");
      }
    }
  }
  if (!IsKnownOperation(operation)) {
    throw std::invalid_argument("unknown host operation \"" + std::string(operation) + "\"");
  }
  if (kind == FaultKind::kFail && SUCCEEDED(failure)) {
    throw std::invalid_argument("a failing call needs a failing HRESULT");
  }
  faults_.push_back(Fault{std::string(operation), occurrence, kind, failure});
}

}  // namespace sim
