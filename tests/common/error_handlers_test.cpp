#include "common/error_handlers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/kvx_exception.h"
#include "platform/fault_handlers.h"
#include "platform/text.h"

namespace {

using Dovbase::Kvx_Exception;
using Dovbase::StructuredExceptionMessage;

const void* Address(uintptr_t value) { return reinterpret_cast<const void*>(value); }

// Runs `fault` and returns the Kvx_Exception it throws; fails the test when
// it throws nothing.
template <typename Fault>
Kvx_Exception Thrown(Fault fault) {
  try {
    fault();
  } catch (const Kvx_Exception& error) {
    return error;
  }
  ADD_FAILURE() << "no Kvx_Exception thrown";
  return Kvx_Exception();
}

void ExpectNoSite(const Kvx_Exception& error) {
  EXPECT_EQ(error.file(), u"");
  EXPECT_EQ(error.function(), u"");
  EXPECT_EQ(error.line(), 0);
  EXPECT_EQ(error.reportFile(), u"");
  EXPECT_EQ(error.reportFunction(), u"");
  EXPECT_EQ(error.reportLine(), 0);
}

TEST(ErrorHandlersTest, StructuredExceptionMessageNamesTheCodeAndShowsAddressAndCode) {
  EXPECT_EQ(StructuredExceptionMessage(0xC0000094, Address(0x401a2f)),
            u"EXCEPTION_INT_DIVIDE_BY_ZERO\n address:\t0x00401a2f code:\t\t3221225620");
  EXPECT_EQ(StructuredExceptionMessage(0xE06D7363, Address(0x12345678)),
            u"unspecified Structed exception.\n address:\t0x12345678 code:\t\t3765269347");
  // Only the low 32 bits of a 64-bit address are shown.
  EXPECT_EQ(StructuredExceptionMessage(0xC0000005, Address(uintptr_t{0x7ffd1234abcdefULL})),
            u"EXCEPTION_ACCESS_VIOLATION\n address:\t0x34abcdef code:\t\t3221225477");
  EXPECT_EQ(StructuredExceptionMessage(0xFFFFFFFF, Address(0xdeadbeef)),
            u"EXCEPTION_CONTINUE_EXECUTION\n address:\t0xdeadbeef code:\t\t4294967295");
  // "%#010x" writes 0 without its "0x", as printf-style formatting does.
  EXPECT_EQ(StructuredExceptionMessage(0xC0000005, nullptr),
            u"EXCEPTION_ACCESS_VIOLATION\n address:\t0000000000 code:\t\t3221225477");
}

TEST(ErrorHandlersTest, EveryNamedCodeHasItsWindowsName) {
  struct Case {
    unsigned int code;
    const char16_t* name;
  };
  const Case cases[] = {
      {0xC0000005, u"EXCEPTION_ACCESS_VIOLATION"},
      {0xC0000006, u"EXCEPTION_IN_PAGE_ERROR"},
      {0xC0000008, u"EXCEPTION_INVALID_HANDLE"},
      {0xC000001D, u"EXCEPTION_ILLEGAL_INSTRUCTION"},
      {0xC0000025, u"EXCEPTION_NONCONTINUABLE_EXCEPTION"},
      {0xC0000026, u"EXCEPTION_INVALID_DISPOSITION"},
      {0xC000008C, u"EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
      {0xC000008D, u"EXCEPTION_FLT_DENORMAL_OPERAND"},
      {0xC000008E, u"EXCEPTION_FLT_DIVIDE_BY_ZERO"},
      {0xC000008F, u"EXCEPTION_FLT_INEXACT_RESULT"},
      {0xC0000090, u"EXCEPTION_FLT_INVALID_OPERATION"},
      {0xC0000091, u"EXCEPTION_FLT_OVERFLOW"},
      {0xC0000092, u"EXCEPTION_FLT_STACK_CHECK"},
      {0xC0000093, u"EXCEPTION_FLT_UNDERFLOW"},
      {0xC0000094, u"EXCEPTION_INT_DIVIDE_BY_ZERO"},
      {0xC0000095, u"EXCEPTION_INT_OVERFLOW"},
      {0xC0000096, u"EXCEPTION_PRIV_INSTRUCTION"},
      {0xC00000FD, u"EXCEPTION_STACK_OVERFLOW"},
      {0x80000001, u"EXCEPTION_GUARD_PAGE"},
      {0x80000002, u"EXCEPTION_DATATYPE_MISALIGNMENT"},
      {0x80000003, u"EXCEPTION_BREAKPOINT"},
      {0x80000004, u"EXCEPTION_SINGLE_STEP"},
      {0, u"EXCEPTION_CONTINUE_SEARCH"},
      {1, u"EXCEPTION_EXECUTE_HANDLER"},
      {15, u"EXCEPTION_MAXIMUM_PARAMETERS"},
      {0xFFFFFFFF, u"EXCEPTION_CONTINUE_EXECUTION"},
      {2, u"unspecified Structed exception."},
      {0xC0000007, u"unspecified Structed exception."},
  };
  for (const Case& c : cases) {
    std::u16string expected = std::u16string(c.name) + u"\n address:\t0x0000abcd code:\t\t" +
                              platform::Utf8ToUtf16(std::to_string(c.code));
    EXPECT_EQ(StructuredExceptionMessage(c.code, Address(0xabcd)), expected) << c.code;
  }
}

TEST(ErrorHandlersTest, TranslatorThrowsTheMessageWithoutASite) {
  EXCEPTION_RECORD record{};
  record.ExceptionCode = 0xC0000094;
  record.ExceptionAddress = reinterpret_cast<PVOID>(uintptr_t{0x1000});
  EXCEPTION_POINTERS pointers{&record, nullptr};
  Kvx_Exception error =
      Thrown([&] { Dovbase::TranslateStructuredException(0xC0000094, &pointers); });
  EXPECT_EQ(error.message(),
            u"EXCEPTION_INT_DIVIDE_BY_ZERO\n address:\t0x00001000 code:\t\t3221225620");
  ExpectNoSite(error);

  // Without a record the address reads as 0.
  error = Thrown([] { Dovbase::TranslateStructuredException(0xE06D7363, nullptr); });
  EXPECT_EQ(error.message(), StructuredExceptionMessage(0xE06D7363, nullptr));
}

TEST(ErrorHandlersTest, InstalledHandlersTurnRuntimeReportsIntoTheProgramsException) {
  Dovbase::InstallErrorHandlers();
  Dovbase::InstallErrorHandlers();  // a second call changes nothing

  Kvx_Exception error = Thrown([] { platform::ReportInvalidParameter(u"buffer != nullptr"); });
  EXPECT_EQ(error.message(), u"Expression: buffer != nullptr");
  ExpectNoSite(error);

  error = Thrown([] { platform::ReportInvalidParameter(nullptr); });
  EXPECT_EQ(error.message(), u"call function error.");
  ExpectNoSite(error);

  // The formatting buffer holds 600 characters.
  std::u16string longExpression(700, u'e');
  error = Thrown([&] { platform::ReportInvalidParameter(longExpression.c_str()); });
  EXPECT_EQ(error.message(), u"Expression: " + std::u16string(600 - 12, u'e'));

  error = Thrown([] { Dovbase::HandlePureCall(); });
  EXPECT_EQ(error.message(), u"In _purecall_handler.");
  ExpectNoSite(error);

  // The platform hands back what was installed: exactly these three.
  EXPECT_EQ(platform::SetStructuredExceptionTranslator(&Dovbase::TranslateStructuredException),
            &Dovbase::TranslateStructuredException);
  EXPECT_EQ(platform::SetInvalidParameterHandler(&Dovbase::HandleInvalidParameter),
            &Dovbase::HandleInvalidParameter);
  EXPECT_EQ(platform::SetPureCallHandler(&Dovbase::HandlePureCall), &Dovbase::HandlePureCall);
}

}  // namespace
