#include "common/catch_pattern.h"

#include <new>
#include <utility>

#include "platform/com_ptr.h"
#include "platform/error_info.h"
#include "platform/text.h"

namespace Dovbase {
namespace {

// Clauses 2 and 3: a new exception raised and reported at the catch site.
CaughtError FailureAt(const CatchSite& site, std::u16string message, bool unexpected) {
  CaughtError caught{Kvx_Exception(std::move(message), site.file ? site.file : u"",
                                   site.function ? site.function : u"", site.line),
                     unexpected};
  return caught;
}

void Stamp(const CatchSite& site, Kvx_Exception& error) {
  error.SetReportFile(site.file);
  error.SetReportFunction(site.function);
  error.SetReportLine(site.line);
}

}  // namespace

namespace catch_pattern_internal {

std::optional<CaughtError> Run(const CatchSite& site, void (*body)(void*), void* context) noexcept {
  try {
    try {
      body(context);
      return std::nullopt;
    } catch (const Kvx_Exception& error) {
      CaughtError caught{error, false};
      Stamp(site, caught.error);
      return caught;
    } catch (const std::exception& error) {
      CaughtError caught = FailureAt(site, platform::AnsiToWide(error.what()), false);
      Stamp(site, caught.error);
      return caught;
    } catch (...) {
      CaughtError caught = FailureAt(site, u"Unexpected error.", true);
      Stamp(site, caught.error);
      return caught;
    }
  } catch (...) {
    // Building the failure ran out of memory. An empty message needs none,
    // and the caller still learns that the body failed.
    return CaughtError{Kvx_Exception(), true};
  }
}

}  // namespace catch_pattern_internal

HRESULT PublishComError(const OLECHAR* source, const Kvx_Exception& error) noexcept {
  try {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.ReleaseAndGetAddressOf())) && create) {
      std::u16string sourceText = source ? source : u"";
      std::u16string description = error.ReportText();
      create->SetGUID(GUID_NULL);
      create->SetSource(sourceText.data());
      create->SetDescription(description.data());
      ComPtr<IErrorInfo> info;
      if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    }
  } catch (...) {
    // Out of memory while publishing: the caller still gets the failure code.
  }
  return E_HARBOLT_EXCEPTION;
}

std::u16string WorkerErrorDescription(const CaughtError& caught) {
  if (caught.unexpected) return caught.error.ReportText();
  return caught.error.reportFunction() + u"() error: " + caught.error.ReportText();
}

bool RecordWorkerFailure(const CaughtError& caught, int32_t& errNumber,
                         std::u16string& errDescription) noexcept {
  errNumber = -1;
  try {
    errDescription = WorkerErrorDescription(caught);
  } catch (...) {
    errDescription.clear();
  }
  return false;
}

}  // namespace Dovbase
