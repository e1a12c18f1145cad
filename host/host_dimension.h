// Display dimensions (what a feature shows), the dimensions they hold and
// the dimensions' tolerances.
#pragma once

#include "platform/unknown.h"

struct IHostDimension;
struct IHostTolerance;

// Display dimension types. A chamfer dimension holds two dimensions (its
// length and its angle); every other type holds one.
constexpr LONG kDisplayDimensionLinear = 2;
constexpr LONG kDisplayDimensionAngular = 3;
constexpr LONG kDisplayDimensionRadial = 5;
constexpr LONG kDisplayDimensionDiameter = 6;
constexpr LONG kDisplayDimensionChamfer = 10;

// Parameter types of a dimension, as the host reports them. A length is kept
// in the document's length unit (system value in metres), an angle in
// degrees (system value in radians); other values are plain numbers.
constexpr LONG kDimensionParamUnknown = -1;
constexpr LONG kDimensionParamLength = 0;
constexpr LONG kDimensionParamAngle = 1;
constexpr LONG kDimensionParamInteger = 2;

// Driven states.
constexpr LONG kDimensionDrivenUnknown = 0;
constexpr LONG kDimensionDriven = 1;
constexpr LONG kDimensionDriving = 2;

// Tolerance types; 0 to 11 are known.
constexpr LONG kToleranceNone = 0;
constexpr LONG kToleranceBasic = 1;
constexpr LONG kToleranceBilateral = 2;
constexpr LONG kToleranceLimit = 3;
constexpr LONG kToleranceSymmetric = 4;
constexpr LONG kToleranceMin = 5;
constexpr LONG kToleranceMax = 6;
constexpr LONG kToleranceFit = 7;
constexpr LONG kToleranceFitWithTolerance = 8;
constexpr LONG kToleranceFitToleranceOnly = 9;
constexpr LONG kToleranceBlock = 10;
constexpr LONG kToleranceGeneral = 11;

struct IHostDisplayDimension : IDispatch {
  // The display dimension's type (kDisplayDimension*).
  virtual HRESULT STDMETHODCALLTYPE GetType(LONG* type) = 0;
  // The dimension number index, from 0: 0 and 1 for a chamfer dimension, 0
  // otherwise. E_INVALIDARG and no dimension for another index.
  virtual HRESULT STDMETHODCALLTYPE GetDimension(LONG index, IHostDimension** dimension) = 0;

 protected:
  ~IHostDisplayDimension() = default;
};
HB_DECLARE_IID(IHostDisplayDimension, "{3D50A0F5-F06E-466C-92B5-FDF2F356C34B}");

struct IHostDimension : IDispatch {
  // dimension@feature@document, for instance "D1@Sketch1@Plate.SLDPRT". A
  // dimension shown by several features has one full name.
  virtual HRESULT STDMETHODCALLTYPE GetFullName(BSTR* fullName) = 0;
  // The value in the document's units (lengths in its length unit, angles in
  // degrees).
  virtual HRESULT STDMETHODCALLTYPE GetValue(double* value) = 0;
  // Changes the value (the system value follows). E_ACCESSDENIED, nothing
  // changed, for a read-only dimension.
  virtual HRESULT STDMETHODCALLTYPE SetValue(double value) = 0;
  // The value in system units: metres, radians.
  virtual HRESULT STDMETHODCALLTYPE GetSystemValue(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReadOnly(VARIANT_BOOL* readOnly) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetReadOnly(VARIANT_BOOL readOnly) = 0;
  // kDimensionDrivenUnknown, kDimensionDriven or kDimensionDriving;
  // E_INVALIDARG, nothing changed, for another value.
  virtual HRESULT STDMETHODCALLTYPE GetDrivenState(LONG* state) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDrivenState(LONG state) = 0;
  // kDimensionParam*.
  virtual HRESULT STDMETHODCALLTYPE GetParameterType(LONG* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsReference(VARIANT_BOOL* reference) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTolerance(IHostTolerance** tolerance) = 0;

 protected:
  ~IHostDimension() = default;
};
HB_DECLARE_IID(IHostDimension, "{04B09C3C-5674-4401-8188-F812BF868372}");

struct IHostTolerance : IDispatch {
  // kTolerance*; E_INVALIDARG, nothing changed, for a type outside 0 to 11.
  virtual HRESULT STDMETHODCALLTYPE GetType(LONG* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetType(LONG type) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMinValue(double* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMaxValue(double* value) = 0;
  // Sets the minimum and the maximum together. done is VARIANT_FALSE, and
  // nothing changes, while the type is kToleranceNone.
  virtual HRESULT STDMETHODCALLTYPE SetValues(double minValue, double maxValue,
                                              VARIANT_BOOL* done) = 0;

 protected:
  ~IHostTolerance() = default;
};
HB_DECLARE_IID(IHostTolerance, "{F3277F70-F157-4B58-B0F6-1015B7EA21AA}");
