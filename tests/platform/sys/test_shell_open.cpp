#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/sys/path_map.h"
#include "platform/sys/process.h"
#include "platform/sys/shell_open.h"
#include "temp_dir.h"

namespace {

// A PATH holding only fake helper programs, so nothing real is ever started.
class ShellOpenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* p = std::getenv("PATH");
    oldPath_ = p ? p : "";
    setenv("PATH", (bin_.path() + ":/usr/bin:/bin").c_str(), 1);
    for (const char* v : {"QUORVEX_HELPER_KEYBOARD", "QUORVEX_HELPER_HELP", "QUORVEX_HELPER_TOUCH",
                          "QUORVEX_HELPER_FILES", "QUORVEX_HELPER_MERDO", "QUORVEX_HELPER_TRAVENZO"})
      unsetenv(v);
    sys::SetDriveRoot(drives_.path());
  }
  void TearDown() override {
    setenv("PATH", oldPath_.c_str(), 1);
    unsetenv("QUORVEX_HELPER_KEYBOARD");
    sys::SetDriveRoot("");
  }
  // A fake program: a script that records its arguments in <name>.ran beside the test's files.
  void FakeProgram(const testutil::TempDir& where, const std::string& name) {
    where.Write(name, "#!/bin/sh\necho \"$@\" > \"" + prog_.path() + name + ".ran\"\n");
    chmod((where / name).c_str(), 0755);
  }
  bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 5000; ++i) {
      struct stat st;
      if (stat(path.c_str(), &st) == 0 && st.st_size > 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  std::string oldPath_;
  testutil::TempDir bin_, prog_, drives_;
};

TEST_F(ShellOpenTest, TablePicksTheInstalledProgram) {
  // /usr/bin may hold real helpers; the fakes come first in PATH and are the first choices.
  FakeProgram(bin_, "matchbox-keyboard");
  FakeProgram(bin_, "xchm");
  FakeProgram(bin_, "xinput_calibrator");
  FakeProgram(bin_, "pcmanfm");
  prog_.Write("QuorvexUA.chm", "help");
  // The keyboard is started with a layout that has digits, and its window title is known.
  const std::vector<std::string> keyboard{"matchbox-keyboard", "--fontptsize", "14", "lq1"};
  struct Case {
    std::string file;
    std::vector<std::string> argv;
    std::string title;
  } cases[] = {
      {prog_ / "Keyboard.exe", keyboard, "Keyboard"},
      {prog_ / "KEYBOARD.EXE", keyboard, "Keyboard"},
      {prog_ / "quorvexua.CHM", {"xchm", prog_ / "QuorvexUA.chm"}, ""},
      {"C:\\Program Files\\TouchKit\\xAuto4PtsCal.exe", {"xinput_calibrator"}, ""},
      {"C:\\Program Files\\TouchKit\\TouchKit.exe", {"xinput_calibrator"}, ""},
      {"C:\\WINDOWS\\Explorer.exe", {"pcmanfm", std::getenv("HOME") ? std::getenv("HOME") : "/"}, ""},
  };
  for (const auto& c : cases) {
    sys::ShellCommand cmd = sys::ResolveShellOpen(c.file);
    EXPECT_EQ(cmd.argv, c.argv) << c.file << ": " << cmd.error;
    EXPECT_EQ(cmd.windowTitle, c.title) << c.file;
  }
  // Without the first choice the next installed one is taken; its window title is not known.
  setenv("PATH", bin_.path().c_str(), 1);
  unlink((bin_ / "matchbox-keyboard").c_str());
  FakeProgram(bin_, "florence");
  sys::ShellCommand next = sys::ResolveShellOpen(prog_ / "Keyboard.exe");
  EXPECT_EQ(next.argv, std::vector<std::string>{"florence"}) << next.error;
  EXPECT_EQ(next.windowTitle, "");
}

TEST_F(ShellOpenTest, NativeProgramBesideTheExeWins) {
  FakeProgram(prog_, "Travenzo");
  FakeProgram(prog_, "keyboard.sh");
  FakeProgram(bin_, "onboard");
  prog_.Write("Sub/MERDO", "not executable");
  EXPECT_EQ(sys::ResolveShellOpen(prog_ / "Travenzo.exe").argv, std::vector<std::string>{prog_ / "Travenzo"});
  EXPECT_EQ(sys::ResolveShellOpen(prog_ / "Keyboard.exe").argv, std::vector<std::string>{prog_ / "keyboard.sh"});
  sys::ShellCommand merdo = sys::ResolveShellOpen(prog_ / "Sub\\MERDO.EXE");
  EXPECT_TRUE(merdo.argv.empty());
  EXPECT_NE(merdo.error.find("QUORVEX_HELPER_MERDO"), std::string::npos) << merdo.error;
}

TEST_F(ShellOpenTest, FailuresSayWhatIsMissing) {
  struct Case {
    std::string file;
    std::string expectInError;
  } cases[] = {
      {"", "no file name"},
      {prog_ / "QuorvexEN.chm", "file not found"},  // help file not delivered
      {prog_ / "Keyboard.exe", "matchbox-keyboard, onboard, florence, xvkbd"},  // no keyboard program
      {prog_ / "Other.exe", "no native program"},
      {prog_ / "missing.pdf", "file not found"},
  };
  setenv("PATH", bin_.path().c_str(), 1);  // nothing but the (empty) fake folder
  for (const auto& c : cases) {
    sys::ShellCommand cmd = sys::ResolveShellOpen(c.file);
    EXPECT_TRUE(cmd.argv.empty()) << c.file;
    EXPECT_NE(cmd.error.find(c.expectInError), std::string::npos) << c.file << ": " << cmd.error;
    std::string error;
    EXPECT_FALSE(sys::ShellOpen(c.file, "", &error));
    EXPECT_EQ(error, cmd.error);
  }
}

TEST_F(ShellOpenTest, OverrideVariableAndStartingForReal) {
  FakeProgram(bin_, "mykbd");
  setenv("QUORVEX_HELPER_KEYBOARD", "mykbd --dock", 1);
  sys::ShellCommand cmd = sys::ResolveShellOpen(prog_ / "Keyboard.exe", "-x");
  EXPECT_EQ(cmd.argv, (std::vector<std::string>{"mykbd", "--dock", "-x"}));
  std::string error;
  ASSERT_TRUE(sys::ShellOpen(prog_ / "Keyboard.exe", "", &error)) << error;
  ASSERT_TRUE(WaitForFile(prog_ / "mykbd.ran"));
  EXPECT_EQ(prog_.Read("mykbd.ran"), "--dock\n");

  setenv("QUORVEX_HELPER_KEYBOARD", "not-installed-kbd", 1);
  EXPECT_FALSE(sys::ShellOpen(prog_ / "Keyboard.exe", "", &error));
  EXPECT_NE(error.find("not-installed-kbd"), std::string::npos) << error;
}

TEST(Process, RunAndWaitGivesTheExitStatus) {
  std::string error;
  EXPECT_EQ(sys::RunAndWait({"sh", "-c", "exit 3"}, &error), 3);
  EXPECT_EQ(sys::RunAndWait({"true"}), 0);
  EXPECT_EQ(sys::RunAndWait({"no-such-program-qx"}, &error), -1);
  EXPECT_NE(error.find("no-such-program-qx"), std::string::npos);
  EXPECT_EQ(sys::RunAndWait({}, &error), -1);
  EXPECT_EQ(sys::RunAndWait({"sh", "-c", "kill -9 $$"}, &error), -1);
  EXPECT_NE(error.find("signal"), std::string::npos) << error;
}

TEST(Process, CaptureCollectsStandardOutput) {
  std::string out, error;
  EXPECT_EQ(sys::RunAndCapture({"sh", "-c", "echo 'Wired connection 1'; exit 2"}, &out, &error), 2);
  EXPECT_EQ(out, "Wired connection 1\n");
  std::string big;
  EXPECT_EQ(sys::RunAndCapture({"sh", "-c", "head -c 200000 /dev/zero"}, &big), 0);
  EXPECT_EQ(big.size(), 200000u) << "output larger than a pipe buffer";
  EXPECT_EQ(sys::RunAndCapture({"no-such-program-qx"}, &out, &error), -1);
}

TEST(Process, ChildrenInheritNoOpenFilesBeyondTheStandardThree) {
  testutil::TempDir dir;
  int fd = open((dir / "held.txt").c_str(), O_CREAT | O_RDWR, 0644);  // no close-on-exec
  ASSERT_GE(fd, 3);
  const std::string probe = "test -e /proc/self/fd/" + std::to_string(fd);
  EXPECT_EQ(sys::RunAndWait({"sh", "-c", probe}), 1) << "descriptor " << fd << " leaked into the child";
  close(fd);
}

}  // namespace
