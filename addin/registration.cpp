#include "addin/registration.h"

#include "addin/harbolt_ids.h"
#include "addin/object_map.h"
#include "addin/resources.h"
#include "addin/type_library.h"
#include "platform/guid.h"
#include "platform/registrar.h"
#include "platform/resources.h"
#include "platform/system_info.h"

namespace harbolt {
namespace {

// The entries of one class of the object map.
constexpr char16_t kClassScript[] =
    uR"(HKCR
{
	%PROGID% = s '%DESCRIPTION%'
	{
		CLSID = s '%CLSID%'
	}
	%VIPROGID% = s '%DESCRIPTION%'
	{
		CLSID = s '%CLSID%'
		CurVer = s '%PROGID%'
	}
	NoRemove CLSID
	{
		%CLSID% = s '%DESCRIPTION%'
		{
			ProgID = s '%PROGID%'
			VersionIndependentProgID = s '%VIPROGID%'
			Programmable
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'apartment'
			}
			val AppID = s '%APPID%'
		}
	}
}
)";

// The directory part of a path, with its trailing separator.
std::u16string DirectoryOf(const std::u16string& path) {
  size_t cut = path.find_last_of(u"/\\");
  return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut + 1);
}

HRESULT ApplyAddinScript(const std::u16string& modulePath, bool registering) {
  std::u16string script =
      platform::LoadTextResource(IDR_HARBOLT, kRegistryScriptType, &BuiltInRegistryScript);
  if (script.empty()) return E_FAIL;
  return platform::UpdateRegistryFromScript(
      script, {{u"APPID", platform::GuidToString(LIBID_HarboltLib)}, {u"MODULE", modulePath}},
      registering);
}

HRESULT ApplyClassScripts(const std::u16string& modulePath, bool registering) {
  for (const ObjectMapEntry& entry : ObjectMap()) {
    platform::RegistryReplacements replacements = {
        {u"PROGID", entry.progId},
        {u"VIPROGID", entry.versionIndependentProgId},
        {u"DESCRIPTION", entry.friendlyName},
        {u"CLSID", platform::GuidToString(*entry.clsid)},
        {u"APPID", platform::GuidToString(LIBID_HarboltLib)},
        {u"MODULE", modulePath},
    };
    HRESULT hr = platform::UpdateRegistryFromScript(kClassScript, replacements, registering);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

// Registration runs with the thread locale set to the system default, so
// that what it writes does not depend on the calling thread's locale; the
// caller's locale comes back when the scope ends, whatever the outcome.
class SystemLocaleScope {
 public:
  SystemLocaleScope() : saved_(GetThreadLocale()) { SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
  SystemLocaleScope(const SystemLocaleScope&) = delete;
  SystemLocaleScope& operator=(const SystemLocaleScope&) = delete;
  ~SystemLocaleScope() { SetThreadLocale(saved_); }

 private:
  LCID saved_;
};

}  // namespace

HRESULT RegisterServer(const std::u16string& modulePath) noexcept {
  SystemLocaleScope locale;
  try {
    if (modulePath.empty()) return E_FAIL;
    HRESULT hr = ApplyAddinScript(modulePath, true);
    if (SUCCEEDED(hr)) hr = ApplyClassScripts(modulePath, true);
    if (SUCCEEDED(hr)) {
      ComPtr<ITypeLib> lib = LoadHarboltTypeLib();
      std::u16string helpDirectory = DirectoryOf(modulePath);
      hr = lib ? RegisterTypeLib(lib.Get(), modulePath.c_str(), helpDirectory.c_str())
               : E_OUTOFMEMORY;
    }
    return hr;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT UnregisterServer(const std::u16string& modulePath) noexcept {
  SystemLocaleScope locale;
  try {
    HRESULT hr = ApplyClassScripts(modulePath, false);
    if (SUCCEEDED(hr)) {
      hr = UnRegisterTypeLib(LIBID_HarboltLib, kHarboltLibMajorVersion, kHarboltLibMinorVersion,
                             kHarboltLibLocale, SYS_WIN64);
    }
    if (SUCCEEDED(hr)) hr = ApplyAddinScript(modulePath, false);
    return hr;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace harbolt
