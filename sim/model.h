// The content of one model file of the simulated host, as plain values. A
// document of the simulated host holds one ModelData and changes it when the
// add-in writes through the host interfaces; saving writes it back.
//
// Structure never changes after loading except where stated (equations,
// properties and parameters can be added, configurations created), so the
// host may keep pointers into features, dimensions and components.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace sim {

// The codes a model file writes. Most are the host's published values; where
// the host reports another value (constraint status, dimension parameter
// type) the member that reports it converts.

// Document types.
constexpr LONG kDocTypeNone = 0;
constexpr LONG kDocTypePart = 1;
constexpr LONG kDocTypeAssembly = 2;
constexpr LONG kDocTypeDrawing = 3;

// Suppression states of a component. The model document of a component in
// state 0, 1 or 4 is not loaded; 2 and 3 count as loaded.
constexpr LONG kComponentSuppressed = 0;
constexpr LONG kComponentLightweight = 1;
constexpr LONG kComponentFullyResolved = 2;
constexpr LONG kComponentResolved = 3;
constexpr LONG kComponentFullyLightweight = 4;

// Component visibility.
constexpr LONG kComponentHidden = 0;
constexpr LONG kComponentVisible = 1;

// Constraint status of a component in its assembly (the host reports one
// higher).
constexpr LONG kConstraintUnknown = 0;
constexpr LONG kConstraintUnderDefined = 1;
constexpr LONG kConstraintFullyDefined = 2;
constexpr LONG kConstraintOverDefined = 3;

// Display dimension types.
constexpr LONG kDisplayDimensionLinear = 2;
constexpr LONG kDisplayDimensionChamfer = 10;

// Dimension parameter types (the host reports one lower).
constexpr LONG kDimensionParamUnknown = 0;
constexpr LONG kDimensionParamLength = 1;
constexpr LONG kDimensionParamAngle = 2;

// Driven states of a dimension.
constexpr LONG kDimensionDrivenUnknown = 0;
constexpr LONG kDimensionDriven = 1;
constexpr LONG kDimensionDriving = 2;

// Tolerance types: 0 none, 1 basic, 2 bilateral, 3 limit, 4 symmetric, 5 min,
// 6 max, 7 fit, 8 fit with tolerance, 9 fit tolerance only, 10 block, 11
// general.
constexpr LONG kToleranceNone = 0;
constexpr LONG kToleranceBilateral = 2;
constexpr LONG kToleranceSymmetric = 4;
constexpr LONG kToleranceGeneral = 11;

// Custom property types.
constexpr LONG kPropertyTypeUnknown = 0;
constexpr LONG kPropertyTypeNumber = 3;
constexpr LONG kPropertyTypeDouble = 5;
constexpr LONG kPropertyTypeYesNo = 11;
constexpr LONG kPropertyTypeText = 30;
constexpr LONG kPropertyTypeDate = 64;

// Where a bill of materials takes a configuration's part number from.
constexpr LONG kBomPartNumberDocumentName = 1;
constexpr LONG kBomPartNumberConfigurationName = 2;
constexpr LONG kBomPartNumberParentName = 4;
constexpr LONG kBomPartNumberUserSpecified = 8;

// The type name of the feature that stands for a component.
inline constexpr char16_t kReferenceFeatureTypeName[] = u"Reference";

// What a feature node tells about itself (for a component's "Reference"
// feature the name and type come from the component instead).
struct FeatureFields {
  std::u16string createdBy;
  std::u16string dateCreated;
  LONG createdVersion = 0;
  std::u16string dateModified;
  LONG modifiedVersion = 0;
  LONG updateStamp = 0;
  std::u16string description;
  LONG editStatus = 0;
  LONG errorCode = 0;
  bool isBase = false;
  LONG visible = 1;
  bool uiState = false;
  bool operator==(const FeatureFields&) const = default;
};

struct DisplayDimensionModel {
  LONG type = kDisplayDimensionLinear;
  // Names of the dimensions shown (DimensionModel::name): two for a chamfer
  // dimension, one otherwise.
  std::vector<std::u16string> dimensions;
  bool operator==(const DisplayDimensionModel&) const = default;
};

struct FeatureModel {
  std::u16string name;
  std::u16string typeName;
  FeatureFields fields;
  bool suppressed = false;
  // For a sub-feature: it also stands on the document's feature chain, right
  // before its owner (as an absorbed sketch does).
  bool inChain = false;
  std::vector<DisplayDimensionModel> displayDimensions;
  std::vector<FeatureModel> subFeatures;
  bool operator==(const FeatureModel&) const = default;
};

struct DimensionModel {
  // dimension@feature, for instance "D1@Sketch1"; the full name adds
  // "@" and the document's file name.
  std::u16string name;
  // When not empty, the full name reads exactly this text.
  std::u16string fullNameOverride;
  double value = 0;
  LONG parameterType = kDimensionParamLength;
  bool readOnly = false;
  LONG drivenState = kDimensionDriving;
  bool reference = false;
  LONG toleranceType = kToleranceNone;
  double toleranceMin = 0;
  double toleranceMax = 0;
  bool operator==(const DimensionModel&) const = default;
};

struct EquationModel {
  std::u16string text;
  double value = 0;
  bool suppressed = false;
  bool operator==(const EquationModel&) const = default;
};

struct PropertyModel {
  std::u16string name;
  LONG type = kPropertyTypeText;
  std::u16string value;
  // Takes its value from the document: Set2 refuses to change it.
  bool linked = false;
  bool operator==(const PropertyModel&) const = default;
};

struct ParameterModel {
  std::u16string name;
  std::u16string value;
  bool operator==(const ParameterModel&) const = default;
};

struct ComponentModel {
  // Instance name without any path: "Bolt-1".
  std::u16string name;
  // The model file, relative to the directory of the file that holds this
  // component (or absolute), with "/" or "\" as separators.
  std::u16string file;
  LONG state = kComponentResolved;
  LONG visibility = kComponentVisible;
  LONG constraintStatus = kConstraintFullyDefined;
  // The configuration of the model that the component uses; empty: the
  // model's active configuration.
  std::u16string configuration;
  // The fields of the component's "Reference" feature in the active
  // configuration's feature tree.
  FeatureFields feature;
  bool operator==(const ComponentModel&) const = default;
};

struct ConfigurationModel {
  std::u16string name;
  std::u16string parent;  // empty for a top-level configuration
  std::u16string alternateName;
  LONG type = 0;
  LONG bomPartNumberSource = kBomPartNumberDocumentName;
  std::u16string comment;
  std::u16string description;
  bool locked = false;
  bool useAlternateNameInBom = false;
  std::vector<ParameterModel> parameters;
  std::vector<PropertyModel> properties;
  // Top-level components (assemblies only). A subassembly's own components
  // come from its file, in the configuration the component references.
  std::vector<ComponentModel> components;
  bool operator==(const ConfigurationModel&) const = default;
};

// Length units of a document and their size in metres.
struct LengthUnit {
  const char* name;
  double metres;
};
inline constexpr LengthUnit kLengthUnits[] = {
    {"mm", 0.001}, {"cm", 0.01}, {"m", 1.0}, {"in", 0.0254}, {"ft", 0.3048}};

struct ModelData {
  LONG type = kDocTypePart;
  // Empty: the title is the file name.
  std::u16string title;
  std::u16string units = u"mm";
  // Empty: the first configuration.
  std::u16string activeConfiguration;
  std::vector<FeatureModel> features;
  std::vector<DimensionModel> dimensions;
  std::vector<EquationModel> equations;
  // A deque, so that creating a configuration leaves the others in place.
  std::deque<ConfigurationModel> configurations;
  std::vector<PropertyModel> properties;
  // Drawings: the model files the drawing shows, relative like component
  // files.
  std::vector<std::u16string> references;
  bool operator==(const ModelData&) const = default;
};

// The size of the document's length unit in metres (millimetres when the
// unit is unknown).
double UnitMetres(const ModelData& model);

// The configuration with that name, or null.
ConfigurationModel* FindConfiguration(ModelData& model, std::u16string_view name);
const ConfigurationModel* FindConfiguration(const ModelData& model, std::u16string_view name);
// The active configuration (the first when none is named); null when the
// model has none.
const ConfigurationModel* ActiveConfiguration(const ModelData& model);
DimensionModel* FindDimension(ModelData& model, std::u16string_view name);

}  // namespace sim
