// The binding: the add-in's view of the host (host/*.h) over the host's
// published automation objects, which it calls late-bound by their
// published member names (late_call.h). It is the add-in's only way into
// the host: the host is never asked for an interface of the add-in's.
//
//   ComPtr<IHostApplication> application = published::BindApplication(hostObject);
//   ComPtr<IHostModelDoc> document;
//   application->GetActiveDocument(document.ReleaseAndGetAddressOf());
//
// Failures of the host reach the caller as HRESULTs, with a text that names
// the published member and keeps the host's words (host_failure.h).
#pragma once

#include "host/host.h"
#include "platform/com_ptr.h"

namespace published {

// The host application that the host hands the add-in when it connects it:
// the object is asked for the host's application interface (ISldWorks).
// Null for null or for an object that is no host application. Also reads
// the host-call trace setting (host_trace.h).
ComPtr<IHostApplication> BindApplication(IUnknown* host);

// A model document that the host passed (as an event's argument): the
// object is asked for the host's document interface (IModelDoc2); a
// document the binding handed out already is taken as it is. Null for null
// or any other object.
ComPtr<IHostModelDoc> BindDocument(IUnknown* object);

// A component that the host passed. Components are known to the host by
// no interface id of their own, so any dispatch object is taken; a member
// call on an object of another kind fails. A component the binding handed
// out already is taken as it is. Null for null or an object without
// IDispatch.
ComPtr<IHostComponent> BindComponent(IUnknown* object);

}  // namespace published
