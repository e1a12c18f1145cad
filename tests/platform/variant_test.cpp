#include "platform/variant.h"

#include <gtest/gtest.h>

#include "platform/safearray.h"
#include "tests/platform/com_test_object.h"

namespace {

using testing_support::g_liveProbes;
using testing_support::Probe;

TEST(VariantTest, ClearAndCopyFollowOwnership) {
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
  EXPECT_EQ(BstrView(moved.Get()->bstrVal), u"零件");
  copy = std::move(moved);
  EXPECT_EQ(moved.Type(), VT_EMPTY);
  EXPECT_EQ(BstrView(copy.Get()->bstrVal), u"零件");

  ScopedVariant array;
  array.Get()->vt = VT_ARRAY | VT_BSTR;
  array.Get()->parray = SafeArrayCreateVector(VT_BSTR, 0, 3);
  ScopedVariant arrayCopy;
  ASSERT_EQ(VariantCopy(arrayCopy.Get(), array.Get()), S_OK);
  EXPECT_NE(arrayCopy.Get()->parray, array.Get()->parray);
}

TEST(VariantTest, ChangeTypeConvertsNumbersTextsAndBooleans) {
  ScopedVariant out;
  ScopedVariant text(u" 42 ");
  ASSERT_EQ(VariantChangeType(out.Get(), text.Get(), 0, VT_I4), S_OK);
  EXPECT_EQ(out.Get()->lVal, 42);

  ScopedVariant number(LONG{-7});
  ASSERT_EQ(VariantChangeType(out.Get(), number.Get(), 0, VT_BSTR), S_OK);
  EXPECT_EQ(BstrView(out.Get()->bstrVal), u"-7");
  ASSERT_EQ(VariantChangeType(out.Get(), number.Get(), 0, VT_BOOL), S_OK);
  EXPECT_EQ(out.Get()->boolVal, VARIANT_TRUE);

  ScopedVariant word(u"abc");
  EXPECT_EQ(VariantChangeType(out.Get(), word.Get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
  ScopedVariant huge(u"99999999999");
  EXPECT_EQ(VariantChangeType(out.Get(), huge.Get(), 0, VT_I4), DISP_E_OVERFLOW);

  // By-reference values are followed.
  LONG target = 5;
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_I4 | VT_BYREF;
  byRef.plVal = &target;
  ASSERT_EQ(VariantChangeType(out.Get(), &byRef, 0, VT_I8), S_OK);
  EXPECT_EQ(out.Get()->llVal, 5);
  EXPECT_EQ(VariantClear(&byRef), S_OK);  // owns nothing
  EXPECT_EQ(target, 5);
}

}  // namespace
