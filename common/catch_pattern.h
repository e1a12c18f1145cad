// The one catch pattern of the system. Every automation method and every
// worker operation runs its body through it, so that no exception leaves the
// module and every failure is reported the same way:
//
//   1. Dovbase::Kvx_Exception: completed with the catch site as its report
//      file, report function and report line;
//   2. any other standard exception: a Kvx_Exception whose message is the
//      exception's what() read in the system's ANSI code page, with the catch
//      site as both its raise site and its report fields;
//   3. anything else: the same with the message "Unexpected error.".
//
// An automation method then publishes the report text as the thread's COM
// error object and returns E_HARBOLT_EXCEPTION:
//
//   return Dovbase::GuardAutomationMethod({u".\\Harbolt", u"CHarbolt::RefreshTable", 712},
//                                         kProgId, [&] { ...; return hr; });
//
// A worker operation records error number -1 and "<function>() error: " +
// report text (the report text alone after clause 3) and returns false:
//
//   return Dovbase::GuardWorkerOperation({u"SldToDb", u"CSldToDb::Export", 101},
//                                        errNumber_, errDescription_, [&] { ...; return ok; });
//
// RunCatching gives the bare failure to callers that must do more before
// they report it:
//
//   bool ok = true;
//   if (auto caught = Dovbase::RunCatching(site, [&] { ok = Work(); })) {
//     Dovbase::WriteLog(u"Import out error");
//     return Dovbase::RecordWorkerFailure(*caught, errNumber_, errDescription_);
//   }
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "common/kvx_exception.h"
#include "platform/win_types.h"

namespace Dovbase {

// What an automation method returns when an exception ended it.
constexpr HRESULT E_HARBOLT_EXCEPTION = MakeHresult(0x80040200);

// The place that catches: the report file (".\\Harbolt", "SldToDb",
// "DbToSld", ...), the qualified name of the method ("CSldToDb::Export") and
// a line number of its own. The texts are literals that outlive the call.
struct CatchSite {
  const OLECHAR* file;
  const OLECHAR* function;
  int32_t line;
};

// A failure the pattern caught. `error` carries the catch site in its report
// fields; `unexpected` tells clause 3 (neither the program's exception nor a
// standard one).
struct CaughtError {
  Kvx_Exception error;
  bool unexpected = false;
};

namespace catch_pattern_internal {
// Runs body(context) inside the three catch clauses. Never throws; when even
// the failure cannot be built for lack of memory, the result is an
// unexpected failure with an empty message.
std::optional<CaughtError> Run(const CatchSite& site, void (*body)(void*), void* context) noexcept;
}  // namespace catch_pattern_internal

// Runs body() (which returns nothing); returns no value when it completed
// and the caught failure when it threw.
template <typename Body>
std::optional<CaughtError> RunCatching(const CatchSite& site, Body&& body) noexcept {
  using BodyType = std::remove_reference_t<Body>;
  return catch_pattern_internal::Run(
      site, [](void* context) { (*static_cast<BodyType*>(context))(); },
      const_cast<void*>(static_cast<const void*>(std::addressof(body))));
}

// Publishes the report text of `error` as the calling thread's COM error
// object (source `source`, interface GUID_NULL) and returns
// E_HARBOLT_EXCEPTION, also when the object cannot be made.
HRESULT PublishComError(const OLECHAR* source, const Kvx_Exception& error) noexcept;

// The worker's error description for a failure: the report function, "()
// error: " and the report text; for clause 3 the report text alone.
std::u16string WorkerErrorDescription(const CaughtError& caught);

// Records a worker's failure: errNumber -1, errDescription as
// WorkerErrorDescription gives it (empty when even that cannot be built).
// Returns false, the worker's result for a failed operation.
bool RecordWorkerFailure(const CaughtError& caught, int32_t& errNumber,
                         std::u16string& errDescription) noexcept;

// An automation method's body (returning HRESULT, or nothing for S_OK) run
// inside the catch pattern: its result, or E_HARBOLT_EXCEPTION after
// publishing the failure with PublishComError.
template <typename Body>
HRESULT GuardAutomationMethod(const CatchSite& site, const OLECHAR* source, Body&& body) noexcept {
  HRESULT result = S_OK;
  std::optional<CaughtError> caught = RunCatching(site, [&] {
    if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
      body();
    } else {
      result = body();
    }
  });
  return caught ? PublishComError(source, caught->error) : result;
}

// A worker operation's body (returning bool, or nothing for true) run inside
// the catch pattern: its result, or false after RecordWorkerFailure.
template <typename Body>
bool GuardWorkerOperation(const CatchSite& site, int32_t& errNumber, std::u16string& errDescription,
                          Body&& body) noexcept {
  bool result = true;
  std::optional<CaughtError> caught = RunCatching(site, [&] {
    if constexpr (std::is_void_v<std::invoke_result_t<Body&>>) {
      body();
    } else {
      result = body();
    }
  });
  return caught ? RecordWorkerFailure(*caught, errNumber, errDescription) : result;
}

}  // namespace Dovbase
