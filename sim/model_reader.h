// Reading a model file of the simulated host: JSON in a file whose extension
// (.SLDPRT, .SLDASM, .SLDDRW, letter case ignored) gives the document type.
// The format is described in docs/model-format.md.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "sim/model.h"

namespace sim {

// The document type that a file name's extension stands for; kDocTypeNone
// for any other extension.
LONG DocTypeFromPath(const std::filesystem::path& path);

// Reads and checks one model file on its own (the files it refers to are
// checked by the loader). Throws ModelFileError naming the file and the
// place for a file that cannot be read, an unknown extension, broken JSON, a
// member of the wrong type, an unknown or missing member, or content that
// contradicts itself (a duplicate name, an unknown dimension, a parent
// configuration that does not exist, components outside an assembly, ...).
ModelData ReadModelFile(const std::filesystem::path& path);

// The same for a text, with the type fixed by the caller; fileName is only
// used in error messages.
ModelData ParseModel(std::string_view text, LONG docType, const std::string& fileName);

}  // namespace sim
