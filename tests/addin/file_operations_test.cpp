// OpenFile, SaveFile and GetDependencies through IDispatch, against model
// files copied from the sample set into a temporary directory.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/addin/addin_fixture.h"
#include "tests/support/bound_host.h"

namespace addin_test {
namespace {

namespace fs = std::filesystem;
using testing_support::Arg;
using testing_support::Call;
using testing_support::CallMember;
using testing_support::LongProperty;
using testing_support::TextProperty;

constexpr HRESULT kFailed = MakeHresult(0xFFFFFFFF);
constexpr char16_t kUnknownExtension[] =
    u"CHarbolt::OpenFile():only model files can be opened (extension SLDPRT, SLDASM or SLDDRW)";

std::u16string Wide(const fs::path& path) { return platform::Utf8ToUtf16(path.string()); }

class FileOperationsTest : public AddinTest {
 protected:
  void SetUp() override {
    AddinTest::SetUp();
    Connect();
  }

  // A folder inside the test's directory holding copies of the sample files.
  fs::path Folder(const std::string& name) {
    fs::path folder = dir_ / name;
    fs::create_directories(folder);
    for (const char* sample : {"Bearing.SLDPRT", "BearingSet.SLDASM", "Gearbox.SLDASM",
                               "Gearbox.SLDDRW", "Housing.SLDPRT", "Shaft.SLDPRT"}) {
      fs::copy_file(Sample(sample), folder / sample, fs::copy_options::overwrite_existing);
    }
    return folder;
  }

  HRESULT OpenFile(const std::u16string& path) {
    BSTR name = SysAllocString(path.c_str());
    HRESULT hr = CallMember(harbolt(), u"OpenFile", {Arg::BstrRef(&name)});
    SysFreeString(name);
    return hr;
  }
  HRESULT OpenFile(const fs::path& path) { return OpenFile(Wide(path)); }
  HRESULT SaveFile() { return CallMember(harbolt(), u"SaveFile", {Arg(u"any name.SLDPRT")}); }
  // GetDependencies; the list when it succeeded, "<none>" when nothing came.
  HRESULT GetDependencies(std::u16string* list) {
    ScopedVariant result;
    HRESULT hr = CallMember(harbolt(), u"GetDependencies", {Arg(u"not used")}, result.Receive());
    *list = result.Type() == VT_BSTR ? std::u16string(BstrView(result.Get()->bstrVal)) : u"<none>";
    return hr;
  }
  LONG ErrorNumber() { return LongProperty(harbolt(), u"errNumber"); }
  std::u16string ErrorDescription() { return TextProperty(harbolt(), u"errDescription"); }
  void ResetError() { ASSERT_EQ(E_INVALIDARG, CallMember(harbolt(), u"CreateMenu", {Arg(u"x")})); }

  std::u16string ActivePath() {
    ComPtr<IHostModelDoc> active = testing_support::Bound(host_.ActiveDocument());
    ScopedBstr path;
    if (active) active->GetPathName(path.Receive());
    return path.Str();
  }
  LONG ActiveType() {
    ComPtr<IHostModelDoc> active = testing_support::Bound(host_.ActiveDocument());
    LONG type = 0;
    if (active) active->GetType(&type);
    return type;
  }
  std::vector<fs::path> Open() { return host_.OpenDocuments(); }
};

TEST_F(FileOperationsTest, OpensModelFilesByTheirExtensionInAnyLetterCase) {
  fs::path folder = Folder("m");
  fs::copy_file(folder / "Shaft.SLDPRT", folder / "lower.sldprt");
  fs::copy_file(folder / "Gearbox.SLDASM", folder / "Mixed.SldAsm");
  fs::copy_file(folder / "Gearbox.SLDDRW", folder / "Sheet.slddrw");

  EXPECT_EQ(S_OK, OpenFile(folder / "lower.sldprt"));
  EXPECT_EQ(Wide(folder / "lower.sldprt"), ActivePath());
  EXPECT_EQ(1, ActiveType());
  EXPECT_EQ(S_OK, OpenFile(folder / "Mixed.SldAsm"));
  EXPECT_EQ(2, ActiveType());
  EXPECT_EQ(S_OK, OpenFile(folder / "Sheet.slddrw"));
  EXPECT_EQ(3, ActiveType());
  EXPECT_EQ(Wide(folder / "Sheet.slddrw"), ActivePath());

  std::vector<std::string> opened = host_.CallLines("ISldWorks.OpenDoc6");
  ASSERT_EQ(3u, opened.size());
  EXPECT_NE(std::string::npos, opened[0].find("lower.sldprt, 1, 1, , out, out)"));
  EXPECT_NE(std::string::npos, opened[1].find("Mixed.SldAsm, 2, 1, , out, out)"));
  EXPECT_NE(std::string::npos, opened[2].find("Sheet.slddrw, 3, 1, , out, out)"));
  std::vector<std::string> activated = host_.CallLines("ISldWorks.ActivateDoc3");
  ASSERT_EQ(3u, activated.size());
  EXPECT_NE(std::string::npos,
            activated[2].find(platform::Utf16ToUtf8(Wide(folder / "Sheet.slddrw"))));
  // Success leaves the error state alone.
  EXPECT_EQ(0, ErrorNumber());
}

TEST_F(FileOperationsTest, AMissingFileIsDescribedByTheSystemsText) {
  fs::path folder = Folder("m");
  long references = host_.References();
  EXPECT_EQ(kFailed, OpenFile(folder / "Missing.SLDPRT"));
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(u"The system cannot find the file specified.", ErrorDescription());
  EXPECT_EQ(kFailed, OpenFile(std::u16string()));
  EXPECT_EQ(u"The system cannot find the file specified.", ErrorDescription());
  // A folder in the path that is a file.
  EXPECT_EQ(kFailed, OpenFile(folder / "Shaft.SLDPRT" / "Inner.SLDPRT"));
  EXPECT_EQ(u"The system cannot find the path specified.", ErrorDescription());
  {
    testing_support::ScopedEnv language("LC_ALL", "zh_CN.UTF-8");
    EXPECT_EQ(kFailed, OpenFile(folder / "Missing.SLDPRT"));
    EXPECT_EQ(u"系统找不到指定的文件。", ErrorDescription());
  }
  // The host was not asked to open anything.
  EXPECT_TRUE(host_.CallLines("ISldWorks.OpenDoc6").empty());
  EXPECT_TRUE(Open().empty());
  EXPECT_EQ(references, host_.References());
}

TEST_F(FileOperationsTest, OnlyTheThreeModelExtensionsAreOpened) {
  fs::path folder = Folder("m");
  for (const char* name : {"Shaft.txt", "Shaft", "Shaft.SLDPRT.bak", "Shaft.SLDPRTX"}) {
    fs::copy_file(folder / "Shaft.SLDPRT", folder / name);
    ResetError();
    EXPECT_EQ(kFailed, OpenFile(folder / name)) << name;
    EXPECT_EQ(-1, ErrorNumber()) << name;
    EXPECT_EQ(kUnknownExtension, ErrorDescription()) << name;
  }
  EXPECT_TRUE(host_.CallLines("ISldWorks.OpenDoc6").empty());
  EXPECT_TRUE(Open().empty());
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
  // The same name in another folder went; a name that differs in letter case
  // stays.
  EXPECT_EQ((std::vector<fs::path>{z / "SHAFT.SLDPRT", x / "Housing.SLDPRT", y / "Shaft.SLDPRT"}),
            Open());
  EXPECT_EQ(Wide(y / "Shaft.SLDPRT"), ActivePath());

  std::vector<std::string> calls;
  for (const std::string& line : host_.CallLines()) {
    if (line.rfind("ISldWorks.", 0) == 0 || line.rfind("IModelDoc2.ClearSelection2", 0) == 0) {
      calls.push_back(line);
    }
  }
  const std::string shaftX = platform::Utf16ToUtf8(Wide(x / "Shaft.SLDPRT"));
  const std::string shaftY = platform::Utf16ToUtf8(Wide(y / "Shaft.SLDPRT"));
  ASSERT_EQ(7u, calls.size());
  EXPECT_EQ(0u, calls[0].find("ISldWorks.ActiveDoc"));
  EXPECT_EQ(0u, calls[1].find("ISldWorks.GetFirstDocument"));
  EXPECT_EQ(0u, calls[2].find("IModelDoc2.ClearSelection2 Shaft.SLDPRT"));
  EXPECT_EQ("ISldWorks.GetOpenDocumentByName application(" + shaftX + ")", calls[3]);
  EXPECT_EQ("ISldWorks.CloseDoc application(" + shaftX + ")", calls[4]);
  EXPECT_EQ("ISldWorks.OpenDoc6 application(" + shaftY + ", 1, 1, , out, out)", calls[5]);
  EXPECT_EQ("ISldWorks.ActivateDoc3 application(" + shaftY + ", false, 1, out)", calls[6]);

  // Opening the file that is open closes it and reads it again.
  host_.Model(y / "Shaft.SLDPRT")->title = u"Changed, not saved";
  EXPECT_EQ(S_OK, OpenFile(y / "Shaft.SLDPRT"));
  EXPECT_EQ(u"", host_.Model(y / "Shaft.SLDPRT")->title);
}

TEST_F(FileOperationsTest, WhenTheHostOpensNothingTheDescriptionIsEmpty) {
  fs::path folder = Folder("m");
  testing_support::WriteFile(folder / "Broken.SLDPRT", "not a model");
  ResetError();
  EXPECT_EQ(kFailed, OpenFile(folder / "Broken.SLDPRT"));
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(u"", ErrorDescription());

  ResetError();
  host_.FailCall("ISldWorks.OpenDoc6", E_ACCESSDENIED);
  EXPECT_EQ(kFailed, OpenFile(folder / "Shaft.SLDPRT"));
  EXPECT_EQ(u"", ErrorDescription());
  host_.ClearFaults();
  ResetError();
  host_.EmptyCall("ISldWorks.OpenDoc6");
  EXPECT_EQ(kFailed, OpenFile(folder / "Shaft.SLDPRT"));
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(u"", ErrorDescription());
  host_.ClearFaults();
  EXPECT_TRUE(host_.CallLines("ISldWorks.ActivateDoc3").empty());
}

TEST_F(FileOperationsTest, SaveFileWritesTheActiveDocument) {
  fs::path folder = Folder("m");
  ASSERT_EQ(S_OK, OpenFile(folder / "Shaft.SLDPRT"));
  host_.Model(folder / "Shaft.SLDPRT")->title = u"Saved by the add-in";
  ASSERT_EQ(std::string::npos,
            testing_support::ReadFile(folder / "Shaft.SLDPRT").find("Saved by the add-in"));

  EXPECT_EQ(S_OK, SaveFile());
  EXPECT_NE(std::string::npos,
            testing_support::ReadFile(folder / "Shaft.SLDPRT").find("Saved by the add-in"));
  EXPECT_FALSE(fs::exists(folder / "any name.SLDPRT"));
  std::vector<std::string> saves = host_.CallLines("IModelDoc2.Save3");
  ASSERT_EQ(1u, saves.size());
  EXPECT_EQ("IModelDoc2.Save3 Shaft.SLDPRT(5, out, out)", saves[0]);
  EXPECT_EQ(0, ErrorNumber());
}

TEST_F(FileOperationsTest, SaveFailuresCarryTheStatusText) {
  long references = host_.References();
  EXPECT_EQ(kFailed, SaveFile());
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(u"CHarbolt::SaveFile():No document is active.", ErrorDescription());

  fs::path folder = Folder("m");
  host_.Open(folder / "Shaft.SLDPRT");
  references = host_.References();
  struct Case {
    const char* operation;
    HRESULT status;
    const char16_t* text;
  };
  const Case cases[] = {
      {"ISldWorks.ActiveDoc", E_ABORT, u"Operation aborted"},
      {"IModelDoc2.Save3", E_ACCESSDENIED, u"Access is denied."},
      {"IModelDoc2.Save3", MakeHresult(0x80040205), u"IDispatch error #5"},
      {"IModelDoc2.Save3", MakeHresult(0x8004FFFF), u"IDispatch error #65023"},
      {"IModelDoc2.Save3", MakeHresult(0x80040200), u"Unknown error 0x80040200"},
      {"IModelDoc2.Save3", MakeHresult(0x80070020), u"Unknown error 0x80070020"},
  };
  for (const Case& c : cases) {
    host_.FailCall(c.operation, c.status);
    EXPECT_EQ(kFailed, SaveFile()) << c.operation;
    EXPECT_EQ(-1, ErrorNumber());
    EXPECT_EQ(u"CHarbolt::SaveFile():" + std::u16string(c.text), ErrorDescription());
    host_.ClearFaults();
  }
  EXPECT_EQ(references, host_.References());

  // A file that cannot be written: its folder is gone.
  fs::remove_all(folder);
  EXPECT_EQ(kFailed, SaveFile());
  EXPECT_EQ(u"CHarbolt::SaveFile():Unspecified error", ErrorDescription());
  testing_support::ScopedEnv language("LC_ALL", "zh_CN.UTF-8");
  EXPECT_EQ(kFailed, SaveFile());
  EXPECT_EQ(u"CHarbolt::SaveFile():未指定的错误", ErrorDescription());
}

TEST_F(FileOperationsTest, DependenciesAreListedOnceInTheHostsOrder) {
  fs::path folder = Folder("m");
  const std::u16string housing = Wide(folder / "Housing.SLDPRT");
  const std::u16string assembly =
      Wide(folder / "Housing.SLDPRT") + u"|" + Wide(folder / "Shaft.SLDPRT") + u"|" +
      Wide(folder / "BearingSet.SLDASM") + u"|" + Wide(folder / "Bearing.SLDPRT");
  host_.Open(folder / "Gearbox.SLDASM");
  std::u16string list;
  EXPECT_EQ(S_OK, GetDependencies(&list));
  EXPECT_EQ(assembly, list);
  EXPECT_EQ("IModelDocExtension.GetDependencies Gearbox.SLDASM(true, true, false, false, false)",
            host_.CallLines("IModelDocExtension.GetDependencies").back());

  // The drawing shows the assembly and the housing, which the assembly uses
  // too: the host names the housing twice, the list once.
  host_.Open(folder / "Gearbox.SLDDRW");
  ScopedVariant raw;
  ASSERT_EQ(S_OK, testing_support::Bound(host_.ActiveDocument())
                      ->GetDependencies(VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE, raw.Receive()));
  ASSERT_EQ(VT_ARRAY | VT_BSTR, raw.Type());
  std::vector<std::u16string> paths;
  for (LONG i = 1; i < static_cast<LONG>(raw.Get()->parray->rgsabound[0].cElements); i += 2) {
    BSTR path = nullptr;
    ASSERT_EQ(S_OK, SafeArrayGetElement(raw.Get()->parray, &i, &path));
    paths.emplace_back(BstrView(path));
    SysFreeString(path);
  }
  EXPECT_EQ(2, std::count(paths.begin(), paths.end(), housing));
  EXPECT_EQ(S_OK, GetDependencies(&list));
  EXPECT_EQ(Wide(folder / "Gearbox.SLDASM") + u"|" + assembly, list);

  // A part depends on nothing.
  host_.Open(folder / "Shaft.SLDPRT");
  EXPECT_EQ(S_OK, GetDependencies(&list));
  EXPECT_EQ(u"", list);
  EXPECT_EQ(0, ErrorNumber());
}

TEST_F(FileOperationsTest, DependencyFailuresLeaveTheResultAlone) {
  std::u16string list;
  EXPECT_EQ(kFailed, GetDependencies(&list));
  EXPECT_EQ(u"<none>", list);
  EXPECT_EQ(-1, ErrorNumber());
  EXPECT_EQ(u"CHarbolt::GetDependencies():No document is active.", ErrorDescription());

  fs::path folder = Folder("m");
  host_.Open(folder / "Gearbox.SLDASM");
  long references = host_.References();
  host_.FailCall("IModelDocExtension.GetDependencies", E_OUTOFMEMORY);
  BSTR kept = SysAllocString(u"kept");
  BSTR before = kept;
  EXPECT_EQ(kFailed, CallMember(harbolt(), u"GetDependencies", {Arg(u""), Arg::BstrRef(&kept)}));
  EXPECT_EQ(before, kept);
  EXPECT_EQ(u"CHarbolt::GetDependencies():Ran out of memory", ErrorDescription());
  host_.ClearFaults();

  // What the out-argument held on entry is not part of the answer.
  EXPECT_EQ(S_OK, Call(harbolt(), u"GetDependencies", {Arg(u""), Arg::BstrRef(&kept)}));
  EXPECT_NE(before, kept);
  EXPECT_EQ(0u, std::u16string(BstrView(kept)).find(Wide(folder / "Housing.SLDPRT")));
  SysFreeString(kept);
  SysFreeString(before);

  // A host that answers without a list lists nothing.
  host_.EmptyCall("IModelDocExtension.GetDependencies");
  EXPECT_EQ(S_OK, GetDependencies(&list));
  EXPECT_EQ(u"", list);
  host_.ClearFaults();
  EXPECT_EQ(references, host_.References());
}

}  // namespace
}  // namespace addin_test
