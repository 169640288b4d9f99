// The keyboard button of the log-on screen (a touch-only instrument types its user's password
// with it) on a real X display: the on-screen keyboard program's window appears, a second press
// does not start a second keyboard, and a keyboard that was hidden comes back to the front.
// Runs under Xvfb with the keyboard program of the set-up; skipped where either is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/screens/user_logon.h"
#include "platform/sys/program_dir.h"
#include "platform/sys/shell_open.h"
#include "platform/ui/messages.h"
#include "screen_fixture.h"
#include "tests/support/xvfb.h"

namespace {

// What xdotool prints, one window id a line.
std::string Windows(const std::string& display, const std::string& args) {
  std::string out;
  const std::string cmd = "DISPLAY=" + display + " xdotool search " + args + " 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

int Lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

// Waits up to `seconds` until `count` windows with exactly this title are mapped.
bool WaitForVisible(const std::string& display, const std::string& title, int count, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Lines(Windows(display, "--onlyvisible --name '^" + title + "$'")) == count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

class KeyboardButtonTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    const char* d = std::getenv("DISPLAY");
    savedDisplay_ = d ? d : "";
    if (!support::HaveXvfb()) GTEST_SKIP() << "Xvfb not installed";
    if (!support::HaveProgram("xdotool")) GTEST_SKIP() << "xdotool not installed";
    unsetenv("QUORVEX_HELPER_KEYBOARD");
    keyboard_ = sys::ResolveShellOpen(sys::ProgramDir() + "Keyboard.exe");
    if (keyboard_.argv.empty()) GTEST_SKIP() << "no on-screen keyboard program: " << keyboard_.error;
    if (keyboard_.windowTitle.empty()) GTEST_SKIP() << keyboard_.argv[0] << ": its window title is not known";
  }
  void TearDown() override {
    if (savedDisplay_.empty()) unsetenv("DISPLAY");
    else setenv("DISPLAY", savedDisplay_.c_str(), 1);
    ScreenTest::TearDown();
  }
  sys::ShellCommand keyboard_;
  std::string savedDisplay_;
};

TEST_F(KeyboardButtonTest, TheKeyboardAppearsOnceAndComesBackToTheFront) {
  support::Xvfb x(800, 600);
  ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
  setenv("DISPLAY", x.display().c_str(), 1);
  const std::string& title = keyboard_.windowTitle;
  CUserLogon logon;
  bool ok = d.RunScript([&] { logon.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 0) << "no keyboard before the press";
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    // A second press at once, while the keyboard may still be opening its window.
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    ASSERT_TRUE(WaitForVisible(x.display(), title, 1, 15)) << "the keyboard's window did not appear";
    // A later press, with its window up, raises that one.
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 1) << "a second keyboard was started";
    // Hidden (as when minimised), it is shown again by the next press.
    const std::string id = Windows(x.display(), "--onlyvisible --name '^" + title + "$'");
    ASSERT_EQ(Lines(id), 1);
    std::system(("DISPLAY=" + x.display() + " xdotool windowunmap --sync " + id.substr(0, id.size() - 1)).c_str());
    ASSERT_TRUE(WaitForVisible(x.display(), title, 0, 5)) << "the keyboard could not be hidden";
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    EXPECT_TRUE(WaitForVisible(x.display(), title, 1, 5)) << "the hidden keyboard was not shown again";
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 1) << "a second keyboard was started";
    EXPECT_EQ(s.MessageBox(), nullptr) << "no message while the keyboard program is there";
    s.Press(ui::IDCANCEL);
  });
  EXPECT_TRUE(ok);
}

}  // namespace
