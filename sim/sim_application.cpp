#include "sim/sim_application.h"

#include <filesystem>
#include <system_error>

#include "platform/text.h"
#include "sim/document_loader.h"
#include "sim/error_report.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/out_params.h"
#include "sim/preview_picture.h"
#include "sim/safe_arrays.h"
#include "sim/sim_command_manager.h"
#include "sim/sim_connection_point.h"
#include "sim/sim_frame.h"
#include "sim/sim_picture.h"

namespace sim {
namespace {

constexpr char16_t kTarget[] = u"application";
constexpr DWORD kErrorFileNotFound = 2;

std::filesystem::path PathOf(BSTR text) {
  return std::filesystem::path(std::u16string(BstrView(text)));
}

// Whether the model file at path has the configuration (read from the open
// document, or from the file).
bool HasConfiguration(const HostState& host, const std::filesystem::path& path,
                      std::u16string_view configuration) {
  if (auto open = host.FindOpen(path)) return FindConfiguration(open->model, configuration);
  try {
    ModelData model = ReadModelFile(path);
    return FindConfiguration(model, configuration) != nullptr;
  } catch (const ModelFileError&) {
    return false;
  }
}

}  // namespace

SimApplication::SimApplication(std::shared_ptr<HostState> host)
    : SimDispatchObject(std::move(host)) {}

SimApplication::~SimApplication() { host_->ForgetApplicationObject(); }

HRESULT SimApplication::GetCommandManager(LONG cookie, IHostCommandManager** manager) {
  if (!manager) return E_POINTER;
  *manager = nullptr;
  if (auto fault = Enter("IHostApplication.GetCommandManager", kTarget, {cookie})) return *fault;
  host_->commandBoards[cookie];
  return ReturnObject(MakeComObject<SimCommandManager, IHostCommandManager>(host_, cookie),
                      manager);
}

HRESULT SimApplication::SetAddinCallbackInfo(LONG moduleHandle, IDispatch* target, LONG cookie,
                                             VARIANT_BOOL* done) {
  if (done) *done = VARIANT_FALSE;
  if (auto fault = Enter("IHostApplication.SetAddinCallbackInfo", kTarget,
                         {moduleHandle, target ? u"target" : u"(null)", cookie})) {
    return *fault;
  }
  if (target) {
    host_->callbackTargets[cookie] = ComPtr<IDispatch>(target);
  } else {
    host_->callbackTargets.erase(cookie);
  }
  if (done) *done = VARIANT_TRUE;
  return S_OK;
}

HRESULT SimApplication::RevisionNumber(BSTR* revision) {
  if (!revision) return E_POINTER;
  *revision = nullptr;
  if (auto fault = Enter("IHostApplication.RevisionNumber", kTarget)) return *fault;
  return ReturnText(host_->revision, revision);
}

HRESULT SimApplication::GetFrame(IHostFrame** frame) {
  if (!frame) return E_POINTER;
  *frame = nullptr;
  if (auto fault = Enter("IHostApplication.GetFrame", kTarget)) return *fault;
  return ReturnObject(MakeComObject<SimFrame, IHostFrame>(host_), frame);
}

HRESULT SimApplication::GetFirstDocument(IHostModelDoc** document) {
  if (!document) return E_POINTER;
  *document = nullptr;
  if (auto fault = Enter("IHostApplication.GetFirstDocument", kTarget)) return *fault;
  if (host_->documents().empty()) return S_OK;
  return ReturnObject(host_->DocumentObject(host_->documents().front()), document);
}

HRESULT SimApplication::GetDocuments(SAFEARRAY** documents) {
  if (!documents) return E_POINTER;
  *documents = nullptr;
  if (auto fault = Enter("IHostApplication.GetDocuments", kTarget)) return *fault;
  std::vector<ComPtr<IDispatch>> objects;
  for (const auto& state : host_->documents()) {
    objects.push_back(ComPtr<IDispatch>(host_->DocumentObject(state).Get()));
  }
  *documents = MakeDispatchArray(objects);
  return *documents ? S_OK : E_OUTOFMEMORY;
}

HRESULT SimApplication::GetActiveDocument(IHostModelDoc** document) {
  if (!document) return E_POINTER;
  *document = nullptr;
  if (auto fault = Enter("IHostApplication.GetActiveDocument", kTarget)) return *fault;
  return ReturnObject(host_->DocumentObject(host_->active()), document);
}

HRESULT SimApplication::OpenDocument(BSTR path, LONG docType, IHostModelDoc** document) {
  if (!document) return E_POINTER;
  *document = nullptr;
  if (auto fault = Enter("IHostApplication.OpenDocument", kTarget, {BstrView(path), docType})) {
    return *fault;
  }
  try {
    std::filesystem::path file = PathOf(path);
    std::error_code error;
    if (BstrView(path).empty() || !std::filesystem::is_regular_file(file, error)) {
      PublishHostError(u"No model file at \"" + std::u16string(BstrView(path)) + u"\".");
      return HRESULT_FROM_WIN32(kErrorFileNotFound);
    }
    LONG type = DocTypeFromPath(file);
    if (type == kDocTypeNone || type != docType) {
      PublishHostError(u"\"" + std::u16string(BstrView(path)) +
                       u"\" is not a document of the type asked for.");
      return E_INVALIDARG;
    }
    return ReturnObject(host_->DocumentObject(host_->Open(file)), document);
  } catch (const std::exception& failure) {
    // ModelFileError, and a path the file system cannot take.
    PublishHostError(platform::Utf8ToUtf16(failure.what()));
    return E_FAIL;
  }
}

HRESULT SimApplication::ActivateDocument(BSTR name, IHostModelDoc** document) {
  if (document) *document = nullptr;
  if (auto fault = Enter("IHostApplication.ActivateDocument", kTarget, {BstrView(name)})) {
    return *fault;
  }
  std::shared_ptr<DocumentState> activated = host_->Activate(BstrView(name));
  if (!activated) return E_INVALIDARG;
  if (document) *document = host_->DocumentObject(activated).Detach();
  return S_OK;
}

HRESULT SimApplication::CloseDocument(BSTR path) {
  if (auto fault = Enter("IHostApplication.CloseDocument", kTarget, {BstrView(path)})) {
    return *fault;
  }
  if (BstrView(path).empty()) return S_FALSE;
  try {
    return host_->Close(PathOf(path)) ? S_OK : S_FALSE;
  } catch (const std::exception&) {
    return S_FALSE;  // a path the file system cannot take names no document
  }
}

HRESULT SimApplication::GetPreviewPicture(BSTR path, BSTR configuration, IPictureDisp** picture) {
  if (!picture) return E_POINTER;
  *picture = nullptr;
  if (auto fault = Enter("IHostApplication.GetPreviewPicture", kTarget,
                         {BstrView(path), BstrView(configuration)})) {
    return *fault;
  }
  try {
    std::filesystem::path file = PathOf(path);
    std::error_code error;
    if (BstrView(path).empty() || !std::filesystem::is_regular_file(file, error) ||
        !HasConfiguration(*host_, file, BstrView(configuration))) {
      return S_OK;
    }
    ComPtr<IPictureDisp> made =
        MakePreviewPicture(NormalModelPath(file).u16string(), BstrView(configuration));
    if (!made) return E_OUTOFMEMORY;
    *picture = MakeComObject<SimPicture, IPictureDisp>(host_, std::move(made)).Detach();
    return S_OK;
  } catch (const std::exception&) {
    return S_OK;  // a path the file system cannot take names no file
  }
}

HRESULT SimApplication::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT SimApplication::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  return SimConnectionPoint::Find(host_, host_->applicationSinks, this, kTarget, riid, point);
}

}  // namespace sim
