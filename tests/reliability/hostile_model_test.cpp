// Malformed, huge or cyclic model files of the simulated host: refused with an
// error naming the file, no crash, no hang, no file read that the model does not name.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/bstr.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "sim/sim_host.h"
#include "tests/support/bound_host.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using namespace std::string_literals;

// Features nested or in a row: {"name": "F0", "typeName": "x", ...}.
std::string Features(int count, bool nested) {
  std::string features, closing = "]}";
  for (int i = 0; i < count; ++i) {
    features += (i && !nested ? "," : "") + std::string(R"({"name": "F)") + std::to_string(i) +
                R"(", "typeName": "x")" + (nested ? R"(, "subFeatures": [)" : "}");
    if (nested) closing += "]}";
  }
  return R"({"type": "part", "features": [)" + features + closing;
}

// A text of a part is refused with an error that names the file, may be
// refused or read, or must be read: never a crash or a hang.
TEST(HostileModelTest, MalformedDeepAndHugeTextsAreRefusedWithTheirPlaceOrRead) {
  const std::string nested = Features(100000, true);  // no stack is exhausted
  const std::vector<std::string> refused = {
      "",
      "{",
      R"({"type": "part")",
      R"({"type": "part", "features": [{"name": 1, "typeName": "x"}]})",
      R"({"type": "part", "features": {}})",
      R"({"type": "part", "unknown": 1})",
      "{\"type\": \"part\"\0, \"title\": \"x\"}"s,
      "{\"type\": \"part\", \"title\": \"\xff\xfe broken UTF-8\"}",
      "\xef\xbb\xbf{\"type\": \"part\"}garbage",
      "[1, 2, 3]",
      "null",
      nested,
      R"({"type": "part", "title": )" + std::string(100000, '[') + std::string(100000, ']') + "}"};
  const std::vector<std::string> either = {
      R"({"type": "part", "dimensions": [{"name": "D1@X", "value": 1e999}]})",
      R"({"type": "part", "configurations": [{"name": "A", "parent": "B"}, {"name": "B", "parent": "A"}]})",
      R"({"type": "part", "equations": [{"text": "\"A\" = \"A\" + 1"}]})"};
  // Twenty thousand features, a text of ten megabytes.
  const std::vector<std::string> read = {
      Features(20000, false),
      R"({"type": "part", "title": ")" + std::string(10000000, 'x') + "\"}"};
  for (const auto* texts : {&refused, &either, &read}) {
    for (const std::string& text : *texts) {
      SCOPED_TRACE(text.substr(0, 80));
      const auto start = std::chrono::steady_clock::now();
      std::string error;
      try {
        sim::ParseModel(text, sim::kDocTypePart, "hostile.SLDPRT");
      } catch (const sim::ModelFileError& refusal) {
        error = refusal.what();
      }
      EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
      EXPECT_TRUE(texts == &either || (texts == &refused) == !error.empty()) << error;
      EXPECT_TRUE(error.empty() || error.find("hostile.SLDPRT: ") == 0) << error.substr(0, 200);
      EXPECT_TRUE(text != nested || error.find("nested") != std::string::npos) << error;
    }
  }
}

// A part that breaks one rule of the format: refused with the place of the
// fault and the rule it breaks.
TEST(HostileModelTest, EveryRuleNamesItsPlace) {
  const std::pair<std::string, std::string> cases[] = {
      {R"("type": "assembly")", "assembly"},
      {R"("type": "drawing")", "drawing"},
      {R"("version": 2)", "/version: unsupported format version"},
      {R"("version": 99999999999)", "/version: integer out of range"},
      {R"("version": -99999999999)", "/version: integer out of range"},
      {R"("title": true)", "a boolean"},
      {R"("title": 1.5)", "a number"},
      {R"("title": [])", "an array"},
      {R"("title": null)", "null"},
      {R"("units": "furlong")", "/units: unknown length unit"},
      {R"("configurations": [])", "/configurations: a model has at least one configuration"},
      {R"("activeConfiguration": "Nope")", "/activeConfiguration: no configuration named"},
      {R"("features": [{"name": "R", "typeName": "reference"}])", "come from the components"},
      {R"("features": [{"name": "F", "typeName": "x", "inChain": true}])", "only a sub-feature"},
      {R"("features": [{"name": "F", "typeName": "x"}, {"name": "F", "typeName": "y"}])",
       "duplicate feature name"},
      {R"("dimensions": [{"name": "D1@X"}, {"name": "D1@X"}])", "duplicate dimension name"},
      {R"("properties": [{"name": ""}])", "a property needs a name"},
      {R"("properties": [{"name": "A"}, {"name": "A"}])", "duplicate property name"},
      {R"("properties": [{"name": "A", "type": 7}])", "7 is not one of"},
      {R"("properties": [{"name": "A", "type": 3, "value": "x"}])",
       "does not fit property type 3"}};
  for (const auto& [fields, expected] : cases) {
    std::string error;
    try {
      sim::ParseModel(R"({"type": "part", )" + fields + "}", sim::kDocTypePart, "rule.SLDPRT");
    } catch (const sim::ModelFileError& refusal) {
      error = refusal.what();
    }
    EXPECT_NE(std::string::npos, error.find(expected)) << fields << ": " << error;
  }
}

// Assemblies that use themselves, or files that are no model (which must
// not be read): refused, nothing open; through the binding, as the add-in
// opens files, a failing status.
TEST(HostileModelTest, CyclesAndOtherFilesAreRefused) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "secret.txt", "SECRET");
  auto assembly = [&](const std::string& name, const std::string& component) {
    testing_support::WriteFile(dir / name,
                               R"({"type": "assembly", "configurations": [{"name": "Default",
            "components": [{"name": "C-1", "file": ")" +
                                   component + "\"}]}]}");
  };
  assembly("Self.SLDASM", "Self.SLDASM");
  assembly("A.SLDASM", "B.SLDASM");
  assembly("B.SLDASM", "sub/../A.SLDASM");
  assembly("Text.SLDASM", "secret.txt");
  assembly("Absolute.SLDASM", (dir / "secret.txt").string());
  assembly("Zero.SLDASM", "/dev/zero");
  assembly("Environment.SLDASM", "/proc/self/environ");
  const struct {
    const char* file;
    const char* says;
  } cases[] = {{"Self.SLDASM", "cycle"},  {"A.SLDASM", "cycle"},   {"B.SLDASM", "cycle"},
               {"Text.SLDASM", ""},       {"Absolute.SLDASM", ""}, {"Zero.SLDASM", ""},
               {"Environment.SLDASM", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    sim::SimHost host;
    try {
      host.Open(dir / c.file);
      ADD_FAILURE() << "opened";
    } catch (const sim::ModelFileError& error) {
      EXPECT_NE(std::string::npos, std::string(error.what()).find(c.says)) << error.what();
      EXPECT_EQ(std::string::npos, std::string(error.what()).find("SECRET"));
    }
    EXPECT_TRUE(host.OpenDocuments().empty());
    EXPECT_EQ(0, host.LiveObjects());
    ScopedBstr path((dir / c.file).u16string());
    ComPtr<IHostModelDoc> document;
    EXPECT_TRUE(FAILED(testing_support::BoundApplication(host)->OpenDocument(
        path.Get(), kDocTypeAssembly, document.ReleaseAndGetAddressOf())));
    EXPECT_FALSE(document);
    EXPECT_TRUE(host.OpenDocuments().empty());
  }
}

}  // namespace
}  // namespace reliability
