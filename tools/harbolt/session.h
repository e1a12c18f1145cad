// One session of the command-line caller with the add-in, set up as the
// real pieces meet: the simulated CAD host starts, loads the add-in the way
// the host does (registry, InprocServer32, DllGetClassObject, ConnectToSW),
// the caller introduces itself to the add-in (SetEventSrc, SetCaxHandle,
// SetCaller), and the user opens the model in the host. From then on the
// caller drives the add-in only through IHarbolt, by member name.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "loader/addin_loader.h"
#include "platform/com_ptr.h"
#include "sim/sim_host.h"
#include "tools/automation/dispatch_call.h"
#include "tools/harbolt/addin_registry.h"
#include "tools/harbolt/call_result.h"
#include "tools/harbolt/caller_event_source.h"
#include "tools/harbolt/tool_paths.h"

namespace harbolt_cli {

class Session {
 public:
  // The cookie the host gives the add-in, and the handle text the caller
  // gives it (the add-in passes it back with every event).
  static constexpr LONG kCookie = 1;
  static constexpr char16_t kCaxHandle[] = u"harbolt";

  // Sets everything up for the model file. Throws ToolError with a message
  // for the user when the model file is missing or cannot be used (the
  // host's text names the file and the place), or when the add-in does not
  // register, load or connect.
  Session(const std::filesystem::path& model, const ModuleChoice& module);
  // The caller says goodbye (Disconnect), the host unloads the add-in
  // (DisconnectFromSW, release, module freed) and shuts down.
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Calls the IHarbolt method by name with positional arguments. After a
  // failure of a member that reports through errNumber and errDescription,
  // reads both into the result. result, when given, receives Invoke's result
  // variant.
  CallResult Call(std::u16string_view member, std::initializer_list<automation::Arg> args = {},
                  VARIANT* result = nullptr);
  // The same; throws ToolError(Describe(), ExitStatus()) unless S_OK.
  void Require(std::u16string_view member, std::initializer_list<automation::Arg> args = {},
               VARIANT* result = nullptr);

  // The absolute path of the model file opened.
  const std::filesystem::path& model() const { return model_; }
  sim::SimHost& host() { return host_; }
  const CallerEventSource& events() const { return *events_.Get(); }
  const AddinRegistry& registry() const { return registry_; }
  const std::filesystem::path& modulePath() const { return modulePath_; }

 private:
  std::filesystem::path model_;
  AddinRegistry registry_;
  std::filesystem::path modulePath_;
  sim::SimHost host_;
  loader::AddinLoader loader_;
  ComPtr<IDispatch> harbolt_;
  ComPtr<CallerEventSource> events_;
};

// The absolute path of a model file that exists; throws ToolError naming the
// file otherwise.
std::filesystem::path ExistingModelFile(const std::filesystem::path& model);

}  // namespace harbolt_cli
