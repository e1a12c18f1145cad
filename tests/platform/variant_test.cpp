// Automation values: VARIANTs and SAFEARRAYs.
#include "platform/variant.h"

#include <gtest/gtest.h>

#include "platform/com_object.h"
#include "platform/safearray.h"
#include "platform/text.h"

namespace {

// A COM object that counts its live instances.
int g_liveProbes = 0;
class Probe final : public ComObject<IDispatch> {
 public:
  Probe() { ++g_liveProbes; }
  ~Probe() override { --g_liveProbes; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return E_NOTIMPL;
  }
};

TEST(VariantTest, ClearCopyAndChangeTypeFollowOwnershipAndConvert) {
  {
    ScopedVariant original;
    original.Get()->vt = VT_DISPATCH;
    original.Get()->pdispVal = MakeComObject<Probe, IDispatch>().Detach();
    ScopedVariant copy;
    ASSERT_EQ(VariantCopy(copy.Get(), original.Get()), S_OK);
    EXPECT_EQ(copy.Get()->pdispVal, original.Get()->pdispVal);
    VariantClear(original.Get());
    EXPECT_EQ(original.Type(), VT_EMPTY);
    EXPECT_EQ(g_liveProbes, 1);
  }
  EXPECT_EQ(g_liveProbes, 0);
  ScopedVariant text(u"零件");
  ScopedVariant copy;
  ASSERT_EQ(VariantCopy(copy.Get(), text.Get()), S_OK);
  EXPECT_NE(copy.Get()->bstrVal, text.Get()->bstrVal);
  EXPECT_EQ(BstrView(copy.Get()->bstrVal), u"零件");
  ScopedVariant moved(std::move(copy));
  EXPECT_EQ(copy.Type(), VT_EMPTY);
  copy = std::move(moved);
  EXPECT_EQ(moved.Type(), VT_EMPTY);
  EXPECT_EQ(BstrView(copy.Get()->bstrVal), u"零件");
  ScopedVariant array;
  array.Get()->vt = VT_ARRAY | VT_BSTR;
  array.Get()->parray = SafeArrayCreateVector(VT_BSTR, 0, 3);
  ScopedVariant arrayCopy;
  ASSERT_EQ(VariantCopy(arrayCopy.Get(), array.Get()), S_OK);
  EXPECT_NE(arrayCopy.Get()->parray, array.Get()->parray);
  ScopedVariant out;
  ScopedVariant spaced(u" 42 ");
  ASSERT_EQ(VariantChangeType(out.Get(), spaced.Get(), 0, VT_I4), S_OK);
  EXPECT_EQ(out.Get()->lVal, 42);
  ScopedVariant number(LONG{-7});
  ASSERT_EQ(VariantChangeType(out.Get(), number.Get(), 0, VT_BOOL), S_OK);
  EXPECT_EQ(out.Get()->boolVal, VARIANT_TRUE);
  for (const auto& [text, expected] : {std::pair{u"True", VARIANT_TRUE},
                                       {u"#FALSE#", VARIANT_FALSE},
                                       {u"#true#", VARIANT_TRUE},
                                       {u"0", VARIANT_FALSE}}) {
    ScopedVariant word(text);
    ASSERT_EQ(VariantChangeType(out.Get(), word.Get(), 0, VT_BOOL), S_OK);
    EXPECT_EQ(out.Get()->boolVal, expected) << platform::Utf16ToUtf8(text);
  }
  // A script's small integers come as VT_I2, negative ones too.
  VARIANT small;
  VariantInit(&small);
  small.vt = VT_I2;
  small.iVal = -2;
  ASSERT_EQ(VariantChangeType(out.Get(), &small, 0, VT_I4), S_OK);
  EXPECT_EQ(out.Get()->lVal, -2);
  ScopedVariant word(u"abc"), huge(u"99999999999");
  EXPECT_EQ(VariantChangeType(out.Get(), word.Get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(VariantChangeType(out.Get(), huge.Get(), 0, VT_I4), DISP_E_OVERFLOW);
  // A reference is followed and owns nothing.
  LONG target = 5;
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_I4 | VT_BYREF;
  byRef.plVal = &target;
  ASSERT_EQ(VariantChangeType(out.Get(), &byRef, 0, VT_I8), S_OK);
  EXPECT_EQ(out.Get()->llVal, 5);
  EXPECT_EQ(VariantClear(&byRef), S_OK);
  EXPECT_EQ(target, 5);
}

TEST(SafeArrayTest, ElementsAreCopiedWithinTheBoundsAndHoldReferences) {
  ScopedSafeArray names(SafeArrayCreateVector(VT_BSTR, 0, 2));
  ASSERT_NE(names.Get(), nullptr);
  EXPECT_EQ(names.Count(), 2);
  LONG i = 1;
  ScopedBstr value(u"配置 Default");
  ASSERT_EQ(SafeArrayPutElement(names.Get(), &i, value.Get()), S_OK);
  ASSERT_EQ(SafeArrayPutElement(names.Get(), &i, value.Get()), S_OK);  // replaces, no leak
  ScopedBstr out;
  ASSERT_EQ(SafeArrayGetElement(names.Get(), &i, out.Receive()), S_OK);
  EXPECT_EQ(out.Str(), u"配置 Default");
  EXPECT_NE(out.Get(), value.Get());
  i = 0;
  ASSERT_EQ(SafeArrayGetElement(names.Get(), &i, out.Receive()), S_OK);
  EXPECT_EQ(out.Get(), nullptr);  // elements start empty
  VARTYPE vt = VT_EMPTY;
  EXPECT_EQ(SafeArrayGetVartype(names.Get(), &vt), S_OK);
  EXPECT_EQ(vt, VT_BSTR);
  ScopedSafeArray values(SafeArrayCreateVector(VT_I4, 5, 3));
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetLBound(values.Get(), 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(values.Get(), 1, &upper), S_OK);
  EXPECT_EQ(lower, 5);
  EXPECT_EQ(upper, 7);
  LONG number = 42;
  for (LONG bad : {4, 8, -1}) {
    EXPECT_EQ(SafeArrayPutElement(values.Get(), &bad, &number), DISP_E_BADINDEX) << bad;
    EXPECT_EQ(SafeArrayGetElement(values.Get(), &bad, &number), DISP_E_BADINDEX) << bad;
  }
  LONG at = 7;
  EXPECT_EQ(SafeArrayPutElement(values.Get(), &at, &number), S_OK);
  LONG* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(values.Get(), reinterpret_cast<void**>(&data)), S_OK);
  EXPECT_EQ(data[2], 42);
  EXPECT_EQ(SafeArrayDestroy(values.Get()), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(values.Get()), S_OK);
  EXPECT_EQ(SafeArrayCreateVector(VARTYPE{36}, 0, 1), nullptr);
  {
    ScopedSafeArray objects(SafeArrayCreateVector(VT_DISPATCH, 0, 1));
    i = 0;
    ASSERT_EQ(SafeArrayPutElement(objects.Get(), &i, MakeComObject<Probe, IDispatch>().Get()),
              S_OK);
    EXPECT_EQ(g_liveProbes, 1);  // the array keeps it alive
    ScopedSafeArray copy;
    ASSERT_EQ(SafeArrayCopy(objects.Get(), copy.Receive()), S_OK);
    objects.Reset();
    EXPECT_EQ(g_liveProbes, 1);  // the copy holds its own reference
    ScopedSafeArray variants(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    ScopedVariant text(u"text"), back;
    ASSERT_EQ(SafeArrayPutElement(variants.Get(), &i, text.Get()), S_OK);
    ASSERT_EQ(SafeArrayGetElement(variants.Get(), &i, back.Receive()), S_OK);
    EXPECT_EQ(BstrView(back.Get()->bstrVal), u"text");
  }
  EXPECT_EQ(g_liveProbes, 0);
}

}  // namespace
