// The error a model file gives when it cannot be read, written or used: it
// names the file and the place in it.
#pragma once

#include <stdexcept>
#include <string>

namespace sim {

class ModelFileError : public std::runtime_error {
 public:
  // place: a JSON pointer ("/features/2/name"), a line and column, or empty
  // when the error concerns the whole file. what() reads
  // "<file>: <place>: <message>" (without the place when it is empty).
  ModelFileError(std::string file, std::string place, const std::string& message);

  const std::string& file() const { return file_; }
  const std::string& place() const { return place_; }

 private:
  std::string file_;
  std::string place_;
};

}  // namespace sim
