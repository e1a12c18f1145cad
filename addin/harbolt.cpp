#include "addin/harbolt.h"

#include <cstdint>

#include "addin/command_callbacks.h"
#include "addin/file_operations.h"
#include "addin/host_version.h"
#include "addin/menu_builder.h"
#include "addin/module.h"
#include "common/catch_pattern.h"
#include "common/error_handlers.h"
#include "export/refresh_tables.h"
#include "host/host_ids.h"
#include "host/published/binding.h"
#include "host/published/published_ids.h"
#include "import/update_tables.h"
#include "platform/bstr.h"

namespace {

using harbolt::EventArgs;

namespace app_event = published::app_event;

// The sink map has an entry for DISPID 11 too, although no event of the
// host's has that number.
constexpr DISPID kEvent11 = 11;

constexpr CHarbolt::AppSink::Entry kApplicationSinkMap[] = {
    {app_event::kActiveDocChangeNotify,
     [](CHarbolt& addin, const EventArgs&) { return addin.OnActiveDocChangeNotify(); }},
    {app_event::kActiveModelDocChangeNotify,
     [](CHarbolt& addin, const EventArgs&) { return addin.OnActiveModelDocChangeNotify(); }},
    {kEvent11, [](CHarbolt& addin, const EventArgs&) { return addin.OnEvent11(); }},
    // (NewDoc, DocType, TemplateName), none of them used.
    {app_event::kFileNewNotify2,
     [](CHarbolt& addin, const EventArgs&) { return addin.OnFileNewNotify2(); }},
    // (FileName)
    {app_event::kFileOpenPostNotify,
     [](CHarbolt& addin, const EventArgs& args) {
       return addin.OnFileOpenPostNotify(args.Text(0));
     }},
};

// The catch site of a CHarbolt method.
constexpr Dovbase::CatchSite Site(const OLECHAR* function, int32_t line) {
  return {u".\\Harbolt", function, line};
}

template <typename Body>
HRESULT Guard(const Dovbase::CatchSite& site, Body&& body) {
  return Dovbase::GuardAutomationMethod(site, kHarboltProgId, std::forward<Body>(body));
}

// The module handle, all of it: a module may be loaded above 4 GiB.
LONGLONG ModuleHandleValue() {
  return static_cast<LONGLONG>(reinterpret_cast<uintptr_t>(CHarboltModule::Handle()));
}

}  // namespace

CHarbolt::CHarbolt()
    : applicationSink_(MakeComObject<AppSink, AppSink>(published::kIidSldWorksEvents, this,
                                                       kApplicationSinkMap)) {}

CHarbolt::~CHarbolt() {
  // A host that still holds a sink must not reach a destroyed add-in.
  if (applicationSink_->advised()) applicationSink_->Unadvise(application_.Get());
  applicationSink_->Orphan();
  for (auto& [identity, entry] : documents_) entry.sink->Orphan();
  documents_.clear();
}

// Enable methods.

HRESULT CHarbolt::ActiveDocumentStatus(LONG* status, bool (*accept)(LONG type)) {
  if (!status) return E_POINTER;
  *status = 0;
  ComPtr<IHostModelDoc> document;
  if (application_) application_->GetActiveDocument(document.ReleaseAndGetAddressOf());
  LONG type = kDocTypeNone;
  if (document) document->GetType(&type);
  if (accept(type)) *status = 1;
  return S_OK;
}

HRESULT CHarbolt::ToolbarEnableAll(LONG* status) {
  if (!status) return E_POINTER;
  *status = 1;
  return S_OK;
}

HRESULT CHarbolt::ToolbarEnablePart(LONG* status) {
  return ActiveDocumentStatus(status, [](LONG type) { return type == kDocTypePart; });
}

HRESULT CHarbolt::ToolbarEnableAsm(LONG* status) {
  return ActiveDocumentStatus(status, [](LONG type) { return type == kDocTypeAssembly; });
}

HRESULT CHarbolt::ToolbarEnableDwg(LONG* status) {
  return ActiveDocumentStatus(status, [](LONG type) { return type == kDocTypeDrawing; });
}

HRESULT CHarbolt::ToolbarEnablePartAsm(LONG* status) {
  return ActiveDocumentStatus(
      status, [](LONG type) { return type == kDocTypePart || type == kDocTypeAssembly; });
}

HRESULT CHarbolt::ToolbarEnable0(LONG* status) {
  if (!status) return E_POINTER;
  *status = 1;
  return S_OK;
}

// The caller's menus, the export and the import.

HRESULT CHarbolt::CreateMenu(BSTR bsMenuDef) {
  return Guard(Site(u"CHarbolt::CreateMenu", __LINE__), [&] {
    Dovbase::InstallErrorHandlers();
    commandGroups_.RemoveGroups(commandManager_.Get());
    return MenuBuilder(commandManager_.Get(), commandGroups_)
        .Build(BstrView(bsMenuDef), errorNumber_, errorDescription_);
  });
}

// The arguments are used by position: the table list first, the database
// path second.
HRESULT CHarbolt::RefreshTable(BSTR bsDbFileName, BSTR bsTableName) {
  return RefreshTables(application_.Get(), dataDictionary_, workDirectory_, bsDbFileName,
                       bsTableName, kHarboltProgId, errorNumber_, errorDescription_);
}

// The arguments are used by position, as for RefreshTable.
HRESULT CHarbolt::UpdateTable(BSTR bsDbFileName, BSTR bsTableName) {
  return UpdateTables(application_.Get(), bsDbFileName, bsTableName, kHarboltProgId, errorNumber_,
                      errorDescription_);
}

// File operations. OpenFile only reads through its pointer; SaveFile saves
// the active document whatever name it is given; GetDependencies lists the
// active document's files whatever path it is given.

HRESULT CHarbolt::OpenFile(BSTR* fileName) {
  return harbolt::OpenModelFile(application_.Get(), fileName ? BstrView(*fileName) : u"",
                                errorNumber_, errorDescription_);
}

HRESULT CHarbolt::SaveFile(BSTR) {
  return harbolt::SaveActiveDocument(application_.Get(), errorNumber_, errorDescription_);
}

HRESULT CHarbolt::GetDependencies(BSTR, BSTR* depends) {
  return harbolt::ListDependencies(application_.Get(), depends, errorNumber_, errorDescription_);
}

// Command callbacks.

HRESULT CHarbolt::ForwardClick(LONG number) {
  return Guard(Site(u"CHarbolt::ForwardClick", __LINE__), [&] {
    // Held for the call: the caller may replace its event source meanwhile.
    ComPtr<ICallerEvents> source = eventSource_;
    return harbolt::ForwardMenuClick(number, commandGroups_, application_.Get(), source.Get(),
                                     caxHandle_);
  });
}

HRESULT CHarbolt::ToolbarCallback0() {
  return Guard(Site(u"CHarbolt::ToolbarCallback0", __LINE__),
               [&] { return harbolt::StartClientProgram(application_.Get()); });
}

// State.

HRESULT CHarbolt::SetParamValue(BSTR, BSTR) { return S_OK; }

HRESULT CHarbolt::GetParamValue(BSTR, BSTR* pbsParamValue) {
  if (pbsParamValue) *pbsParamValue = nullptr;
  return S_OK;
}

HRESULT CHarbolt::SetDD(BSTR bsXml) {
  return Guard(Site(u"CHarbolt::SetDD", __LINE__),
               [&] { return dataDictionary_.parse(BstrView(bsXml)) == 0 ? S_OK : E_INVALIDARG; });
}

HRESULT CHarbolt::SetCaller(IUnknown* pCaller) {
  caller_ = nullptr;
  if (!pCaller) return E_INVALIDARG;
  ComPtr<IDispatch> caller;
  if (FAILED(ComPtr<IUnknown>(pCaller).As(&caller)) || !caller) return E_INVALIDARG;
  caller_ = std::move(caller);
  return S_OK;
}

HRESULT CHarbolt::Disconnect() {
  return Guard(Site(u"CHarbolt::Disconnect", __LINE__), [&] {
    commandGroups_.RemoveGroups(commandManager_.Get());
    dataDictionary_.free();
    caller_ = nullptr;
    commandGroups_.BuildDefaultGroup(commandManager_.Get());
  });
}

HRESULT CHarbolt::GetHWND(LONGLONG* pHwnd) {
  if (!pHwnd) return E_POINTER;
  *pHwnd = 0;
  ComPtr<IHostFrame> frame;
  if (!application_ || FAILED(application_->GetFrame(frame.ReleaseAndGetAddressOf())) || !frame) {
    return E_FAIL;
  }
  LONGLONG handle = 0;
  frame->GetHWnd(&handle);
  *pHwnd = handle;
  return S_OK;
}

HRESULT CHarbolt::SetEventSrc(IDispatch* v) {
  if (!v) return S_OK;
  eventSource_ = nullptr;
  ComPtr<IDispatch>(v).As(&eventSource_);
  return S_OK;
}

HRESULT CHarbolt::SetCaxHandle(BSTR caxHandle) {
  return Guard(Site(u"CHarbolt::SetCaxHandle", __LINE__),
               [&] { caxHandle_.assign(BstrView(caxHandle)); });
}

HRESULT CHarbolt::SetWorkDir(BSTR value) {
  return Guard(Site(u"CHarbolt::SetWorkDir", __LINE__),
               [&] { workDirectory_.assign(BstrView(value)); });
}

HRESULT CHarbolt::get_errNumber(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = errorNumber_;
  return S_OK;
}

HRESULT CHarbolt::get_errDescription(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = SysAllocStringLen(errorDescription_.data(), static_cast<UINT>(errorDescription_.size()));
  return *pVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT CHarbolt::get_ConnIsValid(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = 0;
  return S_OK;
}

HRESULT CHarbolt::InterfaceSupportsErrorInfo(REFIID riid) {
  return riid == IidOf<IHarbolt>() ? S_OK : S_FALSE;
}

// The host connection.

HRESULT CHarbolt::ConnectToSW(IDispatch* host, LONG cookie, VARIANT_BOOL* connected) {
  return Guard(Site(u"CHarbolt::ConnectToSW", __LINE__), [&] {
    // The host's application object, reached through its published model.
    application_ = published::BindApplication(host);
    cookie_ = cookie;
    if (application_) {
      application_->GetCommandManager(cookie, commandManager_.ReleaseAndGetAddressOf());
      VARIANT_BOOL registered = VARIANT_FALSE;
      application_->SetAddinCallbackInfo(ModuleHandleValue(), static_cast<IHarbolt*>(this), cookie,
                                         &registered);
    }
    ScopedBstr revision;
    if (application_) application_->RevisionNumber(revision.Receive());
    hostMajorVersion_ = harbolt::HostMajorVersion(revision.View());
    hostMinorVersion_ = 0;
    commandGroups_.BuildDefaultGroup(commandManager_.Get());
    AttachEventHandlers();
    if (connected) *connected = VARIANT_TRUE;
    return S_OK;
  });
}

HRESULT CHarbolt::DisconnectFromSW(VARIANT_BOOL* disconnected) {
  return Guard(Site(u"CHarbolt::DisconnectFromSW", __LINE__), [&] {
    commandGroups_.RemoveGroups(commandManager_.Get());
    VARIANT_BOOL detached = DetachEventHandlers();
    if (disconnected) *disconnected = detached;
    commandManager_ = nullptr;
    application_ = nullptr;
    // The disconnection is complete all the same; the host does not act on
    // this result.
    return E_NOTIMPL;
  });
}

void CHarbolt::AttachEventHandlers() {
  applicationSink_->SetTypeLibVersion(harbolt::EventTypeLibMajorVersion(hostMajorVersion_), 0);
  if (!application_) return;
  if (FAILED(applicationSink_->Advise(application_.Get()))) return;
  AttachOpenDocuments();
}

HRESULT CHarbolt::AttachOpenDocuments() {
  ComPtr<IHostModelDoc> document;
  application_->GetFirstDocument(document.ReleaseAndGetAddressOf());
  while (document) {
    ComPtr<IUnknown> identity;
    document.As(&identity);
    if (identity && !HasDocument(identity.Get()) && FAILED(AttachDocument(document.Get()))) {
      return E_FAIL;
    }
    ComPtr<IHostModelDoc> next;
    document->GetNext(next.ReleaseAndGetAddressOf());
    document = std::move(next);
  }
  return S_OK;
}

VARIANT_BOOL CHarbolt::DetachEventHandlers() {
  HRESULT hr = applicationSink_->Unadvise(application_.Get());
  if (!application_ || FAILED(hr)) return VARIANT_FALSE;
  VARIANT_BOOL result = VARIANT_TRUE;
  for (auto it = documents_.begin(); it != documents_.end();) {
    ComPtr<CSwDocument> document = it->second.sink;
    if (document->UnadviseSink()) {
      it = documents_.erase(it);
      result = VARIANT_TRUE;
    } else {
      ++it;
      result = VARIANT_FALSE;
    }
  }
  return result;
}

// The open-documents map.

bool CHarbolt::HasDocument(IUnknown* identity) const { return documents_.count(identity) != 0; }

HRESULT CHarbolt::AttachDocument(IHostModelDoc* document) {
  if (!document) return E_FAIL;
  ComPtr<IUnknown> identity;
  ComPtr<IHostModelDoc>(document).As(&identity);
  if (!identity) return E_FAIL;
  ComPtr<CSwDocument> sink = MakeComObject<CSwDocument, CSwDocument>();
  sink->Init(this, document);
  if (!sink->AttachEventHandlers()) return E_FAIL;
  documents_[identity.Get()] = OpenDocument{identity, std::move(sink)};
  return S_OK;
}

void CHarbolt::RemoveDocument(IUnknown* identity) {
  auto it = documents_.find(identity);
  if (it == documents_.end()) return;
  // Released once the map no longer holds it.
  OpenDocument removed = std::move(it->second);
  documents_.erase(it);
}

// Host application events.

HRESULT CHarbolt::OnFileNewNotify2() {
  ComPtr<ICallerEvents> source = eventSource_;
  if (!source) return S_OK;
  ScopedBstr handle(caxHandle_);
  return source->FireFileNew(handle.Get());
}

HRESULT CHarbolt::OnFileOpenPostNotify(const std::u16string& fileName) {
  ComPtr<ICallerEvents> source = eventSource_;
  if (!source) return S_OK;
  ScopedBstr handle(caxHandle_);
  ScopedBstr file(fileName);
  return source->FireFileOpen(handle.Get(), file.Get());
}
