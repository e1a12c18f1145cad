#include "host/published/wrapper_calls.h"

#include "host/published/host_failure.h"

namespace published {

HRESULT Refuse(const HostMember& member, HRESULT hr, std::u16string_view reason) {
  return RecordHostFailure(hr, HostFailureText(member.interfaceName(), member.name(), hr, reason));
}

HRESULT FirstDouble(const HostMember& member, const ScopedSafeArray& array, double* out) {
  *out = 0;
  LONG first = 0;
  if (array.Count() < 1) return Refuse(member, DISP_E_TYPEMISMATCH, u"the host answered no value");
  return SafeArrayGetElement(array.Get(), &first, out);
}

HRESULT FirstBool(const HostMember& member, const ScopedSafeArray& array, VARIANT_BOOL* out) {
  *out = VARIANT_FALSE;
  LONG first = 0;
  if (array.Count() < 1) return Refuse(member, DISP_E_TYPEMISMATCH, u"the host answered no value");
  return SafeArrayGetElement(array.Get(), &first, out);
}

}  // namespace published
