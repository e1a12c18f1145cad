// The model file reader of the simulated host: any text is either read into
// a model or refused with ModelFileError (any other exception, a crash or a
// hang is a fault); a model that was read saves and reads back the same.
#include <string_view>

#include "fuzz/fuzz_target.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/model_writer.h"

HARBOLT_FUZZ_TARGET(model) {
  if (size < 1) return 0;
  const LONG type = 1 + data[0] % 3;  // part, assembly, drawing
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  sim::ModelData model;
  try {
    model = sim::ParseModel(text, type, "fuzz.model");
  } catch (const sim::ModelFileError&) {
    return 0;
  }
  try {
    const sim::ModelData again = sim::ParseModel(sim::FormatModel(model), type, "saved.model");
    fuzz::FuzzCheck(again == model, "a saved model reads back differently");
  } catch (const sim::ModelFileError&) {
    fuzz::FuzzCheck(false, "a saved model cannot be read back");
  }
  return 0;
}
