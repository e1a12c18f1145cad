// The bitmap handler of the module: bitmap resources into temporary files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "addin/harbolt_ids.h"
#include "tests/addin/addin_fixture.h"

namespace addin_test {
namespace {

using testing_support::Arg;
using testing_support::Call;
using testing_support::CallMember;

uint32_t Little32(const std::string& bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24;
}

class BitmapHandlerTest : public ::testing::Test {
 protected:
  BitmapHandlerTest() : temp_("TMPDIR", dir_.path().c_str()) {}

  void SetUp() override {
    ASSERT_TRUE(module_.loaded());
    handler_ = module_.Create<IDispatch>(CLSID_BitmapHandler);
    ASSERT_TRUE(handler_);
  }
  // The path CreateBitmapFileFromResource gives for the id; empty on failure.
  std::filesystem::path Create(LONG id, HRESULT expected = S_OK) {
    ScopedVariant path;
    EXPECT_EQ(expected, CallMember(handler_.Get(), u"CreateBitmapFileFromResource", {Arg(id)},
                                   path.Receive()));
    if (path.Type() != VT_BSTR) return {};
    return platform::Utf16ToUtf8(BstrView(path.Get()->bstrVal));
  }
  size_t FilesInDir() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      ++count;
    }
    return count;
  }

  testing_support::TempDir dir_;
  testing_support::ScopedEnv temp_;
  LoadedModule module_;
  ComPtr<IDispatch> handler_;
};

TEST_F(BitmapHandlerTest, TwoFilesThenDisposeDeletesBoth) {
  std::filesystem::path small = Create(111);
  std::filesystem::path large = Create(112);
  ASSERT_FALSE(small.empty());
  ASSERT_FALSE(large.empty());
  EXPECT_NE(small, large);
  for (const auto& [file, side] : {std::pair{small, 16u}, std::pair{large, 24u}}) {
    EXPECT_EQ(dir_.path(), file.parent_path());
    EXPECT_EQ(0u, file.filename().string().rfind("swt", 0)) << file;
    std::string bytes = testing_support::ReadFile(file);
    ASSERT_GE(bytes.size(), 54u) << file;
    EXPECT_EQ("BM", bytes.substr(0, 2));
    EXPECT_EQ(bytes.size(), Little32(bytes, 2));
    EXPECT_EQ(side, Little32(bytes, 18));
    EXPECT_EQ(side, Little32(bytes, 22));
    EXPECT_EQ(24u, static_cast<uint8_t>(bytes[28]));
  }
  // The other two resources are there as well.
  std::filesystem::path icon = Create(201);
  std::filesystem::path bigIcon = Create(202);
  EXPECT_EQ(32u, Little32(testing_support::ReadFile(bigIcon), 18));

  EXPECT_EQ(S_OK, Call(handler_.Get(), u"Dispose"));
  for (const auto& file : {small, large, icon, bigIcon}) {
    EXPECT_FALSE(std::filesystem::exists(file)) << file;
  }
  EXPECT_EQ(0u, FilesInDir());
  // Nothing left to dispose.
  EXPECT_EQ(S_OK, Call(handler_.Get(), u"Dispose"));
}

TEST_F(BitmapHandlerTest, FilesOutliveTheHandlerUntilDisposed) {
  std::filesystem::path file = Create(201);
  ASSERT_TRUE(std::filesystem::exists(file));
  handler_ = nullptr;
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_EQ(S_OK, module_.CanUnloadNow());
}

TEST_F(BitmapHandlerTest, AnUnknownResourceFailsWithoutLeavingAFile) {
  EXPECT_TRUE(Create(999, E_FAIL).empty());
  EXPECT_EQ(0u, FilesInDir());
  // A temporary directory that does not exist gives no file name.
  testing_support::ScopedEnv missing("TMPDIR", (dir_ / "missing").c_str());
  EXPECT_TRUE(Create(111, E_FAIL).empty());
}

}  // namespace
}  // namespace addin_test
