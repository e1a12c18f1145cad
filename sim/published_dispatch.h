// IDispatch of a published object of the simulated host: names to DISPIDs
// and Invoke by its interface's member table, with the rules of a
// type-library-driven Invoke:
//
// - GetIDsOfNames: a member's name, ASCII letter case ignored, gives its
//   DISPID; any other name, or a second name (named arguments are not
//   supported), DISP_E_UNKNOWNNAME with DISPID_UNKNOWN written.
// - Invoke: no member for the DISPID and the flags (DISPATCH_METHOD or
//   DISPATCH_PROPERTYGET for a method, DISPATCH_PROPERTYGET for a get,
//   DISPATCH_PROPERTYPUT for a put), or a hidden member:
//   DISP_E_MEMBERNOTFOUND. A put needs its value as the one named argument
//   DISPID_PROPERTYPUT (else DISP_E_PARAMNOTFOUND); other named arguments:
//   DISP_E_NONAMEDARGS. Another count of arguments than the member's:
//   DISP_E_BADPARAMCOUNT. An argument that does not fit: DISP_E_TYPEMISMATCH
//   with *argErr its place in DISPPARAMS. A member that fails, a fault set by
//   a test and any C++ exception: DISP_E_EXCEPTION with EXCEPINFO. No
//   exception leaves.
#pragma once

#include "platform/unknown.h"
#include "sim/published_interface.h"

namespace sim {

class HostState;

HRESULT PublishedIdsOfNames(const HostState& host, const PublishedInterface& face, REFIID riid,
                            LPOLESTR* names, UINT count, DISPID* dispids);

HRESULT InvokePublished(HostState& host, PublishedObject& object, REFIID riid, DISPID dispid,
                        WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT* argErr);

}  // namespace sim
