// The state of one simulated host that all its objects share: the open
// documents, the journal of calls and faults, the counters of live objects,
// the command boards, the callback targets and the application's event
// sinks. The host's COM objects hold it; it holds none of them, so the last
// release of an object never waits on the host.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/host_application.h"
#include "sim/call_journal.h"
#include "sim/command_board.h"
#include "sim/document_state.h"
#include "sim/event_sinks.h"

namespace sim {

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

  // Open documents in the host's order (files a document refers to come
  // before it). Hidden documents (loaded only for components or views) are
  // listed too.
  const std::vector<std::shared_ptr<DocumentState>>& documents() const { return documents_; }
  std::shared_ptr<DocumentState> active() const { return active_; }
  // The open document with that full path; null when none.
  std::shared_ptr<DocumentState> FindOpen(const std::filesystem::path& path) const;
  // Opens the file with what it refers to (or finds it open), shows it and
  // makes it active. Throws ModelFileError.
  std::shared_ptr<DocumentState> Open(const std::filesystem::path& path);
  // Makes the open document with that full path or file name active; null
  // when there is none.
  std::shared_ptr<DocumentState> Activate(std::u16string_view name);
  // Closes the open document with that full path; false when none is open.
  // A document that another open document still uses is only hidden.
  bool Close(const std::filesystem::path& path);
  // Writes the document and every changed document it uses. Throws
  // ModelFileError.
  void Save(DocumentState& document);
  // Closes every document and forgets sinks and callback targets.
  void Shutdown();

  // The host's objects with a stable identity: one application, one object
  // per document (while anyone holds it).
  ComPtr<IHostApplication> ApplicationObject();
  ComPtr<IHostModelDoc> DocumentObject(const std::shared_ptr<DocumentState>& document);
  void ForgetApplicationObject() { applicationObject_ = nullptr; }
  void ForgetDocumentObject(const DocumentState* document) { documentObjects_.erase(document); }

  void FireApplicationEvent(DISPID dispid, const std::vector<EventArg>& arguments);

  std::u16string revision = u"20.3.0";
  LONGLONG windowHandle = 0x0001'0520;
  std::map<LONG, ComPtr<IDispatch>> callbackTargets;
  std::map<LONG, CommandBoard> commandBoards;
  std::shared_ptr<EventSinks> applicationSinks;

 private:
  bool UsedByOthers(const DocumentState& document) const;
  void Remove(const std::shared_ptr<DocumentState>& document);
  void SetActive(std::shared_ptr<DocumentState> document);

  long liveObjects_ = 0;
  long references_ = 0;
  std::vector<std::shared_ptr<DocumentState>> documents_;
  std::shared_ptr<DocumentState> active_;
  IHostApplication* applicationObject_ = nullptr;
  std::map<const DocumentState*, IHostModelDoc*> documentObjects_;
};

}  // namespace sim
