#include "platform/safearray.h"

#include <gtest/gtest.h>

#include "tests/platform/com_test_object.h"

namespace {

using testing_support::g_liveProbes;
using testing_support::Probe;

TEST(SafeArrayTest, StringElementsAreCopiedInAndOut) {
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
}

TEST(SafeArrayTest, BoundsAreChecked) {
  ScopedSafeArray values(SafeArrayCreateVector(VT_I4, 5, 3));
  LONG lower = 0, upper = 0;
  EXPECT_EQ(SafeArrayGetLBound(values.Get(), 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(values.Get(), 1, &upper), S_OK);
  EXPECT_EQ(lower, 5);
  EXPECT_EQ(upper, 7);
  LONG value = 42;
  for (LONG bad : {4, 8, -1}) {
    EXPECT_EQ(SafeArrayPutElement(values.Get(), &bad, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayGetElement(values.Get(), &bad, &value), DISP_E_BADINDEX);
  }
  LONG at = 7;
  EXPECT_EQ(SafeArrayPutElement(values.Get(), &at, &value), S_OK);
  LONG* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(values.Get(), reinterpret_cast<void**>(&data)), S_OK);
  EXPECT_EQ(data[2], 42);
  EXPECT_EQ(SafeArrayDestroy(values.Get()), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(values.Get()), S_OK);
  EXPECT_EQ(SafeArrayCreateVector(VARTYPE{36}, 0, 1), nullptr);
}

TEST(SafeArrayTest, InterfaceAndVariantElementsHoldReferences) {
  {
    ScopedSafeArray objects(SafeArrayCreateVector(VT_DISPATCH, 0, 1));
    {
      ComPtr<IDispatch> probe = MakeComObject<Probe, IDispatch>();
      LONG i = 0;
      ASSERT_EQ(SafeArrayPutElement(objects.Get(), &i, probe.Get()), S_OK);
    }
    EXPECT_EQ(g_liveProbes, 1);  // the array keeps it alive

    ScopedSafeArray copy;
    ASSERT_EQ(SafeArrayCopy(objects.Get(), copy.Receive()), S_OK);
    objects.Reset();
    EXPECT_EQ(g_liveProbes, 1);  // the copy holds its own reference

    ScopedSafeArray variants(SafeArrayCreateVector(VT_VARIANT, 0, 1));
    ScopedVariant text(u"text");
    LONG i = 0;
    ASSERT_EQ(SafeArrayPutElement(variants.Get(), &i, text.Get()), S_OK);
    ScopedVariant back;
    ASSERT_EQ(SafeArrayGetElement(variants.Get(), &i, back.Receive()), S_OK);
    EXPECT_EQ(BstrView(back.Get()->bstrVal), u"text");
  }
  EXPECT_EQ(g_liveProbes, 0);
}

}  // namespace
