#include "tools/harbolt/host_menus.h"

#include <algorithm>

#include "platform/text.h"
#include "sim/command_board.h"
#include "tools/harbolt/call_result.h"

namespace harbolt_cli {
namespace {

constexpr std::u16string_view kCallbackPrefix = u"ToolbarCallback";
constexpr int kFirstCallback = 100;

// The command number of a caller command's callback name, or 0.
int CommandNumber(std::u16string_view callback) {
  if (!callback.starts_with(kCallbackPrefix)) return 0;
  std::u16string_view digits = callback.substr(kCallbackPrefix.size());
  if (digits.empty()) return 0;
  int number = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return 0;
    number = number * 10 + (c - u'0');
  }
  return number >= kFirstCallback ? number - kFirstCallback + 1 : 0;
}

// The lines of a text, the later ones indented.
std::string Indented(std::u16string_view text, const std::string& indent) {
  std::string utf8 = Printable(text);
  std::string out;
  for (char c : utf8) {
    out += c;
    if (c == '\n') out += indent;
  }
  return out;
}

}  // namespace

HostMenus::HostMenus(Session& session) : session_(session) {
  const sim::CommandBoard& board = session.host().Commands(Session::kCookie);
  for (const sim::CommandGroupRecord& group : board.groups) {
    if (group.removed) continue;
    for (size_t i = 0; i < group.items.size(); ++i) {
      const sim::CommandItemRecord& item = group.items[i];
      if (item.separator) continue;
      if (int number = CommandNumber(item.callback)) {
        commands_.push_back({number, group.userId, static_cast<LONG>(i), item.name, item.callback});
      }
    }
  }
  std::sort(commands_.begin(), commands_.end(),
            [](const Command& a, const Command& b) { return a.number < b.number; });
}

void HostMenus::Print(std::ostream& out, const std::string& indent) const {
  const sim::CommandBoard& board = session_.host().Commands(Session::kCookie);
  for (const sim::CommandGroupRecord& group : board.groups) {
    if (group.removed) continue;
    out << indent << Printable(group.title) << "   (group " << group.userId
        << (group.activations == 0 ? ", not shown" : "") << ")\n";
    for (size_t index : group.menuOrder) {
      const sim::CommandItemRecord& item = group.items[index];
      if (item.separator) {
        out << indent << "      ----\n";
      } else if (int number = CommandNumber(item.callback)) {
        std::string label = std::to_string(number);
        out << indent << std::string(label.size() < 4 ? 4 - label.size() : 0, ' ') << label << "  "
            << Printable(item.name) << "\n";
      } else {
        out << indent << "      " << Printable(item.name) << "\n";
      }
    }
  }
}

std::optional<HostMenus::Command> HostMenus::Find(int number) const {
  for (const Command& command : commands_) {
    if (command.number == number) return command;
  }
  return std::nullopt;
}

bool HostMenus::Click(const Command& command, std::ostream& out, const std::string& indent) const {
  const size_t before = session_.events().clicks().size();
  HRESULT hr = session_.host().Click(Session::kCookie, command.groupId, command.itemIndex);
  const auto& clicks = session_.events().clicks();
  out << indent << "Clicked " << command.number << " \"" << Printable(command.caption) << "\": ";
  if (clicks.size() == before) {
    out << "the caller received nothing (" << Printable(command.callback) << " returned "
        << StatusText(hr) << ")\n";
    return false;
  }
  for (size_t i = before; i < clicks.size(); ++i) {
    out << "the caller received FireClickMenu with\n"
        << indent << "  handle:      " << Printable(clicks[i].caxHandle) << "\n"
        << indent << "  document:    " << Printable(clicks[i].documentPath) << "\n"
        << indent
        << "  menu item:   " << Indented(clicks[i].menuItem, indent + std::string(15, ' ')) << "\n";
  }
  return true;
}

}  // namespace harbolt_cli
