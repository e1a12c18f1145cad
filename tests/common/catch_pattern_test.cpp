// The program's exception, the catch pattern around automation methods and
// workers, and the handlers that turn run-time faults into the exception.
#include "common/catch_pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <new>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <tuple>

#include "common/error_handlers.h"
#include "common/kvx_exception.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/error_info.h"
#include "platform/fault_handlers.h"
#include "platform/text.h"

namespace {

using Dovbase::CatchSite;
using Dovbase::CaughtError;
using Dovbase::Kvx_Exception;

constexpr const char16_t* kProgId = u"Harbolt.Harbolt.1";
constexpr CatchSite kCreateMenu{u".\\Harbolt", u"CHarbolt::CreateMenu", 520};
constexpr CatchSite kExport{u"SldToDb", u"CSldToDb::Export", 101};
constexpr HRESULT kException = static_cast<HRESULT>(0x80040200);
constexpr CatchSite kNoSite{u"", u"", 0};

// The description of the calling thread's COM error object, taken; nullopt
// when there is none. Source and GUID are checked on the way.
std::optional<std::u16string> TakeComError() {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.ReleaseAndGetAddressOf()) != S_OK || !info) return std::nullopt;
  ScopedBstr text;
  info->GetSource(text.Receive());
  EXPECT_EQ(text.Str(), kProgId);
  GUID guid;
  info->GetGUID(&guid);
  EXPECT_TRUE(IsEqualGUID(guid, GUID_NULL));
  info->GetDescription(text.Receive());
  return std::u16string(text.Str());
}

void ExpectSites(const Kvx_Exception& e, const CatchSite& raised, const CatchSite& reported) {
  EXPECT_EQ(
      std::make_tuple(e.file(), e.function(), e.line()),
      std::make_tuple(std::u16string(raised.file), std::u16string(raised.function), raised.line));
  EXPECT_EQ(std::make_tuple(e.reportFile(), e.reportFunction(), e.reportLine()),
            std::make_tuple(std::u16string(reported.file), std::u16string(reported.function),
                            reported.line));
}

// The failure that body() ends in, caught at the export's site.
Kvx_Exception Thrown(void (*body)()) {
  std::optional<CaughtError> caught = Dovbase::RunCatching(kExport, body);
  return caught ? caught->error : Kvx_Exception(u"<nothing thrown>");
}

TEST(KvxExceptionTest, CarriesItsSitesAndIsAStandardExceptionInUtf8) {
  Kvx_Exception error(u"数据表节点不存在", u"SldToDb", u"CSldToDb::CreateTable", 2053);
  ExpectSites(error, {u"SldToDb", u"CSldToDb::CreateTable", 2053}, kNoSite);
  error.SetReportFile(u"rf");
  error.SetReportFunction(u"rg");
  error.SetReportLine(9);
  error.SetReportFile(nullptr);  // Null texts are ignored.
  error.SetReportFunction(nullptr);
  const Kvx_Exception copy = Kvx_Exception(u"other") = error;
  ExpectSites(copy, {u"SldToDb", u"CSldToDb::CreateTable", 2053}, {u"rf", u"rg", 9});
  EXPECT_STREQ(static_cast<const std::exception&>(copy).what(),
               "\xE6\x95\xB0\xE6\x8D\xAE\xE8\xA1\xA8\xE8\x8A\x82\xE7\x82\xB9"
               "\xE4\xB8\x8D\xE5\xAD\x98\xE5\x9C\xA8");
  EXPECT_EQ(Kvx_Exception(u"").ReportText(), u"\n");  // The message and a line feed.
}

TEST(CatchPatternTest, EachKindOfThrowEndsAsTheProgramsExceptionWithItsSites) {
  struct Case {
    const char* name;
    void (*body)();
    const char16_t* message;
    bool unexpected;
    CatchSite raised;
  };
  const Case cases[] = {
      {"program's own",
       [] { throw Kvx_Exception(u"boom", u"kvx_xml", u"Parse", 42); },
       u"boom",
       false,
       {u"kvx_xml", u"Parse", 42}},
      {"standard", [] { throw std::runtime_error("no such table: \xE8\xA1\xA8"); },
       u"no such table: 表", false, kExport},
      {"bad_alloc", [] { throw std::bad_alloc(); }, u"std::bad_alloc", false, kExport},
      {"int", [] { throw 42; }, u"Unexpected error.", true, kExport},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<CaughtError> caught = Dovbase::RunCatching(kExport, c.body);
    ASSERT_TRUE(caught);
    EXPECT_EQ(caught->unexpected, c.unexpected);
    EXPECT_EQ(caught->error.message(), c.message);
    ExpectSites(caught->error, c.raised, kExport);

    // An automation method publishes the report text and returns 0x80040200.
    EXPECT_EQ(Dovbase::GuardAutomationMethod(kCreateMenu, kProgId, c.body), kException);
    EXPECT_EQ(TakeComError(), std::u16string(c.message) + u"\n");

    // A worker records -1 and its description, prefixed unless unexpected;
    // it publishes nothing.
    int32_t errNumber = 0;
    std::u16string errDescription;
    EXPECT_FALSE(Dovbase::GuardWorkerOperation(kExport, errNumber, errDescription, c.body));
    EXPECT_EQ(errNumber, -1);
    EXPECT_EQ(errDescription, (c.unexpected ? u"" : u"CSldToDb::Export() error: ") +
                                  std::u16string(c.message) + u"\n");
    EXPECT_FALSE(TakeComError());
  }
}

TEST(ErrorHandlersTest, FaultMessagesNameTheCodeAndShowAddressAndCode) {
  const struct {
    unsigned int code;
    uintptr_t address;
    const char16_t* message;
  } cases[] = {
      {0xE06D7363, 0x12345678,
       u"unspecified Structed exception.\n address:\t0x12345678 code:\t\t3765269347"},
      // Only the low 32 bits of a 64-bit address are shown.
      {0xC0000005, 0x7ffd1234abcdefULL,
       u"EXCEPTION_ACCESS_VIOLATION\n address:\t0x34abcdef code:\t\t3221225477"},
      // "%#010x" writes 0 without its "0x", as printf-style formatting does.
      {0xC0000005, 0, u"EXCEPTION_ACCESS_VIOLATION\n address:\t0000000000 code:\t\t3221225477"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Dovbase::StructuredExceptionMessage(c.code, reinterpret_cast<const void*>(c.address)),
              c.message);
  }
  // The translator throws the message without a site; no record reads as address 0.
  Kvx_Exception error = Thrown([] { Dovbase::TranslateStructuredException(0xC0000005, nullptr); });
  EXPECT_EQ(error.message(), cases[2].message);
  ExpectSites(error, kNoSite, kExport);
}

TEST(ErrorHandlersTest, InstalledHandlersTurnRuntimeReportsIntoTheProgramsException) {
  Dovbase::InstallErrorHandlers();
  EXPECT_EQ(Thrown([] { platform::ReportInvalidParameter(u"buffer != nullptr"); }).message(),
            u"Expression: buffer != nullptr");
  EXPECT_EQ(Thrown([] { platform::ReportInvalidParameter(nullptr); }).message(),
            u"call function error.");
}

// Real faults: out of line, opaque operands and stored results keep them at run time.
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

// Outside the unnamed namespace, so Hook really dispatches while only Base is built.
namespace catch_pattern_test {

class Base;
__attribute__((noinline)) void CallHook(Base* object);

class Base {
 public:
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

TEST(CatchPatternTest, RealFaultsEndAsTheProgramsExceptionWithTheirDescription) {
  Dovbase::InstallErrorHandlers();
  volatile int* nothing = nullptr;
  const std::regex message(
      "(EXCEPTION_[A-Z_]+)\n address:\t(0x[0-9a-f]{8}|0{10}) code:\t\t([0-9]+)");
  // Twice: a fault handled once leaves the next one handled too.
  for (int round = 0; round < 2; ++round) {
    const struct {
      std::function<void()> body;
      std::string text;
    } faults[] = {
        {[] { Divide(7); }, "EXCEPTION_INT_DIVIDE_BY_ZERO 3221225620"},
        {[] { catch_pattern_test::Derived object; }, "In _purecall_handler."},
        {[&] { ReadThrough(const_cast<int*>(nothing)); }, "EXCEPTION_ACCESS_VIOLATION 3221225477"},
    };
    for (const auto& fault : faults) {
      std::optional<CaughtError> caught = Dovbase::RunCatching(kCreateMenu, fault.body);
      ASSERT_TRUE(caught) << fault.text;
      EXPECT_FALSE(caught->unexpected);
      EXPECT_EQ(
          std::regex_replace(platform::Utf16ToUtf8(caught->error.message()), message, "$1 $3"),
          fault.text);
      ExpectSites(caught->error, kNoSite, kCreateMenu);
    }
  }
}

}  // namespace
