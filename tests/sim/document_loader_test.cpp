// Loading a model with the files it refers to: reuse of open documents,
// order, and the errors of missing files, unknown configurations and cycles.
#include "sim/document_loader.h"

#include <gtest/gtest.h>

#include "sim/model_error.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using testing_support::TempDir;
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
  std::vector<std::string> Names(const std::vector<std::shared_ptr<DocumentState>>& documents) {
    std::vector<std::string> names;
    for (const auto& document : documents) names.push_back(sim_test::Utf8(document->FileName()));
    return names;
  }

  TempDir dir_;
};

TEST_F(DocumentLoaderTest, LoadsWhatAnAssemblyUsesOnceAndFirst) {
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
}

TEST_F(DocumentLoaderTest, OpenDocumentsAreNotReadAgain) {
  Part("P.SLDPRT");
  Assembly("A.SLDASM", {"P.SLDPRT"});
  DocumentLoader first({});
  std::shared_ptr<DocumentState> part = first.Load(dir_ / "P.SLDPRT");
  DocumentLoader second({part});
  std::shared_ptr<DocumentState> top = second.Load(dir_ / "A.SLDASM");
  EXPECT_EQ(part, top->Referenced(u"P.SLDPRT"));
  EXPECT_EQ((std::vector<std::string>{"A.SLDASM"}), Names(second.loaded()));
}

TEST_F(DocumentLoaderTest, AMissingComponentFileNamesTheReference) {
  Assembly("A.SLDASM", {"Gone.SLDPRT"});
  std::string error = LoadError("A.SLDASM");
  EXPECT_EQ(
      "A.SLDASM: /configurations/0/components/0/file: the model file \"Gone.SLDPRT\" "
      "(Gone.SLDPRT) does not exist",
      error);
  EXPECT_EQ("None.SLDASM: no model file there", LoadError("None.SLDASM"));
}

TEST_F(DocumentLoaderTest, ACycleOfAssembliesIsRejected) {
  Assembly("A.SLDASM", {"B.SLDASM"});
  Assembly("B.SLDASM", {"C.SLDASM"});
  Assembly("C.SLDASM", {"A.SLDASM"});
  EXPECT_EQ(
      "C.SLDASM: /configurations/0/components/0/file: cycle of assemblies: A.SLDASM -> "
      "B.SLDASM -> C.SLDASM -> A.SLDASM",
      LoadError("A.SLDASM"));
  Assembly("Self.SLDASM", {"Self.SLDASM"});
  EXPECT_EQ(
      "Self.SLDASM: /configurations/0/components/0/file: cycle of assemblies: "
      "Self.SLDASM -> Self.SLDASM",
      LoadError("Self.SLDASM"));
}

TEST_F(DocumentLoaderTest, AnErrorInAReferencedFileNamesThatFile) {
  WriteFile(dir_ / "P.SLDPRT", R"({"type": "part", "features": [{"name": 1}]})");
  Assembly("A.SLDASM", {"P.SLDPRT"});
  EXPECT_EQ("P.SLDPRT: /features/0/name: expected a string, found an integer",
            LoadError("A.SLDASM"));
}

TEST_F(DocumentLoaderTest, AReferencedConfigurationMustExist) {
  Part("P.SLDPRT");
  WriteFile(dir_ / "A.SLDASM", R"({"type": "assembly", "configurations": [{"name": "Default",
      "components": [{"name": "P-1", "file": "P.SLDPRT", "configuration": "Big"}]}]})");
  EXPECT_EQ(
      "A.SLDASM: /configurations/0/components/0/configuration: \"Big\" is not a "
      "configuration of \"P.SLDPRT\"",
      LoadError("A.SLDASM"));
}

TEST_F(DocumentLoaderTest, ADrawingLoadsTheModelsItShows) {
  Part("P.SLDPRT");
  WriteFile(dir_ / "D.SLDDRW", R"({"type": "drawing", "references": ["P.SLDPRT"]})");
  DocumentLoader loader({});
  std::shared_ptr<DocumentState> drawing = loader.Load(dir_ / "D.SLDDRW");
  ASSERT_TRUE(drawing->Referenced(u"P.SLDPRT"));
  EXPECT_EQ(kDocTypePart, drawing->Referenced(u"P.SLDPRT")->type());
  WriteFile(dir_ / "E.SLDDRW", R"({"type": "drawing", "references": ["Q.SLDPRT"]})");
  EXPECT_EQ("E.SLDDRW: /references/0: the model file \"Q.SLDPRT\" (Q.SLDPRT) does not exist",
            LoadError("E.SLDDRW"));
}

}  // namespace
}  // namespace sim
