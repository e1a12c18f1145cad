// Loading a model with the files it refers to: reuse of open documents,
// order, and the errors of missing files, unknown configurations and cycles.
#include "sim/document_loader.h"

#include <gtest/gtest.h>

#include "sim/model_error.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using testing_support::WriteFile;

class DocumentLoaderTest : public ::testing::Test {
 protected:
  void Part(const std::string& name) { WriteFile(dir_ / name, R"({"type": "part"})"); }
  // An assembly with one component per file, all in configuration "Default".
  void Assembly(const std::string& name, const std::vector<std::string>& files) {
    std::string components;
    for (size_t i = 0; i < files.size(); ++i) {
      components += (i ? "," : "") + std::string("{\"name\": \"C-") + std::to_string(i + 1) +
                    "\", \"file\": \"" + files[i] + "\"}";
    }
    WriteFile(dir_ / name, R"({"type": "assembly", "configurations": [{"name": "Default",
        "components": [)" + components +
                               "]}]}");
  }
  // The error of loading the file, with the test directory left out.
  std::string LoadError(const std::string& name) {
    try {
      DocumentLoader({}).Load(dir_ / name);
    } catch (const ModelFileError& error) {
      std::string what = error.what();
      std::string prefix = dir_.path().string() + "/";
      for (size_t at; (at = what.find(prefix)) != std::string::npos;) what.erase(at, prefix.size());
      return what;
    }
    return "";
  }
  static std::vector<std::string> Names(const std::vector<std::shared_ptr<DocumentState>>& list) {
    std::vector<std::string> names;
    for (const auto& document : list) names.push_back(sim_test::Utf8(document->FileName()));
    return names;
  }

  testing_support::TempDir dir_;
};

TEST_F(DocumentLoaderTest, LoadsWhatAnAssemblyUsesOnceAndFirstAndReusesOpenDocuments) {
  Part("P.SLDPRT");
  std::filesystem::create_directory(dir_ / "sub");
  Part("sub/Q.SLDPRT");
  WriteFile(dir_ / "sub" / "S.SLDASM", R"({"type": "assembly", "configurations": [
      {"name": "Default", "components": [{"name": "Q-1", "file": "Q.SLDPRT"},
                                         {"name": "P-1", "file": "..\\P.SLDPRT"}]}]})");
  Assembly("A.SLDASM", {"P.SLDPRT", "sub/S.SLDASM", "./P.SLDPRT"});
  DocumentLoader loader({});
  std::shared_ptr<DocumentState> top = loader.Load(dir_ / "A.SLDASM");
  EXPECT_EQ((std::vector<std::string>{"P.SLDPRT", "Q.SLDPRT", "S.SLDASM", "A.SLDASM"}),
            Names(loader.loaded()));
  EXPECT_EQ(top->Referenced(u"P.SLDPRT"), top->Referenced(u"./P.SLDPRT"));
  EXPECT_EQ(top->Referenced(u"P.SLDPRT"),
            top->Referenced(u"sub/S.SLDASM")->Referenced(u"..\\P.SLDPRT"));
  EXPECT_EQ((std::vector<std::string>{"P.SLDPRT", "S.SLDASM"}), Names(top->ReferencedDocuments()));
  // A document that is open is not read again.
  DocumentLoader again({top->Referenced(u"P.SLDPRT")});
  EXPECT_EQ(top->Referenced(u"P.SLDPRT"), again.Load(dir_ / "A.SLDASM")->Referenced(u"P.SLDPRT"));
  EXPECT_EQ((std::vector<std::string>{"Q.SLDPRT", "S.SLDASM", "A.SLDASM"}), Names(again.loaded()));
  // A drawing loads the models it shows.
  WriteFile(dir_ / "D.SLDDRW", R"({"type": "drawing", "references": ["P.SLDPRT"]})");
  EXPECT_EQ(kDocTypePart,
            DocumentLoader({}).Load(dir_ / "D.SLDDRW")->Referenced(u"P.SLDPRT")->type());
}

TEST_F(DocumentLoaderTest, AFileThatCannotBeUsedNamesTheReference) {
  Part("P.SLDPRT");
  WriteFile(dir_ / "Bad.SLDPRT", R"({"type": "part", "features": [{"name": 1}]})");
  Assembly("Missing.SLDASM", {"Gone.SLDPRT"});
  Assembly("Broken.SLDASM", {"Bad.SLDPRT"});
  Assembly("A.SLDASM", {"B.SLDASM"});
  Assembly("B.SLDASM", {"C.SLDASM"});
  Assembly("C.SLDASM", {"A.SLDASM"});
  Assembly("Self.SLDASM", {"Self.SLDASM"});
  WriteFile(dir_ / "Config.SLDASM", R"({"type": "assembly", "configurations": [{"name": "D",
      "components": [{"name": "P-1", "file": "P.SLDPRT", "configuration": "Big"}]}]})");
  WriteFile(dir_ / "E.SLDDRW", R"({"type": "drawing", "references": ["Q.SLDPRT"]})");
  struct Case {
    const char* file;
    const char* error;
  } cases[] = {
      {"None.SLDASM", "None.SLDASM: no model file there"},
      {"Missing.SLDASM",
       "Missing.SLDASM: /configurations/0/components/0/file: the model file "
       "\"Gone.SLDPRT\" (Gone.SLDPRT) does not exist"},
      {"Broken.SLDASM", "Bad.SLDPRT: /features/0/name: expected a string, found an integer"},
      {"A.SLDASM",
       "C.SLDASM: /configurations/0/components/0/file: cycle of assemblies: "
       "A.SLDASM -> B.SLDASM -> C.SLDASM -> A.SLDASM"},
      {"Self.SLDASM",
       "Self.SLDASM: /configurations/0/components/0/file: cycle of assemblies: "
       "Self.SLDASM -> Self.SLDASM"},
      {"Config.SLDASM",
       "Config.SLDASM: /configurations/0/components/0/configuration: \"Big\" is "
       "not a configuration of \"P.SLDPRT\""},
      {"E.SLDDRW",
       "E.SLDDRW: /references/0: the model file \"Q.SLDPRT\" (Q.SLDPRT) does not "
       "exist"}};
  for (const Case& c : cases) EXPECT_EQ(c.error, LoadError(c.file));
}

}  // namespace
}  // namespace sim
