// The keyboard button of the log-on screen (a touch-only instrument types its user's password
// with it) on a real X display: the on-screen keyboard program's window appears clear of the
// field and only once, the keys land in the field, a second press takes it away and the next
// brings it back, a keyboard hidden from outside comes back to the front, the end of the screen
// takes it away and the program's end ends it.
// Runs under Xvfb with the keyboard program of the set-up; skipped where either is missing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/screens/user_logon.h"
#include "core/layout.h"
#include "core/onscreen_keyboard.h"
#include "platform/sys/program_dir.h"
#include "platform/sys/shell_open.h"
#include "platform/ui/messages.h"
#include "screen_fixture.h"
#include "tests/support/xvfb.h"
#include "tests/support/keyboard_stand_in.h"

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

// Waits up to `seconds` until a window with exactly this title exists, shown or not.
bool WaitForWindow(const std::string& display, const std::string& title, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Lines(Windows(display, "--name '^" + title + "$'")) >= 1) return true;
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

// Where the keyboard's window lies on the display: "x y w h", empty when there is none.
std::string Geometry(const std::string& display, const std::string& id) {
  std::string out;
  const std::string cmd = "DISPLAY=" + display + " xdotool getwindowgeometry --shell " + id + " 2>/dev/null";
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  auto value = [&](const std::string& key) {
    const size_t at = out.find(key + "=");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + key.size() + 1);
  };
  return std::to_string(value("X")) + " " + std::to_string(value("Y")) + " " + std::to_string(value("WIDTH")) + " " +
         std::to_string(value("HEIGHT"));
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST_F(KeyboardButtonTest, TheKeyboardComesUpClearOfTheFieldGoesOnASecondTapAndEndsWithTheProgram) {
  support::Xvfb x(800, 600);
  ASSERT_FALSE(x.display().empty()) << "Xvfb did not start";
  setenv("DISPLAY", x.display().c_str(), 1);
  const std::string& title = keyboard_.windowTitle;
  CUserLogon logon;
  bool ok = d.RunScript([&] { logon.DoModal(); }, [&](ui::TestDriver& s) {
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 0) << "no keyboard before the press";
    s.Press(IDC_LOGON_PASSWORD);
    ui::Rect field;
    s.RunUntil([&] {
      field = s.Find(IDC_LOGON_PASSWORD)->GetWindowRect();
      return true;
    });
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    // A second press at once: while the keyboard is still opening its window it starts no second
    // keyboard and the window comes up; when the window is there already it is a second tap and
    // takes it away. Which of the two it meets depends on how quickly the keyboard starts, so a
    // keyboard taken away is called up once more.
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    ASSERT_TRUE(WaitForWindow(x.display(), title, 15)) << "the keyboard's window did not appear";
    if (!WaitForVisible(x.display(), title, 1, 2)) ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    ASSERT_TRUE(WaitForVisible(x.display(), title, 1, 15)) << "the keyboard's window did not come up";
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 1) << "a second keyboard was started";
    const std::string id = FirstLine(Windows(x.display(), "--name '^" + title + "$'"));
    // Placed clear of the password field: centred across, at the bottom or the top.
    int kx = -1, ky = -1, kw = 0, kh = 0;
    for (int tries = 0; tries < 50; ++tries) {
      std::sscanf(Geometry(x.display(), id).c_str(), "%d %d %d %d", &kx, &ky, &kw, &kh);
      if (ky == 600 - kh || (ky == 0 && kx > 0)) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(kx, (800 - kw) / 2);
    EXPECT_TRUE(ky == 600 - kh || ky == 0) << "at " << ky;
    EXPECT_TRUE(ui::Rect(kx, ky, kx + kw, ky + kh).Intersect(field).IsEmpty()) << "the keyboard covers the field";
    // The focus stayed in the field: keys land there.
    s.Type("pw");
    EXPECT_EQ(s.Text(IDC_LOGON_PASSWORD), "pw");
    // A second tap takes it away; the next one brings the same keyboard back.
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    EXPECT_TRUE(WaitForVisible(x.display(), title, 0, 5)) << "a second tap left the keyboard up";
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    EXPECT_TRUE(WaitForVisible(x.display(), title, 1, 5)) << "the keyboard did not come back";
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 1) << "a second keyboard was started";
    // Hidden from outside (as when minimised), it is shown again by the next press.
    std::system(("DISPLAY=" + x.display() + " xdotool windowunmap --sync " + id).c_str());
    ASSERT_TRUE(WaitForVisible(x.display(), title, 0, 5)) << "the keyboard could not be hidden";
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    EXPECT_TRUE(WaitForVisible(x.display(), title, 1, 5)) << "the hidden keyboard was not shown again";
    EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 1) << "a second keyboard was started";
    EXPECT_EQ(s.MessageBox(), nullptr) << "no message while the keyboard program is there";
    s.Press(ui::IDCANCEL);
  });
  EXPECT_TRUE(ok);
  // Leaving the screen takes it away; the program's end ends it.
  EXPECT_TRUE(WaitForVisible(x.display(), title, 0, 5)) << "the keyboard stayed over the next screen";
  EndOnScreenKeyboard();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Lines(Windows(x.display(), "--name '^" + title + "$'")) != 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(Lines(Windows(x.display(), "--name '^" + title + "$'")), 0) << "the keyboard outlived the program";
}

// Offscreen, with a keyboard that is always there: the "..." key leaves the focus in the
// password field, so what the keyboard types goes there.
class LogonKeyboardKey : public ScreenTest {};

TEST_F(LogonKeyboardKey, KeysTypedAfterTheKeyboardButtonLandInThePassword) {
  support::InstallKeyboardStandIn();
  CUserLogon logon;
  std::string password;
  ASSERT_TRUE(d.RunScript([&] { logon.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(IDC_LOGON_PASSWORD);
    s.Type("a");
    ASSERT_TRUE(s.Press(IDC_LOGON_KEYBOARD));
    s.Type("bc");
    password = s.Text(IDC_LOGON_PASSWORD);
    s.Press(ui::IDCANCEL);
  }));
  support::RemoveKeyboardStandIn();
  EXPECT_EQ(password, "abc");
}

}  // namespace
