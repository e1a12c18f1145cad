#include "sim/model_writer.h"

#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/text.h"
#include "sim/model_error.h"

namespace sim {
namespace {

using Json = nlohmann::ordered_json;

std::string Utf8(std::u16string_view text) { return platform::Utf16ToUtf8(text); }

const char* DocTypeName(LONG type) {
  switch (type) {
    case kDocTypeAssembly:
      return "assembly";
    case kDocTypeDrawing:
      return "drawing";
    default:
      return "part";
  }
}

// Members are written only when they differ from the default, which keeps
// the files short and reading them back exact.
template <typename T>
void Put(Json& object, const char* key, const T& value, const T& fallback) {
  if (!(value == fallback)) object[key] = value;
}
void PutText(Json& object, const char* key, const std::u16string& value) {
  if (!value.empty()) object[key] = Utf8(value);
}

void PutFields(Json& object, const FeatureFields& fields) {
  const FeatureFields none;
  PutText(object, "createdBy", fields.createdBy);
  PutText(object, "dateCreated", fields.dateCreated);
  Put(object, "createdVersion", fields.createdVersion, none.createdVersion);
  PutText(object, "dateModified", fields.dateModified);
  Put(object, "modifiedVersion", fields.modifiedVersion, none.modifiedVersion);
  Put(object, "updateStamp", fields.updateStamp, none.updateStamp);
  PutText(object, "description", fields.description);
  Put(object, "editStatus", fields.editStatus, none.editStatus);
  Put(object, "errorCode", fields.errorCode, none.errorCode);
  Put(object, "isBase", fields.isBase, none.isBase);
  Put(object, "visible", fields.visible, none.visible);
  Put(object, "uiState", fields.uiState, none.uiState);
}

Json FeatureJson(const FeatureModel& feature) {
  Json object;
  object["name"] = Utf8(feature.name);
  object["typeName"] = Utf8(feature.typeName);
  Put(object, "suppressed", feature.suppressed, false);
  Put(object, "inChain", feature.inChain, false);
  PutFields(object, feature.fields);
  if (!feature.displayDimensions.empty()) {
    Json shown = Json::array();
    for (const DisplayDimensionModel& display : feature.displayDimensions) {
      Json item;
      item["type"] = display.type;
      Json names = Json::array();
      for (const std::u16string& name : display.dimensions) names.push_back(Utf8(name));
      item["dimensions"] = std::move(names);
      shown.push_back(std::move(item));
    }
    object["displayDimensions"] = std::move(shown);
  }
  if (!feature.subFeatures.empty()) {
    Json subs = Json::array();
    for (const FeatureModel& sub : feature.subFeatures) subs.push_back(FeatureJson(sub));
    object["subFeatures"] = std::move(subs);
  }
  return object;
}

Json DimensionJson(const DimensionModel& dimension) {
  const DimensionModel none;
  Json object;
  object["name"] = Utf8(dimension.name);
  PutText(object, "fullName", dimension.fullNameOverride);
  object["value"] = dimension.value;
  Put(object, "parameterType", dimension.parameterType, none.parameterType);
  Put(object, "readOnly", dimension.readOnly, none.readOnly);
  Put(object, "drivenState", dimension.drivenState, none.drivenState);
  Put(object, "reference", dimension.reference, none.reference);
  if (dimension.toleranceType != none.toleranceType || dimension.toleranceMin != 0 ||
      dimension.toleranceMax != 0) {
    Json tolerance;
    tolerance["type"] = dimension.toleranceType;
    tolerance["min"] = dimension.toleranceMin;
    tolerance["max"] = dimension.toleranceMax;
    object["tolerance"] = std::move(tolerance);
  }
  return object;
}

Json PropertiesJson(const std::vector<PropertyModel>& properties) {
  Json list = Json::array();
  for (const PropertyModel& property : properties) {
    Json item;
    item["name"] = Utf8(property.name);
    item["type"] = property.type;
    item["value"] = Utf8(property.value);
    Put(item, "linked", property.linked, false);
    list.push_back(std::move(item));
  }
  return list;
}

Json ComponentJson(const ComponentModel& component) {
  const ComponentModel none;
  Json object;
  object["name"] = Utf8(component.name);
  object["file"] = Utf8(component.file);
  Put(object, "state", component.state, none.state);
  Put(object, "visibility", component.visibility, none.visibility);
  Put(object, "constraintStatus", component.constraintStatus, none.constraintStatus);
  PutText(object, "configuration", component.configuration);
  Json feature = Json::object();
  PutFields(feature, component.feature);
  if (!feature.empty()) object["feature"] = std::move(feature);
  return object;
}

Json ConfigurationJson(const ConfigurationModel& configuration) {
  const ConfigurationModel none;
  Json object;
  object["name"] = Utf8(configuration.name);
  PutText(object, "parent", configuration.parent);
  PutText(object, "alternateName", configuration.alternateName);
  Put(object, "type", configuration.type, none.type);
  Put(object, "bomPartNumberSource", configuration.bomPartNumberSource, none.bomPartNumberSource);
  PutText(object, "comment", configuration.comment);
  PutText(object, "description", configuration.description);
  Put(object, "locked", configuration.locked, none.locked);
  Put(object, "useAlternateNameInBom", configuration.useAlternateNameInBom,
      none.useAlternateNameInBom);
  if (!configuration.parameters.empty()) {
    Json parameters = Json::array();
    for (const ParameterModel& parameter : configuration.parameters) {
      parameters.push_back(Json{{"name", Utf8(parameter.name)}, {"value", Utf8(parameter.value)}});
    }
    object["parameters"] = std::move(parameters);
  }
  if (!configuration.properties.empty()) {
    object["properties"] = PropertiesJson(configuration.properties);
  }
  if (!configuration.components.empty()) {
    Json components = Json::array();
    for (const ComponentModel& component : configuration.components) {
      components.push_back(ComponentJson(component));
    }
    object["components"] = std::move(components);
  }
  return object;
}

}  // namespace

std::string FormatModel(const ModelData& model) {
  Json root;
  root["version"] = 1;
  root["type"] = DocTypeName(model.type);
  PutText(root, "title", model.title);
  if (model.units != u"mm") root["units"] = Utf8(model.units);
  PutText(root, "activeConfiguration", model.activeConfiguration);
  if (!model.features.empty()) {
    Json features = Json::array();
    for (const FeatureModel& feature : model.features) features.push_back(FeatureJson(feature));
    root["features"] = std::move(features);
  }
  if (!model.dimensions.empty()) {
    Json dimensions = Json::array();
    for (const DimensionModel& dimension : model.dimensions) {
      dimensions.push_back(DimensionJson(dimension));
    }
    root["dimensions"] = std::move(dimensions);
  }
  if (!model.equations.empty()) {
    Json equations = Json::array();
    for (const EquationModel& equation : model.equations) {
      Json item;
      item["text"] = Utf8(equation.text);
      item["value"] = equation.value;
      Put(item, "suppressed", equation.suppressed, false);
      equations.push_back(std::move(item));
    }
    root["equations"] = std::move(equations);
  }
  Json configurations = Json::array();
  for (const ConfigurationModel& configuration : model.configurations) {
    configurations.push_back(ConfigurationJson(configuration));
  }
  root["configurations"] = std::move(configurations);
  if (!model.properties.empty()) root["properties"] = PropertiesJson(model.properties);
  if (!model.references.empty()) {
    Json references = Json::array();
    for (const std::u16string& reference : model.references) references.push_back(Utf8(reference));
    root["references"] = std::move(references);
  }
  return root.dump(2) + "\n";
}

void WriteModelFile(const std::filesystem::path& path, const ModelData& model) {
  std::string text = FormatModel(model);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw ModelFileError(path.string(), "", "the file cannot be written");
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw ModelFileError(path.string(), "", "the file cannot be written");
}

}  // namespace sim
