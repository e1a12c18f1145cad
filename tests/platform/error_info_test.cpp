#include "platform/error_info.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/com_ptr.h"

namespace {

void Publish(const char16_t* description) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_EQ(CreateErrorInfo(create.ReleaseAndGetAddressOf()), S_OK);
  create->SetSource(const_cast<LPOLESTR>(u"Harbolt.Harbolt.1"));
  create->SetDescription(const_cast<LPOLESTR>(description));
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(create.As(&info), S_OK);
  SetErrorInfo(0, info.Get());
}

TEST(ErrorInfoTest, TheThreadsErrorObjectIsHandedOverOnce) {
  Publish(u"Unexpected error.\n");
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, info.ReleaseAndGetAddressOf()), S_OK);
  ScopedBstr text;
  info->GetDescription(text.Receive());
  EXPECT_EQ(text.Str(), u"Unexpected error.\n");
  info->GetSource(text.Receive());
  EXPECT_EQ(text.Str(), u"Harbolt.Harbolt.1");
  GUID guid{};
  info->GetGUID(&guid);
  EXPECT_TRUE(IsEqualGUID(guid, GUID_NULL));

  EXPECT_EQ(GetErrorInfo(0, info.ReleaseAndGetAddressOf()), S_FALSE);
  EXPECT_EQ(info.Get(), nullptr);
}

TEST(ErrorInfoTest, EachThreadHasItsOwn) {
  Publish(u"main");
  std::thread other([] {
    ComPtr<IErrorInfo> info;
    EXPECT_EQ(GetErrorInfo(0, info.ReleaseAndGetAddressOf()), S_FALSE);
  });
  other.join();
  ComPtr<IErrorInfo> info;
  EXPECT_EQ(GetErrorInfo(0, info.ReleaseAndGetAddressOf()), S_OK);
  SetErrorInfo(0, nullptr);
}

}  // namespace
