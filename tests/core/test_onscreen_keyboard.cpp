// The on-screen keyboard as the keyboard button works it: where it comes up (clear of the field
// it types into), the keys landing in the field the operator was in, a second tap and the end of
// the screen taking it away, and the keyboard program ended with the program. The keyboard
// program is a script of the test's own that records its process ids; its window is a fake one
// that the test's display hooks keep.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include "core/layout.h"
#include "core/onscreen_keyboard.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window.h"

namespace fs = std::filesystem;

namespace {

TEST(OnScreenKeyboardPlace, ClearOfTheFieldAtTheBottomElseAtTheTop) {
  // The keyboard of the set-up is 397 x 104 pixels: centred across a 640-pixel display it
  // starts at (640 - 397) / 2 = 121, at the bottom at 480 - 104 = 376 (800 x 600: 201 and 496).
  const draw::Size kbd(397, 104);
  struct Case {
    const char* what;
    draw::Size display;
    draw::Size keyboard;
    draw::Rect field;
    draw::Point expected;
  } cases[] = {
      {"no field", {640, 480}, kbd, draw::Rect(), {121, 376}},
      {"field near the top", {640, 480}, kbd, draw::Rect(100, 50, 200, 70), {121, 376}},
      {"field in the bottom band", {640, 480}, kbd, draw::Rect(100, 400, 300, 420), {121, 0}},
      {"field reaching one row into the bottom band", {640, 480}, kbd, draw::Rect(121, 360, 300, 377), {121, 0}},
      {"field ending just above the bottom band", {640, 480}, kbd, draw::Rect(121, 360, 300, 376), {121, 376}},
      {"field in the bottom band beside the keyboard", {640, 480}, kbd, draw::Rect(0, 400, 121, 420), {121, 376}},
      {"field as large as the display: a tie", {640, 480}, kbd, draw::Rect(0, 0, 640, 480), {121, 376}},
      // Fields across the display: rows 376..400 (24) would be covered at the bottom, rows 50..104
      // (54) at the top, all 104 rows at any height between.
      {"field mostly in the top band", {640, 480}, kbd, draw::Rect(0, 50, 640, 400), {121, 376}},
      // Rows 376..460 (84) at the bottom against 19..104 (85) at the top; then 85 against 83.
      {"field covered less at the top", {640, 480}, kbd, draw::Rect(0, 19, 640, 460), {121, 376}},
      {"field covered less at the top, by a row", {640, 480}, kbd, draw::Rect(0, 21, 640, 461), {121, 0}},
      // A narrow tall field: the keyboard against the right edge (x 243..640) leaves it free.
      {"narrow field down the display's left", {640, 480}, kbd, draw::Rect(130, 19, 140, 460), {243, 376}},
      {"800 x 600, field at the bottom", {800, 600}, kbd, draw::Rect(300, 540, 500, 560), {201, 0}},
      {"800 x 600, field at the top", {800, 600}, kbd, draw::Rect(300, 40, 500, 60), {201, 496}},
      {"keyboard wider than the display", {320, 240}, kbd, draw::Rect(), {0, 136}},
      {"keyboard taller than the display", {640, 80}, kbd, draw::Rect(0, 0, 10, 10), {121, 0}},
  };
  for (const Case& c : cases) {
    const draw::Point at = OnScreenKeyboardPlace(c.display, c.keyboard, c.field);
    EXPECT_EQ(at.x, c.expected.x) << c.what;
    EXPECT_EQ(at.y, c.expected.y) << c.what;
  }
}

// The fake keyboard window: it is there once the keyboard program has written its process id
// (as a real keyboard opens its window a moment after it starts), shown as it comes up.
struct FakeWindow {
  std::mutex lock;
  fs::path pidFile;
  bool created = false;
  bool shown = false;
  draw::Rect rect = draw::Rect::FromSize(0, 0, 397, 104);
  int moves = 0, hides = 0, raises = 0;
};
FakeWindow* g_window = nullptr;

bool Present(FakeWindow& w) {
  if (!w.created && fs::exists(w.pidFile)) {
    w.created = true;
    w.shown = true;
  }
  return w.created;
}
bool FakeGeometry(const std::string& title, draw::Rect* where, bool* shown) {
  std::lock_guard<std::mutex> g(g_window->lock);
  if (title != kOnScreenKeyboardTitle || !Present(*g_window)) return false;
  *where = g_window->rect;
  *shown = g_window->shown;
  return true;
}
bool FakeMove(const std::string&, int x, int y) {
  std::lock_guard<std::mutex> g(g_window->lock);
  g_window->rect = draw::Rect::FromSize(x, y, g_window->rect.Width(), g_window->rect.Height());
  ++g_window->moves;
  return true;
}
bool FakeHide(const std::string&) {
  std::lock_guard<std::mutex> g(g_window->lock);
  g_window->shown = false;
  ++g_window->hides;
  return true;
}
bool FakeRaise(const char* title) {
  std::lock_guard<std::mutex> g(g_window->lock);
  if (std::string(title) != kOnScreenKeyboardTitle || !Present(*g_window)) return false;
  g_window->shown = true;
  ++g_window->raises;
  return true;
}
const OnScreenKeyboardWindows kFakeWindows{FakeGeometry, FakeMove, FakeHide};

// A screen with a field near the bottom, one near the top and a keyboard button that takes the
// focus when tapped (as a push button with a tab stop does).
constexpr int kLowField = 100, kHighField = 101, kSaveButton = 102;
class TypingScreen : public ui::Dialog {
 public:
  TypingScreen() : ui::Dialog(Template()) {}
  static ui::DialogTemplate Template() {
    ui::DialogTemplate t;
    t.cx = 320;
    t.cy = 240;
    t.style = ui::WS_POPUP | ui::WS_VISIBLE;
    const uint32_t E = ui::WS_VISIBLE | ui::WS_TABSTOP | ui::WS_BORDER | ui::ES_AUTOHSCROLL;
    t.Add("Edit", kLowField, "", 10, 215, 100, 12, E);   // pixels 20,430 .. 220,454
    t.Add("Edit", kHighField, "", 10, 10, 100, 12, E);   // pixels 20,20 .. 220,44
    t.Add("Button", kKeyboardButtonId, "KBD", 150, 100, 20, 13, ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_PUSHBUTTON);
    t.Add("Button", ui::IDCANCEL, "Exit", 250, 100, 40, 20, ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_PUSHBUTTON);
    t.Add("Button", kSaveButton, "Save", 250, 130, 40, 20, ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_PUSHBUTTON);
    return t;
  }

 protected:
  bool OnCommand(int id, int code, ui::Window*) override {
    if (id == kSaveButton && code == ui::BN_CLICKED) {
      ui::MessageBox(this, "Saved");
      return true;
    }
    if (id != kKeyboardButtonId || code != ui::BN_CLICKED) return false;
    ShowOnScreenKeyboard();
    return true;
  }
};

bool Alive(int pid) { return pid > 0 && kill(pid, 0) == 0; }

int ReadPid(const fs::path& file) {
  std::ifstream in(file);
  int pid = 0;
  in >> pid;
  return pid;
}

class OnScreenKeyboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quorvex_kbd_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    window_.pidFile = dir_ / "keyboard.pid";
    // The keyboard program: a wrapper that records its own id and runs a second program (as a
    // wrapper script of an installation would), recording that one's id too.
    const fs::path script = dir_ / "keyboard.sh";
    std::ofstream(script) << "#!/bin/sh\nsleep 120 &\necho $! > '" << (dir_ / "child.pid").string()
                          << "'\necho $$ > '" << window_.pidFile.string() << "'\nwait\n";
    fs::permissions(script, fs::perms::owner_all);
    setenv("QUORVEX_HELPER_KEYBOARD", script.c_str(), 1);
    g_window = &window_;
    SetOnScreenKeyboardWindows(&kFakeWindows);
    SetForeignWindowRaiser(&FakeRaise);
    ASSERT_TRUE(ui::TestDriver::Start(640, 480));
  }
  void TearDown() override {
    EndOnScreenKeyboard();
    ui::TestDriver::Stop();
    SetForeignWindowRaiser(nullptr);
    SetOnScreenKeyboardWindows(nullptr);
    g_window = nullptr;
    unsetenv("QUORVEX_HELPER_KEYBOARD");
    fs::remove_all(dir_);
  }
  // The fake window's state, read under its lock.
  template <class Fn>
  auto Window(Fn fn) {
    std::lock_guard<std::mutex> g(window_.lock);
    return fn(window_);
  }
  bool WaitFor(const std::function<bool(FakeWindow&)>& cond) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      if (Window(cond)) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  fs::path dir_;
  FakeWindow window_;
  ui::TestDriver d;
};

TEST_F(OnScreenKeyboardTest, ComesUpClearOfTheFieldTypesThereGoesOnASecondTapAndWithTheScreen) {
  TypingScreen screen;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    // In the low field: the keyboard starts and comes up at the top, centred.
    s.Press(kLowField);
    s.Type("L");
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    ASSERT_TRUE(WaitFor([](FakeWindow& w) { return w.created && w.moves > 0; })) << "the keyboard was not placed";
    EXPECT_EQ(Window([](FakeWindow& w) { return w.rect; }), draw::Rect::FromSize(121, 0, 397, 104));
    // The tap left the focus in the field: the keys land there.
    s.Type("OT7");
    EXPECT_EQ(s.Text(kLowField), "LOT7");
    // A second tap takes it away; its program goes on running for the next one.
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    EXPECT_FALSE(Window([](FakeWindow& w) { return w.shown; }));
    EXPECT_TRUE(Alive(ReadPid(window_.pidFile)));
    // In the high field it comes back, at the bottom, without a second program.
    s.Press(kHighField);
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    EXPECT_TRUE(Window([](FakeWindow& w) { return w.shown; }));
    EXPECT_EQ(Window([](FakeWindow& w) { return w.rect; }), draw::Rect::FromSize(121, 376, 397, 104));
    EXPECT_EQ(Window([](FakeWindow& w) { return w.raises; }), 1);
    s.Type("9");
    EXPECT_EQ(s.Text(kHighField), "9");
    // Shown over the field now in use (the operator went back to the low one), a tap moves it
    // out of the way instead of taking it away.
    s.Press(kLowField);
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    EXPECT_TRUE(Window([](FakeWindow& w) { return w.shown; }));
    EXPECT_EQ(Window([](FakeWindow& w) { return w.rect; }), draw::Rect::FromSize(121, 0, 397, 104));
    s.Type("8");
    EXPECT_EQ(s.Text(kLowField), "LOT78");
    // Leaving the screen takes it away.
    s.Press(ui::IDCANCEL);
  }));
  EXPECT_FALSE(Window([](FakeWindow& w) { return w.shown; })) << "the keyboard stayed over the next screen";
  const int wrapper = ReadPid(window_.pidFile), child = ReadPid(dir_ / "child.pid");
  ASSERT_TRUE(Alive(wrapper));
  ASSERT_TRUE(Alive(child));
  // The program's end ends the keyboard, and what its wrapper started.
  EndOnScreenKeyboard();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while ((Alive(wrapper) || Alive(child)) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(Alive(wrapper)) << "the keyboard outlived the program";
  EXPECT_FALSE(Alive(child)) << "the program the keyboard's wrapper started outlived the program";
}

TEST_F(OnScreenKeyboardTest, AMessageBoxOverTheScreenTakesTheKeyboardAway) {
  // The keyboard was placed clear of the screen's buttons, not of the box's OK: the box coming up
  // takes it away, so that the tap on OK reaches OK.
  TypingScreen screen;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(kHighField);
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    ASSERT_TRUE(WaitFor([](FakeWindow& w) { return w.created && w.shown && w.moves > 0; }));
    ASSERT_TRUE(s.Press(kSaveButton));
    ASSERT_NE(s.MessageBox(), nullptr) << "no box";
    s.Advance(300);
    EXPECT_FALSE(Window([](FakeWindow& w) { return w.shown; })) << "the keyboard stayed over the box";
    ASSERT_TRUE(s.AnswerMessageBox(ui::IDOK));
    // Back on the screen it stays away until the keyboard button is tapped again.
    s.Advance(100);
    EXPECT_FALSE(Window([](FakeWindow& w) { return w.shown; }));
    s.Press(kHighField);
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    EXPECT_TRUE(Window([](FakeWindow& w) { return w.shown; }));
    s.Press(ui::IDCANCEL);
  }));
}

TEST_F(OnScreenKeyboardTest, AScreenEndingWhileTheKeyboardOpensItsWindowLeavesItHidden) {
  // The window comes only after the screen has gone: it is taken off the display as it comes.
  TypingScreen screen;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(kHighField);
    // Hold the window back: it counts as there only once the test lets it.
    const fs::path realPidFile = window_.pidFile;
    Window([&](FakeWindow& w) {
      w.pidFile = dir_ / "not-yet";
      return 0;
    });
    ASSERT_TRUE(s.Press(kKeyboardButtonId));
    s.Press(ui::IDCANCEL);
    Window([&](FakeWindow& w) {
      w.pidFile = realPidFile;
      return 0;
    });
  }));
  ASSERT_TRUE(WaitFor([](FakeWindow& w) { return w.created && w.hides > 0; })) << "the late window was left up";
  EXPECT_FALSE(Window([](FakeWindow& w) { return w.shown; }));
}

}  // namespace
