#include "platform/system_messages.h"

#include <string>
#include <string_view>

#include "platform/last_error.h"
#include "platform/system_info.h"

namespace {

struct SystemMessage {
  DWORD id;
  std::u16string_view english;
  std::u16string_view simplified;
  std::u16string_view traditional;
};

// The statuses this platform's services and the host stand-in can produce.
constexpr SystemMessage kMessages[] = {
    {0, u"The operation completed successfully.", u"操作成功完成。", u"操作順利完成。"},
    {ERROR_INVALID_FUNCTION, u"Incorrect function.", u"函数不正确。", u"函數不正確。"},
    {ERROR_FILE_NOT_FOUND, u"The system cannot find the file specified.",
     u"系统找不到指定的文件。", u"系統找不到指定的檔案。"},
    {ERROR_PATH_NOT_FOUND, u"The system cannot find the path specified.",
     u"系统找不到指定的路径。", u"系統找不到指定的路徑。"},
    {ERROR_ACCESS_DENIED, u"Access is denied.", u"拒绝访问。", u"存取被拒。"},
    {ERROR_INVALID_HANDLE, u"The handle is invalid.", u"句柄无效。", u"控制代碼無效。"},
    {ERROR_NOT_ENOUGH_MEMORY, u"Not enough memory resources are available to process this command.",
     u"存储空间不足，无法处理此命令。", u"記憶體資源不足，無法處理此命令。"},
    {ERROR_WRITE_FAULT, u"The system cannot write to the specified device.",
     u"系统无法写入指定的设备。", u"系統無法寫入指定的裝置。"},
    {ERROR_FILE_EXISTS, u"The file exists.", u"文件存在。", u"檔案已存在。"},
    {ERROR_INVALID_PARAMETER, u"The parameter is incorrect.", u"参数错误。", u"參數錯誤。"},
    {ERROR_DISK_FULL, u"There is not enough space on the disk.", u"磁盘空间不足。",
     u"磁碟空間不足。"},
    {ERROR_INVALID_NAME, u"The filename, directory name, or volume label syntax is incorrect.",
     u"文件名、目录名或卷标语法不正确。", u"檔案名稱、目錄名稱或磁碟區標籤語法錯誤。"},
    {ERROR_FILENAME_EXCED_RANGE, u"The filename or extension is too long.",
     u"文件名或扩展名太长。", u"檔案名稱或副檔名太長。"},
    {static_cast<DWORD>(E_NOTIMPL), u"Not implemented", u"未实现", u"未實作"},
    {static_cast<DWORD>(E_NOINTERFACE), u"No such interface supported", u"不支持此接口",
     u"不支援此介面"},
    {static_cast<DWORD>(E_POINTER), u"Invalid pointer", u"无效指针", u"無效的指標"},
    {static_cast<DWORD>(E_ABORT), u"Operation aborted", u"操作已中止", u"作業已中止"},
    {static_cast<DWORD>(E_FAIL), u"Unspecified error", u"未指定的错误", u"未指定的錯誤"},
    {static_cast<DWORD>(E_UNEXPECTED), u"Catastrophic failure", u"灾难性故障", u"嚴重錯誤"},
    {static_cast<DWORD>(E_ACCESSDENIED), u"Access is denied.", u"拒绝访问。", u"存取被拒。"},
    {static_cast<DWORD>(E_OUTOFMEMORY), u"Ran out of memory", u"内存不足", u"記憶體不足"},
    {static_cast<DWORD>(E_INVALIDARG), u"The parameter is incorrect.", u"参数错误。",
     u"參數錯誤。"},
    {static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)),
     u"The system cannot find the file specified.", u"系统找不到指定的文件。",
     u"系統找不到指定的檔案。"},
    {static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)),
     u"The system cannot find the path specified.", u"系统找不到指定的路径。",
     u"系統找不到指定的路徑。"},
    {static_cast<DWORD>(DISP_E_MEMBERNOTFOUND), u"Member not found.", u"找不到成员。",
     u"找不到成員。"},
    {static_cast<DWORD>(DISP_E_TYPEMISMATCH), u"Type mismatch.", u"类型不匹配。",
     u"類型不符。"},
};

}  // namespace

DWORD FormatMessageW(DWORD flags, const void*, DWORD messageId, DWORD languageId, LPWSTR buffer,
                     DWORD bufferChars, void*) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || !buffer) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  LANGID language = languageId ? static_cast<LANGID>(languageId) : GetUserDefaultLangID();
  for (const SystemMessage& m : kMessages) {
    if (m.id != messageId) continue;
    std::u16string text(language == LANG_CHINESE_SIMPLIFIED    ? m.simplified
                        : language == LANG_CHINESE_TRADITIONAL ? m.traditional
                                                               : m.english);
    text += u"\r\n";
    if (bufferChars < text.size() + 1) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return 0;
    }
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return static_cast<DWORD>(text.size());
  }
  SetLastError(ERROR_MR_MID_NOT_FOUND);
  return 0;
}
