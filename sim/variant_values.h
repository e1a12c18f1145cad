// C++ values as the simulated host writes them into VARIANTs (the answer of
// a member, a by-reference out-parameter) in its answer style, and the lists
// and texts it reads out of VARIANT arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/variant.h"
#include "sim/answer_style.h"

namespace sim {

// Each writes value into *out, which holds nothing (VT_EMPTY). A null object
// is written in the style's form of "no object"; an empty list is not
// written at all, as the real host answers Nothing for an empty list. Throws
// std::bad_alloc when memory runs out.
void WriteValue(VARIANT* out, LONG value, const AnswerStyle& style);
void WriteValue(VARIANT* out, double value, const AnswerStyle& style);
void WriteValue(VARIANT* out, bool value, const AnswerStyle& style);
void WriteValue(VARIANT* out, const std::u16string& value, const AnswerStyle& style);
void WriteValue(VARIANT* out, const ComPtr<IDispatch>& value, const AnswerStyle& style);
void WriteValue(VARIANT* out, const std::vector<LONG>& values, const AnswerStyle& style);
void WriteValue(VARIANT* out, const std::vector<double>& values, const AnswerStyle& style);
void WriteValue(VARIANT* out, const std::vector<bool>& values, const AnswerStyle& style);
void WriteValue(VARIANT* out, const std::vector<std::u16string>& values, const AnswerStyle& style);
void WriteValue(VARIANT* out, const std::vector<ComPtr<IDispatch>>& values,
                const AnswerStyle& style);

// Writes value into the storage of a VT_BYREF argument of the value's own
// type; what that storage held is not freed (the caller hands it over
// empty). Throws std::bad_alloc.
void WriteTypedReference(const VARIANT& target, LONG value, const AnswerStyle& style);
void WriteTypedReference(const VARIANT& target, double value, const AnswerStyle& style);
void WriteTypedReference(const VARIANT& target, bool value, const AnswerStyle& style);
void WriteTypedReference(const VARIANT& target, const std::u16string& value,
                         const AnswerStyle& style);

// Writes value through a by-reference argument: into the VARIANT that a
// VT_BYREF | VT_VARIANT argument points at (cleared first), or as
// WriteTypedReference does. Throws std::bad_alloc.
template <typename T>
void WriteReference(const VARIANT& target, const T& value, const AnswerStyle& style) {
  if (target.vt == (VT_BYREF | VT_VARIANT)) {
    VariantClear(target.pvarVal);
    WriteValue(target.pvarVal, value, style);
  } else if constexpr (requires { WriteTypedReference(target, value, style); }) {
    WriteTypedReference(target, value, style);
  }
}

// The elements of the one-dimensional array that value holds (by reference
// followed): an array of the element type itself, or of VARIANTs that each
// hold that type. Nothing for anything else.
std::optional<std::vector<LONG>> ReadLongList(const VARIANT& value);
std::optional<std::vector<std::u16string>> ReadTextList(const VARIANT& value);

// A short text of a value for the journal: the number or the text itself,
// "object" or "null" for an object, "array", "empty".
std::u16string ValueText(const VARIANT& value);

}  // namespace sim
