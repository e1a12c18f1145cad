#include "common/messages.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace {

using Dovbase::LoadMessage;

// Sets the user's language for the life of the object through the
// variables it is read from, and restores them afterwards.
class ScopedLanguage {
 public:
  explicit ScopedLanguage(const char* locale, const char* variable = "LANG") {
    for (int i = 0; i < kCount; ++i) {
      const char* value = getenv(kNames[i]);
      if (value) saved_[i] = value;
      unsetenv(kNames[i]);
    }
    setenv(variable, locale, 1);
  }
  ~ScopedLanguage() {
    for (int i = 0; i < kCount; ++i) {
      saved_[i] ? setenv(kNames[i], saved_[i]->c_str(), 1) : unsetenv(kNames[i]);
    }
  }
  ScopedLanguage(const ScopedLanguage&) = delete;
  ScopedLanguage& operator=(const ScopedLanguage&) = delete;

 private:
  static constexpr int kCount = 3;
  static constexpr const char* kNames[kCount] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  std::optional<std::string> saved_[kCount];
};

struct Texts {
  UINT id;
  const char16_t* english;
  const char16_t* simplified;
  const char16_t* traditional;
};

const Texts kTable[] = {
    {4000, u"ZIZAzazor", u"CAD服务器", u"CAD伺服器"},
    {4001, u"login", u"登录", u"登入"},
    {4002, u"logout", u"退出", u"登出"},
    {5800, u"menuNode not exists", u"菜单节点不存在", u"選單節點不存在"},
    {5810, u"error: invalid docType", u"错误：无效的文件类型", u"錯誤：無效的檔案類型"},
    {5811, u"GetDocType not assembly", u"获得文件类型不是装配体", u"取得的檔案類型不是組合件"},
    {5812, u"tabNode is nothing", u"数据表节点不存在", u"資料表節點不存在"},
    {5820, u"ExecQuery is failed", u"执行SQL查询失败", u"執行SQL查詢失敗"},
    {5821, u"index cross the border", u"索引越界", u"索引超出範圍"},
    {5822, u"ExecQuery is failed\u00A3\u00ACunknown error.", u"执行SQL查询未知错误",
     u"執行SQL查詢發生未知錯誤"},
};

TEST(MessagesTest, EnglishIsTheTextOutsideChina) {
  for (const char* locale : {"C", "en_US.UTF-8", "fr_FR.UTF-8", "zh"}) {
    ScopedLanguage language(locale);
    for (const Texts& texts : kTable) EXPECT_EQ(LoadMessage(texts.id), texts.english) << texts.id;
  }
}

TEST(MessagesTest, ChineseSimplifiedUsersGetTheSimplifiedTable) {
  for (const char* locale : {"zh_CN.UTF-8", "zh_SG"}) {
    ScopedLanguage language(locale);
    for (const Texts& texts : kTable) {
      EXPECT_EQ(LoadMessage(texts.id), texts.simplified) << texts.id;
    }
  }
}

TEST(MessagesTest, TheLanguageMayComeFromLcAll) {
  {
    ScopedLanguage language("zh_CN.UTF-8", "LC_ALL");
    EXPECT_EQ(LoadMessage(5800), u"菜单节点不存在");
  }
  {
    ScopedLanguage language("zh_TW.UTF-8", "LC_ALL");
    EXPECT_EQ(LoadMessage(5800), u"選單節點不存在");
  }
  ScopedLanguage language("en_US.UTF-8", "LC_ALL");
  EXPECT_EQ(LoadMessage(5800), u"menuNode not exists");
}

TEST(MessagesTest, ChineseTraditionalUsersGetTheTraditionalTable) {
  for (const char* locale : {"zh_TW.UTF-8", "zh_HK", "zh_MO.UTF-8"}) {
    ScopedLanguage language(locale);
    for (const Texts& texts : kTable) {
      EXPECT_EQ(LoadMessage(texts.id), texts.traditional) << texts.id;
    }
  }
}

TEST(MessagesTest, Message5822KeepsItsExactCharacters) {
  ScopedLanguage language("en_US.UTF-8");
  std::u16string text = LoadMessage(5822);
  ASSERT_EQ(text.size(), 35u);
  EXPECT_EQ(text.substr(0, 19), u"ExecQuery is failed");
  EXPECT_EQ(text[19], u'\u00A3');
  EXPECT_EQ(text[20], u'\u00AC');
  EXPECT_EQ(text.substr(21), u"unknown error.");
}

TEST(MessagesTest, AnIdThatNoTableHoldsIsEmptyInEveryLanguage) {
  for (const char* locale : {"en_US", "zh_CN", "zh_TW"}) {
    ScopedLanguage language(locale);
    EXPECT_EQ(LoadMessage(5513), u"");
    EXPECT_EQ(LoadMessage(0), u"");
    EXPECT_EQ(LoadMessage(3999), u"");
  }
}

TEST(MessagesTest, TheNamedIdsAreTheTableIds) {
  ScopedLanguage language("C");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_ADDIN_TITLE), u"ZIZAzazor");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_LOGIN), u"login");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_LOGOUT), u"logout");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_MENU_NODE_MISSING), u"menuNode not exists");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_INVALID_DOC_TYPE), u"error: invalid docType");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_NOT_ASSEMBLY), u"GetDocType not assembly");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_TABLE_NODE_MISSING), u"tabNode is nothing");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_QUERY_FAILED), u"ExecQuery is failed");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_INDEX_OUT_OF_RANGE), u"index cross the border");
  EXPECT_EQ(LoadMessage(Dovbase::IDS_QUERY_UNKNOWN_ERROR).substr(0, 19), u"ExecQuery is failed");
}

}  // namespace
