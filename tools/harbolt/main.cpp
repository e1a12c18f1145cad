// harbolt, the command-line caller: plays the data-management client that
// drives the Harbolt add-in inside the simulated CAD host.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "tools/harbolt/commands.h"
#include "tools/harbolt/tool_error.h"

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
         "Environment: HARBOLT_MODULE the add-in module to load; HARBOLT_REGISTRY the\n"
         "registry file (default $HOME/.harbolt/registry); HARBOLT_DRIVE_C the folder that\n"
         "stands for drive c: (the add-in's log c:\\1\\dov_cax_log.txt is written when\n"
         "its folder 1 exists there).\n";
}

int Main(const std::vector<std::string>& args) {
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
