#include "common/messages.h"

#include "common/message_table.h"
#include "platform/resources.h"
#include "platform/system_info.h"

namespace Dovbase {

std::u16string LoadMessage(UINT id) {
  std::u16string text = platform::LoadStringInLanguage(id, GetUserDefaultLangID(), &BuiltInMessage);
  return text.empty() ? platform::LoadStringOrdinary(id, &BuiltInMessage) : text;
}

}  // namespace Dovbase
