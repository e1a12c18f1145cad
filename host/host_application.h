// The host application: the root object the host hands the add-in when it
// connects. It is also a connection-point container for the host's
// application events (published_ids.h).
#pragma once

#include "host/host_commands.h"
#include "host/host_frame.h"
#include "host/host_model_doc.h"
#include "platform/ole_picture.h"
#include "platform/safearray.h"
#include "platform/unknown.h"

struct IHostApplication : IDispatch {
  // The command manager of the add-in with that cookie.
  virtual HRESULT STDMETHODCALLTYPE GetCommandManager(LONG cookie,
                                                      IHostCommandManager** manager) = 0;
  // Registers the object whose methods the commands of the add-in with that
  // cookie name as callbacks and enable methods. moduleHandle is the add-in
  // module's handle, all 64 bits of it. The host keeps a reference on target
  // until another target is registered for the cookie or the host goes.
  virtual HRESULT STDMETHODCALLTYPE SetAddinCallbackInfo(LONGLONG moduleHandle, IDispatch* target,
                                                         LONG cookie, VARIANT_BOOL* done) = 0;
  // The host's revision text, for instance "20.3.0".
  virtual HRESULT STDMETHODCALLTYPE RevisionNumber(BSTR* revision) = 0;
  // The main window frame.
  virtual HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** frame) = 0;

  // The first open document in the host's order; null when none is open.
  // IHostModelDoc::GetNext continues the walk.
  virtual HRESULT STDMETHODCALLTYPE GetFirstDocument(IHostModelDoc** document) = 0;
  // The document the user works in; S_OK with null when there is none.
  virtual HRESULT STDMETHODCALLTYPE GetActiveDocument(IHostModelDoc** document) = 0;

  // Opens the model file at path as a document of docType (1, 2, 3), with
  // the files it refers to. A file that is open already is not read again:
  // its document is returned. Failures give no document:
  // HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when no file is there,
  // E_INVALIDARG when docType does not match the file's extension, E_FAIL when
  // the file or a file it refers to cannot be read; the host's error info
  // (GetErrorInfo) then describes the failure.
  virtual HRESULT STDMETHODCALLTYPE OpenDocument(BSTR path, LONG docType,
                                                 IHostModelDoc** document) = 0;
  // Makes the open document named by name (its full path, or its file name)
  // the active one and returns it. Fails (E_INVALIDARG, no document) when no
  // open document has that name.
  virtual HRESULT STDMETHODCALLTYPE ActivateDocument(BSTR name, IHostModelDoc** document) = 0;
  // Closes the open document with that full path, without saving.
  // Documents it had loaded for its components close with it unless another
  // open document still uses them. S_FALSE when no document has that path.
  virtual HRESULT STDMETHODCALLTYPE CloseDocument(BSTR path) = 0;

  // The preview picture of the model file at path as it looks in the named
  // configuration. S_OK with a null picture when the file does not exist or
  // has no such configuration.
  virtual HRESULT STDMETHODCALLTYPE GetPreviewPicture(BSTR path, BSTR configuration,
                                                      IPictureDisp** picture) = 0;

 protected:
  ~IHostApplication() = default;
};
HB_DECLARE_IID(IHostApplication, "{AE764B16-F06B-45AD-B6CE-70B6AA48D907}");
