#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sys/path_map.h"
#include "platform/sys/program_dir.h"
#include "temp_dir.h"

namespace {

TEST(PathMap, SeparatorsBecomeSlashes) {
  EXPECT_EQ(sys::NormalizeSeparators("Picture\\bg_ONOFF.bmp"), "Picture/bg_ONOFF.bmp");
  EXPECT_EQ(sys::NormalizeSeparators("/opt/q/\\Log\\\\x.txt"), "/opt/q/Log/x.txt");
  EXPECT_EQ(sys::NormalizeSeparators(""), "");
}

TEST(PathMap, LetterCaseResolvesPerComponent) {
  testutil::TempDir dir;
  dir.Write("ProduceInfo/Produceinfo.ver", "x");
  dir.Write("Setting.ini", "x");
  struct Case {
    std::string given, expected;
  } cases[] = {
      {"setting.ini", "Setting.ini"},
      {"SETTING.INI", "Setting.ini"},
      {"Setting.ini", "Setting.ini"},
      {"produceinfo\\PRODUCEINFO.VER", "ProduceInfo/Produceinfo.ver"},
      // A new file keeps its spelling below the folder that was found.
      {"PRODUCEINFO\\Logo.bmp", "ProduceInfo/Logo.bmp"},
      {"NewDir\\new.txt", "NewDir/new.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(sys::MapPath(dir.path() + c.given), dir.path() + c.expected) << c.given;
}

TEST(PathMap, ExactSpellingWinsOverOtherCases) {
  testutil::TempDir dir;
  dir.Write("a.txt", "lower");
  dir.Write("A.txt", "upper");
  EXPECT_EQ(sys::MapPath(dir / "A.txt"), dir / "A.txt");
  EXPECT_EQ(sys::MapPath(dir / "a.txt"), dir / "a.txt");
  // Neither spelling given: a stable choice among the two.
  EXPECT_EQ(sys::MapPath(dir / "A.TXT"), dir / "A.txt");
}

TEST(PathMap, DrivePathsGoToTheirFolders) {
  testutil::TempDir dir;
  sys::SetDriveRoot(dir.path());
  EXPECT_EQ(sys::MapPath("C:\\QuorvexData"), dir / "drive_c/QuorvexData");
  EXPECT_EQ(sys::MapPath("d:\\pulse\\SAVE_PULSE_INFO_1.txt"), dir / "drive_d/pulse/SAVE_PULSE_INFO_1.txt");
  EXPECT_EQ(sys::MapPath("C:"), dir / "drive_c/");
  EXPECT_EQ(sys::DriveFolder('1'), "");
  dir.Write("drive_c/Program Files/TouchKit/TouchKit.exe", "");
  EXPECT_EQ(sys::MapPath("C:\\PROGRAM FILES\\touchkit\\TouchKit.exe"), dir / "drive_c/Program Files/TouchKit/TouchKit.exe");
  sys::SetDriveRoot("");

  setenv("QUORVEX_DRIVE_ROOT", (dir / "env").c_str(), 1);
  EXPECT_EQ(sys::MapPath("C:\\x"), dir / "env/drive_c/x");
  setenv("QUORVEX_DRIVE_D", (dir / "dd").c_str(), 1);
  EXPECT_EQ(sys::MapPath("D:\\y"), dir / "dd/y");
  unsetenv("QUORVEX_DRIVE_D");
  unsetenv("QUORVEX_DRIVE_ROOT");
}

TEST(ProgramDir, IsTheExecutableFolderUnlessSet) {
  const std::string exe = sys::ProgramDir();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_NE(exe.find("/tests/platform/sys/"), std::string::npos) << exe;
  testutil::TempDir dir;
  dir.Write("Setting.ini", "");
  sys::SetProgramDir(dir.path().substr(0, dir.path().size() - 1));  // no trailing slash given
  EXPECT_EQ(sys::ProgramDir(), dir.path());
  EXPECT_EQ(sys::ProgramFile("setting.ini"), dir / "Setting.ini");
  sys::SetProgramDir("");
  EXPECT_EQ(sys::ProgramDir(), exe);
}

}  // namespace
