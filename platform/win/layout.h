// The sizes and field offsets, on 64-bit Windows, of the structures that the
// platform headers and the SDK both declare. Each side asserts its own
// declarations against these numbers (the two cannot meet in one translation
// unit), so that a structure handed across is read the same on both sides.
#pragma once

#include <cstddef>

namespace platform::layout {

inline constexpr size_t kGuidSize = 16;
inline constexpr size_t kVariantSize = 24;
inline constexpr size_t kVariantValueOffset = 8;
inline constexpr size_t kSafeArraySize = 32;
inline constexpr size_t kSafeArrayDataOffset = 16;
inline constexpr size_t kSafeArrayBoundOffset = 24;
inline constexpr size_t kDispParamsSize = 24;
inline constexpr size_t kExcepInfoSize = 64;
inline constexpr size_t kExcepInfoScodeOffset = 56;
inline constexpr size_t kSystemTimeSize = 16;
inline constexpr size_t kTypeAttrSize = 96;
inline constexpr size_t kTypeAttrTypeKindOffset = 44;
inline constexpr size_t kTypeAttrAliasOffset = 64;
inline constexpr size_t kFuncDescSize = 88;
inline constexpr size_t kFuncDescElemOffset = 48;
inline constexpr size_t kTLibAttrSize = 32;
inline constexpr size_t kExceptionRecordSize = 152;
inline constexpr size_t kExceptionAddressOffset = 16;

}  // namespace platform::layout
