// OpenFile, SaveFile and GetDependencies on copies of the sample models.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "platform/text.h"
#include "tests/addin/addin_fixture.h"
#include "tests/support/bound_host.h"

namespace addin_test {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kUnknownExtension[] =
    u"CHarbolt::OpenFile():only model files can be opened (extension SLDPRT, SLDASM or SLDDRW)";

class FileOperationsTest : public ConnectedTest {
 protected:
  // A folder in the test's directory with copies of the sample files.
  fs::path Folder(const std::string& name) {
    fs::path folder = dir_ / name;
    fs::create_directories(folder);
    for (const char* sample : {"Bearing.SLDPRT", "BearingSet.SLDASM", "Gearbox.SLDASM",
                               "Gearbox.SLDDRW", "Housing.SLDPRT", "Shaft.SLDPRT"}) {
      fs::copy_file(Sample(sample), folder / sample, fs::copy_options::overwrite_existing);
    }
    return folder;
  }
  HRESULT OpenFile(const fs::path& path) {
    BSTR name = SysAllocString(Wide(path).c_str());
    HRESULT hr = CallMember(harbolt(), u"OpenFile", {Arg::BstrRef(&name)});
    SysFreeString(name);
    return hr;
  }
  HRESULT SaveFile() { return CallMember(harbolt(), u"SaveFile", {Arg(u"any name.SLDPRT")}); }
  // GetDependencies; the list when it succeeded, "<none>" when nothing came.
  HRESULT GetDependencies(std::u16string* list) {
    ScopedVariant result;
    HRESULT hr = CallMember(harbolt(), u"GetDependencies", {Arg(u"not used")}, result.Receive());
    *list = result.Type() == VT_BSTR ? std::u16string(BstrView(result.Get()->bstrVal)) : u"<none>";
    return hr;
  }
  void ResetError() { ASSERT_EQ(E_INVALIDARG, CallMember(harbolt(), u"CreateMenu", {Arg(u"x")})); }
  std::u16string ActivePath() {
    ComPtr<IHostModelDoc> active = testing_support::Bound(host_.ActiveDocument());
    ScopedBstr path;
    if (active) active->GetPathName(path.Receive());
    return path.Str();
  }
};

TEST_F(FileOperationsTest, OpensModelFilesByTheirExtensionInAnyLetterCase) {
  fs::path folder = Folder("m");
  const std::tuple<const char*, const char*, LONG> kFiles[] = {
      {"Shaft.SLDPRT", "lower.sldprt", 1},
      {"Gearbox.SLDASM", "Mixed.SldAsm", 2},
      {"Gearbox.SLDDRW", "Sheet.slddrw", 3}};
  for (const auto& [sample, name, type] : kFiles) {
    fs::copy_file(folder / sample, folder / name);
    EXPECT_EQ(S_OK, OpenFile(folder / name)) << name;
    EXPECT_EQ(Wide(folder / name), ActivePath());
    EXPECT_NE(std::string::npos,
              host_.CallLines("ISldWorks.OpenDoc6")
                  .back()
                  .find(std::string(name) + ", " + std::to_string(type) + ", 1, , "));
  }
  EXPECT_EQ(0, ErrorNumber());  // success leaves the error state alone
}

TEST_F(FileOperationsTest, ADocumentOfTheSameNameIsClosedFirst) {
  fs::path x = Folder("x"), y = Folder("y"), z = dir_ / "z";
  fs::create_directory(z);
  fs::copy_file(x / "Shaft.SLDPRT", z / "SHAFT.SLDPRT");
  host_.Open(x / "Shaft.SLDPRT");
  host_.Open(z / "SHAFT.SLDPRT");
  host_.Open(x / "Housing.SLDPRT");
  host_.ClearCalls();
  EXPECT_EQ(S_OK, OpenFile(y / "Shaft.SLDPRT"));
  // The same name in another folder went; a name that differs in letter case stays.
  EXPECT_EQ((std::vector<fs::path>{z / "SHAFT.SLDPRT", x / "Housing.SLDPRT", y / "Shaft.SLDPRT"}),
            host_.OpenDocuments());
  EXPECT_EQ(Wide(y / "Shaft.SLDPRT"), ActivePath());
  EXPECT_EQ(1u, host_.CallLines("ISldWorks.CloseDoc").size());
  // Opening the file that is open closes it and reads it again.
  host_.Model(y / "Shaft.SLDPRT")->title = u"Changed, not saved";
  EXPECT_EQ(S_OK, OpenFile(y / "Shaft.SLDPRT"));
  EXPECT_EQ(u"", host_.Model(y / "Shaft.SLDPRT")->title);
}

TEST_F(FileOperationsTest, SaveFileWritesTheActiveDocumentAndDependenciesAreListed) {
  fs::path folder = Folder("m");
  ASSERT_EQ(S_OK, OpenFile(folder / "Shaft.SLDPRT"));
  host_.Model(folder / "Shaft.SLDPRT")->title = u"Saved by the add-in";
  EXPECT_EQ(S_OK, SaveFile());
  EXPECT_NE(std::string::npos,
            testing_support::ReadFile(folder / "Shaft.SLDPRT").find("Saved by the add-in"));
  EXPECT_FALSE(fs::exists(folder / "any name.SLDPRT"));
  EXPECT_EQ((std::vector<std::string>{"IModelDoc2.Save3 Shaft.SLDPRT(5, out, out)"}),
            host_.CallLines("IModelDoc2.Save3"));
  const std::u16string assembly =
      Wide(folder / "Housing.SLDPRT") + u"|" + Wide(folder / "Shaft.SLDPRT") + u"|" +
      Wide(folder / "BearingSet.SLDASM") + u"|" + Wide(folder / "Bearing.SLDPRT");
  // The drawing shows the assembly and the housing, which the assembly uses too.
  const std::pair<const char*, std::u16string> kLists[] = {
      {"Gearbox.SLDASM", assembly},
      {"Gearbox.SLDDRW", Wide(folder / "Gearbox.SLDASM") + u"|" + assembly},
      {"Shaft.SLDPRT", u""}};
  for (const auto& [model, expected] : kLists) {
    host_.Open(folder / model);
    std::u16string list;
    EXPECT_EQ(S_OK, GetDependencies(&list)) << model;
    EXPECT_EQ(expected, list) << model;
  }
  EXPECT_EQ("IModelDocExtension.GetDependencies Gearbox.SLDASM(true, true, false, false, false)",
            host_.CallLines("IModelDocExtension.GetDependencies")[0]);
  EXPECT_EQ(0, ErrorNumber());
}

// Every failure: -1 in errNumber and the description; the host opens nothing, keeps nothing.
TEST_F(FileOperationsTest, FailuresAreDescribed) {
  fs::path folder = Folder("m"), saved = Folder("s");
  testing_support::WriteFile(folder / "Broken.SLDPRT", "not a model");
  const std::u16string kSave = u"CHarbolt::SaveFile():";
  const std::u16string kDeps = u"CHarbolt::GetDependencies():";
  const std::u16string kNoFile = u"The system cannot find the file specified.";
  struct Case {
    char member;        // 'o'penFile, 's'aveFile or 'd'ependencies
    fs::path file;      // to open; for the others a document the host opens first
    const char* fault;  // a failing host call; "!" + call for an empty answer
    HRESULT status;
    std::u16string description;
    const char* language = nullptr;
  };
  std::vector<Case> cases = {
      {'o', folder / "Missing.SLDPRT", nullptr, S_OK, kNoFile},
      {'o', fs::path(), nullptr, S_OK, kNoFile},
      {'o', folder / "Shaft.SLDPRT" / "Inner.SLDPRT", nullptr, S_OK,
       u"The system cannot find the path specified."},
      {'o', folder / "Missing.SLDPRT", nullptr, S_OK, u"系统找不到指定的文件。", "zh_CN.UTF-8"},
      // When the host opens nothing the description is empty.
      {'o', folder / "Broken.SLDPRT", nullptr, S_OK, u""},
      {'o', folder / "Shaft.SLDPRT", "ISldWorks.OpenDoc6", E_ACCESSDENIED, u""},
      {'o', folder / "Shaft.SLDPRT", "!ISldWorks.OpenDoc6", S_OK, u""},
      {'s', fs::path(), nullptr, S_OK, kSave + u"No document is active."},
      {'d', fs::path(), nullptr, S_OK, kDeps + u"No document is active."},
      {'s', saved / "Shaft.SLDPRT", "ISldWorks.ActiveDoc", E_ABORT, kSave + u"Operation aborted"},
      {'s', fs::path(), "IModelDoc2.Save3", E_ACCESSDENIED, kSave + u"Access is denied."},
      {'s', fs::path(), "IModelDoc2.Save3", MakeHresult(0x80040205), kSave + u"IDispatch error #5"},
      {'s', fs::path(), "IModelDoc2.Save3", MakeHresult(0x8004FFFF),
       kSave + u"IDispatch error #65023"},
      {'s', fs::path(), "IModelDoc2.Save3", MakeHresult(0x80040200),
       kSave + u"Unknown error 0x80040200"},
      {'s', fs::path(), "IModelDoc2.Save3", MakeHresult(0x80070020),
       kSave + u"Unknown error 0x80070020"},
      {'d', folder / "Gearbox.SLDASM", "IModelDocExtension.GetDependencies", E_OUTOFMEMORY,
       kDeps + u"Ran out of memory"},
  };
  for (const char* name : {"Shaft.txt", "Shaft", "Shaft.SLDPRT.bak", "Shaft.SLDPRTX"}) {
    fs::copy_file(folder / "Shaft.SLDPRT", folder / name);
    cases.push_back({'o', folder / name, nullptr, S_OK, kUnknownExtension});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.member + (" " + c.file.string() + " " + (c.fault ? c.fault : "")));
    ResetError();
    if (c.member != 'o' && !c.file.empty()) host_.Open(c.file);
    long references = host_.References();
    host_.ClearCalls();
    if (c.fault && c.fault[0] == '!') host_.EmptyCall(c.fault + 1);
    if (c.fault && c.fault[0] != '!') host_.FailCall(c.fault, c.status);
    testing_support::ScopedEnv language("LC_ALL", c.language ? c.language : "");
    std::u16string list;
    HRESULT hr = c.member == 'o'   ? OpenFile(c.file)
                 : c.member == 's' ? SaveFile()
                                   : GetDependencies(&list);
    host_.ClearFaults();
    EXPECT_EQ(kFailed, hr);
    EXPECT_EQ(-1, ErrorNumber());
    EXPECT_EQ(c.description, ErrorDescription());
    EXPECT_EQ(c.member == 'd' ? u"<none>" : u"", list);
    if (c.member == 'o') {
      EXPECT_TRUE(host_.CallLines("ISldWorks.ActivateDoc3").empty());
      // Refused before the host is asked.
      EXPECT_TRUE(c.description.empty() || host_.CallLines("ISldWorks.OpenDoc6").empty());
    }
    EXPECT_EQ(references, host_.References());
  }
  // A file that cannot be written: its folder is gone.
  fs::path lone = Folder("lone");
  host_.Open(lone / "Housing.SLDPRT");
  fs::remove_all(lone);
  testing_support::ScopedEnv language("LC_ALL", "zh_CN.UTF-8");
  EXPECT_EQ(kFailed, SaveFile());
  EXPECT_EQ(kSave + u"未指定的错误", ErrorDescription());
}

}  // namespace
}  // namespace addin_test
