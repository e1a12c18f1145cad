// The object map: the five classes of the module with their registration
// data and the function that creates an instance. Data, walked by the class
// objects and by registration.
#pragma once

#include <span>

#include "platform/guid.h"

namespace harbolt {

struct ObjectMapEntry {
  const CLSID* clsid;
  const OLECHAR* progId;                    // versioned
  const OLECHAR* versionIndependentProgId;  // with CurVer naming progId
  const OLECHAR* friendlyName;
  // A new instance as interface riid; E_OUTOFMEMORY, E_NOINTERFACE.
  HRESULT (*createInstance)(REFIID riid, void** object) noexcept;
};

std::span<const ObjectMapEntry> ObjectMap();
// The entry of the class; null when the map does not hold it.
const ObjectMapEntry* FindObjectMapEntry(REFCLSID clsid);

}  // namespace harbolt
