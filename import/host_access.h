// Small pieces of host access that the import steps share: reading host
// lists, making the lists the host takes, the names the rows carry, and the
// check of a host call whose object the step cannot do without.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "platform/com_ptr.h"
#include "platform/safearray.h"

namespace importer {

// The host boolean for a row's integer: true (-1) for any non-zero value.
inline VARIANT_BOOL HostBool(int value) { return value != 0 ? VARIANT_TRUE : VARIANT_FALSE; }

// The elements of a VT_BSTR vector (null strings read as empty); nothing for
// a null array or one of another element type.
std::vector<std::u16string> TextElements(SAFEARRAY* array);

// A new VT_BSTR vector holding texts, owned by the caller. Raises
// std::bad_alloc when it cannot be made.
ScopedSafeArray MakeTextArray(std::span<const std::u16string> texts);

// The model document of a component, asked for the document interface; null
// when the component has none. Raises when the host fails.
ComPtr<IHostModelDoc> ComponentModelDocument(IHostComponent* component);

// Raises Dovbase::Kvx_Exception when a host call that hands out an object
// failed (with the host's failure, hostutil::HostFailureMessage) or gave
// none (naming the operation); the steps cannot go on without it.
void RequireHostObject(HRESULT result, bool gotObject, std::u16string_view operation);

// The values of one import that the host refused to take. A step that writes
// a value goes on with the next one when the host refuses it, but the caller
// must learn that the model does not hold what the row asked for: the import
// reports the refusals at its end instead of passing for complete.
class RefusedWrites {
 public:
  // Records the write when result is a failure: operation names the host
  // call ("IHostDimension::SetValue"), item what it was for ("D1@Sketch1").
  void Check(HRESULT result, std::u16string_view operation, std::u16string_view item);

  int32_t count() const { return count_; }
  // The first refusal: the host's failure (hostutil::HostFailureMessage)
  // and " for [<item>]".
  const std::u16string& first() const { return first_; }

 private:
  int32_t count_ = 0;
  std::u16string first_;
};

}  // namespace importer
