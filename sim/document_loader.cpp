#include "sim/document_loader.h"

#include <algorithm>
#include <system_error>

#include "platform/text.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"

namespace sim {
namespace {

std::string Quote(const std::u16string& text) { return "\"" + platform::Utf16ToUtf8(text) + "\""; }

}  // namespace

std::filesystem::path NormalModelPath(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return (error ? path : absolute).lexically_normal();
}

std::filesystem::path ResolveModelReference(const std::filesystem::path& holder,
                                            std::u16string_view file) {
  std::u16string text(file);
  std::replace(text.begin(), text.end(), u'\\', u'/');
  std::filesystem::path reference(text);
  if (reference.is_relative()) reference = holder.parent_path() / reference;
  return NormalModelPath(reference);
}

std::shared_ptr<DocumentState> DocumentLoader::Find(const std::filesystem::path& normal) const {
  for (const auto* list : {&open_, &loaded_}) {
    for (const auto& document : *list) {
      if (document->path() == normal) return document;
    }
  }
  return nullptr;
}

std::shared_ptr<DocumentState> DocumentLoader::Load(const std::filesystem::path& path) {
  std::filesystem::path normal = NormalModelPath(path);
  if (auto known = Find(normal)) return known;
  std::error_code error;
  if (!std::filesystem::is_regular_file(normal, error)) {
    throw ModelFileError(normal.string(), "", "no model file there");
  }
  loading_.push_back(normal);
  auto document = std::make_shared<DocumentState>(normal, ReadModelFile(normal));
  for (size_t c = 0; c < document->model.configurations.size(); ++c) {
    const ConfigurationModel& configuration = document->model.configurations[c];
    for (size_t i = 0; i < configuration.components.size(); ++i) {
      const ComponentModel& component = configuration.components[i];
      std::string place =
          "/configurations/" + std::to_string(c) + "/components/" + std::to_string(i);
      document->SetReferenced(component.file,
                              LoadReference(*document, component.file, place + "/file"));
      if (!component.configuration.empty() &&
          !FindConfiguration(document->Referenced(component.file)->model,
                             component.configuration)) {
        throw ModelFileError(
            normal.string(), place + "/configuration",
            Quote(component.configuration) + " is not a configuration of " + Quote(component.file));
      }
    }
  }
  for (size_t i = 0; i < document->model.references.size(); ++i) {
    const std::u16string& file = document->model.references[i];
    document->SetReferenced(file,
                            LoadReference(*document, file, "/references/" + std::to_string(i)));
  }
  loading_.pop_back();
  loaded_.push_back(document);
  return document;
}

std::shared_ptr<DocumentState> DocumentLoader::LoadReference(const DocumentState& holder,
                                                             std::u16string_view file,
                                                             const std::string& place) {
  std::filesystem::path target = ResolveModelReference(holder.path(), file);
  auto open = std::find(loading_.begin(), loading_.end(), target);
  if (open != loading_.end()) {
    std::string cycle;
    for (auto it = open; it != loading_.end(); ++it) cycle += it->filename().string() + " -> ";
    throw ModelFileError(holder.path().string(), place,
                         "cycle of assemblies: " + cycle + target.filename().string());
  }
  if (auto known = Find(target)) return known;
  std::error_code error;
  if (!std::filesystem::is_regular_file(target, error)) {
    throw ModelFileError(holder.path().string(), place,
                         "the model file " + Quote(std::u16string(file)) + " (" + target.string() +
                             ") does not exist");
  }
  return Load(target);
}

}  // namespace sim
