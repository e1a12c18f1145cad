// The wrappers of the binding, one function per kind of host object: each
// gives the wrapper of a host object as the add-in's interface for it (the
// wrapper the object has, or a new one), or null with S_OK for no object.
// Used by the wrappers themselves, where one host object leads to another,
// and by the binding's entry points (binding.h).
#pragma once

#include "host/host.h"
#include "platform/com_ptr.h"

namespace published {

HRESULT WrapApplication(ComPtr<IDispatch> object, IHostApplication** out);
HRESULT WrapDocument(ComPtr<IDispatch> object, IHostModelDoc** out);
HRESULT WrapFeature(ComPtr<IDispatch> object, IHostFeature** out);
HRESULT WrapDisplayDimension(ComPtr<IDispatch> object, IHostDisplayDimension** out);
HRESULT WrapDimension(ComPtr<IDispatch> object, IHostDimension** out);
HRESULT WrapTolerance(ComPtr<IDispatch> object, IHostTolerance** out);
HRESULT WrapEquationManager(ComPtr<IDispatch> object, IHostEquationManager** out);
HRESULT WrapConfiguration(ComPtr<IDispatch> object, IHostConfiguration** out);
// The configuration manager of a document; document is the document's host
// object (the manager reaches the document's properties and configurations
// through it).
HRESULT WrapConfigurationManager(ComPtr<IDispatch> object, ComPtr<IDispatch> document,
                                 IHostConfigurationManager** out);
// The nameless configuration that stands for the document as a whole.
HRESULT MakeDocumentConfiguration(ComPtr<IDispatch> document, IHostConfiguration** out);
HRESULT WrapPropertyManager(ComPtr<IDispatch> object, IHostCustomPropertyManager** out);
HRESULT WrapComponent(ComPtr<IDispatch> object, IHostComponent** out);
HRESULT WrapSelectionManager(ComPtr<IDispatch> object, IHostSelectionManager** out);
HRESULT WrapFrame(ComPtr<IDispatch> object, IHostFrame** out);
HRESULT WrapCommandManager(ComPtr<IDispatch> object, IHostCommandManager** out);
HRESULT WrapCommandGroup(ComPtr<IDispatch> object, IHostCommandGroup** out);
HRESULT WrapCommandTab(ComPtr<IDispatch> object, IHostCommandTab** out);
HRESULT WrapCommandTabBox(ComPtr<IDispatch> object, IHostCommandTabBox** out);

}  // namespace published
