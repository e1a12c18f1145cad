#include "common/catch_pattern.h"

#include <gtest/gtest.h>

#include <new>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>

#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/error_info.h"
#include "platform/text.h"

namespace {

using Dovbase::CatchSite;
using Dovbase::CaughtError;
using Dovbase::Kvx_Exception;

constexpr const char16_t* kProgId = u"Harbolt.Harbolt.1";
constexpr CatchSite kCreateMenu{u".\\Harbolt", u"CHarbolt::CreateMenu", 520};
constexpr CatchSite kExport{u"SldToDb", u"CSldToDb::Export", 101};

struct NotAStandardException {};

// What the calling thread's COM error object says; nullopt when there is none.
struct ComError {
  std::u16string source;
  std::u16string description;
  GUID guid;
};
std::optional<ComError> TakeComError() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return std::nullopt;
  ComError error{};
  ScopedBstr text;
  info->GetSource(text.Receive());
  error.source = text.Str();
  info->GetDescription(text.Receive());
  error.description = text.Str();
  info->GetGUID(&error.guid);
  return error;
}

void ExpectReportedAt(const Kvx_Exception& error, const CatchSite& site) {
  EXPECT_EQ(error.reportFile(), site.file);
  EXPECT_EQ(error.reportFunction(), site.function);
  EXPECT_EQ(error.reportLine(), site.line);
}

void ExpectRaisedAt(const Kvx_Exception& error, const CatchSite& site) {
  EXPECT_EQ(error.file(), site.file);
  EXPECT_EQ(error.function(), site.function);
  EXPECT_EQ(error.line(), site.line);
}

class CatchPatternTest : public ::testing::Test {
 protected:
  void SetUp() override { SetErrorInfo(0, nullptr); }
  void TearDown() override { SetErrorInfo(0, nullptr); }
};

TEST_F(CatchPatternTest, TheProgramsExceptionIsCompletedWithTheCatchSite) {
  std::optional<CaughtError> caught = Dovbase::RunCatching(
      kCreateMenu, [] { throw Kvx_Exception(u"boom", u"kvx_xml", u"XmlDocument::parse", 42); });
  ASSERT_TRUE(caught);
  EXPECT_FALSE(caught->unexpected);
  EXPECT_EQ(caught->error.message(), u"boom");
  // The raise site stays what it was.
  EXPECT_EQ(caught->error.file(), u"kvx_xml");
  EXPECT_EQ(caught->error.function(), u"XmlDocument::parse");
  EXPECT_EQ(caught->error.line(), 42);
  ExpectReportedAt(caught->error, kCreateMenu);
  EXPECT_EQ(caught->error.ReportText(), u"boom\n");
}

TEST_F(CatchPatternTest, AStandardExceptionBecomesTheProgramsExceptionAtTheCatchSite) {
  std::optional<CaughtError> caught = Dovbase::RunCatching(
      kCreateMenu, [] { throw std::runtime_error("no such table: \xE8\xA1\xA8"); });
  ASSERT_TRUE(caught);
  EXPECT_FALSE(caught->unexpected);
  EXPECT_EQ(caught->error.message(), u"no such table: 表");
  ExpectRaisedAt(caught->error, kCreateMenu);
  ExpectReportedAt(caught->error, kCreateMenu);

  caught = Dovbase::RunCatching(kCreateMenu, [] { throw std::bad_alloc(); });
  ASSERT_TRUE(caught);
  EXPECT_FALSE(caught->unexpected);
  EXPECT_EQ(caught->error.message(), u"std::bad_alloc");
}

TEST_F(CatchPatternTest, AnythingElseIsAnUnexpectedError) {
  for (int kind = 0; kind < 3; ++kind) {
    std::optional<CaughtError> caught = Dovbase::RunCatching(kExport, [kind] {
      if (kind == 0) throw 42;
      if (kind == 1) throw NotAStandardException{};
      throw u"text";
    });
    ASSERT_TRUE(caught);
    EXPECT_TRUE(caught->unexpected);
    EXPECT_EQ(caught->error.message(), u"Unexpected error.");
    ExpectRaisedAt(caught->error, kExport);
    ExpectReportedAt(caught->error, kExport);
  }
}

TEST_F(CatchPatternTest, ABodyThatCompletesIsNoFailure) {
  int runs = 0;
  EXPECT_FALSE(Dovbase::RunCatching(kExport, [&] { ++runs; }));
  EXPECT_EQ(runs, 1);
}

TEST_F(CatchPatternTest, AutomationMethodsPublishTheReportTextAndReturn0x80040200) {
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, static_cast<HRESULT>(0x80040200));

  HRESULT hr = Dovbase::GuardAutomationMethod(
      kCreateMenu, kProgId, []() -> HRESULT { throw Kvx_Exception(u"menuNode not exists"); });
  EXPECT_EQ(hr, static_cast<HRESULT>(0x80040200));
  std::optional<ComError> error = TakeComError();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->source, u"Harbolt.Harbolt.1");
  EXPECT_EQ(error->description, u"menuNode not exists\n");
  EXPECT_TRUE(IsEqualGUID(error->guid, GUID_NULL));

  hr = Dovbase::GuardAutomationMethod(kCreateMenu, kProgId,
                                      []() -> HRESULT { throw std::out_of_range("vector"); });
  EXPECT_EQ(hr, static_cast<HRESULT>(0x80040200));
  error = TakeComError();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->description, u"vector\n");

  hr = Dovbase::GuardAutomationMethod(kCreateMenu, kProgId, [] { throw 1; });
  EXPECT_EQ(hr, static_cast<HRESULT>(0x80040200));
  error = TakeComError();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->description, u"Unexpected error.\n");
}

TEST_F(CatchPatternTest, AutomationMethodsThatCompleteReturnTheirOwnResult) {
  EXPECT_EQ(Dovbase::GuardAutomationMethod(kCreateMenu, kProgId, [] { return S_FALSE; }), S_FALSE);
  EXPECT_EQ(Dovbase::GuardAutomationMethod(kCreateMenu, kProgId, [] { return E_INVALIDARG; }),
            E_INVALIDARG);
  EXPECT_EQ(Dovbase::GuardAutomationMethod(kCreateMenu, kProgId, [] {}), S_OK);
  EXPECT_FALSE(TakeComError());
}

TEST_F(CatchPatternTest, WorkersRecordMinusOneAndTheirPrefixedDescription) {
  int32_t errNumber = 0;
  std::u16string errDescription;
  bool ok = Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, []() -> bool {
    throw Kvx_Exception(u"GetActiveDoc failed");
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(errNumber, -1);
  EXPECT_EQ(errDescription, u"CSldToDb::Export() error: GetActiveDoc failed\n");

  errNumber = 0;
  ok = Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, []() -> bool {
    throw std::runtime_error("SQL logic error[1]: no such table");
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(errNumber, -1);
  EXPECT_EQ(errDescription, u"CSldToDb::Export() error: SQL logic error[1]: no such table\n");

  errNumber = 0;
  ok = Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription,
                                     []() -> bool { throw NotAStandardException{}; });
  EXPECT_FALSE(ok);
  EXPECT_EQ(errNumber, -1);
  EXPECT_EQ(errDescription, u"Unexpected error.\n");

  // Workers publish nothing.
  EXPECT_FALSE(TakeComError());
}

TEST_F(CatchPatternTest, WorkersThatCompleteKeepTheirResultAndTheirErrorFields) {
  int32_t errNumber = 0;
  std::u16string errDescription = u"earlier";
  EXPECT_TRUE(
      Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, [] { return true; }));
  EXPECT_FALSE(
      Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, [] { return false; }));
  EXPECT_TRUE(Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, [] {}));
  EXPECT_EQ(errNumber, 0);
  EXPECT_EQ(errDescription, u"earlier");
}

TEST_F(CatchPatternTest, WorkerDescriptionComposesFromTheCaughtError) {
  CaughtError caught{Kvx_Exception(u"x"), false};
  caught.error.SetReportFunction(u"CDbToSld::Import");
  EXPECT_EQ(Dovbase::WorkerErrorDescription(caught), u"CDbToSld::Import() error: x\n");
  caught.unexpected = true;
  EXPECT_EQ(Dovbase::WorkerErrorDescription(caught), u"x\n");
}

// Real run-time faults. Each helper is kept out of line, its operand opaque
// and its result stored where the compiler must assume it is read, so that
// the fault happens at run time inside the catch pattern at any optimisation.
volatile int g_sink = 0;

__attribute__((noinline, no_sanitize("undefined"))) void Divide(int numerator) {
  volatile int divisor = 0;
  g_sink = numerator / divisor;
}

__attribute__((noinline, no_sanitize("undefined", "address"))) void ReadThrough(
    const int* pointer) {
  g_sink = *static_cast<const volatile int*>(pointer);
}

}  // namespace

// Outside the unnamed namespace on purpose: with the class hierarchy open to
// other translation units the compiler cannot prove that Derived::Hook is the
// only target and must really dispatch through Base's virtual table.
namespace catch_pattern_test {

class Base;
__attribute__((noinline)) void CallHook(Base* object);

class Base {
 public:
  // Calls Hook while only Base is constructed: the pure function itself.
  Base() { CallHook(this); }
  virtual ~Base() = default;
  virtual void Hook() = 0;
};

__attribute__((noinline)) void CallHook(Base* object) { object->Hook(); }

class Derived : public Base {
 public:
  void Hook() override {}
};

}  // namespace catch_pattern_test

namespace {

using catch_pattern_test::Derived;

// The address is formatted with "%#010x", which writes 0 without the "0x".
const std::regex kFaultMessage(
    "(EXCEPTION_[A-Z_]+)\n address:\t(0x[0-9a-f]{8}|0{10}) code:\t\t([0-9]+)");

TEST_F(CatchPatternTest, RealFaultsEndAsTheProgramsExceptionWithTheirDescription) {
  Dovbase::InstallErrorHandlers();
  volatile int* nothing = nullptr;

  // Repeated, to show that a fault handled once leaves the next one handled too.
  for (int round = 0; round < 2; ++round) {
    std::optional<CaughtError> caught = Dovbase::RunCatching(kCreateMenu, [] { Divide(7); });
    ASSERT_TRUE(caught);
    EXPECT_FALSE(caught->unexpected);
    std::string message = platform::Utf16ToUtf8(caught->error.message());
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(message, parts, kFaultMessage)) << message;
    EXPECT_EQ(parts[1], "EXCEPTION_INT_DIVIDE_BY_ZERO");
    EXPECT_EQ(parts[3], "3221225620");
    ExpectReportedAt(caught->error, kCreateMenu);

    caught = Dovbase::RunCatching(kCreateMenu, [] { Derived object; });
    ASSERT_TRUE(caught);
    EXPECT_FALSE(caught->unexpected);
    EXPECT_EQ(caught->error.message(), u"In _purecall_handler.");
    ExpectReportedAt(caught->error, kCreateMenu);

    caught = Dovbase::RunCatching(kCreateMenu, [&] { ReadThrough(const_cast<int*>(nothing)); });
    ASSERT_TRUE(caught);
    EXPECT_FALSE(caught->unexpected);
    message = platform::Utf16ToUtf8(caught->error.message());
    ASSERT_TRUE(std::regex_match(message, parts, kFaultMessage)) << message;
    EXPECT_EQ(parts[1], "EXCEPTION_ACCESS_VIOLATION");
    EXPECT_EQ(parts[3], "3221225477");
  }

  // Through an automation method the fault ends as 0x80040200 with its text.
  HRESULT hr = Dovbase::GuardAutomationMethod(kCreateMenu, kProgId, [] { Divide(1); });
  EXPECT_EQ(hr, static_cast<HRESULT>(0x80040200));
  std::optional<ComError> error = TakeComError();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->description.rfind(u"EXCEPTION_INT_DIVIDE_BY_ZERO\n address:\t0x", 0), 0u);
  EXPECT_EQ(error->description.back(), u'\n');

  int32_t errNumber = 0;
  std::u16string errDescription;
  EXPECT_FALSE(
      Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, [] { Derived object; }));
  EXPECT_EQ(errNumber, -1);
  EXPECT_EQ(errDescription, u"CSldToDb::Export() error: In _purecall_handler.\n");
}

}  // namespace
