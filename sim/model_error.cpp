#include "sim/model_error.h"

namespace sim {
namespace {

std::string Compose(const std::string& file, const std::string& place, const std::string& message) {
  std::string text = file + ": ";
  if (!place.empty()) text += place + ": ";
  return text + message;
}

}  // namespace

ModelFileError::ModelFileError(std::string file, std::string place, const std::string& message)
    : std::runtime_error(Compose(file, place, message)),
      file_(std::move(file)),
      place_(std::move(place)) {}

}  // namespace sim
