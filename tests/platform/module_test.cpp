#include "platform/module.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/last_error.h"
#include "platform/text.h"

namespace {

TEST(ModuleTest, LoadsFindsExportsAndNamesItself) {
  std::u16string path = platform::AnsiToWide(TEST_MODULE_PATH);
  HMODULE module = LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr);

  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(module, "TestModuleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  auto self = reinterpret_cast<HMODULE (*)()>(GetProcAddress(module, "TestModuleSelf"));
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(self(), module);

  char16_t name[1024];
  DWORD length = GetModuleFileNameW(module, name, 1024);
  EXPECT_EQ(std::u16string(name, length), path);
  char16_t cut[5];
  EXPECT_EQ(GetModuleFileNameW(module, cut, 5), 4u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

  EXPECT_EQ(FreeLibrary(module), TRUE);
  EXPECT_EQ(LoadLibraryW(u"/no/such/module.so"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

}  // namespace
