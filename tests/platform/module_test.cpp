#include "platform/module.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using AnswerFn = int (*)();

TEST(Module, BareNameIsFoundBesideTheProgram) {
  // Away from bin/, so that only the program's folder can supply the file.
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir("/"), 0);
  HMODULE module = LoadLibraryA(MODULE_FIXTURE_NAME);
  ASSERT_EQ(chdir(saved), 0);
  ASSERT_NE(module, nullptr);
  auto fn = reinterpret_cast<AnswerFn>(GetProcAddress(module, "ModuleFixtureAnswer"));
  ASSERT_NE(fn, nullptr);
  EXPECT_EQ(fn(), 42);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST(Module, PathNameLoads) {
  HMODULE module = LoadLibraryA(MODULE_FIXTURE_PATH);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, "ModuleFixtureAnswer"), nullptr);
  EXPECT_EQ(FreeLibrary(module), TRUE);
}

TEST(Module, FailuresGiveNullAndFalse) {
  EXPECT_EQ(LoadLibraryA("libno-such-library.so"), nullptr);
  EXPECT_EQ(LoadLibraryA(""), nullptr);
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "ModuleFixtureAnswer"), nullptr);
  EXPECT_EQ(FreeLibrary(nullptr), FALSE);
}

}  // namespace
