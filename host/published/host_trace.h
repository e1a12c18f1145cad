// The host-call trace: with HARBOLT_HOST_TRACE naming a file, the binding
// appends one JSON object per line for every call it makes into the host:
//
//   {"interface": "IModelDoc2", "member": "GetTitle", "kind": "method", "args": 0,
//    "hr": "0x00000000", "us": 3}
//
// interface and member are the published names, kind is "method", "get" or
// "put", args the number of arguments passed (a put counts its value), hr
// what Invoke returned and us the call's duration in microseconds. The
// variable is read when the binding is set up for a host (BindApplication);
// an empty or missing variable leaves the trace off, and then each call
// costs one test of a flag. A line that cannot be written is dropped: the
// trace never fails a call.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/published/host_member.h"

namespace published {

// Reads HARBOLT_HOST_TRACE and turns the trace on or off.
void ConfigureHostTrace();

// Whether calls are traced now.
bool HostTraceOn();

// Appends the line of one call.
void TraceHostCall(const HostMember& member, CallKind kind, unsigned arguments, HRESULT hr,
                   int64_t microseconds);

}  // namespace published
