#include "sim/published_dispatch.h"

#include <exception>
#include <new>
#include <string>

#include "platform/guid.h"
#include "platform/text.h"
#include "sim/host_state.h"
#include "sim/member_call.h"
#include "sim/member_failure.h"

namespace sim {
namespace {

// Whether the named arguments are those the member takes: the value of a
// put as DISPID_PROPERTYPUT, none otherwise.
HRESULT CheckNamedArguments(const PublishedMember& member, const DISPPARAMS& params) {
  if (member.kind != MemberKind::kPut) {
    return params.cNamedArgs == 0 ? S_OK : DISP_E_NONAMEDARGS;
  }
  if (params.cNamedArgs > 1) return DISP_E_NONAMEDARGS;
  if (params.cNamedArgs == 0 || !params.rgdispidNamedArgs ||
      params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
    return DISP_E_PARAMNOTFOUND;
  }
  return S_OK;
}

// The text of a C++ exception; empty when even that cannot be made.
std::u16string TextOf(const std::exception& failure) noexcept try {
  return platform::Utf8ToUtf16(failure.what());
} catch (...) {
  return std::u16string();
}

HRESULT RunMember(HostState& host, PublishedObject& object, const PublishedMember& member,
                  const DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argErr) {
  try {
    MemberCall call(host, object, member, params, result, exception, argErr);
    return member.invoke(object, call);
  } catch (const MemberFailure& failure) {
    return ReportException(exception, failure.code(), failure.description());
  } catch (const std::bad_alloc&) {
    return ReportException(exception, E_OUTOFMEMORY, u"out of memory in the simulated host");
  } catch (const std::exception& failure) {
    return ReportException(exception, E_FAIL, TextOf(failure));
  } catch (...) {
    return ReportException(exception, E_FAIL, u"unexpected failure in the simulated host");
  }
}

}  // namespace

HRESULT PublishedIdsOfNames(const HostState& host, const PublishedInterface& face, REFIID riid,
                            LPOLESTR* names, UINT count, DISPID* dispids) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !dispids) return E_POINTER;
  for (UINT i = 0; i < count; ++i) dispids[i] = DISPID_UNKNOWN;
  if (count == 0) return S_OK;
  const PublishedMember* member = names[0] ? FindMemberByName(face, names[0]) : nullptr;
  if (!member || host.IsHidden(face, member->dispid)) return DISP_E_UNKNOWNNAME;
  dispids[0] = member->dispid;
  return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT InvokePublished(HostState& host, PublishedObject& object, REFIID riid, DISPID dispid,
                        WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT* argErr) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (result) VariantInit(result);
  const PublishedInterface& face = object.Published();
  const PublishedMember* member = FindMemberToInvoke(face, dispid, flags);
  if (!member || host.IsHidden(face, dispid)) return DISP_E_MEMBERNOTFOUND;
  static const DISPPARAMS kNone{nullptr, nullptr, 0, 0};
  const DISPPARAMS& given = params ? *params : kNone;
  if (HRESULT hr = CheckNamedArguments(*member, given); FAILED(hr)) return hr;
  if (given.cArgs != member->arguments) return DISP_E_BADPARAMCOUNT;
  if (given.cArgs > 0 && !given.rgvarg) return E_POINTER;
  return RunMember(host, object, *member, given, result, exception, argErr);
}

}  // namespace sim
