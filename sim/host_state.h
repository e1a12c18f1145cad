// The state of one simulated host that all its objects share: the open
// documents, the journal of calls and faults, the answer style and the
// hidden members, the counters of live objects, the command boards, the
// callback targets and the application's event sinks. The host's COM objects
// hold it; it holds none of them, so the last release of an object never
// waits on the host.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/unknown.h"
#include "sim/answer_style.h"
#include "sim/call_journal.h"
#include "sim/command_board.h"
#include "sim/document_state.h"
#include "sim/event_sinks.h"

namespace sim {

struct PublishedInterface;

class HostState : public std::enable_shared_from_this<HostState> {
 public:
  HostState();
  HostState(const HostState&) = delete;
  HostState& operator=(const HostState&) = delete;

  // Counters of the host's COM objects: objects alive and references held
  // on them (by anyone; the host itself keeps none between calls).
  void ObjectCreated() { ++liveObjects_; }
  void ObjectDestroyed() { --liveObjects_; }
  void ReferenceAdded() { ++references_; }
  void ReferenceReleased() { --references_; }
  long liveObjects() const { return liveObjects_; }
  long references() const { return references_; }

  CallJournal journal;
  AnswerStyle answerStyle;

  // A hidden member is unknown to GetIDsOfNames and Invoke, as on an older
  // release of the host.
  void Hide(const PublishedInterface& face, DISPID dispid) { hidden_.emplace_back(&face, dispid); }
  bool IsHidden(const PublishedInterface& face, DISPID dispid) const {
    if (hidden_.empty()) return false;
    for (const auto& [hiddenFace, hiddenId] : hidden_) {
      if (hiddenFace == &face && hiddenId == dispid) return true;
    }
    return false;
  }

  // Open documents in the host's order (files a document refers to come
  // before it). Hidden documents (loaded only for components or views) are
  // listed too.
  const std::vector<std::shared_ptr<DocumentState>>& documents() const { return documents_; }
  std::shared_ptr<DocumentState> active() const { return active_; }
  // The open document with that full path; null when none.
  std::shared_ptr<DocumentState> FindOpen(const std::filesystem::path& path) const;
  // The open document with that full path, or else with that file name;
  // null when none.
  std::shared_ptr<DocumentState> FindByName(std::u16string_view name) const;

  // Opens the file with what it refers to (or finds it open), shows it and
  // makes it active. A document that was not shown before raises the
  // application's open events. Throws ModelFileError.
  std::shared_ptr<DocumentState> Open(const std::filesystem::path& path);
  // A new, empty document of that type that no file holds yet, shown and
  // active. Throws std::invalid_argument when a document is open at that
  // path or the type is not the one of the path's extension.
  std::shared_ptr<DocumentState> NewDocument(const std::filesystem::path& path, LONG type);
  // Shows the document and makes it active.
  void Activate(const std::shared_ptr<DocumentState>& document);
  // Closes the document; one that another open document still uses is only
  // hidden.
  void Close(const std::shared_ptr<DocumentState>& document);
  // Writes the document, and with withReferenced every changed document it
  // uses too, raising each one's save event. Throws ModelFileError.
  void Save(DocumentState& document, bool withReferenced);
  // Closes every document and forgets sinks and callback targets.
  void Shutdown();

  // The host's objects with a stable identity: one application, one object
  // per document (while anyone holds it).
  ComPtr<IDispatch> ApplicationObject();
  ComPtr<IDispatch> DocumentObject(const std::shared_ptr<DocumentState>& document);
  void ForgetApplicationObject() { applicationObject_ = nullptr; }
  void ForgetDocumentObject(const DocumentState* document) { documentObjects_.erase(document); }

  void FireApplicationEvent(DISPID dispid, const std::vector<EventArg>& arguments);

  std::u16string revision = u"20.3.0";
  LONGLONG windowHandle = 0x0001'0520;
  std::map<LONG, ComPtr<IDispatch>> callbackTargets;
  std::map<LONG, CommandBoard> commandBoards;
  std::shared_ptr<EventSinks> applicationSinks;

 private:
  std::shared_ptr<DocumentState> Load(const std::filesystem::path& path);
  bool UsedByOthers(const DocumentState& document) const;
  void Remove(const std::shared_ptr<DocumentState>& document);
  void SetActive(std::shared_ptr<DocumentState> document);

  long liveObjects_ = 0;
  long references_ = 0;
  std::vector<std::pair<const PublishedInterface*, DISPID>> hidden_;
  std::vector<std::shared_ptr<DocumentState>> documents_;
  std::shared_ptr<DocumentState> active_;
  // Not owned: each object forgets itself when it goes.
  IDispatch* applicationObject_ = nullptr;
  std::map<const DocumentState*, IDispatch*> documentObjects_;
};

}  // namespace sim
