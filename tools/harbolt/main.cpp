// harbolt, the command-line caller: plays the data-management client that
// drives the Harbolt add-in inside the simulated CAD host.
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/console.h"
#include "tools/harbolt/commands.h"
#include "tools/harbolt/tool_error.h"
#include "tools/harbolt/tool_paths.h"

namespace harbolt_cli {
namespace {

const Command kCommands[] = {
    {kDemoSpec, RunDemo},
    {kExportSpec, RunExport},
    {kImportSpec, RunImport},
    {kMenuSpec, RunMenu},
    {kDepsSpec, RunDeps},
    {kRegisterSpec, RunRegister},
    {kUnregisterSpec, RunUnregister},
    {kGenSpec, RunGen},
};

constexpr std::string_view kTraceOption = "--trace-host";

// Takes "--trace-host FILE" (or "--trace-host=FILE") out of the arguments,
// wherever it stands after the command: every command that starts the host
// accepts it. Its value; nullopt when it is not given. Throws UsageError when
// it has no value.
std::optional<std::string> TakeTraceOption(std::vector<std::string>& args) {
  std::optional<std::string> file;
  for (size_t i = 1; i < args.size();) {
    const std::string& arg = args[i];
    if (arg == kTraceOption) {
      if (i + 1 >= args.size()) throw UsageError("--trace-host needs a file");
      file = args[i + 1];
      args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
    } else if (arg.rfind(std::string(kTraceOption) + "=", 0) == 0) {
      file = arg.substr(kTraceOption.size() + 1);
      args.erase(args.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  if (file && file->empty()) throw UsageError("--trace-host needs a file");
  return file;
}

// The add-in appends a line to the file for every call it makes into the
// host; it reads the setting when the host connects it.
void TraceHostCalls(const std::string& file) {
  std::u16string path = WidePath(std::filesystem::absolute(file));
  SetEnvironmentVariableW(u"HARBOLT_HOST_TRACE", path.c_str());
}

void PrintHelp(std::ostream& out) {
  out << "harbolt: the command-line caller of the Harbolt add-in.\n"
         "\n"
         "It plays the data-management client: it starts the simulated CAD host with a\n"
         "model file, the host loads the add-in the way it does (through the registry),\n"
         "and harbolt drives the add-in through its automation interface IHarbolt.\n"
         "\n"
         "usage: harbolt COMMAND [ARGUMENTS]\n"
         "\n"
         "commands:\n";
  for (const Command& command : kCommands) {
    std::string synopsis(command.definition.synopsis);
    synopsis = synopsis.substr(0, synopsis.find('\n'));
    out << "  " << command.definition.name << std::string(12 - command.definition.name.size(), ' ')
        << synopsis << "\n";
  }
  out << "\n"
         "'harbolt COMMAND --help' tells more about a command. Start with 'harbolt demo'.\n"
         "\n"
         "Exit status: 0 done; 1 the add-in reported an error (its number and description\n"
         "are printed) or a file is missing or unusable; 2 the add-in ended a call with an\n"
         "exception (0x80040200, its error text is printed); 64 wrong usage.\n"
         "\n"
         "Every command that starts the host takes --trace-host FILE: the add-in then\n"
         "appends to FILE one JSON line for every call it makes into the host (the\n"
         "host's published interface and member, the kind of call, the number of\n"
         "arguments, the result and the time), as HARBOLT_HOST_TRACE does in a real host.\n"
         "\n"
         "Environment: HARBOLT_MODULE the add-in module to load; HARBOLT_REGISTRY the\n"
         "registry file (default $HOME/.harbolt/registry); HARBOLT_DRIVE_C the folder that\n"
         "stands for drive c: (the add-in's log c:\\1\\dov_cax_log.txt is written when\n"
         "its folder 1 exists there); HARBOLT_HOST_TRACE the host-call trace file.\n";
}

int Main(std::vector<std::string> args) {
  if (args.empty()) {
    PrintHelp(std::cerr);
    return kExitUsage;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    if (args.size() > 1) {
      for (const Command& command : kCommands) {
        if (command.definition.name == args[1]) {
          std::cout << HelpText(command.definition);
          return kExitOk;
        }
      }
    }
    PrintHelp(std::cout);
    return kExitOk;
  }
  for (const Command& command : kCommands) {
    if (command.definition.name != name) continue;
    std::string prefix = "harbolt " + name + ": ";
    try {
      if (std::optional<std::string> trace = TakeTraceOption(args)) TraceHostCalls(*trace);
      CommandLine line(command.definition, std::span(args).subspan(1));
      if (line.helpRequested()) {
        std::cout << HelpText(command.definition);
        return kExitOk;
      }
      return command.run(line);
    } catch (const ToolError& error) {
      std::cerr << prefix << error.what() << "\n";
      if (error.status() == kExitUsage) {
        std::cerr << "usage: harbolt " << name << " " << command.definition.usage << "\n"
                  << "Try 'harbolt " << name << " --help'.\n";
      }
      return error.status();
    } catch (const std::exception& error) {
      std::cerr << prefix << error.what() << "\n";
      return kExitFailed;
    }
  }
  std::cerr << "harbolt: unknown command \"" << name << "\"; try 'harbolt --help'.\n";
  return kExitUsage;
}

}  // namespace
}  // namespace harbolt_cli

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return harbolt_cli::Main(args);
}
