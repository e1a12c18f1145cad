// Loads a model file into the simulated host together with every file it
// refers to (component files of all configurations, the models a drawing
// shows), reusing documents that are open already.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "sim/document_state.h"

namespace sim {

// The absolute, normal form of a path, which identifies a document.
std::filesystem::path NormalModelPath(const std::filesystem::path& path);

// The path of a component or view file written in a model (relative to the
// directory of the file that holds it, "/" or "\" as separators).
std::filesystem::path ResolveModelReference(const std::filesystem::path& holder,
                                            std::u16string_view file);

class DocumentLoader {
 public:
  // open: the documents the host has open; a file among them is not read
  // again.
  explicit DocumentLoader(std::vector<std::shared_ptr<DocumentState>> open)
      : open_(std::move(open)) {}

  // Loads the file at path and everything it refers to. Throws
  // ModelFileError for a file that is missing or malformed, a component or
  // view file that is missing, a referenced configuration the model does not
  // have, or a cycle of assemblies (naming the file and the place of the
  // reference that closes the cycle). Nothing is kept after a failure.
  std::shared_ptr<DocumentState> Load(const std::filesystem::path& path);

  // The documents read by Load, files referred to before the files that
  // refer to them.
  const std::vector<std::shared_ptr<DocumentState>>& loaded() const { return loaded_; }

 private:
  std::shared_ptr<DocumentState> Find(const std::filesystem::path& normal) const;
  std::shared_ptr<DocumentState> LoadReference(const DocumentState& holder,
                                               std::u16string_view file, const std::string& place);

  std::vector<std::shared_ptr<DocumentState>> open_;
  std::vector<std::shared_ptr<DocumentState>> loaded_;
  std::vector<std::filesystem::path> loading_;
};

}  // namespace sim
