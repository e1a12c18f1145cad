#include "addin/file_operations.h"

#include <iterator>
#include <new>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "host/host_ids.h"
#include "common/catch_pattern.h"
#include "common/messages.h"
#include "hostutil/host_lists.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/last_error.h"
#include "platform/system_messages.h"
#include "platform/text.h"
#include "platform/variant.h"

namespace harbolt {
namespace {

// Messages that these failures name; the message table holds no text for
// them, so they add nothing to the descriptions.
constexpr UINT kOpenFailedMessage = 5511;
constexpr UINT kSaveFailedMessage = 5513;
constexpr UINT kDependenciesFailedMessage = 5514;

constexpr OLECHAR kNoActiveDocument[] = u"No document is active.";

struct ModelExtension {
  std::u16string_view extension;
  LONG docType;
};
constexpr ModelExtension kModelExtensions[] = {
    {u"SLDPRT", kDocTypePart},
    {u"SLDASM", kDocTypeAssembly},
    {u"SLDDRW", kDocTypeDrawing},
};

// The file name of a path: the text after the last separator ("\" or "/").
std::u16string_view FileNamePart(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  return cut == std::u16string_view::npos ? path : path.substr(cut + 1);
}

// The document type that the file name's extension (the text after its last
// ".", letter case ignored) names; kDocTypeNone for any other.
LONG DocTypeOfFile(std::u16string_view fileName) {
  size_t dot = fileName.rfind(u'.');
  if (dot == std::u16string_view::npos) return kDocTypeNone;
  std::u16string_view extension = fileName.substr(dot + 1);
  for (const ModelExtension& known : kModelExtensions) {
    if (platform::EqualsIgnoringAsciiCase(extension, known.extension)) return known.docType;
  }
  return kDocTypeNone;
}

// The host's open documents as they are now; closing one does not disturb
// the walk.
std::vector<ComPtr<IHostModelDoc>> OpenDocuments(IHostApplication* host) {
  std::vector<ComPtr<IHostModelDoc>> documents;
  ComPtr<IHostModelDoc> document;
  host->GetFirstDocument(document.ReleaseAndGetAddressOf());
  while (document) {
    ComPtr<IHostModelDoc> next;
    document->GetNext(next.ReleaseAndGetAddressOf());
    documents.push_back(std::move(document));
    document = std::move(next);
  }
  return documents;
}

// Closes, without saving, every open document with exactly that file name.
// The host's results are not examined.
void CloseSameNamedDocuments(IHostApplication* host, std::u16string_view fileName) {
  ComPtr<IHostModelDoc> active;
  host->GetActiveDocument(active.ReleaseAndGetAddressOf());
  active = nullptr;
  for (const ComPtr<IHostModelDoc>& document : OpenDocuments(host)) {
    ScopedBstr path;
    document->GetPathName(path.Receive());
    if (FileNamePart(path.View()) != fileName) continue;
    document->PrepareForClose();
    host->CloseDocument(path.Get());
  }
}

// Records a failure and gives the failure result.
HRESULT Fail(LONG& errNumber, std::u16string& errDescription, std::u16string description) {
  errNumber = -1;
  errDescription = std::move(description);
  return kFileOperationFailed;
}

// Runs an operation's body; an exception that reaches it becomes a failure
// described by the operation's name and the exception's message.
template <typename Body>
HRESULT Guarded(const Dovbase::CatchSite& site, LONG& errNumber, std::u16string& errDescription,
                Body&& body) noexcept {
  HRESULT result = kFileOperationFailed;
  std::optional<Dovbase::CaughtError> caught = Dovbase::RunCatching(site, [&] { result = body(); });
  if (!caught) return result;
  errNumber = -1;
  try {
    errDescription = std::u16string(site.function) + u"():" + caught->error.message();
  } catch (...) {
    errDescription.clear();
  }
  return kFileOperationFailed;
}

// The active document; on failure the status to report (the host's failure,
// or none when the host has no active document).
struct ActiveDocument {
  ComPtr<IHostModelDoc> document;
  HRESULT status = S_OK;
};
ActiveDocument GetActive(IHostApplication* host) {
  ActiveDocument active;
  if (host) active.status = host->GetActiveDocument(active.document.ReleaseAndGetAddressOf());
  if (FAILED(active.status)) active.document = nullptr;
  return active;
}

// The description of a failed save or listing: the operation, the message
// that names the failure and the text of the status.
std::u16string StatusDescription(std::u16string_view operation, UINT message,
                                 const ActiveDocument& active, HRESULT status) {
  std::u16string text = std::u16string(operation) + Dovbase::LoadMessage(message);
  if (SUCCEEDED(status) && !active.document) return text + kNoActiveDocument;
  return text + SystemMessageText(static_cast<DWORD>(status));
}

HRESULT OpenFileBody(IHostApplication* host, std::u16string_view path, LONG& errNumber,
                     std::u16string& errDescription) {
  const std::u16string file(path);
  if (!PathFileExistsW(file.c_str())) {
    return Fail(errNumber, errDescription, SystemMessageText(GetLastError()));
  }
  const std::u16string_view fileName = FileNamePart(file);
  if (host) CloseSameNamedDocuments(host, fileName);

  LONG docType = DocTypeOfFile(fileName);
  if (docType == kDocTypeNone) {
    return Fail(errNumber, errDescription,
                u"CHarbolt::OpenFile():only model files can be opened (extension SLDPRT, SLDASM "
                u"or SLDDRW)");
  }
  ScopedBstr text(file);
  ComPtr<IHostModelDoc> document;
  HRESULT hr =
      host ? host->OpenDocument(text.Get(), docType, document.ReleaseAndGetAddressOf()) : E_FAIL;
  if (FAILED(hr) || !document) {
    return Fail(errNumber, errDescription, Dovbase::LoadMessage(kOpenFailedMessage));
  }
  document = nullptr;
  ComPtr<IHostModelDoc> activated;
  host->ActivateDocument(text.Get(), activated.ReleaseAndGetAddressOf());
  return S_OK;
}

HRESULT SaveFileBody(IHostApplication* host, LONG& errNumber, std::u16string& errDescription) {
  ActiveDocument active = GetActive(host);
  HRESULT status = active.status;
  if (active.document) {
    status = active.document->Save(VARIANT_TRUE);
    if (SUCCEEDED(status)) return S_OK;
  }
  return Fail(errNumber, errDescription,
              StatusDescription(u"CHarbolt::SaveFile():", kSaveFailedMessage, active, status));
}

HRESULT GetDependenciesBody(IHostApplication* host, BSTR* depends, LONG& errNumber,
                            std::u16string& errDescription) {
  ActiveDocument active = GetActive(host);
  HRESULT status = active.status;
  ScopedVariant answer;
  if (active.document) {
    status = active.document->GetDependencies(VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE,
                                              answer.Receive());
  }
  if (!active.document || FAILED(status)) {
    return Fail(errNumber, errDescription,
                StatusDescription(u"CHarbolt::GetDependencies():", kDependenciesFailedMessage,
                                  active, status));
  }
  // File names and full paths in pairs: every second entry is a path. The
  // host lists a file once for every document that refers to it.
  std::vector<std::u16string> entries;
  if (answer.Type() == (VT_ARRAY | VT_BSTR)) {
    entries = hostutil::ReadTextList(answer.Get()->parray, u"IHostModelDoc::GetDependencies");
  }
  std::u16string list;
  std::set<std::u16string> listed;
  for (size_t i = 1; i < entries.size(); i += 2) {
    const std::u16string& path = entries[i];
    if (path.empty() || !listed.insert(path).second) continue;
    if (!list.empty()) list += u'|';
    list += path;
  }
  ScopedBstr result(list);
  if (!result.Get()) throw std::bad_alloc();
  if (depends) *depends = result.Release();
  return S_OK;
}

}  // namespace

std::u16string SystemMessageText(DWORD status) {
  OLECHAR buffer[1024];
  DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                status, 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  if (length > 0) {
    std::u16string text(buffer, length);
    while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r')) text.pop_back();
    return text;
  }
  if (status > 0x80040200u && status <= 0x8004FFFFu && (status & 0xFFFFu) != 0x200u) {
    return platform::FormatWide(platform::kUnlimited, u"IDispatch error #%d",
                                static_cast<int>((status - 0x200u) & 0xFFFFu));
  }
  return platform::FormatWide(platform::kUnlimited, u"Unknown error 0x%0lX", status);
}

HRESULT OpenModelFile(IHostApplication* host, std::u16string_view path, LONG& errNumber,
                      std::u16string& errDescription) {
  return Guarded({u".\\Harbolt", u"CHarbolt::OpenFile", 35}, errNumber, errDescription,
                 [&] { return OpenFileBody(host, path, errNumber, errDescription); });
}

HRESULT SaveActiveDocument(IHostApplication* host, LONG& errNumber,
                           std::u16string& errDescription) {
  return Guarded({u".\\Harbolt", u"CHarbolt::SaveFile", 36}, errNumber, errDescription,
                 [&] { return SaveFileBody(host, errNumber, errDescription); });
}

HRESULT ListDependencies(IHostApplication* host, BSTR* depends, LONG& errNumber,
                         std::u16string& errDescription) {
  return Guarded({u".\\Harbolt", u"CHarbolt::GetDependencies", 38}, errNumber, errDescription,
                 [&] { return GetDependenciesBody(host, depends, errNumber, errDescription); });
}

}  // namespace harbolt
