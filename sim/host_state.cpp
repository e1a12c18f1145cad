#include "sim/host_state.h"

#include <algorithm>

#include "host/host_events.h"
#include "sim/document_loader.h"
#include "sim/model_writer.h"
#include "sim/sim_application.h"
#include "sim/sim_document.h"

namespace sim {

HostState::HostState()
    : applicationSinks(std::make_shared<EventSinks>(IidOf<DHostApplicationEvents>())) {}

std::shared_ptr<DocumentState> HostState::FindOpen(const std::filesystem::path& path) const {
  std::filesystem::path normal = NormalModelPath(path);
  for (const auto& document : documents_) {
    if (document->path() == normal) return document;
  }
  return nullptr;
}

std::shared_ptr<DocumentState> HostState::Open(const std::filesystem::path& path) {
  std::shared_ptr<DocumentState> document = FindOpen(path);
  bool wasShown = document && document->visible;
  if (!document) {
    DocumentLoader loader(documents_);
    document = loader.Load(path);
    documents_.insert(documents_.end(), loader.loaded().begin(), loader.loaded().end());
  }
  document->visible = true;
  SetActive(document);
  if (!wasShown) FireApplicationEvent(kAppEventFileOpenNotify, {document->PathText()});
  return document;
}

std::shared_ptr<DocumentState> HostState::Activate(std::u16string_view name) {
  std::shared_ptr<DocumentState> found;
  for (const auto& document : documents_) {
    if (document->PathText() == name) found = document;
  }
  if (!found) {
    for (const auto& document : documents_) {
      if (!found && document->FileName() == name) found = document;
    }
  }
  if (found) {
    found->visible = true;
    SetActive(found);
  }
  return found;
}

void HostState::SetActive(std::shared_ptr<DocumentState> document) {
  if (active_ == document) return;
  active_ = std::move(document);
  FireApplicationEvent(kAppEventActiveDocChangeNotify, {});
}

bool HostState::UsedByOthers(const DocumentState& document) const {
  for (const auto& other : documents_) {
    if (other.get() == &document) continue;
    for (const auto& used : other->ReferencedDocuments()) {
      if (used.get() == &document) return true;
    }
  }
  return false;
}

void HostState::Remove(const std::shared_ptr<DocumentState>& document) {
  document->selection.clear();
  document->sinks->Fire(kDocEventDestroyNotify, {});
  documents_.erase(std::remove(documents_.begin(), documents_.end(), document), documents_.end());
  document->sinks->Clear();
  FireApplicationEvent(kAppEventFileCloseNotify, {document->PathText()});
}

bool HostState::Close(const std::filesystem::path& path) {
  std::shared_ptr<DocumentState> document = FindOpen(path);
  if (!document) return false;
  if (UsedByOthers(*document)) {
    document->visible = false;
  } else {
    Remove(document);
  }
  // Documents loaded only for others go when nothing uses them any more.
  for (bool removed = true; removed;) {
    removed = false;
    for (const auto& other : documents_) {
      if (!other->visible && !UsedByOthers(*other)) {
        Remove(std::shared_ptr<DocumentState>(other));
        removed = true;
        break;
      }
    }
  }
  bool activeGone = active_ && (!active_->visible || std::find(documents_.begin(), documents_.end(),
                                                               active_) == documents_.end());
  if (activeGone) {
    std::shared_ptr<DocumentState> next;
    for (const auto& other : documents_) {
      if (other->visible) next = other;
    }
    SetActive(next);
  }
  return true;
}

void HostState::Save(DocumentState& document) {
  // The document and every changed document below it, each once.
  std::vector<DocumentState*> pending{&document};
  std::vector<DocumentState*> seen;
  while (!pending.empty()) {
    DocumentState* next = pending.back();
    pending.pop_back();
    if (std::find(seen.begin(), seen.end(), next) != seen.end()) continue;
    seen.push_back(next);
    for (const auto& used : next->ReferencedDocuments()) pending.push_back(used.get());
    if (next != &document && !next->changed) continue;
    WriteModelFile(next->path(), next->model);
    next->changed = false;
    next->sinks->Fire(kDocEventFileSaveNotify, {next->PathText()});
  }
}

void HostState::Shutdown() {
  FireApplicationEvent(kAppEventDestroyNotify, {});
  while (!documents_.empty()) Remove(std::shared_ptr<DocumentState>(documents_.back()));
  active_ = nullptr;
  applicationSinks->Clear();
  callbackTargets.clear();
}

ComPtr<IHostApplication> HostState::ApplicationObject() {
  if (applicationObject_) return ComPtr<IHostApplication>(applicationObject_);
  ComPtr<IHostApplication> made =
      MakeComObject<SimApplication, IHostApplication>(shared_from_this());
  applicationObject_ = made.Get();
  return made;
}

ComPtr<IHostModelDoc> HostState::DocumentObject(const std::shared_ptr<DocumentState>& document) {
  if (!document) return nullptr;
  auto it = documentObjects_.find(document.get());
  if (it != documentObjects_.end()) return ComPtr<IHostModelDoc>(it->second);
  ComPtr<IHostModelDoc> made =
      MakeComObject<SimDocument, IHostModelDoc>(shared_from_this(), document);
  documentObjects_[document.get()] = made.Get();
  return made;
}

void HostState::FireApplicationEvent(DISPID dispid, const std::vector<EventArg>& arguments) {
  applicationSinks->Fire(dispid, arguments);
}

}  // namespace sim
