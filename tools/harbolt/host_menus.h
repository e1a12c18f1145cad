// The caller's menus as the host shows them: read from what the add-in
// built through the host's command manager, with the caller's commands
// numbered 1, 2, ... in the order of their callbacks (ToolbarCallback100,
// ToolbarCallback101, ...), and clicked the way the user clicks them.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tools/harbolt/session.h"

namespace harbolt_cli {

class HostMenus {
 public:
  struct Command {
    int number = 0;
    LONG groupId = 0;
    LONG itemIndex = 0;
    std::u16string caption;
    std::u16string callback;
  };

  // What the add-in of the session built; live groups only.
  explicit HostMenus(Session& session);

  // Every live group with its entries in menu order, each line after
  // indent; the caller's commands carry their numbers.
  void Print(std::ostream& out, const std::string& indent) const;
  std::optional<Command> Find(int number) const;
  size_t commandCount() const { return commands_.size(); }

  // Clicks the command in the host; prints (each line after indent) the
  // FireClickMenu texts the caller received during the click. Returns
  // whether one arrived.
  bool Click(const Command& command, std::ostream& out, const std::string& indent) const;

 private:
  Session& session_;
  std::vector<Command> commands_;
};

}  // namespace harbolt_cli
