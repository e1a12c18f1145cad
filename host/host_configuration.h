// Configurations of a model document and the document's
// configuration-parameter access.
#pragma once

#include "host/host_component.h"
#include "host/host_properties.h"
#include "platform/safearray.h"
#include "platform/unknown.h"

// Sources of the part number in a bill of materials.
constexpr LONG kBomPartNumberDocumentName = 1;
constexpr LONG kBomPartNumberConfigurationName = 2;
constexpr LONG kBomPartNumberParentName = 4;
constexpr LONG kBomPartNumberUserSpecified = 8;

// Argument of IHostConfiguration::GetRootComponent2.
constexpr LONG kRootComponentResolve = 1;

struct IHostConfiguration : IDispatch {
  // The name; empty for the configuration that
  // IHostConfigurationManager::GetDocumentConfiguration hands out.
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
  // The configuration this one is derived from; S_OK with null for a
  // top-level configuration.
  virtual HRESULT STDMETHODCALLTYPE GetParent(IHostConfiguration** parent) = 0;
  // The name shown in a bill of materials. It reads empty unless the
  // part-number source is kBomPartNumberUserSpecified; it is kept whatever
  // the source when it is set.
  virtual HRESULT STDMETHODCALLTYPE GetAlternateName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetAlternateName(BSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetType(LONG* type) = 0;
  // kBomPartNumber*; E_INVALIDARG, nothing changed, for another value.
  virtual HRESULT STDMETHODCALLTYPE GetBomPartNumberSource(LONG* source) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetBomPartNumberSource(LONG source) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetComment(BSTR* comment) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetComment(BSTR comment) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescription(BSTR description) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLocked(VARIANT_BOOL* locked) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetLocked(VARIANT_BOOL locked) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetUseAlternateNameInBom(VARIANT_BOOL* use) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetUseAlternateNameInBom(VARIANT_BOOL use) = 0;

  // The root of the configuration's component tree; S_OK with null for a
  // part or a drawing.
  virtual HRESULT STDMETHODCALLTYPE GetRootComponent(IHostComponent** root) = 0;
  // The same root, asked with the resolve option (kRootComponentResolve asks
  // the host to resolve lightweight components first; this host loads every
  // component's file, so the tree is the same).
  virtual HRESULT STDMETHODCALLTYPE GetRootComponent2(LONG resolve, IHostComponent** root) = 0;
  // The configuration's custom properties; for the nameless configuration,
  // the document's own.
  virtual HRESULT STDMETHODCALLTYPE
  GetCustomPropertyManager(IHostCustomPropertyManager** manager) = 0;

 protected:
  ~IHostConfiguration() = default;
};
HB_DECLARE_IID(IHostConfiguration, "{AD293DA9-B713-4A69-90E6-8D6E55D99F26}");

// Configuration parameters are name/value texts kept per configuration, for
// instance "D1@Sketch1" = "60.0mm" or "$STATE@Extrude2" = "S".
struct IHostConfigurationManager : IDispatch {
  // E_INVALIDARG for a configuration the document does not have.
  virtual HRESULT STDMETHODCALLTYPE GetParameterCount(BSTR configuration, LONG* count) = 0;
  // All parameters of the configuration at once: names and values, two
  // VT_BSTR vectors of GetParameterCount elements, in the host's order.
  virtual HRESULT STDMETHODCALLTYPE GetParameters(BSTR configuration, SAFEARRAY** names,
                                                  SAFEARRAY** values) = 0;
  // Sets the first count parameters of the names and values (VT_BSTR
  // vectors, the sender's): an existing name takes the new value, a new name
  // is appended, parameters not named keep theirs. A configuration the
  // document does not have is created (top-level). done is VARIANT_FALSE, and
  // nothing changes, for an empty configuration name, a count below 0 or
  // above either array's length, or arrays of another type.
  virtual HRESULT STDMETHODCALLTYPE SetParameters(BSTR configuration, LONG count, SAFEARRAY* names,
                                                  SAFEARRAY* values, VARIANT_BOOL* done) = 0;
  // A configuration without a name that stands for the document as a whole:
  // its custom-property manager holds the document's own properties; it has
  // no parent and no components, and its fields read empty or 0 and cannot
  // be set (E_FAIL).
  virtual HRESULT STDMETHODCALLTYPE
  GetDocumentConfiguration(IHostConfiguration** configuration) = 0;

 protected:
  ~IHostConfigurationManager() = default;
};
HB_DECLARE_IID(IHostConfigurationManager, "{7963307B-09AD-452B-85E8-38609AF8FEAC}");
