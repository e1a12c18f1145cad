// Opening, activating, closing, creating and saving documents through
// ISldWorks and IModelDoc2, the open-document walk, and dependencies as
// name/path pairs.
#include <gtest/gtest.h>

#include "host/published/published_ids.h"
#include "platform/error_info.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Answer;
using sim_test::Arg;
using sim_test::Object;
using sim_test::Text;
using testing_support::TempDir;

class DocumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_test::CopySamples(dir_.path());
    app_ = host_.Application();
  }
  // The document OpenDoc6 gives (its title or "null"), its errors and its
  // warnings: "Shaft.SLDPRT 0 0".
  std::string OpenDoc6(const std::filesystem::path& path, LONG type) {
    LONG errors = 0;
    LONG warnings = 0;
    ComPtr<IDispatch> document =
        Object(app_.Get(), u"OpenDoc6",
               {Arg(path.u16string()), Arg(type), Arg(published::swOpenDocOptions_Silent), Arg(u""),
                Arg::LongRef(&errors), Arg::LongRef(&warnings)});
    return (document ? Text(document.Get(), u"GetTitle") : "null") + " " + std::to_string(errors) +
           " " + std::to_string(warnings);
  }
  std::vector<std::string> Walk() {
    std::vector<std::string> titles;
    for (ComPtr<IDispatch> document = Object(app_.Get(), u"GetFirstDocument"); document;
         document = Object(document.Get(), u"GetNext")) {
      titles.push_back(Text(document.Get(), u"GetTitle"));
    }
    return titles;
  }
  std::string Active() {
    ComPtr<IDispatch> active = Object(app_.Get(), u"ActiveDoc");
    return active ? Text(active.Get(), u"GetTitle") : "(none)";
  }
  static std::string ErrorText() {
    ComPtr<IErrorInfo> info;
    GetErrorInfo(0, info.ReleaseAndGetAddressOf());
    ScopedBstr text;
    if (info) info->GetDescription(text.Receive());
    return sim_test::Utf8(text.View());
  }
  // The dependency texts with the test directory shown as ".".
  std::string Dependencies(IDispatch* document, LONG traverse, LONG readOnly = 0) {
    std::string texts =
        sim_test::AnswerText(*Answer(Object(document, u"Extension").Get(), u"GetDependencies",
                                     {Arg(traverse), Arg(-1), Arg(readOnly), Arg(0), Arg(0)})
                                  .Get());
    std::string prefix = dir_.path().string() + "/";
    for (size_t at; (at = texts.find(prefix)) != std::string::npos;)
      texts.replace(at, prefix.size(), "./");
    return texts;
  }
  // Save3's answer and errors: "-1 0".
  static std::string Save3(IDispatch* document, LONG options) {
    LONG errors = 0;
    LONG warnings = 0;
    ScopedVariant saved =
        Answer(document, u"Save3", {Arg(options), Arg::LongRef(&errors), Arg::LongRef(&warnings)});
    return sim_test::AnswerText(*saved.Get()) + " " + std::to_string(errors);
  }

  TempDir dir_;
  SimHost host_;
  ComPtr<IDispatch> app_;
};

TEST_F(DocumentsTest, OpeningLoadsWhatAnAssemblyUsesAndActivatesIt) {
  EXPECT_EQ("(none)", Active());
  EXPECT_EQ("20.3.0", Text(app_.Get(), u"RevisionNumber"));
  EXPECT_EQ("Gearbox.SLDASM 0 0", OpenDoc6(dir_ / "Gearbox.SLDASM", published::swDocASSEMBLY));
  EXPECT_EQ((std::vector<std::string>{"Housing.SLDPRT", "Shaft.SLDPRT", "Bearing.SLDPRT",
                                      "BearingSet.SLDASM", "Gearbox.SLDASM"}),
            Walk());
  EXPECT_EQ("Gearbox.SLDASM", Active());
  EXPECT_EQ(5u, sim_test::Objects(app_.Get(), u"GetDocuments").size());
  ComPtr<IDispatch> gearbox = host_.ActiveDocument();
  EXPECT_EQ(published::swDocASSEMBLY, sim_test::Long(gearbox.Get(), u"GetType"));
  EXPECT_EQ((dir_ / "Gearbox.SLDASM").string(), Text(gearbox.Get(), u"GetPathName"));
  // A file that is open gives its document with a warning, and is not
  // activated; letter case of the extension does not matter for the type.
  EXPECT_EQ("Shaft.SLDPRT 0 0", OpenDoc6(dir_ / "Shaft.SLDPRT", published::swDocPART));
  EXPECT_EQ("Gearbox.SLDASM 0 128", OpenDoc6(dir_ / "Gearbox.SLDASM", published::swDocASSEMBLY));
  EXPECT_EQ("Shaft.SLDPRT", Active());
  std::filesystem::copy_file(dir_ / "Bearing.SLDPRT", dir_ / "small.sldprt");
  EXPECT_EQ("small.sldprt 0 0", OpenDoc6(dir_ / "small.sldprt", published::swDocPART));
  EXPECT_EQ("small.sldprt", Active());
}

TEST_F(DocumentsTest, AFailedOpenGivesNoDocumentAndItsErrorBits) {
  testing_support::WriteFile(dir_ / "x.txt", "{}");
  testing_support::WriteFile(dir_ / "Broken.SLDASM",
                             R"({"type": "assembly", "configurations": [{"name": "D",
                                 "components": [{"name": "P-1", "file": "Gone.SLDPRT"}]}]})");
  std::filesystem::create_directory(dir_ / "other");
  std::filesystem::copy_file(dir_ / "Shaft.SLDPRT", dir_ / "other" / "Shaft.SLDPRT");
  host_.Open(dir_ / "Shaft.SLDPRT");
  struct Case {
    std::filesystem::path path;
    LONG type;
    LONG errors;
  } cases[] = {
      {dir_ / "None.SLDPRT", published::swDocPART, published::swFileNotFoundError},
      {dir_ / "other", published::swDocPART, published::swFileNotFoundError},
      {dir_ / "Bearing.SLDPRT", published::swDocASSEMBLY, published::swInvalidFileTypeError},
      {dir_ / "x.txt", published::swDocPART, published::swInvalidFileTypeError},
      {dir_ / "other" / "Shaft.SLDPRT", published::swDocPART,
       published::swFileWithSameTitleAlreadyOpen},
      {dir_ / "Broken.SLDASM", published::swDocASSEMBLY, published::swGenericError}};
  for (const Case& c : cases) {
    EXPECT_EQ("null " + std::to_string(c.errors) + " 0", OpenDoc6(c.path, c.type)) << c.path;
  }
  EXPECT_NE(std::string::npos, ErrorText().find("Broken.SLDASM: /configurations/0/components/0/"
                                                "file: the model file \"Gone.SLDPRT\""));
  EXPECT_EQ(1u, host_.OpenDocuments().size());
  try {
    host_.Open(dir_ / "Broken.SLDASM");
    ADD_FAILURE() << "no error";
  } catch (const ModelFileError& failure) {
    EXPECT_EQ("/configurations/0/components/0/file", failure.place());
  }
}

TEST_F(DocumentsTest, DocumentsAreActivatedFoundAndClosedByPathOrFileName) {
  host_.Open(dir_ / "Gearbox.SLDASM");
  auto activate = [&](std::u16string name) {
    LONG errors = 0;
    ComPtr<IDispatch> document =
        Object(app_.Get(), u"ActivateDoc3", {Arg(name), Arg(0), Arg(1), Arg::LongRef(&errors)});
    return (document ? Text(document.Get(), u"GetTitle") : "null") + " " + std::to_string(errors);
  };
  EXPECT_EQ("Shaft.SLDPRT 0", activate(u"Shaft.SLDPRT"));
  EXPECT_EQ("Shaft.SLDPRT", Active());
  EXPECT_EQ("Gearbox.SLDASM 0", activate((dir_ / "Gearbox.SLDASM").u16string()));
  EXPECT_EQ("null 1", activate(u"Nothing.SLDPRT"));
  EXPECT_EQ(host_.Document(dir_ / "Shaft.SLDPRT").Get(),
            Object(app_.Get(), u"GetOpenDocumentByName", {Arg((dir_ / "Shaft.SLDPRT").u16string())})
                .Get());
  EXPECT_FALSE(Object(app_.Get(), u"GetOpenDocumentByName", {Arg(u"Nothing.SLDPRT")}));
  // The shaft stays loaded for the gearbox, hidden; an unknown name closes
  // nothing; "" closes the active document.
  Answer(app_.Get(), u"CloseDoc", {Arg(u"Shaft.SLDPRT")});
  Answer(app_.Get(), u"CloseDoc", {Arg(u"Nothing.SLDPRT")});
  EXPECT_EQ(5u, host_.OpenDocuments().size());
  host_.Open(dir_ / "Housing.SLDPRT");
  Answer(app_.Get(), u"CloseDoc", {Arg(u"")});
  EXPECT_EQ("Gearbox.SLDASM", Active());
  Answer(app_.Get(), u"CloseDoc", {Arg((dir_ / "Gearbox.SLDASM").u16string())});
  EXPECT_TRUE(host_.OpenDocuments().empty());
  EXPECT_EQ("(none)", Active());
  EXPECT_FALSE(host_.Close(dir_ / "Gearbox.SLDASM"));
}

TEST_F(DocumentsTest, DependenciesComeAsNameAndPathPairs) {
  ComPtr<IDispatch> gearbox = host_.Open(dir_ / "Gearbox.SLDASM");
  // Suppressed components are listed too; with traverse, the files of the
  // files; with the read-only flag a text after each pair.
  host_.Model(gearbox.Get())->configurations[1].components[1].state = kComponentSuppressed;
  EXPECT_EQ(
      "[Housing.SLDPRT, ./Housing.SLDPRT, Shaft.SLDPRT, ./Shaft.SLDPRT, BearingSet.SLDASM, "
      "./BearingSet.SLDASM, Bearing.SLDPRT, ./Bearing.SLDPRT]",
      Dependencies(gearbox.Get(), -1));
  EXPECT_EQ(
      "[Housing.SLDPRT, ./Housing.SLDPRT, , Shaft.SLDPRT, ./Shaft.SLDPRT, , "
      "BearingSet.SLDASM, ./BearingSet.SLDASM, ]",
      Dependencies(gearbox.Get(), 0, -1));
  // A file used by two documents is listed for each; no files, no list.
  EXPECT_EQ(
      "[Gearbox.SLDASM, ./Gearbox.SLDASM, Housing.SLDPRT, ./Housing.SLDPRT, Shaft.SLDPRT, "
      "./Shaft.SLDPRT, BearingSet.SLDASM, ./BearingSet.SLDASM, Bearing.SLDPRT, "
      "./Bearing.SLDPRT, Housing.SLDPRT, ./Housing.SLDPRT]",
      Dependencies(host_.Open(dir_ / "Gearbox.SLDDRW").Get(), -1));
  EXPECT_EQ("empty", Dependencies(host_.Document(dir_ / "Bearing.SLDPRT").Get(), -1));
}

TEST_F(DocumentsTest, SavingWritesTheDocumentAndOnAskingTheChangedOnesItUses) {
  ComPtr<IDispatch> gearbox = host_.Open(dir_ / "Gearbox.SLDASM");
  std::string shaftBefore = testing_support::ReadFile(dir_ / "Shaft.SLDPRT");
  std::string bearingBefore = testing_support::ReadFile(dir_ / "Bearing.SLDPRT");
  ComPtr<IDispatch> bearing = host_.Document(dir_ / "Bearing.SLDPRT");
  host_.Model(bearing.Get())->properties[0].value = u"NSK 日本";
  host_.Model(bearing.Get())->properties.push_back(PropertyModel{u"Grade", 30, u"P5", false});
  Answer(
      Object(Object(bearing.Get(), u"Extension").Get(), u"CustomPropertyManager", {Arg(u"")}).Get(),
      u"Set2", {Arg(u"Grade"), Arg(u"P4")});
  EXPECT_EQ("-1 0", Save3(gearbox.Get(), published::swSaveAsOptions_Silent));
  EXPECT_EQ(bearingBefore, testing_support::ReadFile(dir_ / "Bearing.SLDPRT"));
  EXPECT_EQ("-1 0", Save3(gearbox.Get(), published::swSaveAsOptions_SaveReferenced));
  EXPECT_EQ(shaftBefore, testing_support::ReadFile(dir_ / "Shaft.SLDPRT"));
  EXPECT_TRUE(ReadModelFile(dir_ / "Bearing.SLDPRT") == *host_.Model(bearing.Get()));
  EXPECT_TRUE(ReadModelFile(dir_ / "Gearbox.SLDASM") == *host_.Model(gearbox.Get()));
  // A file that cannot be written fails the save with a description.
  std::filesystem::remove(dir_ / "Gearbox.SLDASM");
  std::filesystem::create_directory(dir_ / "Gearbox.SLDASM");
  EXPECT_EQ("0 1", Save3(gearbox.Get(), published::swSaveAsOptions_Silent));
  EXPECT_NE(std::string::npos, ErrorText().find("Gearbox.SLDASM: the file cannot be written"));
}

TEST_F(DocumentsTest, ANewDocumentHasNoPathUntilItIsSaved) {
  ComPtr<IDispatch> part = host_.NewDocument(dir_ / "New.SLDPRT", published::swDocPART);
  EXPECT_EQ("New.SLDPRT", Active());
  sim_test::ExpectAnswers({{part.Get(), u"GetPathName", {}, ""},
                           {part.Get(), u"GetConfigurationNames", {}, "[Default]"},
                           {part.Get(), u"FirstFeature", {}, "null"}});
  EXPECT_FALSE(std::filesystem::exists(dir_ / "New.SLDPRT"));
  EXPECT_EQ("-1 0", Save3(part.Get(), published::swSaveAsOptions_Silent));
  EXPECT_EQ((dir_ / "New.SLDPRT").string(), Text(part.Get(), u"GetPathName"));
  EXPECT_TRUE(ReadModelFile(dir_ / "New.SLDPRT") == *host_.Model(part.Get()));
  EXPECT_THROW(host_.NewDocument(dir_ / "New.SLDPRT", published::swDocPART), std::invalid_argument);
  EXPECT_THROW(host_.NewDocument(dir_ / "Other.SLDPRT", published::swDocASSEMBLY),
               std::invalid_argument);
}

}  // namespace
}  // namespace sim
