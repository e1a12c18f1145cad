#include "sim/sim_host.h"

#include <stdexcept>

#include "sim/host_state.h"
#include "sim/published_catalog.h"
#include "sim/sim_component.h"
#include "sim/sim_document.h"

namespace sim {
namespace {

// Depth first through a configuration's tree for the component with that
// full name.
std::optional<ComponentRef> FindComponent(const ComponentRef& under, std::u16string_view name) {
  for (const ComponentRef& child : under.Children()) {
    if (child.Name() == name) return child;
    if (auto found = FindComponent(child, name)) return found;
  }
  return std::nullopt;
}

}  // namespace

SimHost::SimHost() : state_(std::make_shared<HostState>()) {}

SimHost::~SimHost() {
  state_->Shutdown();
  state_->journal.ClearFaults();
}

ComPtr<IDispatch> SimHost::Application() { return state_->ApplicationObject(); }

ComPtr<IDispatch> SimHost::Open(const std::filesystem::path& path) {
  return state_->DocumentObject(state_->Open(path));
}

ComPtr<IDispatch> SimHost::NewDocument(const std::filesystem::path& path, LONG docType) {
  return state_->DocumentObject(state_->NewDocument(path, docType));
}

ComPtr<IDispatch> SimHost::Document(const std::filesystem::path& path) {
  return state_->DocumentObject(state_->FindOpen(path));
}

ComPtr<IDispatch> SimHost::ActiveDocument() { return state_->DocumentObject(state_->active()); }

bool SimHost::Close(const std::filesystem::path& path) {
  std::shared_ptr<DocumentState> document = state_->FindOpen(path);
  if (!document) return false;
  state_->Close(document);
  return true;
}

std::vector<std::filesystem::path> SimHost::OpenDocuments() const {
  std::vector<std::filesystem::path> paths;
  for (const auto& document : state_->documents()) paths.push_back(document->path());
  return paths;
}

ModelData* SimHost::Model(const std::filesystem::path& path) {
  std::shared_ptr<DocumentState> document = state_->FindOpen(path);
  return document ? &document->model : nullptr;
}

ModelData* SimHost::Model(IUnknown* document) {
  auto* object = dynamic_cast<SimDocument*>(document);
  return object ? &object->state()->model : nullptr;
}

void SimHost::SetRevision(std::u16string revision) { state_->revision = std::move(revision); }
void SimHost::SetWindowHandle(LONGLONG handle) { state_->windowHandle = handle; }

void SimHost::SetAnswerStyle(const AnswerStyle& style) { state_->answerStyle = style; }

void SimHost::HideMember(std::string_view member) {
  std::optional<NamedMember> named = FindOperation(member);
  if (!named) {
    throw std::invalid_argument("no published member \"" + std::string(member) + "\"");
  }
  state_->Hide(*named->face, named->member->dispid);
}

void SimHost::FailCall(std::string_view faultText, HRESULT failure) {
  state_->journal.AddFault(faultText, FaultKind::kFail, failure);
}
void SimHost::EmptyCall(std::string_view faultText) {
  state_->journal.AddFault(faultText, FaultKind::kEmpty, S_OK);
}
void SimHost::ClearFaults() { state_->journal.ClearFaults(); }

long SimHost::LiveObjects() const { return state_->liveObjects(); }
long SimHost::References() const { return state_->references(); }

const std::vector<HostCall>& SimHost::Calls() const { return state_->journal.calls(); }

std::vector<std::string> SimHost::CallLines(std::string_view prefix) const {
  std::vector<std::string> lines;
  for (const HostCall& call : state_->journal.calls()) {
    if (call.operation.compare(0, prefix.size(), prefix) == 0) lines.push_back(call.ToString());
  }
  return lines;
}

void SimHost::ClearCalls() { state_->journal.ClearCalls(); }
void SimHost::SetRecording(bool on) { state_->journal.SetRecording(on); }

const CommandBoard& SimHost::Commands(LONG cookie) { return state_->commandBoards[cookie]; }

ComPtr<IDispatch> SimHost::CallbackTarget(LONG cookie) const {
  auto it = state_->callbackTargets.find(cookie);
  return it == state_->callbackTargets.end() ? nullptr : it->second;
}

HRESULT SimHost::CallByName(LONG cookie, LONG groupId, LONG itemIndex, bool enable,
                            VARIANT* result) {
  const CommandGroupRecord* group = state_->commandBoards[cookie].LiveGroup(groupId);
  if (!group || group->activations == 0 || itemIndex < 0 ||
      static_cast<size_t>(itemIndex) >= group->items.size()) {
    return E_FAIL;
  }
  const CommandItemRecord& item = group->items[static_cast<size_t>(itemIndex)];
  ComPtr<IDispatch> target = CallbackTarget(cookie);
  if (item.separator || !target) return E_FAIL;
  std::u16string name = enable ? item.enableMethod : item.callback;
  LPOLESTR names[] = {name.data()};
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT hr = target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
  if (FAILED(hr)) return hr;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  hr = target->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, result,
                      &exception, &argumentError);
  // A callback's failure arrives as DISP_E_EXCEPTION with its status inside.
  if (hr == DISP_E_EXCEPTION) hr = exception.scode;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return hr;
}

HRESULT SimHost::Click(LONG cookie, LONG groupId, LONG itemIndex) {
  ScopedVariant result;
  return CallByName(cookie, groupId, itemIndex, /*enable=*/false, result.Receive());
}

HRESULT SimHost::ClickNamed(LONG cookie, std::u16string_view itemName) {
  for (const CommandGroupRecord& group : state_->commandBoards[cookie].groups) {
    if (group.removed || group.activations == 0) continue;
    for (size_t i = 0; i < group.items.size(); ++i) {
      if (!group.items[i].separator && group.items[i].name == itemName) {
        return Click(cookie, group.userId, static_cast<LONG>(i));
      }
    }
  }
  return E_FAIL;
}

HRESULT SimHost::QueryEnable(LONG cookie, LONG groupId, LONG itemIndex, LONG* status) {
  if (!status) return E_POINTER;
  *status = 0;
  ScopedVariant result;
  HRESULT hr = CallByName(cookie, groupId, itemIndex, /*enable=*/true, result.Receive());
  if (FAILED(hr)) return hr;
  ScopedVariant number;
  if (FAILED(VariantChangeType(number.Get(), result.Get(), 0, VT_I4))) return DISP_E_TYPEMISMATCH;
  *status = number.Get()->lVal;
  return hr;
}

size_t SimHost::ApplicationSinkCount() const { return state_->applicationSinks->size(); }

size_t SimHost::DocumentSinkCount(const std::filesystem::path& path) const {
  std::shared_ptr<DocumentState> document = state_->FindOpen(path);
  return document ? document->sinks->size() : 0;
}

std::vector<HRESULT> SimHost::FireApplicationEvent(DISPID dispid,
                                                   const std::vector<EventArg>& args) {
  return state_->applicationSinks->Fire(dispid, args);
}

std::vector<HRESULT> SimHost::FireDocumentEvent(const std::filesystem::path& path, DISPID dispid,
                                                const std::vector<EventArg>& args) {
  std::shared_ptr<DocumentState> document = state_->FindOpen(path);
  if (!document) return {};
  return document->sinks->Fire(dispid, args);
}

ComPtr<IDispatch> SimHost::Component(const std::filesystem::path& assembly,
                                     std::u16string_view configuration, std::u16string_view name) {
  std::shared_ptr<DocumentState> document = state_->FindOpen(assembly);
  if (!document || document->type() != kDocTypeAssembly ||
      !FindConfiguration(document->model, configuration)) {
    return nullptr;
  }
  ComponentRef root{document, nullptr, std::u16string(configuration), {}, kComponentFullyResolved,
                    document};
  std::optional<ComponentRef> found = FindComponent(root, name);
  if (!found) return nullptr;
  return MakeComObject<SimComponent, IDispatch>(state_, std::move(*found));
}

}  // namespace sim
