// The host's outgoing event interfaces. The application and every document
// are connection-point containers (IConnectionPointContainer): a sink is
// advised on the connection point found by one of the IIDs below and must
// answer QueryInterface for that IID. The host raises an event by calling
// the sink's IDispatch::Invoke with the event's DISPID, DISPATCH_METHOD and
// the event's arguments as positional arguments (in reverse order in
// DISPPARAMS::rgvarg, as usual). The arguments belong to the host; a sink
// that keeps an object takes its own reference. The sink's result goes back
// to the host, which does not act on it.
#pragma once

#include "platform/unknown.h"

// Events of the host application.
struct DHostApplicationEvents : IDispatch {
 protected:
  ~DHostApplicationEvents() = default;
};
HB_DECLARE_IID(DHostApplicationEvents, "{E9CD6315-D5D9-4EE8-9042-099F62EC8E4D}");

// Events of a part document.
struct DHostPartDocEvents : IDispatch {
 protected:
  ~DHostPartDocEvents() = default;
};
HB_DECLARE_IID(DHostPartDocEvents, "{600073A2-16F5-456C-87B0-5B33E2C63606}");

// Events of an assembly document.
struct DHostAssemblyDocEvents : IDispatch {
 protected:
  ~DHostAssemblyDocEvents() = default;
};
HB_DECLARE_IID(DHostAssemblyDocEvents, "{2D3A855E-1C5F-4FBB-87B6-FE40783FC536}");

// Events of a drawing document.
struct DHostDrawingDocEvents : IDispatch {
 protected:
  ~DHostDrawingDocEvents() = default;
};
HB_DECLARE_IID(DHostDrawingDocEvents, "{DB6780B4-CA5A-44D4-9AA8-C813E49EE433}");

// Application events (DHostApplicationEvents). Arguments in call order.
// A new document was made: (document: VT_DISPATCH, document type: VT_I4).
constexpr DISPID kAppEventFileNewNotify = 4;
// The active document changed: no arguments.
constexpr DISPID kAppEventActiveDocChangeNotify = 5;
// A document was closed: (full path: VT_BSTR).
constexpr DISPID kAppEventFileCloseNotify = 11;
// The host is shutting down: no arguments.
constexpr DISPID kAppEventDestroyNotify = 12;
// A model file was opened: (full path: VT_BSTR).
constexpr DISPID kAppEventFileOpenNotify = 22;

// Events common to part, assembly and drawing documents.
// The document is going away: no arguments.
constexpr DISPID kDocEventDestroyNotify = 2;
// The document was saved: (full path: VT_BSTR).
constexpr DISPID kDocEventFileSaveNotify = 5;

// Assembly events (DHostAssemblyDocEvents).
// A component's state changed: (component's model document: VT_DISPATCH or
// VT_EMPTY, component name: VT_BSTR, old state: VT_I4, new state: VT_I4).
constexpr DISPID kAsmEventComponentStateChangeNotify = 25;
// A component's model document was loaded or unloaded: (model document:
// VT_DISPATCH, old state: VT_I4, new state: VT_I4).
constexpr DISPID kAsmEventComponentModelChangeNotify = 22;
// A component's referenced configuration changed: (component: VT_DISPATCH).
constexpr DISPID kAsmEventComponentConfigurationChangeNotify = 46;
// A component's display state changed: (component: VT_DISPATCH).
constexpr DISPID kAsmEventComponentDisplayChangeNotify = 47;
