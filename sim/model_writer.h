// Writing a model file of the simulated host in the format that
// model_reader.h reads (docs/model-format.md). Members that hold their
// default value are left out, so reading the file gives the same ModelData.
#pragma once

#include <filesystem>
#include <string>

#include "sim/model.h"

namespace sim {

// The model as JSON text (UTF-8, indented by two blanks, ending in a line
// break).
std::string FormatModel(const ModelData& model);

// Writes the model to path, replacing the file. Throws ModelFileError when
// the file cannot be written.
void WriteModelFile(const std::filesystem::path& path, const ModelData& model);

}  // namespace sim
