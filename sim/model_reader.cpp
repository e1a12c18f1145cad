#include "sim/model_reader.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <unordered_set>

#include "platform/text.h"
#include "sim/equation_evaluator.h"
#include "sim/model_error.h"
#include "sim/property_rules.h"

namespace sim {
namespace {

using nlohmann::json;

constexpr int kFormatVersion = 1;

// The deepest nesting of JSON values a model file may have.
constexpr int kMaxNesting = 200;

// Whether the arrays and objects of a JSON text nest deeper than
// kMaxNesting (brackets inside strings do not count). A linear scan: the
// parser's own depth callback costs quadratic time on long arrays.
bool NestedTooDeeply(std::string_view text) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxNesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

// nlohmann's texts start with their own "[json.exception.parse_error.N] ";
// the part after it says what was wrong.
std::string WithoutPrefix(const std::string& what) {
  size_t cut = what.find("] ");
  return cut == std::string::npos ? what : what.substr(cut + 2);
}

std::string Quote(std::u16string_view text) { return "\"" + platform::Utf16ToUtf8(text) + "\""; }

const char* KindName(const json& value) {
  switch (value.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::object:
      return "an object";
    case json::value_t::array:
      return "an array";
    case json::value_t::string:
      return "a string";
    case json::value_t::boolean:
      return "a boolean";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
      return "an integer";
    case json::value_t::number_float:
      return "a number";
    default:
      return "a value of another kind";
  }
}

const char* DocTypeName(LONG type) {
  switch (type) {
    case kDocTypePart:
      return "part";
    case kDocTypeAssembly:
      return "assembly";
    case kDocTypeDrawing:
      return "drawing";
    default:
      return "none";
  }
}

// Walks a parsed JSON document and turns it into ModelData, keeping the JSON
// pointer of every value so that an error names its place.
class Reader {
 public:
  explicit Reader(const std::string& file) : file_(file) {}

  ModelData Read(const json& root, LONG docType) {
    Object(root, "",
           {"version", "type", "title", "units", "activeConfiguration", "features", "dimensions",
            "equations", "configurations", "properties", "references"});
    if (root.contains("version")) {
      if (Long(root, "", "version", 0) != kFormatVersion) {
        Fail("/version", "unsupported format version (this host reads version 1)");
      }
    }
    ModelData model;
    model.type = docType;
    std::u16string type = RequiredString(root, "", "type");
    if (type != platform::Utf8ToUtf16(DocTypeName(docType))) {
      Fail("/type", Quote(type) + " does not match the file's extension, which stands for a " +
                        DocTypeName(docType));
    }
    model.title = String(root, "", "title", u"");
    model.units = String(root, "", "units", u"mm");
    if (std::none_of(std::begin(kLengthUnits), std::end(kLengthUnits), [&](const LengthUnit& u) {
          return platform::Utf8ToUtf16(u.name) == model.units;
        })) {
      Fail("/units", "unknown length unit " + Quote(model.units) + " (known: mm, cm, m, in, ft)");
    }
    model.activeConfiguration = String(root, "", "activeConfiguration", u"");

    ForEach(root, "", "dimensions", [&](const json& item, const std::string& at) {
      model.dimensions.push_back(ReadDimension(item, at));
    });
    ForEach(root, "", "features", [&](const json& item, const std::string& at) {
      model.features.push_back(ReadFeature(item, at, /*topLevel=*/true));
    });
    ForEach(root, "", "equations", [&](const json& item, const std::string& at) {
      Object(item, at, {"text", "value", "suppressed"});
      EquationModel equation;
      equation.text = RequiredString(item, at, "text");
      equation.suppressed = Bool(item, at, "suppressed", false);
      if (item.contains("value")) {
        equation.value = Double(item, at, "value", 0);
      } else {
        equation.value = EvaluateEquation(model, equation.text).value_or(0);
      }
      model.equations.push_back(std::move(equation));
    });
    if (root.contains("configurations")) {
      ForEach(root, "", "configurations", [&](const json& item, const std::string& at) {
        model.configurations.push_back(ReadConfiguration(item, at, docType));
      });
      if (model.configurations.empty()) {
        Fail("/configurations", "a model has at least one configuration");
      }
    } else {
      ConfigurationModel standard;
      standard.name = u"Default";
      model.configurations.push_back(std::move(standard));
    }
    model.properties = ReadProperties(root, "");
    if (root.contains("references")) {
      if (docType != kDocTypeDrawing) Fail("/references", "only a drawing refers to views");
      ForEach(root, "", "references", [&](const json& item, const std::string& at) {
        if (!item.is_string()) TypeError(at, "a string", item);
        std::u16string file = platform::Utf8ToUtf16(item.get<std::string>());
        CheckModelFile(file, at);
        model.references.push_back(std::move(file));
      });
    }
    Check(model);
    return model;
  }

 private:
  [[noreturn]] void Fail(const std::string& place, const std::string& message) const {
    throw ModelFileError(file_, place, message);
  }
  [[noreturn]] void TypeError(const std::string& place, const char* expected,
                              const json& found) const {
    Fail(place, std::string("expected ") + expected + ", found " + KindName(found));
  }

  void Object(const json& value, const std::string& at, std::initializer_list<const char*> keys) {
    if (!value.is_object()) TypeError(at.empty() ? "/" : at, "an object", value);
    for (const auto& item : value.items()) {
      const std::string& key = item.key();
      if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; })) {
        Fail(at.empty() ? "/" : at, "unknown member \"" + key + "\"");
      }
    }
  }

  const json* Member(const json& object, const std::string& at, const char* key, bool required) {
    auto it = object.find(key);
    if (it == object.end()) {
      if (required) Fail(at.empty() ? "/" : at, std::string("missing member \"") + key + "\"");
      return nullptr;
    }
    return &*it;
  }

  std::u16string String(const json& object, const std::string& at, const char* key,
                        std::u16string fallback) {
    const json* value = Member(object, at, key, false);
    if (!value) return fallback;
    if (!value->is_string()) TypeError(at + "/" + key, "a string", *value);
    return platform::Utf8ToUtf16(value->get<std::string>());
  }
  std::u16string RequiredString(const json& object, const std::string& at, const char* key) {
    Member(object, at, key, true);
    return String(object, at, key, u"");
  }
  bool Bool(const json& object, const std::string& at, const char* key, bool fallback) {
    const json* value = Member(object, at, key, false);
    if (!value) return fallback;
    if (!value->is_boolean()) TypeError(at + "/" + key, "true or false", *value);
    return value->get<bool>();
  }
  LONG Long(const json& object, const std::string& at, const char* key, LONG fallback) {
    const json* value = Member(object, at, key, false);
    if (!value) return fallback;
    if (!value->is_number_integer()) TypeError(at + "/" + key, "an integer", *value);
    if (value->is_number_unsigned()) {
      if (value->get<uint64_t>() > uint64_t{std::numeric_limits<LONG>::max()}) {
        Fail(at + "/" + key, "integer out of range");
      }
      return static_cast<LONG>(value->get<uint64_t>());
    }
    int64_t number = value->get<int64_t>();
    if (number < std::numeric_limits<LONG>::min() || number > std::numeric_limits<LONG>::max()) {
      Fail(at + "/" + key, "integer out of range");
    }
    return static_cast<LONG>(number);
  }
  LONG OneOf(const json& object, const std::string& at, const char* key, LONG fallback,
             std::initializer_list<LONG> allowed) {
    LONG value = Long(object, at, key, fallback);
    if (std::find(allowed.begin(), allowed.end(), value) == allowed.end()) {
      std::string list;
      for (LONG a : allowed) list += (list.empty() ? "" : ", ") + std::to_string(a);
      Fail(at + "/" + key, std::to_string(value) + " is not one of " + list);
    }
    return value;
  }
  double Double(const json& object, const std::string& at, const char* key, double fallback) {
    const json* value = Member(object, at, key, false);
    if (!value) return fallback;
    if (!value->is_number()) TypeError(at + "/" + key, "a number", *value);
    return value->get<double>();
  }

  template <typename Fn>
  void ForEach(const json& object, const std::string& at, const char* key, Fn&& fn) {
    const json* value = Member(object, at, key, false);
    if (!value) return;
    std::string place = at + "/" + key;
    if (!value->is_array()) TypeError(place, "an array", *value);
    for (size_t i = 0; i < value->size(); ++i) fn((*value)[i], place + "/" + std::to_string(i));
  }

  void ReadFields(const json& item, const std::string& at, FeatureFields& fields) {
    fields.createdBy = String(item, at, "createdBy", u"");
    fields.dateCreated = String(item, at, "dateCreated", u"");
    fields.createdVersion = Long(item, at, "createdVersion", 0);
    fields.dateModified = String(item, at, "dateModified", u"");
    fields.modifiedVersion = Long(item, at, "modifiedVersion", 0);
    fields.updateStamp = Long(item, at, "updateStamp", 0);
    fields.description = String(item, at, "description", u"");
    fields.editStatus = Long(item, at, "editStatus", 0);
    fields.errorCode = Long(item, at, "errorCode", 0);
    fields.isBase = Bool(item, at, "isBase", false);
    fields.visible = Long(item, at, "visible", 1);
    fields.uiState = Bool(item, at, "uiState", false);
  }

  FeatureModel ReadFeature(const json& item, const std::string& at, bool topLevel) {
    Object(
        item, at,
        {"name", "typeName", "suppressed", "inChain", "createdBy", "dateCreated", "createdVersion",
         "dateModified", "modifiedVersion", "updateStamp", "description", "editStatus", "errorCode",
         "isBase", "visible", "uiState", "displayDimensions", "subFeatures"});
    FeatureModel feature;
    feature.name = RequiredString(item, at, "name");
    if (feature.name.empty()) Fail(at + "/name", "a feature needs a name");
    feature.typeName = RequiredString(item, at, "typeName");
    if (platform::EqualsIgnoringAsciiCase(feature.typeName, kReferenceFeatureTypeName)) {
      Fail(at + "/typeName", "\"Reference\" features come from the components of an assembly");
    }
    feature.suppressed = Bool(item, at, "suppressed", false);
    feature.inChain = Bool(item, at, "inChain", false);
    if (topLevel && feature.inChain) {
      Fail(at + "/inChain", "only a sub-feature can stand on the chain before its owner");
    }
    ReadFields(item, at, feature.fields);
    ForEach(item, at, "displayDimensions", [&](const json& shown, const std::string& place) {
      Object(shown, place, {"type", "dimensions"});
      DisplayDimensionModel display;
      display.type = Long(shown, place, "type", kDisplayDimensionLinear);
      Member(shown, place, "dimensions", true);
      ForEach(shown, place, "dimensions", [&](const json& name, const std::string& where) {
        if (!name.is_string()) TypeError(where, "a string", name);
        display.dimensions.push_back(platform::Utf8ToUtf16(name.get<std::string>()));
      });
      size_t want = display.type == kDisplayDimensionChamfer ? 2 : 1;
      if (display.dimensions.size() != want) {
        Fail(place + "/dimensions", "a display dimension of type " + std::to_string(display.type) +
                                        " holds " + std::to_string(want) + " dimension" +
                                        (want == 1 ? "" : "s"));
      }
      displayPlaces_.emplace_back(place + "/dimensions", display.dimensions);
      feature.displayDimensions.push_back(std::move(display));
    });
    ForEach(item, at, "subFeatures", [&](const json& sub, const std::string& place) {
      feature.subFeatures.push_back(ReadFeature(sub, place, /*topLevel=*/false));
    });
    featurePlaces_.emplace_back(at + "/name", feature.name);
    return feature;
  }

  DimensionModel ReadDimension(const json& item, const std::string& at) {
    Object(item, at,
           {"name", "fullName", "value", "parameterType", "readOnly", "drivenState", "reference",
            "tolerance"});
    DimensionModel dimension;
    dimension.name = RequiredString(item, at, "name");
    if (dimension.name.empty()) Fail(at + "/name", "a dimension needs a name");
    dimension.fullNameOverride = String(item, at, "fullName", u"");
    dimension.value = Double(item, at, "value", 0);
    dimension.parameterType = Long(item, at, "parameterType", kDimensionParamLength);
    dimension.readOnly = Bool(item, at, "readOnly", false);
    dimension.drivenState = OneOf(item, at, "drivenState", kDimensionDriving,
                                  {kDimensionDrivenUnknown, kDimensionDriven, kDimensionDriving});
    dimension.reference = Bool(item, at, "reference", false);
    if (const json* tolerance = Member(item, at, "tolerance", false)) {
      std::string place = at + "/tolerance";
      Object(*tolerance, place, {"type", "min", "max"});
      dimension.toleranceType = Long(*tolerance, place, "type", kToleranceNone);
      if (dimension.toleranceType < kToleranceNone || dimension.toleranceType > kToleranceGeneral) {
        Fail(place + "/type", "tolerance types run from 0 to 11");
      }
      dimension.toleranceMin = Double(*tolerance, place, "min", 0);
      dimension.toleranceMax = Double(*tolerance, place, "max", 0);
    }
    return dimension;
  }

  std::vector<PropertyModel> ReadProperties(const json& object, const std::string& at) {
    std::vector<PropertyModel> properties;
    std::unordered_set<std::u16string> names;
    ForEach(object, at, "properties", [&](const json& item, const std::string& place) {
      Object(item, place, {"name", "type", "value", "linked"});
      PropertyModel property;
      property.name = RequiredString(item, place, "name");
      if (property.name.empty()) Fail(place + "/name", "a property needs a name");
      if (!names.insert(property.name).second) {
        Fail(place + "/name", "duplicate property name " + Quote(property.name));
      }
      property.type = OneOf(item, place, "type", kPropertyTypeText,
                            {kPropertyTypeUnknown, kPropertyTypeNumber, kPropertyTypeDouble,
                             kPropertyTypeYesNo, kPropertyTypeText, kPropertyTypeDate});
      property.value = String(item, place, "value", u"");
      if (!ValueFitsType(property.type, property.value)) {
        Fail(place + "/value", Quote(property.value) + " does not fit property type " +
                                   std::to_string(property.type));
      }
      property.linked = Bool(item, place, "linked", false);
      properties.push_back(std::move(property));
    });
    return properties;
  }

  ConfigurationModel ReadConfiguration(const json& item, const std::string& at, LONG docType) {
    Object(
        item, at,
        {"name", "parent", "alternateName", "type", "bomPartNumberSource", "comment", "description",
         "locked", "useAlternateNameInBom", "parameters", "properties", "components"});
    ConfigurationModel configuration;
    configuration.name = RequiredString(item, at, "name");
    if (configuration.name.empty()) Fail(at + "/name", "a configuration needs a name");
    configuration.parent = String(item, at, "parent", u"");
    configuration.alternateName = String(item, at, "alternateName", u"");
    configuration.type = Long(item, at, "type", 0);
    configuration.bomPartNumberSource =
        OneOf(item, at, "bomPartNumberSource", kBomPartNumberDocumentName,
              {kBomPartNumberDocumentName, kBomPartNumberConfigurationName,
               kBomPartNumberParentName, kBomPartNumberUserSpecified});
    configuration.comment = String(item, at, "comment", u"");
    configuration.description = String(item, at, "description", u"");
    configuration.locked = Bool(item, at, "locked", false);
    configuration.useAlternateNameInBom = Bool(item, at, "useAlternateNameInBom", false);
    std::unordered_set<std::u16string> parameterNames;
    ForEach(item, at, "parameters", [&](const json& parameter, const std::string& place) {
      Object(parameter, place, {"name", "value"});
      ParameterModel model{RequiredString(parameter, place, "name"),
                           String(parameter, place, "value", u"")};
      if (model.name.empty()) Fail(place + "/name", "a parameter needs a name");
      if (!parameterNames.insert(model.name).second) {
        Fail(place + "/name", "duplicate parameter name " + Quote(model.name));
      }
      configuration.parameters.push_back(std::move(model));
    });
    configuration.properties = ReadProperties(item, at);
    if (item.contains("components")) {
      if (docType != kDocTypeAssembly) Fail(at + "/components", "only an assembly has components");
      ForEach(item, at, "components", [&](const json& component, const std::string& place) {
        ComponentModel model = ReadComponent(component, place);
        for (const ComponentModel& other : configuration.components) {
          if (other.name == model.name) {
            Fail(place + "/name", "duplicate component name " + Quote(model.name));
          }
        }
        configuration.components.push_back(std::move(model));
      });
    }
    return configuration;
  }

  ComponentModel ReadComponent(const json& item, const std::string& at) {
    Object(item, at,
           {"name", "file", "state", "visibility", "constraintStatus", "configuration", "feature"});
    ComponentModel component;
    component.name = RequiredString(item, at, "name");
    if (component.name.empty() || component.name.find(u'/') != std::u16string::npos) {
      Fail(at + "/name", "a component name is not empty and holds no \"/\"");
    }
    component.file = RequiredString(item, at, "file");
    CheckModelFile(component.file, at + "/file");
    component.state = OneOf(item, at, "state", kComponentResolved,
                            {kComponentSuppressed, kComponentLightweight, kComponentFullyResolved,
                             kComponentResolved, kComponentFullyLightweight});
    component.visibility = Long(item, at, "visibility", kComponentVisible);
    component.constraintStatus = Long(item, at, "constraintStatus", kConstraintFullyDefined);
    component.configuration = String(item, at, "configuration", u"");
    if (const json* feature = Member(item, at, "feature", false)) {
      std::string place = at + "/feature";
      Object(*feature, place,
             {"createdBy", "dateCreated", "createdVersion", "dateModified", "modifiedVersion",
              "updateStamp", "description", "editStatus", "errorCode", "isBase", "visible",
              "uiState"});
      ReadFields(*feature, place, component.feature);
    }
    return component;
  }

  // A component or view refers to a part or an assembly.
  void CheckModelFile(const std::u16string& file, const std::string& at) {
    LONG type = DocTypeFromPath(std::filesystem::path(platform::Utf16ToUtf8(file)));
    if (type != kDocTypePart && type != kDocTypeAssembly) {
      Fail(at, Quote(file) + " is not a part or assembly file (.SLDPRT, .SLDASM)");
    }
  }

  // Consistency of the whole file once every member is read.
  void Check(const ModelData& model) {
    std::set<std::u16string> dimensionNames;
    for (size_t i = 0; i < model.dimensions.size(); ++i) {
      if (!dimensionNames.insert(model.dimensions[i].name).second) {
        Fail("/dimensions/" + std::to_string(i) + "/name",
             "duplicate dimension name " + Quote(model.dimensions[i].name));
      }
    }
    for (const auto& [place, names] : displayPlaces_) {
      for (size_t i = 0; i < names.size(); ++i) {
        if (!dimensionNames.count(names[i])) {
          Fail(place + "/" + std::to_string(i), "no dimension named " + Quote(names[i]));
        }
      }
    }
    std::set<std::u16string> featureNames;
    for (const auto& [place, name] : featurePlaces_) {
      if (!featureNames.insert(name).second) {
        Fail(place, "duplicate feature name " + Quote(name));
      }
    }
    std::set<std::u16string> configurationNames;
    for (size_t i = 0; i < model.configurations.size(); ++i) {
      if (!configurationNames.insert(model.configurations[i].name).second) {
        Fail("/configurations/" + std::to_string(i) + "/name",
             "duplicate configuration name " + Quote(model.configurations[i].name));
      }
    }
    for (size_t i = 0; i < model.configurations.size(); ++i) {
      std::string place = "/configurations/" + std::to_string(i) + "/parent";
      // Follow the parents; more steps than configurations means a loop.
      const ConfigurationModel* walk = &model.configurations[i];
      for (size_t steps = 0; !walk->parent.empty(); ++steps) {
        const ConfigurationModel* parent = FindConfiguration(model, walk->parent);
        if (!parent) Fail(place, "no configuration named " + Quote(walk->parent));
        if (steps > model.configurations.size()) {
          Fail(place, "the parents of configuration " + Quote(model.configurations[i].name) +
                          " form a loop");
        }
        walk = parent;
      }
    }
    if (!model.activeConfiguration.empty() &&
        !FindConfiguration(model, model.activeConfiguration)) {
      Fail("/activeConfiguration", "no configuration named " + Quote(model.activeConfiguration));
    }
    const ConfigurationModel* active = ActiveConfiguration(model);
    for (size_t index = 0; index < model.configurations.size(); ++index) {
      if (&model.configurations[index] != active) continue;
      for (size_t i = 0; i < active->components.size(); ++i) {
        if (featureNames.count(active->components[i].name)) {
          Fail("/configurations/" + std::to_string(index) + "/components/" + std::to_string(i) +
                   "/name",
               "the component's feature would have the name of feature " +
                   Quote(active->components[i].name));
        }
      }
    }
  }

  const std::string& file_;
  std::vector<std::pair<std::string, std::u16string>> featurePlaces_;
  std::vector<std::pair<std::string, std::vector<std::u16string>>> displayPlaces_;
};

std::string PlaceOfOffset(std::string_view text, size_t byte) {
  size_t line = 1;
  size_t column = 1;
  size_t end = std::min(byte > 0 ? byte - 1 : 0, text.size());
  for (size_t i = 0; i < end; ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

LONG DocTypeFromPath(const std::filesystem::path& path) {
  std::u16string extension = platform::AsciiLower(path.extension().u16string());
  if (extension == u".sldprt") return kDocTypePart;
  if (extension == u".sldasm") return kDocTypeAssembly;
  if (extension == u".slddrw") return kDocTypeDrawing;
  return kDocTypeNone;
}

ModelData ParseModel(std::string_view text, LONG docType, const std::string& fileName) {
  // A model needs a few levels per feature; the bound keeps a hostile file
  // from exhausting the stack of the recursive readers of the feature tree.
  if (NestedTooDeeply(text)) {
    throw ModelFileError(fileName, "",
                         "nested more than " + std::to_string(kMaxNesting) + " levels deep");
  }
  json root;
  try {
    root = json::parse(text.begin(), text.end());
  } catch (const json::parse_error& error) {
    throw ModelFileError(fileName, PlaceOfOffset(text, error.byte),
                         "broken JSON: " + WithoutPrefix(error.what()));
  } catch (const json::exception& error) {
    // A number beyond the range of a double, for one.
    throw ModelFileError(fileName, "", "unusable JSON: " + WithoutPrefix(error.what()));
  }
  return Reader(fileName).Read(root, docType);
}

ModelData ReadModelFile(const std::filesystem::path& path) {
  std::string fileName = path.string();
  LONG type = DocTypeFromPath(path);
  if (type == kDocTypeNone) {
    throw ModelFileError(fileName, "",
                         "unknown model file extension \"" + path.extension().string() +
                             "\" (expected .SLDPRT, .SLDASM or .SLDDRW)");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ModelFileError(fileName, "", "the file cannot be opened");
  std::ostringstream content;
  content << in.rdbuf();
  if (in.bad()) throw ModelFileError(fileName, "", "the file cannot be read");
  return ParseModel(content.str(), type, fileName);
}

}  // namespace sim
