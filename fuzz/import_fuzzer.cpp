// An import over a fuzzed database: the first byte picks the model (a part,
// an assembly, a drawing), the rest is the database file. Whatever the file
// holds, the import ends with a result, leaves the file as it was and
// releases every host object.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>

#include "fuzz/fuzz_target.h"
#include "host/published/binding.h"
#include "import/db_to_sld.h"
#include "sim/sim_host.h"

namespace {

const std::filesystem::path& DatabaseFile() {
  static const std::filesystem::path* path = [] {
    // A name of its own, so that parallel fuzzing jobs do not share it.
    const std::string name = "harbolt-import-fuzz-" + std::to_string(std::random_device{}());
    return new std::filesystem::path(std::filesystem::temp_directory_path() / (name + ".db"));
  }();
  return *path;
}

void Remove(const std::filesystem::path& file) {
  std::error_code ignored;
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
    std::filesystem::remove(file.string() + suffix, ignored);
  }
}

std::string ReadAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

HARBOLT_FUZZ_TARGET(import) {
  if (size < 1) return 0;
  static const char* const kModels[] = {"Housing.SLDPRT", "Gearbox.SLDASM", "Gearbox.SLDDRW"};
  const std::filesystem::path& file = DatabaseFile();
  Remove(file);
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  sim::SimHost host;
  host.SetRecording(false);
  host.Open(std::filesystem::path(HARBOLT_SAMPLE_DIR) / kModels[data[0] % 3]);
  const long references = host.References();
  {
    CDbToSld importer(published::BindApplication(host.Application().Get()), 0);
    const bool imported =
        importer.Import(file.u16string(), u"Feature,Dimension,Equation,Config,Parameter,property");
    fuzz::FuzzCheck(!fuzz::ShowsRuntimeFault(importer.errDescription()),
                    "a run-time fault during the import");
    fuzz::FuzzCheck(imported || importer.errNumber() != 0 || importer.errDescription().empty(),
                    "a failure with a description but no error number");
  }
  fuzz::FuzzCheck(host.References() == references, "host references left by the import");
  fuzz::FuzzCheck(ReadAll(file) == bytes, "the import changed the database file");
  Remove(file);
  return 0;
}
