// The lists the host hands out in one call (SAFEARRAY vectors) read into
// plain values, and the walks built on them: the configuration names of a
// document and the component tree of a configuration.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "platform/com_ptr.h"
#include "platform/safearray.h"

namespace hostutil {

// The texts of a VT_BSTR vector (a null element reads as empty); no texts for
// a null array. Raises Dovbase::Kvx_Exception, naming `operation`, for an
// array of another element type.
std::vector<std::u16string> ReadTextList(SAFEARRAY* array, std::u16string_view operation);

// The values of a VT_I4 vector; none for a null array. Raises as above.
std::vector<LONG> ReadLongList(SAFEARRAY* array, std::u16string_view operation);

// The elements of a VT_DISPATCH vector, each asked for IHostComponent; none
// for a null array. Raises as above, and for an element that is null or no
// component.
std::vector<ComPtr<IHostComponent>> ReadComponentList(SAFEARRAY* array,
                                                      std::u16string_view operation);

// The names of the document's configurations, in the host's order. Raises
// when the host fails.
std::vector<std::u16string> ConfigurationNames(IHostModelDoc* document);

// The document's configuration of that name. Raises when the host fails or
// gives none (the name came from the document's own list).
ComPtr<IHostConfiguration> ConfigurationByName(IHostModelDoc* document, std::u16string_view name);

// The children of a component, in the host's order: none when the host
// counts none. Raises when the host fails (a failure is never taken for "no
// children", which would drop a whole subtree unnoticed).
std::vector<ComPtr<IHostComponent>> ComponentChildren(IHostComponent* component);

// Whether a component in this suppression state has its model loaded:
// kComponentFullyResolved and kComponentResolved only.
inline bool IsLoadedState(LONG suppressionState) {
  return suppressionState == kComponentFullyResolved || suppressionState == kComponentResolved;
}

// Walks a component tree depth first, a component before its children,
// children in the host's order. visit(component, context) handles one
// component and returns the context for its children, or no value to pass
// them over. Host failures raise (ComponentChildren).
template <typename Context, typename Visit>
void WalkComponentTree(IHostComponent* component, const Context& context, Visit& visit) {
  std::optional<Context> childContext = visit(component, context);
  if (!childContext) return;
  for (const ComPtr<IHostComponent>& child : ComponentChildren(component)) {
    WalkComponentTree(child.Get(), *childContext, visit);
  }
}

}  // namespace hostutil
