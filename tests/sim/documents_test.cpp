// Opening, activating, closing and saving documents, the open-document
// walk, and dependencies as name/path pairs.
#include <gtest/gtest.h>

#include "platform/error_info.h"
#include "sim/model_error.h"
#include "sim/model_reader.h"
#include "tests/sim/sim_test_support.h"

namespace sim {
namespace {

using sim_test::Take;
using testing_support::TempDir;

class DocumentsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_test::CopySamples(dir_.path());
    app_ = host_.Application();
  }
  HRESULT OpenDocument(const std::filesystem::path& path, LONG type,
                       ComPtr<IHostModelDoc>* document) {
    ScopedBstr bstr(path.u16string());
    return app_->OpenDocument(bstr.Get(), type, document->ReleaseAndGetAddressOf());
  }
  static std::string TitleOf(IHostModelDoc* document) {
    BSTR title = nullptr;
    document->GetTitle(&title);
    return Take(title);
  }
  std::vector<std::string> Walk() {
    std::vector<std::string> titles;
    ComPtr<IHostModelDoc> document;
    app_->GetFirstDocument(document.ReleaseAndGetAddressOf());
    while (document) {
      titles.push_back(TitleOf(document.Get()));
      ComPtr<IHostModelDoc> next;
      document->GetNext(next.ReleaseAndGetAddressOf());
      document = next;
    }
    return titles;
  }
  std::string ActiveTitle() {
    ComPtr<IHostModelDoc> active;
    app_->GetActiveDocument(active.ReleaseAndGetAddressOf());
    return active ? TitleOf(active.Get()) : "(none)";
  }
  static std::string ErrorText() {
    ComPtr<IErrorInfo> info;
    GetErrorInfo(0, info.ReleaseAndGetAddressOf());
    if (!info) return "(no error info)";
    BSTR text = nullptr;
    info->GetDescription(&text);
    return Take(text);
  }
  std::vector<std::string> Dependencies(IHostModelDoc* document, VARIANT_BOOL traverse,
                                        VARIANT_BOOL suppressed, VARIANT_BOOL unique) {
    ScopedVariant list;
    EXPECT_EQ(S_OK, document->GetDependencies(traverse, suppressed, unique, list.Receive()));
    EXPECT_EQ(VT_ARRAY | VT_BSTR, list.Type());
    std::vector<std::string> pairs = sim_test::TakeTexts(list.Get()->parray);
    list.Get()->vt = VT_EMPTY;
    std::string prefix = dir_.path().string() + "/";
    for (size_t i = 1; i < pairs.size(); i += 2) {
      if (pairs[i].rfind(prefix, 0) == 0) pairs[i] = "<dir>/" + pairs[i].substr(prefix.size());
    }
    return pairs;
  }

  TempDir dir_;
  SimHost host_;
  ComPtr<IHostApplication> app_;
};

TEST_F(DocumentsTest, OpeningLoadsTheFilesAnAssemblyUsesAndActivatesIt) {
  EXPECT_EQ("(none)", ActiveTitle());
  ComPtr<IHostModelDoc> gearbox;
  ASSERT_EQ(S_OK, OpenDocument(dir_ / "Gearbox.SLDASM", kDocTypeAssembly, &gearbox));
  EXPECT_EQ((std::vector<std::string>{"Housing.SLDPRT", "Shaft.SLDPRT", "Bearing.SLDPRT",
                                      "BearingSet.SLDASM", "Gearbox.SLDASM"}),
            Walk());
  EXPECT_EQ("Gearbox.SLDASM", ActiveTitle());
  SAFEARRAY* all = nullptr;
  ASSERT_EQ(S_OK, app_->GetDocuments(&all));
  ScopedSafeArray documents(all);
  EXPECT_EQ(5, documents.Count());
  LONG type = 0;
  gearbox->GetType(&type);
  EXPECT_EQ(kDocTypeAssembly, type);
  BSTR path = nullptr;
  gearbox->GetPathName(&path);
  EXPECT_EQ((dir_ / "Gearbox.SLDASM").string(), Take(path));
  // Opening an open file gives its document; letter case of the extension
  // does not matter for the type.
  ComPtr<IHostModelDoc> again;
  ASSERT_EQ(S_OK, OpenDocument(dir_ / "Gearbox.SLDASM", kDocTypeAssembly, &again));
  EXPECT_EQ(gearbox.Get(), again.Get());
  std::filesystem::copy_file(dir_ / "Bearing.SLDPRT", dir_ / "small.sldprt");
  ComPtr<IHostModelDoc> small;
  EXPECT_EQ(S_OK, OpenDocument(dir_ / "small.sldprt", kDocTypePart, &small));
  EXPECT_EQ("small.sldprt", ActiveTitle());
}

TEST_F(DocumentsTest, OpeningFailuresGiveNoDocumentAndDescribeThemselves) {
  ComPtr<IHostModelDoc> document;
  EXPECT_EQ(HRESULT_FROM_WIN32(2), OpenDocument(dir_ / "None.SLDPRT", kDocTypePart, &document));
  EXPECT_FALSE(document);
  EXPECT_EQ(E_INVALIDARG, OpenDocument(dir_ / "Bearing.SLDPRT", kDocTypeAssembly, &document));
  testing_support::WriteFile(dir_ / "x.txt", "{}");
  EXPECT_EQ(E_INVALIDARG, OpenDocument(dir_ / "x.txt", kDocTypePart, &document));
  testing_support::WriteFile(dir_ / "Broken.SLDASM",
                             R"({"type": "assembly", "configurations": [{"name": "D",
                                 "components": [{"name": "P-1", "file": "Gone.SLDPRT"}]}]})");
  EXPECT_EQ(E_FAIL, OpenDocument(dir_ / "Broken.SLDASM", kDocTypeAssembly, &document));
  EXPECT_FALSE(document);
  std::string error = ErrorText();
  EXPECT_NE(std::string::npos, error.find("Broken.SLDASM: /configurations/0/components/0/file: "
                                          "the model file \"Gone.SLDPRT\""))
      << error;
  EXPECT_TRUE(host_.OpenDocuments().empty());
  try {
    host_.Open(dir_ / "Broken.SLDASM");
    ADD_FAILURE() << "no error";
  } catch (const ModelFileError& failure) {
    EXPECT_EQ("/configurations/0/components/0/file", failure.place());
  }
}

TEST_F(DocumentsTest, ActivatingByPathOrFileName) {
  ComPtr<IHostModelDoc> gearbox = host_.Open(dir_ / "Gearbox.SLDASM");
  ScopedBstr byName(u"Shaft.SLDPRT");
  ComPtr<IHostModelDoc> shaft;
  EXPECT_EQ(S_OK, app_->ActivateDocument(byName.Get(), shaft.ReleaseAndGetAddressOf()));
  EXPECT_EQ("Shaft.SLDPRT", ActiveTitle());
  ScopedBstr byPath((dir_ / "Gearbox.SLDASM").u16string());
  EXPECT_EQ(S_OK, app_->ActivateDocument(byPath.Get(), nullptr));
  EXPECT_EQ("Gearbox.SLDASM", ActiveTitle());
  ScopedBstr unknown(u"Nothing.SLDPRT");
  ComPtr<IHostModelDoc> none;
  EXPECT_EQ(E_INVALIDARG, app_->ActivateDocument(unknown.Get(), none.ReleaseAndGetAddressOf()));
  EXPECT_FALSE(none);
}

TEST_F(DocumentsTest, ClosingReleasesWhatNoOtherDocumentUses) {
  host_.Open(dir_ / "Gearbox.SLDASM");
  host_.Open(dir_ / "Shaft.SLDPRT");
  EXPECT_EQ("Shaft.SLDPRT", ActiveTitle());
  // The shaft stays loaded for the gearbox, hidden.
  ScopedBstr shaft((dir_ / "Shaft.SLDPRT").u16string());
  EXPECT_EQ(S_OK, app_->CloseDocument(shaft.Get()));
  EXPECT_EQ(5u, host_.OpenDocuments().size());
  EXPECT_EQ("Gearbox.SLDASM", ActiveTitle());
  ScopedBstr gearbox((dir_ / "Gearbox.SLDASM").u16string());
  EXPECT_EQ(S_OK, app_->CloseDocument(gearbox.Get()));
  EXPECT_TRUE(host_.OpenDocuments().empty());
  EXPECT_EQ("(none)", ActiveTitle());
  EXPECT_EQ(S_FALSE, app_->CloseDocument(gearbox.Get()));
}

TEST_F(DocumentsTest, DependenciesComeAsNameAndPathPairs) {
  ComPtr<IHostModelDoc> gearbox = host_.Open(dir_ / "Gearbox.SLDASM");
  EXPECT_EQ((std::vector<std::string>{"Housing.SLDPRT", "<dir>/Housing.SLDPRT", "Shaft.SLDPRT",
                                      "<dir>/Shaft.SLDPRT", "BearingSet.SLDASM",
                                      "<dir>/BearingSet.SLDASM", "Bearing.SLDPRT",
                                      "<dir>/Bearing.SLDPRT"}),
            Dependencies(gearbox.Get(), VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE));
  EXPECT_EQ(6u, Dependencies(gearbox.Get(), VARIANT_FALSE, VARIANT_TRUE, VARIANT_FALSE).size());
  // A file used by two documents is listed for each unless asked otherwise.
  ComPtr<IHostModelDoc> drawing = host_.Open(dir_ / "Gearbox.SLDDRW");
  std::vector<std::string> all =
      Dependencies(drawing.Get(), VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE);
  EXPECT_EQ(
      (std::vector<std::string>{"Gearbox.SLDASM", "<dir>/Gearbox.SLDASM", "Housing.SLDPRT",
                                "<dir>/Housing.SLDPRT", "Shaft.SLDPRT", "<dir>/Shaft.SLDPRT",
                                "BearingSet.SLDASM", "<dir>/BearingSet.SLDASM", "Bearing.SLDPRT",
                                "<dir>/Bearing.SLDPRT", "Housing.SLDPRT", "<dir>/Housing.SLDPRT"}),
      all);
  EXPECT_EQ(10u, Dependencies(drawing.Get(), VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE).size());
  // Files used only by suppressed components.
  host_.Model(gearbox.Get())->configurations[0].components[2].state = kComponentSuppressed;
  host_.Model(gearbox.Get())->configurations[1].components[1].state = kComponentSuppressed;
  std::vector<std::string> loaded =
      Dependencies(gearbox.Get(), VARIANT_FALSE, VARIANT_FALSE, VARIANT_FALSE);
  EXPECT_EQ((std::vector<std::string>{"Housing.SLDPRT", "<dir>/Housing.SLDPRT", "Shaft.SLDPRT",
                                      "<dir>/Shaft.SLDPRT", "BearingSet.SLDASM",
                                      "<dir>/BearingSet.SLDASM"}),
            loaded);
  host_.Model(gearbox.Get())->configurations[0].components[1].state = kComponentSuppressed;
  EXPECT_EQ(4u, Dependencies(gearbox.Get(), VARIANT_FALSE, VARIANT_FALSE, VARIANT_FALSE).size());
  ComPtr<IHostModelDoc> bearing = host_.Document(dir_ / "Bearing.SLDPRT");
  EXPECT_TRUE(Dependencies(bearing.Get(), VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE).empty());
}

TEST_F(DocumentsTest, SavingWritesTheDocumentAndTheChangedDocumentsItUses) {
  ComPtr<IHostModelDoc> gearbox = host_.Open(dir_ / "Gearbox.SLDASM");
  std::string shaftBefore = testing_support::ReadFile(dir_ / "Shaft.SLDPRT");
  std::string bearingBefore = testing_support::ReadFile(dir_ / "Bearing.SLDPRT");
  // Change a property of the bearing through its component's model.
  ComPtr<IHostModelDoc> bearing = host_.Document(dir_ / "Bearing.SLDPRT");
  ComPtr<IHostConfigurationManager> access;
  bearing->GetConfigurationManager(access.ReleaseAndGetAddressOf());
  ComPtr<IHostConfiguration> whole;
  access->GetDocumentConfiguration(whole.ReleaseAndGetAddressOf());
  ComPtr<IHostCustomPropertyManager> properties;
  whole->GetCustomPropertyManager(properties.ReleaseAndGetAddressOf());
  ScopedBstr name(u"Vendor");
  ScopedBstr value(u"NSK 日本");
  LONG result = -1;
  properties->Set2(name.Get(), value.Get(), &result);
  EXPECT_EQ(kSetPropertyDone, result);

  ASSERT_EQ(S_OK, gearbox->Save(VARIANT_TRUE));
  EXPECT_EQ(shaftBefore, testing_support::ReadFile(dir_ / "Shaft.SLDPRT"));
  EXPECT_NE(bearingBefore, testing_support::ReadFile(dir_ / "Bearing.SLDPRT"));
  ModelData saved = ReadModelFile(dir_ / "Bearing.SLDPRT");
  EXPECT_EQ(u"NSK 日本", saved.properties[0].value);
  EXPECT_TRUE(saved == *host_.Model(bearing.Get()));
  EXPECT_TRUE(ReadModelFile(dir_ / "Gearbox.SLDASM") == *host_.Model(gearbox.Get()));

  // A file that cannot be written makes the save fail with a description.
  std::filesystem::remove(dir_ / "Gearbox.SLDASM");
  std::filesystem::create_directory(dir_ / "Gearbox.SLDASM");
  EXPECT_EQ(E_FAIL, gearbox->Save(VARIANT_TRUE));
  EXPECT_NE(std::string::npos, ErrorText().find("Gearbox.SLDASM: the file cannot be written"));
}

}  // namespace
}  // namespace sim
