// The subcommands of the command-line caller: each has its command line
// described as data and a function that runs it and returns the exit
// status (ToolError carries failures up to main).
#pragma once

#include <span>

#include "tools/harbolt/command_line.h"

namespace harbolt_cli {

struct Command {
  const CommandSpec& definition;
  int (*run)(const CommandLine& line);
};

extern const CommandSpec kDemoSpec;
extern const CommandSpec kExportSpec;
extern const CommandSpec kImportSpec;
extern const CommandSpec kMenuSpec;
extern const CommandSpec kDepsSpec;
extern const CommandSpec kRegisterSpec;
extern const CommandSpec kUnregisterSpec;
extern const CommandSpec kGenSpec;

int RunDemo(const CommandLine& line);
int RunExport(const CommandLine& line);
int RunImport(const CommandLine& line);
int RunMenu(const CommandLine& line);
int RunDeps(const CommandLine& line);
int RunRegister(const CommandLine& line);
int RunUnregister(const CommandLine& line);
int RunGen(const CommandLine& line);

// The option every command that loads the add-in takes.
inline constexpr OptionSpec kModuleOption{"module", true, false};

}  // namespace harbolt_cli
