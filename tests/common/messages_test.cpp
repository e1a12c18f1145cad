#include "common/messages.h"

#include <gtest/gtest.h>

#include "tests/support/scoped_env.h"

namespace {

using testing_support::ScopedEnv;

// Each message in English, Chinese (Simplified) and Chinese (Traditional).
struct Texts {
  UINT id;
  const char16_t* text[3];
};
const Texts kTable[] = {
    {4000, {u"ZIZAzazor", u"CAD服务器", u"CAD伺服器"}},
    {4001, {u"login", u"登录", u"登入"}},
    {4002, {u"logout", u"退出", u"登出"}},
    {5800, {u"menuNode not exists", u"菜单节点不存在", u"選單節點不存在"}},
    {5810, {u"error: invalid docType", u"错误：无效的文件类型", u"錯誤：無效的檔案類型"}},
    {5811, {u"GetDocType not assembly", u"获得文件类型不是装配体", u"取得的檔案類型不是組合件"}},
    {5812, {u"tabNode is nothing", u"数据表节点不存在", u"資料表節點不存在"}},
    {5820, {u"ExecQuery is failed", u"执行SQL查询失败", u"執行SQL查詢失敗"}},
    {5821, {u"index cross the border", u"索引越界", u"索引超出範圍"}},
    {5822,
     {u"ExecQuery is failed\u00A3\u00ACunknown error.", u"执行SQL查询未知错误",
      u"執行SQL查詢發生未知錯誤"}},
};

TEST(MessagesTest, EachLanguageReadsItsColumnAndOthersReadEnglish) {
  ScopedEnv all("LC_ALL", nullptr), messages("LC_MESSAGES", nullptr);
  const std::pair<const char*, int> languages[] = {{"C", 0},     {"fr_FR.UTF-8", 0}, {"zh", 0},
                                                   {"zh_SG", 1}, {"zh_CN.UTF-8", 1}, {"zh_HK", 2}};
  for (const auto& language : languages) {
    ScopedEnv lang("LANG", language.first);
    for (const Texts& texts : kTable) {
      EXPECT_EQ(Dovbase::LoadMessage(texts.id), texts.text[language.second])
          << language.first << " " << texts.id;
    }
    // An id that no table holds reads as empty.
    for (UINT unknown : {0u, 3999u, 5513u}) EXPECT_EQ(Dovbase::LoadMessage(unknown), u"");
  }
  ScopedEnv lang("LANG", "en_US.UTF-8"), lcAll("LC_ALL", "zh_TW.UTF-8");  // LC_ALL outranks LANG.
  EXPECT_EQ(Dovbase::LoadMessage(5800), u"選單節點不存在");
}

}  // namespace
