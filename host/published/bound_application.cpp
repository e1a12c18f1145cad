// IHostApplication over ISldWorks.
#include "host/published/bound_object.h"
#include "host/published/bound_objects.h"
#include "host/published/published_ids.h"
#include "host/published/wrapper_calls.h"
#include "platform/format.h"

namespace published {
namespace {

constinit HostMember kGetCommandManager{"ISldWorks", u"GetCommandManager"};
constinit HostMember kSetAddinCallbackInfo2{"ISldWorks", u"SetAddinCallbackInfo2"};
constinit HostMember kRevisionNumber{"ISldWorks", u"RevisionNumber"};
constinit HostMember kFrame{"ISldWorks", u"Frame"};
constinit HostMember kGetFirstDocument{"ISldWorks", u"GetFirstDocument"};
constinit HostMember kActiveDoc{"ISldWorks", u"ActiveDoc"};
constinit HostMember kOpenDoc6{"ISldWorks", u"OpenDoc6"};
constinit HostMember kActivateDoc3{"ISldWorks", u"ActivateDoc3"};
constinit HostMember kCloseDoc{"ISldWorks", u"CloseDoc"};
constinit HostMember kGetOpenDocumentByName{"ISldWorks", u"GetOpenDocumentByName"};
constinit HostMember kGetPreviewBitmap{"ISldWorks", u"GetPreviewBitmap"};

constexpr DWORD kErrorFileNotFound = 2;

class BoundApplication final
    : public BoundObject<BoundApplication, IHostApplication, IConnectionPointContainer> {
 public:
  BoundApplication(ComPtr<IDispatch> object, IUnknown* identity)
      : BoundObject(std::move(object), identity) {}

  HRESULT STDMETHODCALLTYPE GetCommandManager(LONG cookie, IHostCommandManager** manager) override {
    return MethodWrapped(host_, kGetCommandManager, &WrapCommandManager, manager,
                         {HostArg::Long(cookie)});
  }

  HRESULT STDMETHODCALLTYPE SetAddinCallbackInfo(LONGLONG moduleHandle, IDispatch* target,
                                                 LONG cookie, VARIANT_BOOL* done) override {
    VARIANT_BOOL registered = VARIANT_FALSE;
    ComPtr<IDispatch> callbacks = Unwrap(target);
    HRESULT hr = host_.Method(
        kSetAddinCallbackInfo2, &registered,
        {HostArg::LongLong(moduleHandle), HostArg::Object(callbacks.Get()), HostArg::Long(cookie)});
    if (done) *done = registered;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE RevisionNumber(BSTR* revision) override {
    return host_.Method(kRevisionNumber, revision);
  }

  HRESULT STDMETHODCALLTYPE GetFrame(IHostFrame** frame) override {
    return MethodWrapped(host_, kFrame, &WrapFrame, frame);
  }

  HRESULT STDMETHODCALLTYPE GetFirstDocument(IHostModelDoc** document) override {
    return MethodWrapped(host_, kGetFirstDocument, &WrapDocument, document);
  }

  HRESULT STDMETHODCALLTYPE GetActiveDocument(IHostModelDoc** document) override {
    return GetWrapped(host_, kActiveDoc, &WrapDocument, document);
  }

  // A document the host hands back wins over its error bits (an assembly
  // with missing references opens and reports them).
  HRESULT STDMETHODCALLTYPE OpenDocument(BSTR path, LONG docType,
                                         IHostModelDoc** document) override {
    if (!document) return E_POINTER;
    *document = nullptr;
    LONG errors = 0;
    LONG warnings = 0;
    ScopedBstr lastUsedConfiguration(u"");
    ComPtr<IDispatch> opened;
    HRESULT hr = host_.Method(
        kOpenDoc6, &opened,
        {HostArg::Text(path), HostArg::Long(docType), HostArg::Long(swOpenDocOptions_Silent),
         HostArg::Text(lastUsedConfiguration.Get()), HostArg::OutLong(&errors),
         HostArg::OutLong(&warnings)});
    if (FAILED(hr)) return hr;
    if (opened) return WrapDocument(std::move(opened), document);
    std::u16string reason = platform::FormatWide(
        platform::kUnlimited, u"the host opened nothing (errors 0x%X)", static_cast<ULONG>(errors));
    if (errors & swFileNotFoundError) {
      return Refuse(kOpenDoc6, HRESULT_FROM_WIN32(kErrorFileNotFound), reason);
    }
    if (errors & swInvalidFileTypeError) return Refuse(kOpenDoc6, E_INVALIDARG, reason);
    return Refuse(kOpenDoc6, E_FAIL, reason);
  }

  // Never asks the host to rebuild or the user to decide.
  HRESULT STDMETHODCALLTYPE ActivateDocument(BSTR name, IHostModelDoc** document) override {
    if (document) *document = nullptr;
    LONG errors = 0;
    ComPtr<IDispatch> activated;
    HRESULT hr = host_.Method(kActivateDoc3, &activated,
                              {HostArg::Text(name), HostArg::Bool(false),
                               HostArg::Long(swDontRebuildActiveDoc), HostArg::OutLong(&errors)});
    if (FAILED(hr)) return hr;
    if (!activated) {
      return Refuse(kActivateDoc3, E_INVALIDARG,
                    platform::FormatWide(platform::kUnlimited,
                                         u"no open document has that name (errors 0x%X)",
                                         static_cast<ULONG>(errors)));
    }
    if (!document) return S_OK;
    return WrapDocument(std::move(activated), document);
  }

  // The host's CloseDoc answers nothing and takes an empty name for the
  // active document: S_FALSE is decided here, before asking it to close.
  HRESULT STDMETHODCALLTYPE CloseDocument(BSTR path) override {
    if (BstrView(path).empty()) return S_FALSE;
    ComPtr<IDispatch> open;
    HRESULT hr = host_.Method(kGetOpenDocumentByName, &open, {HostArg::Text(path)});
    if (FAILED(hr)) return hr;
    if (!open) return S_FALSE;
    return host_.Call(kCloseDoc, {HostArg::Text(path)});
  }

  HRESULT STDMETHODCALLTYPE GetPreviewPicture(BSTR path, BSTR configuration,
                                              IPictureDisp** picture) override {
    if (!picture) return E_POINTER;
    *picture = nullptr;
    ComPtr<IDispatch> object;
    HRESULT hr = host_.Method(kGetPreviewBitmap, &object,
                              {HostArg::Text(path), HostArg::Text(configuration)});
    if (FAILED(hr) || !object) return hr;
    ComPtr<IPictureDisp> result;
    hr = object.As(&result);
    if (FAILED(hr) || !result) {
      return Refuse(kGetPreviewBitmap, FAILED(hr) ? hr : E_NOINTERFACE,
                    u"the host's picture is no IPictureDisp");
    }
    *picture = result.Detach();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
    return FindHostConnectionPoint(host_.get(), riid, point);
  }
};

}  // namespace

HRESULT WrapApplication(ComPtr<IDispatch> object, IHostApplication** out) {
  return BoundApplication::Wrap(std::move(object), out);
}

}  // namespace published
