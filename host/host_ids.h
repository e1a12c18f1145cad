// Codes that the host uses across its interfaces: document types, component
// suppression states and the other small enumerations that pass as LONG.
#pragma once

#include "platform/win_types.h"

// Document types, as the host reports them for a model document.
constexpr LONG kDocTypeNone = 0;
constexpr LONG kDocTypePart = 1;
constexpr LONG kDocTypeAssembly = 2;
constexpr LONG kDocTypeDrawing = 3;

// Suppression states of an assembly component. The model document of a
// component in state 0, 1 or 4 is not loaded; 2 and 3 count as loaded.
constexpr LONG kComponentSuppressed = 0;
constexpr LONG kComponentLightweight = 1;
constexpr LONG kComponentFullyResolved = 2;
constexpr LONG kComponentResolved = 3;
constexpr LONG kComponentFullyLightweight = 4;
