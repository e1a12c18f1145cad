// The identities of the add-in's type library and classes, and the program
// identifier that its COM error objects name as their source.
#pragma once

#include "platform/guid.h"

// The type library; also the application id of the module's registration.
inline constexpr GUID LIBID_HarboltLib =
    platform::GuidLiteral("{7B8BAA99-AB92-415D-A210-42402A6E7686}");
inline constexpr WORD kHarboltLibMajorVersion = 1;
inline constexpr WORD kHarboltLibMinorVersion = 0;
inline constexpr LCID kHarboltLibLocale = 0x409;

inline constexpr CLSID CLSID_Harbolt =
    platform::GuidLiteral("{1C227C16-C127-4F54-B26C-EF8F2BA2448D}");
inline constexpr CLSID CLSID_BitmapHandler =
    platform::GuidLiteral("{602E823B-27A9-48D2-85D5-51F1AAFF4078}");
inline constexpr CLSID CLSID_SwDocument =
    platform::GuidLiteral("{E78843C2-6D58-4740-9A12-AACD2D9F758E}");
inline constexpr CLSID CLSID_UserPropertyManagerPage =
    platform::GuidLiteral("{989EA71E-49C5-45B8-9E33-66C9A9B3D053}");
inline constexpr CLSID CLSID_PMPageHandler =
    platform::GuidLiteral("{0FC50805-A760-47E0-A4E3-423B7EF579C9}");

// The versioned program identifier of CHarbolt: the source of the COM error
// objects that its methods publish.
inline constexpr OLECHAR kHarboltProgId[] = u"Harbolt.Harbolt.1";
