#include "addin/command_callbacks.h"

#include <cstdint>
#include <map>
#include <string>

#include "common/kvx_xml.h"
#include "platform/bstr.h"
#include "platform/com_ptr.h"
#include "platform/format.h"
#include "platform/shell.h"
#include "platform/variant.h"

namespace harbolt {
namespace {

constexpr OLECHAR kFireClickMenu[] = u"FireClickMenu";
constexpr INT kShowWindow = 5;  // SW_SHOW

// Invokes the event source's "FireClickMenu" by name with the three texts.
HRESULT FireClickMenu(IDispatch* eventSource, BSTR caxHandle, BSTR documentPath, BSTR menuItem) {
  std::u16string name(kFireClickMenu);
  LPOLESTR names[] = {name.data()};
  DISPID dispid = DISPID_UNKNOWN;
  HRESULT hr = eventSource->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
  if (FAILED(hr)) return hr;
  // Positional arguments go last first; the texts stay owned by the caller.
  VARIANT args[3];
  BSTR texts[3] = {menuItem, documentPath, caxHandle};
  for (int i = 0; i < 3; ++i) {
    VariantInit(&args[i]);
    args[i].vt = VT_BSTR;
    args[i].bstrVal = texts[i];
  }
  DISPPARAMS params{args, nullptr, 3, 0};
  ScopedVariant result;
  return eventSource->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                             result.Receive(), nullptr, nullptr);
}

}  // namespace

HRESULT ForwardMenuClick(LONG number, CommandGroups& groups, IHostApplication* host,
                         IDispatch* eventSource, std::u16string_view caxHandle) {
  const Dovbase::XmlDocument& definition = groups.menuDefinition();
  if (!definition.isParsed()) return S_OK;
  const std::map<LONG, LONG>& commands = groups.commandMap();
  auto command = commands.find(number);
  if (command == commands.end()) return S_FALSE;
  Dovbase::XmlElement item = definition.selectFirst(platform::FormatWide(
      platform::kUnlimited, u"//mnu[normalize-space(@id)='%d']", command->second));
  if (item.isEmpty()) return S_FALSE;
  // The element's text is taken now: the caller may send a new definition
  // while it handles the event.
  ScopedBstr menuItem(item.dump());

  if (!host) return S_OK;
  ComPtr<IHostModelDoc> document;
  HRESULT hr = host->GetActiveDocument(document.ReleaseAndGetAddressOf());
  if (!document) return hr;
  ScopedBstr path;
  hr = document->GetPathName(path.Receive());
  document = nullptr;
  // A path the host failed to give is no path of the document: the caller
  // would act on the wrong file, so nothing is sent.
  if (FAILED(hr) || !eventSource) return hr;
  ComPtr<IDispatch> source(eventSource);
  ScopedBstr handle(caxHandle);
  return FireClickMenu(source.Get(), handle.Get(), path.Get(), menuItem.Get());
}

HRESULT StartClientProgram(IHostApplication* host) {
  LONGLONG window = 0;
  ComPtr<IHostFrame> frame;
  if (host) host->GetFrame(frame.ReleaseAndGetAddressOf());
  if (frame) frame->GetHWnd(&window);
  std::u16string parameters = platform::FormatWide(
      platform::kUnlimited, u"5 %u", static_cast<uint32_t>(static_cast<uint64_t>(window)));
  ShellExecuteW(nullptr, u"open", kClientProgram, parameters.c_str(), nullptr, kShowWindow);
  return S_OK;
}

}  // namespace harbolt
