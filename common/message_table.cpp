#include "common/message_table.h"

#include "platform/system_info.h"

namespace Dovbase {
namespace {

struct Message {
  UINT id;
  const char16_t* english;      // English (United States)
  const char16_t* simplified;   // Chinese (Simplified)
  const char16_t* traditional;  // Chinese (Traditional)
};

// The two characters between "failed" and "unknown" in 5822 belong to its
// text; callers and users match it as it stands.
constexpr Message kMessages[] = {
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

// The languages of the table, each with its column.
struct Language {
  LANGID id;
  const char16_t* Message::*text;
};
constexpr Language kLanguages[] = {
    {LANG_ENGLISH_US, &Message::english},
    {LANG_CHINESE_SIMPLIFIED, &Message::simplified},
    {LANG_CHINESE_TRADITIONAL, &Message::traditional},
};

}  // namespace

const char16_t* BuiltInMessage(UINT id, LANGID language) {
  for (const Message& message : kMessages) {
    if (message.id != id) continue;
    for (const Language& column : kLanguages) {
      const char16_t* text = message.*column.text;
      if (column.id == language && text && *text) return text;
    }
    return nullptr;
  }
  return nullptr;
}

}  // namespace Dovbase
