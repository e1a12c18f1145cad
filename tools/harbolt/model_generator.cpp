#include "tools/harbolt/model_generator.h"

#include <stdexcept>
#include <system_error>

#include "platform/text.h"
#include "sim/model_writer.h"

namespace modelgen {
namespace {

std::u16string Wide(const std::string& text) { return platform::Utf8ToUtf16(text); }
std::u16string Number(long long value) { return Wide(std::to_string(value)); }

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::invalid_argument(what);
}

// The name of dimension j (0-based) of a part with `features` sketches: the
// sketches take the dimensions in turn.
std::u16string DimensionName(int j, int features) {
  return u"D" + Number(j / features + 1) + u"@Sketch" + Number(j % features + 1);
}

double DimensionValue(int j) { return 10.0 + j; }

sim::FeatureModel Feature(std::u16string name, std::u16string typeName) {
  sim::FeatureModel feature;
  feature.name = std::move(name);
  feature.typeName = std::move(typeName);
  return feature;
}

}  // namespace

ModelGenerator::ModelGenerator(const ModelSize& size) : size_(size) {
  Check(size.components >= 1 && size.components <= kMaxComponents,
        "components must be from 1 to " + std::to_string(kMaxComponents));
  Check(size.depth >= 0 && size.depth <= kMaxDepth,
        "depth must be from 0 to " + std::to_string(kMaxDepth));
  Check(size.configurations >= 1 && size.configurations <= kMaxConfigurations,
        "configurations must be from 1 to " + std::to_string(kMaxConfigurations));
  const std::pair<int, const char*> counts[] = {
      {size.features, "features"},     {size.dimensions, "dimensions"},
      {size.equations, "equations"},   {size.parameters, "parameters"},
      {size.properties, "properties"},
  };
  for (const auto& [count, name] : counts) {
    Check(count >= 0 && count <= kMaxCount,
          std::string(name) + " must be from 0 to " + std::to_string(kMaxCount));
  }
  Check(size.dimensions == 0 || size.features > 0, "dimensions need at least one feature");
  long long instances = 1;
  for (int level = 0; level < size.depth; ++level) {
    instances *= size.components;
    Check(instances <= kMaxInstances, "components^depth must not exceed " +
                                          std::to_string(kMaxInstances) +
                                          " (the instances in the top assembly)");
  }
}

std::string ModelGenerator::PartFileName(int index) {
  return "Part" + std::to_string(index) + ".SLDPRT";
}

std::string ModelGenerator::AssemblyFileName(int level) {
  return "Assembly" + std::to_string(level) + ".SLDASM";
}

std::u16string ModelGenerator::ConfigurationName(int index) const {
  return index == 0 ? std::u16string(u"Default") : u"Config" + Number(index + 1);
}

void ModelGenerator::AddCommonContent(sim::ModelData& model,
                                      const std::u16string& modelName) const {
  for (int i = 0; i < size_.equations; ++i) {
    if (i == 0) {
      model.equations.push_back({u"\"Base\" = 10", 10, false});
    } else {
      model.equations.push_back(
          {u"\"V" + Number(i) + u"\" = \"Base\" + " + Number(i), 10.0 + i, false});
    }
  }
  for (int c = 0; c < size_.configurations; ++c) {
    sim::ConfigurationModel& configuration = model.configurations.emplace_back();
    configuration.name = ConfigurationName(c);
    if (c > 0) configuration.parent = ConfigurationName(0);
    configuration.description = modelName + u" " + configuration.name;
    for (int r = 0; r < size_.properties; ++r) {
      configuration.properties.push_back(
          {u"Prop" + Number(r + 1), sim::kPropertyTypeText,
           modelName + u" " + configuration.name + u" " + Number(r + 1), false});
    }
  }
  for (int r = 0; r < size_.properties; ++r) {
    model.properties.push_back({u"DocProp" + Number(r + 1), sim::kPropertyTypeText,
                                modelName + u" " + Number(r + 1), false});
  }
}

sim::ModelData ModelGenerator::Part(int index) const {
  const std::u16string name = u"Part" + Number(index);
  sim::ModelData model;
  model.type = sim::kDocTypePart;
  model.features.push_back(Feature(u"Origin", u"OriginProfileFeature"));
  for (int i = 1; i <= size_.features; ++i) {
    sim::FeatureModel& feature = model.features.emplace_back();
    feature.name = u"Extrude" + Number(i);
    feature.typeName = u"Extrusion";
    feature.fields.createdBy = u"gen";
    feature.fields.isBase = i == 1;
    sim::FeatureModel& sketch = feature.subFeatures.emplace_back();
    sketch.name = u"Sketch" + Number(i);
    sketch.typeName = u"ProfileFeature";
    sketch.inChain = true;
  }
  for (int j = 0; j < size_.dimensions; ++j) {
    sim::DimensionModel& dimension = model.dimensions.emplace_back();
    dimension.name = DimensionName(j, size_.features);
    dimension.value = DimensionValue(j);
    sim::FeatureModel& sketch =
        model.features[static_cast<size_t>(j % size_.features) + 1].subFeatures.front();
    sketch.displayDimensions.push_back({sim::kDisplayDimensionLinear, {dimension.name}});
  }
  AddCommonContent(model, name);
  for (sim::ConfigurationModel& configuration : model.configurations) {
    for (int p = 0; p < size_.parameters; ++p) {
      if (p < size_.dimensions) {
        configuration.parameters.push_back(
            {DimensionName(p, size_.features),
             Number(static_cast<long long>(DimensionValue(p))) + u".0mm"});
      } else {
        configuration.parameters.push_back({u"Param" + Number(p + 1), Number(p + 1)});
      }
    }
  }
  return model;
}

sim::ModelData ModelGenerator::Assembly(int level) const {
  const std::u16string name = u"Assembly" + Number(level);
  sim::ModelData model;
  model.type = sim::kDocTypeAssembly;
  model.features.push_back(Feature(u"Origin", u"OriginProfileFeature"));
  sim::FeatureModel& mates = model.features.emplace_back();
  mates.name = u"Mates";
  mates.typeName = u"MateGroup";
  mates.subFeatures.push_back(Feature(u"Coincident1", u"MateCoincident"));
  AddCommonContent(model, name);
  for (int c = 0; c < size_.configurations; ++c) {
    sim::ConfigurationModel& configuration = model.configurations[static_cast<size_t>(c)];
    for (int p = 0; p < size_.parameters; ++p) {
      configuration.parameters.push_back({u"Param" + Number(p + 1), Number(p + 1)});
    }
    for (int i = 1; i <= size_.components; ++i) {
      sim::ComponentModel& component = configuration.components.emplace_back();
      if (level == 1) {
        component.name = u"Part" + Number(i) + u"-1";
        component.file = Wide(PartFileName(i));
      } else {
        component.name = u"Assembly" + Number(level - 1) + u"-" + Number(i);
        component.file = Wide(AssemblyFileName(level - 1));
      }
      component.configuration = ConfigurationName(c);
    }
  }
  return model;
}

GeneratedModel ModelGenerator::Write(const std::filesystem::path& folder) const {
  std::filesystem::create_directories(folder);
  GeneratedModel generated;
  const int parts = size_.depth == 0 ? 1 : size_.components;
  for (int i = 1; i <= parts; ++i) {
    std::filesystem::path file = folder / PartFileName(i);
    sim::WriteModelFile(file, Part(i));
    generated.files.push_back(file);
  }
  for (int level = 1; level <= size_.depth; ++level) {
    std::filesystem::path file = folder / AssemblyFileName(level);
    sim::WriteModelFile(file, Assembly(level));
    generated.files.push_back(file);
  }
  generated.top = generated.files.back();
  return generated;
}

}  // namespace modelgen
