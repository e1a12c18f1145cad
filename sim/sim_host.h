// The simulated CAD host as a test or a tool drives it: create it, open
// model files, hand its application object to the add-in, then read back
// what the add-in did. The host's objects answer only through the host's
// published object model: IDispatch, by member name (ISldWorks.OpenDoc6,
// IModelDoc2.GetTitle, IFeature.Name, ...), as the real host does.
//
//   sim::SimHost host;
//   host.Open("examples/sample/Gearbox.SLDASM");
//   ComPtr<IDispatch> app = host.Application();    // give it to the add-in
//   host.FailCall("IModelDoc2.GetTitle#2");         // the 2nd GetTitle fails
//   host.EmptyCall("IDimension.Tolerance");         // every get answers nothing
//   host.HideMember("IFeature.GetTypeName2");       // as on an older release
//   ... let the add-in work ...
//   EXPECT_EQ(0, host.References() - before);       // it released what it took
//   host.CallLines("ICustomPropertyManager.");      // what it called, in order
//
// Faults: a fault text names an operation, "Interface.Member" for a method
// or a property get, "Interface.put_Member" for a put (KnownOperations(),
// call_journal.h), optionally followed by "#n": the n-th call of that
// operation from the moment the fault is set (counting from 1); without
// "#n" (or with "#*") every call. A failing call makes Invoke return the
// failure given when it is one Invoke itself reports (DISP_E_MEMBERNOTFOUND,
// DISP_E_UNKNOWNNAME, DISP_E_TYPEMISMATCH, DISP_E_BADPARAMCOUNT,
// DISP_E_PARAMNOTFOUND), else DISP_E_EXCEPTION carrying it in EXCEPINFO; an
// empty call answers VT_EMPTY and writes no out-parameter. Neither does
// anything else.
//
// Counting: every COM object the host hands out counts while it lives
// (LiveObjects), and so does every reference on them (References); the host
// keeps none of its own objects between calls, so both drop to 0 once the
// add-in and the test released everything.
//
// Everything runs on the caller's thread; the host is not thread-safe.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/unknown.h"
#include "sim/answer_style.h"
#include "sim/call_journal.h"
#include "sim/command_board.h"
#include "sim/event_sinks.h"
#include "sim/model.h"

namespace sim {

class HostState;

class SimHost {
 public:
  SimHost();
  // Shuts the host down: raises the application's destroy event, closes
  // every document (raising their destroy events), then forgets every sink
  // and callback target.
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  // The application object (ISldWorks), a new reference for the receiver.
  ComPtr<IDispatch> Application();

  // Opens the model file as the user would (with the files it refers to),
  // shows it and makes it active. Throws ModelFileError naming the file and
  // the place when it or a file it refers to cannot be used.
  ComPtr<IDispatch> Open(const std::filesystem::path& path);
  // Creates a new, empty document of that type (one configuration
  // "Default") that is saved to path, makes it active and raises the
  // application's new-document event. Throws std::invalid_argument when a
  // document is open at path or the type is not the one of its extension.
  ComPtr<IDispatch> NewDocument(const std::filesystem::path& path, LONG docType);
  // The open document (IModelDoc2) with that path; null when none.
  ComPtr<IDispatch> Document(const std::filesystem::path& path);
  ComPtr<IDispatch> ActiveDocument();
  // Closes as ISldWorks.CloseDoc does; false when not open.
  bool Close(const std::filesystem::path& path);
  // Full paths of the open documents in the host's order.
  std::vector<std::filesystem::path> OpenDocuments() const;

  // The live model of an open document, to read or change it directly;
  // null when it is not open (or not a document object of this host).
  // Values may be changed freely; features, dimensions, configurations and
  // components must not be added or removed, as the host keeps pointers to
  // them.
  ModelData* Model(const std::filesystem::path& path);
  ModelData* Model(IUnknown* document);

  void SetRevision(std::u16string revision);
  void SetWindowHandle(LONGLONG handle);

  // The forms of the answers (answer_style.h), from the next call on.
  void SetAnswerStyle(const AnswerStyle& style);
  // Makes a member unknown, as on an older release of the host: "IFeature.
  // GetTypeName2" (a property's get and put both). Throws
  // std::invalid_argument for a text that names no member.
  void HideMember(std::string_view member);

  // Fault injection; std::invalid_argument for a malformed fault text or an
  // unknown operation.
  void FailCall(std::string_view faultText, HRESULT failure = E_FAIL);
  void EmptyCall(std::string_view faultText);
  void ClearFaults();

  long LiveObjects() const;
  long References() const;

  // Host operations called so far, in order.
  const std::vector<HostCall>& Calls() const;
  // HostCall::ToString of the calls whose operation starts with prefix.
  std::vector<std::string> CallLines(std::string_view prefix = {}) const;
  void ClearCalls();
  void SetRecording(bool on);

  // What the add-in with that cookie built (an empty board when nothing).
  const CommandBoard& Commands(LONG cookie);
  // The callback target the add-in registered for the cookie; null if none.
  ComPtr<IDispatch> CallbackTarget(LONG cookie) const;
  // Clicks command item itemIndex of the live, activated group groupId: looks
  // up the item's callback name on the cookie's target (GetIDsOfNames) and
  // invokes it without arguments. Returns the callback's status (for a
  // failure that Invoke reports as DISP_E_EXCEPTION, the status in
  // EXCEPINFO), the failure of the name lookup, or E_FAIL when there is no
  // such command or target.
  HRESULT Click(LONG cookie, LONG groupId, LONG itemIndex);
  // Clicks the first command item of a live, activated group with that name.
  HRESULT ClickNamed(LONG cookie, std::u16string_view itemName);
  // Calls the item's enable method the same way; status gets its VT_I4
  // result.
  HRESULT QueryEnable(LONG cookie, LONG groupId, LONG itemIndex, LONG* status);

  // Sinks advised on the application and on an open document.
  size_t ApplicationSinkCount() const;
  size_t DocumentSinkCount(const std::filesystem::path& path) const;
  // Raises an event on the advised sinks; their results in advising order.
  std::vector<HRESULT> FireApplicationEvent(DISPID dispid, const std::vector<EventArg>& args = {});
  std::vector<HRESULT> FireDocumentEvent(const std::filesystem::path& path, DISPID dispid,
                                         const std::vector<EventArg>& args = {});
  // A component object (IComponent2) of an open assembly, for event
  // arguments: the component with that full name ("SubAsm-1/Bolt-2") in the
  // configuration. Null when there is none.
  ComPtr<IDispatch> Component(const std::filesystem::path& assembly,
                              std::u16string_view configuration, std::u16string_view name);

 private:
  HRESULT CallByName(LONG cookie, LONG groupId, LONG itemIndex, bool enable, VARIANT* result);

  std::shared_ptr<HostState> state_;
};

}  // namespace sim
