// IHarbolt: the dual automation interface of the add-in object, through which
// the caller sets the add-in up and asks for work, and through which the host
// calls the command callbacks and enable methods by name. The members stand
// in the order of the interface's table; ToolbarEnable0 and ToolbarCallback0
// close it, after ToolbarCallback199, although their DISPIDs are lower.
//
// Every member returns an HRESULT. In-BSTRs stay the sender's; an out-BSTR is
// allocated by the add-in and freed by the receiver.
#pragma once

#include "platform/unknown.h"

// Expands X(n) for every command callback number n from 100 to 199, in order:
// the one definition of the hundred ToolbarCallback members.
// clang-format off
#define HB_TOOLBAR_CALLBACK_DECADE(X, d) \
  X(d##0) X(d##1) X(d##2) X(d##3) X(d##4) X(d##5) X(d##6) X(d##7) X(d##8) X(d##9)
#define HB_TOOLBAR_CALLBACKS(X)                                                 \
  HB_TOOLBAR_CALLBACK_DECADE(X, 10) HB_TOOLBAR_CALLBACK_DECADE(X, 11)           \
  HB_TOOLBAR_CALLBACK_DECADE(X, 12) HB_TOOLBAR_CALLBACK_DECADE(X, 13)           \
  HB_TOOLBAR_CALLBACK_DECADE(X, 14) HB_TOOLBAR_CALLBACK_DECADE(X, 15)           \
  HB_TOOLBAR_CALLBACK_DECADE(X, 16) HB_TOOLBAR_CALLBACK_DECADE(X, 17)           \
  HB_TOOLBAR_CALLBACK_DECADE(X, 18) HB_TOOLBAR_CALLBACK_DECADE(X, 19)
// clang-format on

inline constexpr LONG kFirstToolbarCallback = 100;
inline constexpr LONG kLastToolbarCallback = 199;

struct IHarbolt : IDispatch {
  // Enable methods (DISPIDs 4 to 8): status receives 1 when the command is
  // available, else 0.
  virtual HRESULT STDMETHODCALLTYPE ToolbarEnableAll(LONG* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE ToolbarEnablePart(LONG* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE ToolbarEnableAsm(LONG* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE ToolbarEnableDwg(LONG* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE ToolbarEnablePartAsm(LONG* status) = 0;
  // 21: builds the command groups from the menu definition.
  virtual HRESULT STDMETHODCALLTYPE CreateMenu(BSTR bsMenuDef) = 0;
  // 22, 23: no action.
  virtual HRESULT STDMETHODCALLTYPE SetParamValue(BSTR bsParamName, BSTR bsParamValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetParamValue(BSTR bsParamName, BSTR* pbsParamValue) = 0;
  // 24: export of the active model; by position, the first argument is the
  // table list and the second the database path.
  virtual HRESULT STDMETHODCALLTYPE RefreshTable(BSTR bsDbFileName, BSTR bsTableName) = 0;
  // 25: replaces the data dictionary.
  virtual HRESULT STDMETHODCALLTYPE SetDD(BSTR bsXml) = 0;
  // 26: stores the caller.
  virtual HRESULT STDMETHODCALLTYPE SetCaller(IUnknown* pCaller) = 0;
  // 27: back to the default command group.
  virtual HRESULT STDMETHODCALLTYPE Disconnect() = 0;
  // 28: import of flagged rows; arguments by position as for RefreshTable.
  virtual HRESULT STDMETHODCALLTYPE UpdateTable(BSTR bsDbFileName, BSTR bsTableName) = 0;
  // 29: window handle of the host's main frame.
  virtual HRESULT STDMETHODCALLTYPE GetHWND(LONGLONG* pHwnd) = 0;
  // 30, 31: the caller's event interface and the text passed back with
  // every event.
  virtual HRESULT STDMETHODCALLTYPE SetEventSrc(IDispatch* v) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCaxHandle(BSTR caxHandle) = 0;
  // 32, 33 (property gets): the last error number and description.
  virtual HRESULT STDMETHODCALLTYPE get_errNumber(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_errDescription(BSTR* pVal) = 0;
  // 34: the work directory for exports.
  virtual HRESULT STDMETHODCALLTYPE SetWorkDir(BSTR value) = 0;
  // 35, 36: file operations; 0 on success, -1 on failure. OpenFile only
  // reads through its pointer.
  virtual HRESULT STDMETHODCALLTYPE OpenFile(BSTR* fileName) = 0;
  virtual HRESULT STDMETHODCALLTYPE SaveFile(BSTR fileName) = 0;
  // 37 (property get): always 0.
  virtual HRESULT STDMETHODCALLTYPE get_ConnIsValid(LONG* pVal) = 0;
  // 38: the files the active document depends on.
  virtual HRESULT STDMETHODCALLTYPE GetDependencies(BSTR filePath, BSTR* depends) = 0;

  // 100 to 199: the command callbacks of the caller's menu.
#define HB_DECLARE_TOOLBAR_CALLBACK(n) virtual HRESULT STDMETHODCALLTYPE ToolbarCallback##n() = 0;
  HB_TOOLBAR_CALLBACKS(HB_DECLARE_TOOLBAR_CALLBACK)
#undef HB_DECLARE_TOOLBAR_CALLBACK

  // 51: enable method of the default and logout commands.
  virtual HRESULT STDMETHODCALLTYPE ToolbarEnable0(LONG* status) = 0;
  // 50: the default (login) command.
  virtual HRESULT STDMETHODCALLTYPE ToolbarCallback0() = 0;

 protected:
  ~IHarbolt() = default;
};
HB_DECLARE_IID(IHarbolt, "{D82369CE-1AEC-4DA7-B83B-94DCD59CDEC7}");
