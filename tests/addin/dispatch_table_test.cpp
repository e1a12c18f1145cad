// The dispatch table machinery on an interface of the test's own: argument
// order, coercion, out-parameters and the exception path.
#include "addin/dispatch_table.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "addin/harbolt_ids.h"
#include "common/catch_pattern.h"
#include "platform/bstr.h"
#include "platform/com_object.h"
#include "platform/error_info.h"
#include "platform/format.h"
#include "platform/text.h"
#include "tests/support/dispatch_caller.h"

namespace dispatch_table_test {

struct ISample : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Join(BSTR first, LONG second, ULONG third, BSTR* joined) = 0;
  virtual HRESULT STDMETHODCALLTYPE Fail(BSTR message) = 0;
  virtual HRESULT STDMETHODCALLTYPE Count(LONGLONG* count) = 0;

 protected:
  ~ISample() = default;
};

}  // namespace dispatch_table_test
HB_DECLARE_IID(dispatch_table_test::ISample, "{5C0E0E36-3D0B-4C55-9B61-2B0F1E8C7A11}");

namespace dispatch_table_test {
namespace {

using testing_support::Arg;
using testing_support::CallDetails;
using testing_support::Invoke;

class Sample final : public ComObject<ISample> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

  HRESULT STDMETHODCALLTYPE Join(BSTR first, LONG second, ULONG third, BSTR* joined) override {
    if (third > 1000) return E_INVALIDARG;
    std::u16string text =
        std::u16string(BstrView(first)) + u"|" + platform::FormatWide(64, u"%d|%u", second, third);
    *joined = SysAllocString(text.c_str());
    return second < 0 ? S_FALSE : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Fail(BSTR message) override {
    std::string text = platform::Utf16ToUtf8(BstrView(message));
    return Dovbase::GuardAutomationMethod({u".\\Harbolt", u"Sample::Fail", 12}, kHarboltProgId,
                                          [&]() -> HRESULT { throw std::runtime_error(text); });
  }
  HRESULT STDMETHODCALLTYPE Count(LONGLONG* count) override {
    *count = ++count_;
    return S_OK;
  }

 private:
  LONGLONG count_ = 0;
};

constexpr harbolt::DispatchEntry<ISample> kTable[] = {
    harbolt::DispatchMethod<&ISample::Join>(1),
    harbolt::DispatchMethod<&ISample::Fail>(2),
    harbolt::DispatchPropertyGet<&ISample::Count>(3),
};

HRESULT Sample::Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
  return harbolt::DispatchInvoke<ISample>(kTable, this, dispid, riid, flags, params, result,
                                          excepInfo, argErr);
}

class DispatchTableTest : public ::testing::Test {
 protected:
  ComPtr<ISample> sample_ = MakeComObject<Sample, ISample>();
};

TEST_F(DispatchTableTest, PositionalArgumentsArriveInCallOrder) {
  ScopedVariant joined;
  EXPECT_EQ(S_OK, Invoke(sample_.Get(), 1, DISPATCH_METHOD, {Arg(u"a"), Arg(2), Arg(3)},
                         joined.Receive()));
  ASSERT_EQ(VT_BSTR, joined.Type());
  EXPECT_EQ(u"a|2|3", std::u16string(BstrView(joined.Get()->bstrVal)));

  // Coerced: a text to a number, a number and a real to texts and numbers.
  EXPECT_EQ(S_FALSE, Invoke(sample_.Get(), 1, DISPATCH_METHOD,
                            {Arg(7), Arg(u"-5"), Arg::Double(9.0)}, joined.Receive()));
  EXPECT_EQ(u"7|-5|9", std::u16string(BstrView(joined.Get()->bstrVal)));

  // A success other than S_OK delivers the out-value as well.
  BSTR out = nullptr;
  EXPECT_EQ(S_FALSE, Invoke(sample_.Get(), 1, DISPATCH_METHOD,
                            {Arg(u"x"), Arg(-1), Arg(0), Arg::BstrRef(&out)}));
  EXPECT_EQ(u"x|-1|0", std::u16string(BstrView(out)));
  SysFreeString(out);

  CallDetails details;
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(sample_.Get(), 1, DISPATCH_METHOD,
                                        {Arg(u"a"), Arg(u"two"), Arg(3)}, nullptr, &details));
  EXPECT_EQ(1u, details.argErr);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(sample_.Get(), 1, DISPATCH_METHOD,
                                        {Arg(u"a"), Arg(2), Arg(-3)}, nullptr, &details));
  EXPECT_EQ(0u, details.argErr);
  EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(sample_.Get(), 1, DISPATCH_METHOD, {Arg(u"a"), Arg(2)}));
}

TEST_F(DispatchTableTest, AnExceptionComesBackInExcepInfo) {
  CallDetails details;
  EXPECT_EQ(DISP_E_EXCEPTION,
            Invoke(sample_.Get(), 2, DISPATCH_METHOD, {Arg(u"disk on fire")}, nullptr, &details));
  EXPECT_EQ(Dovbase::E_HARBOLT_EXCEPTION, details.scode);
  EXPECT_EQ(u"Harbolt.Harbolt.1", details.source);
  EXPECT_EQ(u"disk on fire\n", details.description);
  // The error object was handed over, not left behind.
  ComPtr<IErrorInfo> left;
  EXPECT_EQ(S_FALSE, GetErrorInfo(0, left.ReleaseAndGetAddressOf()));

  // Without an EXCEPINFO the failure is still DISP_E_EXCEPTION, and the error
  // object stays with the thread.
  ScopedBstr message(u"no room");
  DISPPARAMS params{nullptr, nullptr, 0, 0};
  VARIANT arg;
  VariantInit(&arg);
  arg.vt = VT_BSTR;
  arg.bstrVal = message.Get();
  params.rgvarg = &arg;
  params.cArgs = 1;
  EXPECT_EQ(DISP_E_EXCEPTION,
            sample_->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
  EXPECT_EQ(S_OK, GetErrorInfo(0, left.ReleaseAndGetAddressOf()));
}

TEST_F(DispatchTableTest, AFailingStatusComesBackAsDispException) {
  // A member's failure without an error object: its status in EXCEPINFO, no
  // texts. Argument faults stay Invoke's own.
  CallDetails details;
  details.source = u"stale";
  ScopedVariant joined;
  EXPECT_EQ(DISP_E_EXCEPTION, Invoke(sample_.Get(), 1, DISPATCH_METHOD,
                                     {Arg(u"a"), Arg(-7), Arg(5000)}, joined.Receive(), &details));
  EXPECT_EQ(VT_EMPTY, joined.Type());
  EXPECT_EQ(E_INVALIDARG, details.scode);
  EXPECT_EQ(u"", details.source);
  EXPECT_EQ(u"", details.description);
  EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(sample_.Get(), 1, DISPATCH_METHOD,
                                        {Arg(u"a"), Arg(u"x"), Arg(0)}, nullptr, &details));
}

TEST_F(DispatchTableTest, PropertyGetsAndNullParameters) {
  ScopedVariant count;
  EXPECT_EQ(S_OK, sample_->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYGET, nullptr, count.Receive(),
                                  nullptr, nullptr));
  EXPECT_EQ(VT_I8, count.Type());
  EXPECT_EQ(1, count.Get()->llVal);
  // Without a result variant the value is dropped.
  EXPECT_EQ(S_OK, Invoke(sample_.Get(), 3, DISPATCH_PROPERTYGET, {}));
  EXPECT_EQ(S_OK, Invoke(sample_.Get(), 3, DISPATCH_PROPERTYGET, {}, count.Receive()));
  EXPECT_EQ(3, count.Get()->llVal);
  EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Invoke(sample_.Get(), 3, DISPATCH_METHOD, {}));
  DISPPARAMS broken{nullptr, nullptr, 2, 0};
  EXPECT_EQ(E_INVALIDARG,
            sample_->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &broken, nullptr, nullptr, nullptr));
}

}  // namespace
}  // namespace dispatch_table_test
