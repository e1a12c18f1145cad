// The add-in's type library as data: the library, its five interfaces with
// their members (IHarbolt's 125 in the order of its table) and its five
// classes. Every object of the module serves its IDispatch names from it,
// and registration writes it into the registry.
#pragma once

#include "platform/com_ptr.h"
#include "platform/type_info.h"

namespace harbolt {

// The description of the whole library.
platform::TypeLibDescription HarboltTypeLibDescription();

// A new type library over the description; null when out of memory.
ComPtr<ITypeLib> LoadHarboltTypeLib() noexcept;

// The type information of the library's type with that GUID (an interface
// or a class); null when the library has no such type or memory runs out.
ComPtr<ITypeInfo> LoadHarboltTypeInfo(REFGUID guid) noexcept;

}  // namespace harbolt
