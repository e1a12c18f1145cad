// CHarbolt: the add-in object, the one object through which both outside
// parties reach the system. The host creates it through the class factory
// and connects it through ISwAddin; the caller drives it through the dual
// interface IHarbolt (late-bound through IDispatch, names and DISPIDs from
// the type library). It owns its host references, the data dictionary, the
// menu state, the caller's references and the sinks of the open documents
// for its whole life.
//
// Connected, it holds the host application and the add-in's command manager,
// is registered with the host as the target of its commands (the host keeps
// a reference until it registers another target or goes), shows the default
// command group and listens to the application's events and to every open
// document. DisconnectFromSW lets go of the host again; the object lives on
// until its last release.
//
// The caller's menus (CreateMenu) replace the default group with groups built
// from the caller's menu definition; the host calls the command callbacks
// back by name, and a click is forwarded to the caller's event source.
#pragma once

#include <map>
#include <span>
#include <string>
#include <utility>

#include "addin/caller_events.h"
#include "addin/command_groups.h"
#include "addin/dispatch_object.h"
#include "addin/event_sink.h"
#include "addin/iharbolt.h"
#include "addin/sw_document.h"
#include "common/kvx_xml.h"
#include "host/host_addin.h"
#include "host/host_application.h"

class CHarbolt final : public DispatchObject<IHarbolt, ISwAddin, ISupportErrorInfo> {
 public:
  using AppSink = EventSink<CHarbolt>;

  CHarbolt();

  // IHarbolt.
  HRESULT STDMETHODCALLTYPE ToolbarEnableAll(LONG* status) override;
  HRESULT STDMETHODCALLTYPE ToolbarEnablePart(LONG* status) override;
  HRESULT STDMETHODCALLTYPE ToolbarEnableAsm(LONG* status) override;
  HRESULT STDMETHODCALLTYPE ToolbarEnableDwg(LONG* status) override;
  HRESULT STDMETHODCALLTYPE ToolbarEnablePartAsm(LONG* status) override;
  HRESULT STDMETHODCALLTYPE CreateMenu(BSTR bsMenuDef) override;
  HRESULT STDMETHODCALLTYPE SetParamValue(BSTR bsParamName, BSTR bsParamValue) override;
  HRESULT STDMETHODCALLTYPE GetParamValue(BSTR bsParamName, BSTR* pbsParamValue) override;
  HRESULT STDMETHODCALLTYPE RefreshTable(BSTR bsDbFileName, BSTR bsTableName) override;
  HRESULT STDMETHODCALLTYPE SetDD(BSTR bsXml) override;
  HRESULT STDMETHODCALLTYPE SetCaller(IUnknown* pCaller) override;
  HRESULT STDMETHODCALLTYPE Disconnect() override;
  HRESULT STDMETHODCALLTYPE UpdateTable(BSTR bsDbFileName, BSTR bsTableName) override;
  HRESULT STDMETHODCALLTYPE GetHWND(LONGLONG* pHwnd) override;
  HRESULT STDMETHODCALLTYPE SetEventSrc(IDispatch* v) override;
  HRESULT STDMETHODCALLTYPE SetCaxHandle(BSTR caxHandle) override;
  HRESULT STDMETHODCALLTYPE get_errNumber(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_errDescription(BSTR* pVal) override;
  HRESULT STDMETHODCALLTYPE SetWorkDir(BSTR value) override;
  HRESULT STDMETHODCALLTYPE OpenFile(BSTR* fileName) override;
  HRESULT STDMETHODCALLTYPE SaveFile(BSTR fileName) override;
  HRESULT STDMETHODCALLTYPE get_ConnIsValid(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE GetDependencies(BSTR filePath, BSTR* depends) override;
#define HB_OVERRIDE_TOOLBAR_CALLBACK(n) \
  HRESULT STDMETHODCALLTYPE ToolbarCallback##n() override { return ForwardClick(n); }
  HB_TOOLBAR_CALLBACKS(HB_OVERRIDE_TOOLBAR_CALLBACK)
#undef HB_OVERRIDE_TOOLBAR_CALLBACK
  HRESULT STDMETHODCALLTYPE ToolbarEnable0(LONG* status) override;
  HRESULT STDMETHODCALLTYPE ToolbarCallback0() override;

  // ISwAddin.
  HRESULT STDMETHODCALLTYPE ConnectToSW(IDispatch* host, LONG cookie,
                                        VARIANT_BOOL* connected) override;
  HRESULT STDMETHODCALLTYPE DisconnectFromSW(VARIANT_BOOL* disconnected) override;

  // ISupportErrorInfo: S_OK for IHarbolt, whose methods publish COM error
  // objects, else S_FALSE.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

  // Host application events (the application sink's map).
  HRESULT OnActiveDocChangeNotify() { return S_OK; }
  HRESULT OnActiveModelDocChangeNotify() { return S_OK; }
  // DISPID 11 names no event the host publishes; the entry never fires.
  HRESULT OnEvent11() { return S_OK; }
  // The host made a new document: the event source's FireFileNew with the
  // cax handle; its status, or S_OK without an event source. The event's
  // arguments are not used.
  HRESULT OnFileNewNotify2();
  // The host opened a file: the event source's FireFileOpen with the cax
  // handle and the file name; its status, or S_OK without an event source.
  HRESULT OnFileOpenPostNotify(const std::u16string& fileName);

  // The open-documents map, keyed by the document's IUnknown identity. The
  // map holds a reference on each document and on its CSwDocument.
  bool HasDocument(IUnknown* identity) const;
  // Creates, initialises and advises a CSwDocument for the document and
  // enters it in the map; E_FAIL (nothing entered) when it cannot be
  // advised. The document is the binding's (one wrapper per host document,
  // so its IUnknown identifies the document).
  HRESULT AttachDocument(IHostModelDoc* document);
  // Drops the entry of that document, if any.
  void RemoveDocument(IUnknown* identity);
  size_t documentCount() const { return documents_.size(); }

  // The state the add-in's parts work with.
  const ComPtr<IHostApplication>& hostApplication() const { return application_; }
  const ComPtr<IHostCommandManager>& commandManager() const { return commandManager_; }
  LONG cookie() const { return cookie_; }
  LONG hostMajorVersion() const { return hostMajorVersion_; }
  LONG hostMinorVersion() const { return hostMinorVersion_; }
  const AppSink& applicationSink() const { return *applicationSink_.Get(); }
  const ComPtr<IDispatch>& caller() const { return caller_; }
  const ComPtr<ICallerEvents>& eventSource() const { return eventSource_; }
  const std::u16string& caxHandle() const { return caxHandle_; }
  const std::u16string& workDirectory() const { return workDirectory_; }
  Dovbase::XmlDocument& dataDictionary() { return dataDictionary_; }
  CommandGroups& commandGroups() { return commandGroups_; }
  // The error state that errNumber and errDescription read.
  LONG errorNumber() const { return errorNumber_; }
  const std::u16string& errorDescription() const { return errorDescription_; }
  void SetError(LONG number, std::u16string description) {
    errorNumber_ = number;
    errorDescription_ = std::move(description);
  }

 protected:
  std::span<const harbolt::DispatchEntry<IHarbolt>> DispatchTable() const override;

 private:
  struct OpenDocument {
    ComPtr<IUnknown> document;
    ComPtr<CSwDocument> sink;
  };

  ~CHarbolt() override;

  // 1 in *status when the active document's type passes accept, else 0.
  HRESULT ActiveDocumentStatus(LONG* status, bool (*accept)(LONG type));
  // The click of command callback `number` of the caller's menu.
  HRESULT ForwardClick(LONG number);
  void AttachEventHandlers();
  HRESULT AttachOpenDocuments();
  VARIANT_BOOL DetachEventHandlers();

  LONG errorNumber_ = 0;
  std::u16string errorDescription_;
  ComPtr<IHostApplication> application_;
  ComPtr<IHostCommandManager> commandManager_;
  LONG cookie_ = 0;
  LONG hostMajorVersion_ = 0;
  LONG hostMinorVersion_ = 0;
  ComPtr<IDispatch> caller_;
  Dovbase::XmlDocument dataDictionary_;
  CommandGroups commandGroups_;
  ComPtr<ICallerEvents> eventSource_;
  std::u16string caxHandle_;
  std::u16string workDirectory_;
  ComPtr<AppSink> applicationSink_;
  std::map<IUnknown*, OpenDocument> documents_;
};
