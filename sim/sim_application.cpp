#include "sim/sim_application.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "host/published/published_ids.h"
#include "platform/text.h"
#include "sim/document_loader.h"
#include "sim/error_report.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/preview_picture.h"
#include "sim/published_member.h"
#include "sim/sim_command_manager.h"
#include "sim/sim_connection_point.h"
#include "sim/sim_frame.h"
#include "sim/sim_picture.h"

namespace sim {
namespace {

constexpr PublishedMember kMembers[] = {
    PublishGet<&SimApplication::ActiveDoc>("ActiveDoc", 1),
    PublishMethod<&SimApplication::Frame>("Frame", 5),
    PublishMethod<&SimApplication::CloseDoc>("CloseDoc", 7),
    PublishMethod<&SimApplication::RevisionNumber>("RevisionNumber", 12),
    PublishMethod<&SimApplication::GetOpenDocumentByName>("GetOpenDocumentByName", 122),
    PublishMethod<&SimApplication::OpenDoc6>("OpenDoc6", 167),
    PublishMethod<&SimApplication::GetDocuments>("GetDocuments", 273),
    PublishMethod<&SimApplication::ActivateDoc3>("ActivateDoc3", 306),
    PublishMethod<&SimApplication::SetAddinCallbackInfo2>("SetAddinCallbackInfo2", 310),
    PublishMethod<&SimApplication::GetCommandManager>("GetCommandManager", 1001),
    PublishMethod<&SimApplication::GetFirstDocument>("GetFirstDocument", 1002),
    PublishMethod<&SimApplication::GetPreviewBitmap>("GetPreviewBitmap", 1003),
};

// The regular file a text names; nothing for a text that names none.
std::optional<std::filesystem::path> ExistingFile(std::u16string_view text) {
  if (text.empty()) return std::nullopt;
  try {
    std::filesystem::path path{std::u16string(text)};
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return path;
  } catch (const std::exception&) {
    // A text the file system cannot take as a path names no file.
  }
  return std::nullopt;
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

// Whether an open document other than the one at path has its file name.
bool SameNameOpen(const HostState& host, const std::filesystem::path& path) {
  std::filesystem::path normal = NormalModelPath(path);
  for (const auto& document : host.documents()) {
    if (document->path() != normal && document->path().filename() == normal.filename()) {
      return true;
    }
  }
  return false;
}

}  // namespace

constinit const PublishedInterface SimApplication::kPublished{"ISldWorks", kMembers};

SimApplication::SimApplication(std::shared_ptr<HostState> host)
    : SimDispatchObject(std::move(host)) {}

SimApplication::~SimApplication() { host_->ForgetApplicationObject(); }

void* SimApplication::QueryOtherInterface(REFIID riid) {
  return riid == published::kIidSldWorks ? static_cast<IDispatch*>(this) : nullptr;
}

ComPtr<IDispatch> SimApplication::GetCommandManager(LONG cookie) {
  host_->commandBoards[cookie];
  return MakeComObject<SimCommandManager, IDispatch>(host_, cookie);
}

bool SimApplication::SetAddinCallbackInfo2(LONGLONG, IDispatch* callbacks, LONG cookie) {
  if (callbacks) {
    host_->callbackTargets[cookie] = ComPtr<IDispatch>(callbacks);
  } else {
    host_->callbackTargets.erase(cookie);
  }
  return true;
}

std::u16string SimApplication::RevisionNumber() { return host_->revision; }

ComPtr<IDispatch> SimApplication::Frame() { return MakeComObject<SimFrame, IDispatch>(host_); }

ComPtr<IDispatch> SimApplication::GetFirstDocument() {
  if (host_->documents().empty()) return nullptr;
  return host_->DocumentObject(host_->documents().front());
}

std::vector<ComPtr<IDispatch>> SimApplication::GetDocuments() {
  std::vector<ComPtr<IDispatch>> objects;
  for (const auto& document : host_->documents()) {
    objects.push_back(host_->DocumentObject(document));
  }
  return objects;
}

ComPtr<IDispatch> SimApplication::ActiveDoc() { return host_->DocumentObject(host_->active()); }

// The options and the configuration change nothing here: the host always
// opens silently, in the configuration the file was saved in.
ComPtr<IDispatch> SimApplication::OpenDoc6(std::u16string_view fileName, LONG type, LONG,
                                           std::u16string_view, LONG* errors, LONG* warnings) {
  std::optional<std::filesystem::path> file = ExistingFile(fileName);
  if (!file) {
    *errors = published::swFileNotFoundError;
    return nullptr;
  }
  if (type == kDocTypeNone || DocTypeFromPath(*file) != type) {
    *errors = published::swInvalidFileTypeError;
    return nullptr;
  }
  std::shared_ptr<DocumentState> open = host_->FindOpen(*file);
  if (open && open->visible) {
    *warnings = published::swFileLoadWarning_AlreadyOpen;
    return host_->DocumentObject(open);
  }
  if (!open && SameNameOpen(*host_, *file)) {
    *errors = published::swFileWithSameTitleAlreadyOpen;
    return nullptr;
  }
  try {
    return host_->DocumentObject(host_->Open(*file));
  } catch (const ModelFileError& failure) {
    PublishHostError(platform::Utf8ToUtf16(failure.what()));
    *errors = published::swGenericError;
    return nullptr;
  }
}

// The host activates without asking and without rebuilding, whatever the
// preferences and the option say.
ComPtr<IDispatch> SimApplication::ActivateDoc3(std::u16string_view name, bool, LONG, LONG* errors) {
  std::shared_ptr<DocumentState> document = host_->FindByName(name);
  if (!document) {
    *errors = published::swGenericActivateError;
    return nullptr;
  }
  host_->Activate(document);
  return host_->DocumentObject(document);
}

void SimApplication::CloseDoc(std::u16string_view name) {
  std::shared_ptr<DocumentState> document =
      name.empty() ? host_->active() : host_->FindByName(name);
  if (document) host_->Close(document);
}

ComPtr<IDispatch> SimApplication::GetOpenDocumentByName(std::u16string_view name) {
  return host_->DocumentObject(host_->FindByName(name));
}

ComPtr<IDispatch> SimApplication::GetPreviewBitmap(std::u16string_view path,
                                                   std::u16string_view configuration) {
  std::optional<std::filesystem::path> file = ExistingFile(path);
  if (!file || !HasConfiguration(*host_, *file, configuration)) return nullptr;
  ComPtr<IPictureDisp> made = MakePreviewPicture(NormalModelPath(*file).u16string(), configuration);
  if (!made) throw std::bad_alloc();
  ComPtr<IPictureDisp> picture = MakeComObject<SimPicture, IPictureDisp>(host_, std::move(made));
  return ComPtr<IDispatch>(picture.Get());
}

HRESULT SimApplication::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT SimApplication::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  return SimConnectionPoint::Find(host_, host_->applicationSinks, this, u"application", riid,
                                  point);
}

}  // namespace sim
