#include "sim/host_state.h"

#include <algorithm>
#include <stdexcept>

#include "host/published/published_ids.h"
#include "sim/document_loader.h"
#include "sim/model_reader.h"
#include "sim/model_writer.h"
#include "sim/sim_application.h"
#include "sim/sim_document.h"

namespace sim {
namespace {

namespace app_event = published::app_event;
namespace doc_event = published::doc_event;

// The reason a file-close event gives for a document the user closed.
constexpr LONG kClosedByUser = 0;

}  // namespace

HostState::HostState()
    : applicationSinks(std::make_shared<EventSinks>(published::kIidSldWorksEvents)) {}

std::shared_ptr<DocumentState> HostState::FindOpen(const std::filesystem::path& path) const {
  std::filesystem::path normal = NormalModelPath(path);
  for (const auto& document : documents_) {
    if (document->path() == normal) return document;
  }
  return nullptr;
}

std::shared_ptr<DocumentState> HostState::FindByName(std::u16string_view name) const {
  if (name.empty()) return nullptr;
  try {
    if (auto found = FindOpen(std::filesystem::path(std::u16string(name)))) return found;
  } catch (const std::exception&) {
    // A text the file system cannot take as a path may still be a file name.
  }
  for (const auto& document : documents_) {
    if (document->FileName() == name) return document;
  }
  return nullptr;
}

std::shared_ptr<DocumentState> HostState::Load(const std::filesystem::path& path) {
  if (std::shared_ptr<DocumentState> open = FindOpen(path)) return open;
  DocumentLoader loader(documents_);
  std::shared_ptr<DocumentState> document = loader.Load(path);
  documents_.insert(documents_.end(), loader.loaded().begin(), loader.loaded().end());
  return document;
}

std::shared_ptr<DocumentState> HostState::Open(const std::filesystem::path& path) {
  std::shared_ptr<DocumentState> document = Load(path);
  bool newlyShown = !document->visible;
  document->visible = true;
  if (newlyShown) FireApplicationEvent(app_event::kFileOpenNotify2, {document->PathText()});
  SetActive(document);
  if (newlyShown) FireApplicationEvent(app_event::kFileOpenPostNotify, {document->PathText()});
  return document;
}

std::shared_ptr<DocumentState> HostState::NewDocument(const std::filesystem::path& path,
                                                      LONG type) {
  std::filesystem::path normal = NormalModelPath(path);
  if (FindOpen(normal)) {
    throw std::invalid_argument("a document is open at " + normal.string() + " already");
  }
  if (type == kDocTypeNone || DocTypeFromPath(normal) != type) {
    throw std::invalid_argument("document type " + std::to_string(type) +
                                " does not fit the file name " + normal.string());
  }
  ModelData model;
  model.type = type;
  model.configurations.emplace_back().name = u"Default";
  auto document = std::make_shared<DocumentState>(normal, std::move(model));
  document->visible = true;
  document->changed = true;
  document->onDisk = false;
  documents_.push_back(document);
  SetActive(document);
  FireApplicationEvent(app_event::kFileNewNotify2,
                       {DocumentObject(document), type, std::u16string()});
  return document;
}

void HostState::Activate(const std::shared_ptr<DocumentState>& document) {
  document->visible = true;
  SetActive(document);
}

void HostState::SetActive(std::shared_ptr<DocumentState> document) {
  if (active_ == document) return;
  active_ = std::move(document);
  FireApplicationEvent(app_event::kActiveDocChangeNotify, {});
  FireApplicationEvent(app_event::kActiveModelDocChangeNotify, {});
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
  document->sinks->Fire(doc_event::kDestroyNotify, {});
  documents_.erase(std::remove(documents_.begin(), documents_.end(), document), documents_.end());
  document->sinks->Clear();
  FireApplicationEvent(app_event::kFileCloseNotify, {document->PathText(), kClosedByUser});
}

void HostState::Close(const std::shared_ptr<DocumentState>& document) {
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
}

void HostState::Save(DocumentState& document, bool withReferenced) {
  // The document and every changed document below it, each once.
  std::vector<DocumentState*> pending{&document};
  std::vector<DocumentState*> seen;
  while (!pending.empty()) {
    DocumentState* next = pending.back();
    pending.pop_back();
    if (std::find(seen.begin(), seen.end(), next) != seen.end()) continue;
    seen.push_back(next);
    if (withReferenced) {
      for (const auto& used : next->ReferencedDocuments()) pending.push_back(used.get());
    }
    if (next != &document && !next->changed) continue;
    WriteModelFile(next->path(), next->model);
    next->changed = false;
    next->onDisk = true;
    next->sinks->Fire(doc_event::kFileSaveNotify, {next->PathText()});
  }
}

void HostState::Shutdown() {
  FireApplicationEvent(app_event::kDestroyNotify, {});
  while (!documents_.empty()) Remove(std::shared_ptr<DocumentState>(documents_.back()));
  active_ = nullptr;
  applicationSinks->Clear();
  callbackTargets.clear();
}

ComPtr<IDispatch> HostState::ApplicationObject() {
  if (applicationObject_) return ComPtr<IDispatch>(applicationObject_);
  ComPtr<IDispatch> made = MakeComObject<SimApplication, IDispatch>(shared_from_this());
  applicationObject_ = made.Get();
  return made;
}

ComPtr<IDispatch> HostState::DocumentObject(const std::shared_ptr<DocumentState>& document) {
  if (!document) return nullptr;
  auto it = documentObjects_.find(document.get());
  if (it != documentObjects_.end()) return ComPtr<IDispatch>(it->second);
  ComPtr<IDispatch> made = MakeComObject<SimDocument, IDispatch>(shared_from_this(), document);
  documentObjects_[document.get()] = made.Get();
  return made;
}

void HostState::FireApplicationEvent(DISPID dispid, const std::vector<EventArg>& arguments) {
  applicationSinks->Fire(dispid, arguments);
}

}  // namespace sim
