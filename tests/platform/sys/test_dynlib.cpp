#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "platform/sys/dynlib.h"
#include "platform/sys/program_dir.h"
#include "temp_dir.h"

namespace {

TEST(DynamicLibrary, LoadsLooksUpCallsAndUnloads) {
  sys::DynamicLibrary lib;
  ASSERT_TRUE(lib.Load(QXSYS_TESTLIB)) << lib.Error();
  auto add = lib.Function<int (*)(int, int)>("QxTestAdd");
  ASSERT_NE(add, nullptr) << lib.Error();
  EXPECT_EQ(add(2, 40), 42);
  EXPECT_EQ(lib.Symbol("NoSuchFunction"), nullptr);
  EXPECT_NE(lib.Error().find("NoSuchFunction"), std::string::npos) << lib.Error();
  EXPECT_TRUE(lib.Unload());
  EXPECT_FALSE(lib.IsLoaded());
  EXPECT_EQ(lib.Symbol("QxTestAdd"), nullptr);
  EXPECT_TRUE(lib.Unload()) << "a second unload is harmless";
}

TEST(DynamicLibrary, FindsTheSystemMathLibrary) {
  sys::DynamicLibrary lib;
  ASSERT_TRUE(lib.Load("libm.so.6")) << lib.Error();
  auto cosine = lib.Function<double (*)(double)>("cos");
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
}

TEST(DynamicLibrary, WindowsNameFindsTheLibraryInTheProgramFolder) {
  testutil::TempDir dir;
  std::filesystem::copy_file(QXSYS_TESTLIB, dir / "libQxTest.so");
  sys::SetProgramDir(dir.path());
  sys::DynamicLibrary lib;
  const bool loaded = lib.Load("QxTest.dll");
  sys::SetProgramDir("");
  ASSERT_TRUE(loaded) << lib.Error();
  EXPECT_EQ(lib.Path(), dir / "libQxTest.so");
  auto name = lib.Function<const char* (*)()>("QxTestName");
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name(), "qx-testlib");
}

TEST(DynamicLibrary, ReportsWhyALoadFailed) {
  testutil::TempDir dir;
  dir.Write("libBroken.so", "this is not a shared object");
  struct Case {
    std::string name;
    std::string expectInError;
  } cases[] = {
      {"NoSuchLibraryAnywhere.dll", "NoSuchLibraryAnywhere"},
      {dir / "libBroken.so", "libBroken.so"},
      {dir / "missing.so", "missing.so"},
      {"", "no library name"},
  };
  for (const auto& c : cases) {
    sys::DynamicLibrary lib;
    EXPECT_FALSE(lib.Load(c.name)) << c.name;
    EXPECT_FALSE(lib.IsLoaded());
    EXPECT_NE(lib.Error().find(c.expectInError), std::string::npos) << c.name << ": " << lib.Error();
  }
}

}  // namespace
