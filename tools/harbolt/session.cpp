#include "tools/harbolt/session.h"

#include <system_error>

#include "platform/last_error.h"
#include "platform/variant.h"
#include "sim/model_error.h"
#include "tools/harbolt/tool_error.h"

namespace harbolt_cli {
namespace {

using automation::Arg;

std::string LoadFailure(HRESULT hr, const AddinRegistry& registry) {
  const std::string where = registry.isPrivate() ? std::string("the private registry of this run")
                                                 : "your registry " + registry.file().string();
  if (hr == REGDB_E_CLASSNOTREG) return "the add-in is not registered in " + where;
  const std::string module = registry.module().string();
  std::string text =
      hr == HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)
          ? "the add-in module " + module + " (registered in " + where + ") does not load"
          : "the host could not load the add-in " + module + " (registered in " + where +
                "): " + StatusText(hr);
  if (!registry.isPrivate()) {
    text +=
        "\nRegister the module you built with 'harbolt register', or remove the entry with "
        "'harbolt unregister'.";
  }
  return text;
}

}  // namespace

std::filesystem::path ExistingModelFile(const std::filesystem::path& model) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(model, error).lexically_normal();
  if (error || !std::filesystem::exists(absolute, error)) {
    throw ToolError("the model file " + model.string() + " does not exist");
  }
  if (!std::filesystem::is_regular_file(absolute, error)) {
    throw ToolError("the model file " + model.string() + " is not a file");
  }
  return absolute;
}

Session::Session(const std::filesystem::path& model, const ModuleChoice& module)
    : model_(ExistingModelFile(model)), registry_(module), modulePath_(registry_.module()) {
  // The journal of host calls is for tests; in a caller's session it would
  // only grow with every call the add-in makes.
  host_.SetRecording(false);
  VARIANT_BOOL connected = VARIANT_FALSE;
  ComPtr<IDispatch> application = host_.Application();
  HRESULT hr = loader_.Load(application.Get(), AddinRegistry::Clsid(), kCookie, &connected);
  if (FAILED(hr)) throw ToolError(LoadFailure(hr, registry_));
  if (connected != VARIANT_TRUE) {
    throw ToolError("the add-in " + modulePath_.string() + " did not connect to the host");
  }
  harbolt_ = loader_.Dispatch();
  if (!harbolt_) throw ToolError("the add-in " + modulePath_.string() + " has no IDispatch");

  events_ = MakeComObject<CallerEventSource, CallerEventSource>();
  Require(u"SetEventSrc", {Arg::Dispatch(events_.Get())});
  Require(u"SetCaxHandle", {Arg(kCaxHandle)});
  Require(u"SetCaller", {Arg::Unknown(events_.Get())});

  try {
    host_.Open(model_);
  } catch (const sim::ModelFileError& error) {
    throw ToolError(std::string("the host cannot open the model:\n  ") + error.what());
  }
}

Session::~Session() {
  if (harbolt_) Call(u"Disconnect");
  harbolt_ = nullptr;
  loader_.Unload();
  events_ = nullptr;
}

CallResult Session::Call(std::u16string_view member, std::initializer_list<Arg> args,
                         VARIANT* result) {
  CallResult outcome;
  outcome.member = std::u16string(member);
  automation::CallDetails details;
  outcome.hr = automation::CallMember(harbolt_.Get(), member, args, result, &details);
  if (outcome.hr == kHarboltException) outcome.exceptionText = details.description;
  if (!outcome.ok() && outcome.hr != kHarboltException && ReportsErrorState(member) &&
      outcome.hr != E_NOTIMPL && outcome.hr != DISP_E_UNKNOWNNAME) {
    outcome.errorNumber = automation::LongProperty(harbolt_.Get(), u"errNumber");
    outcome.errorDescription = automation::TextProperty(harbolt_.Get(), u"errDescription");
  }
  return outcome;
}

void Session::Require(std::u16string_view member, std::initializer_list<Arg> args,
                      VARIANT* result) {
  CallResult outcome = Call(member, args, result);
  if (!outcome.ok()) throw ToolError(outcome.Describe(), outcome.ExitStatus());
}

}  // namespace harbolt_cli
