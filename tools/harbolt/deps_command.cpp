// harbolt deps: the files a model depends on (IHarbolt GetDependencies).
#include <iostream>

#include "platform/text.h"
#include "platform/variant.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/session.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

using automation::Arg;

constexpr OptionSpec kOptions[] = {kModuleOption};

}  // namespace

const CommandSpec kDepsSpec{
    "deps",
    "List the files a model depends on (IHarbolt GetDependencies).",
    "MODEL [--module PATH]",
    "Opens MODEL in the simulated host and prints the full paths of the model\n"
    "files it depends on, one a line (none for a part).\n"
    "\n"
    "  --module PATH  the add-in module to load\n",
    1,
    1,
    kOptions,
};

int RunDeps(const CommandLine& line) {
  Session session(line.positional()[0], ChooseModule(line.Value("module")));
  ScopedVariant depends;
  session.Require(u"GetDependencies", {Arg(WidePath(session.model()))}, depends.Receive());
  std::u16string list =
      depends.Type() == VT_BSTR ? std::u16string(BstrView(depends.Get()->bstrVal)) : u"";
  std::cout << ShownPath(session.model())
            << (list.empty() ? " depends on no other file.\n" : " depends on:\n");
  // The add-in joins the paths with "|".
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find(u'|', start);
    if (end == std::u16string::npos) end = list.size();
    std::cout << "  " << platform::Utf16ToUtf8(list.substr(start, end - start)) << "\n";
    start = end + 1;
  }
  return kExitOk;
}

}  // namespace harbolt_cli
