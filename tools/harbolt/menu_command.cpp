// harbolt menu: the caller's menus built in the host, and clicks on them.
#include <iostream>

#include "platform/text.h"
#include "tools/harbolt/caller_steps.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/host_menus.h"
#include "tools/harbolt/session.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

using automation::Arg;

constexpr OptionSpec kOptions[] = {
    {"menu"},
    {"click", true, true},
    kModuleOption,
};

}  // namespace

const CommandSpec kMenuSpec{
    "menu",
    "Build the caller's menus in the host from a menu definition (IHarbolt CreateMenu)\n"
    "and click commands on them.",
    "MODEL --menu MENU.xml [--click N]... [--module PATH]",
    "Opens MODEL in the simulated host, hands the add-in the menu definition and\n"
    "prints the command groups the add-in built in the host. The caller's commands\n"
    "are numbered 1, 2, ... in the order of the definition. Each --click N clicks\n"
    "command N as the user would, and prints what the caller received through its\n"
    "event source (FireClickMenu: the handle text, the active document's path and\n"
    "the clicked menu element).\n"
    "\n"
    "A menu definition is XML: a root <mnus caption=\"...\"> holding <mnu> elements\n"
    "with an id and a caption; id -2 makes a submenu (holding further <mnu>), id -1\n"
    "a separator, and 0 or more a command whose id goes back to the caller.\n"
    "examples/sample/menu.xml is an example.\n"
    "\n"
    "  --menu FILE    the menu definition\n"
    "  --click N      click command N (may be given several times)\n"
    "  --module PATH  the add-in module to load\n",
    1,
    1,
    kOptions,
};

int RunMenu(const CommandLine& line) {
  std::optional<std::string> menu = line.Value("menu");
  if (!menu) throw UsageError("--menu MENU.xml is missing");
  std::vector<int> clicks;
  for (const std::string& text : line.Values("click")) {
    std::optional<int> number = ParseInt(text, 1, 100);
    if (!number)
      throw UsageError("--click takes a command number from 1 to 100, not \"" + text + "\"");
    clicks.push_back(*number);
  }
  std::string definition = ReadTextFile(*menu, "the menu definition");

  Session session(line.positional()[0], ChooseModule(line.Value("module")));
  session.Require(u"CreateMenu", {Arg(platform::Utf8ToUtf16(definition))});
  HostMenus menus(session);
  std::cout << "The add-in built these menus in the host from " << ShownPath(*menu) << ":\n";
  menus.Print(std::cout, "  ");

  int status = kExitOk;
  for (int number : clicks) {
    std::optional<HostMenus::Command> command = menus.Find(number);
    if (!command) {
      throw ToolError("there is no command " + std::to_string(number) + " in the menus (" +
                      (menus.commandCount() == 0
                           ? std::string("they have no commands")
                           : "their commands are 1 to " + std::to_string(menus.commandCount())) +
                      ")");
    }
    if (!menus.Click(*command, std::cout, "")) status = kExitFailed;
  }
  return status;
}

}  // namespace harbolt_cli
