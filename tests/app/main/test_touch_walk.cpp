// The operator's main paths walked by touch alone on a 640x480 display: the real program under
// Xvfb with the board and printer simulators, taps made with xdotool clicks only, every typed
// character tapped on the on-screen keyboard. It logs on, changes a normal range, sets up an L-J
// QC file with its lot and expiry, runs it, and searches the results by name; then it checks
// what the screens showed and what the data store holds. Each failed step leaves a picture of the
// screen in touch_walk_shots/ beside the test program.
//
// Control positions are the centres of the controls on the 640x480 screen: the screens' templates
// in dialog units times two (full-screen screens at 0,0, pop-ups centred). Screens are recognised
// by a few pixels of their own skins and frames (a probe under the on-screen keyboard is skipped).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/color.h"
#include "program_run.h"
#include "tests/support/xvfb.h"
// Last: the X headers define macros (Bool, Status, None) that other headers must not see.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

struct Pt {
  int x, y;
};
struct Area {
  int left, top, right, bottom;  // right and bottom exclusive
  bool Holds(Pt p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
};

// ---- Where the walk taps (640x480) -------------------------------------------------------------
namespace at {
// Test screen (the first screen after the start-up): its button row.
constexpr Pt kTestProfile{295, 450}, kTestExit{525, 450};
// Sample profile (full screen, its rows centred 10,8 in): the name and medical number fields'
// right parts, its keyboard button and OK.
constexpr Pt kProfileName{520, 110}, kProfileMedicalNo{360, 218}, kProfileKeyboard{438, 73}, kProfileOk{440, 420};
// Main menu.
constexpr Pt kMenuResults{256, 126}, kMenuQc{121, 257}, kMenuSetting{523, 257};
// System settings: Other and Exit.
constexpr Pt kSettingsOther{165, 430}, kSettingsExit{573, 429};
// Other settings menu (a pop-up): Log On / Log Off, Normal Limits, Exit.
constexpr Pt kOtherLogOn{140, 152}, kOtherNormal{140, 256}, kOtherExit{320, 345};
// Log-on (a pop-up): password, its keyboard button ("..."), OK.
constexpr Pt kLogonPassword{380, 222}, kLogonKeyboard{449, 222}, kLogonOk{250, 310};
// Normal ranges: the WBC high limit (right part), Save, keyboard, Exit.
constexpr Pt kNormalWbcHigh{225, 124}, kNormalSave{208, 437}, kNormalKeyboard{448, 437}, kNormalExit{568, 437};
// QC menu, L-J page.
constexpr Pt kQcSettings{210, 168}, kQcRun{430, 168}, kQcExit{320, 446};
// L-J file settings (dialog 107, full screen): lot, expiry year/month/day, the WBC target and
// limit, the buttons and the keyboard button.
constexpr Pt kLjLot{290, 35}, kLjYear{426, 35}, kLjMonth{494, 35}, kLjDay{570, 35};
// The day's spin (8x13 units right of the day field): its upper half steps the day up.
constexpr Pt kLjDayUp{584, 28};
constexpr Pt kLjWbcTarget{234, 120}, kLjWbcLimit{298, 120};
constexpr Pt kLjSave{64, 444}, kLjItems{272, 444}, kLjExit{584, 444}, kLjKeyboard{52, 386};
// Parameter choice (dialog 168, 474x352 centred at 83,64): check box i, OK.
Pt ParamCheck(int i) { return {83 + (22 + (i / 10) * 100) * 2 + 20, 64 + (18 + (i % 10) * 12) * 2 + 11}; }
constexpr Pt kParamOk{239, 376};
// QC file choice: QC 1, Exit.
constexpr Pt kFileQc1{97, 80}, kFileExit{320, 436};
// L-J run screen: Exit; the grid's first run column, WBC and LYM# rows.
constexpr Pt kRunExit{500, 446};
// The values beside "Lot:" and "Validity:"; the first run column of the table, header to the
// last row (inside its cell borders).
constexpr Area kRunLot{100, 12, 220, 42}, kRunExpiry{324, 12, 412, 42};
constexpr Area kRunCol1{244, 44, 314, 404};
// Results browser: Search, Exit; the HGB row of the first two sample columns.
constexpr Pt kHistSearch{238, 453}, kHistExit{525, 453};
// The first two sample columns (80 px apart), header to the last row, and their rows below the
// header (Date, Time and the 20 parameters).
constexpr Area kHistCol1{80, 30, 156, 404}, kHistCol1Rows{80, 54, 156, 404}, kHistCol2Rows{160, 54, 236, 404};
constexpr int kHistColumnStep = 80;
// Search conditions (dialog 138, 600x400 centred at 20,40): name, keyboard button, OK.
constexpr Pt kSearchName{540, 86}, kSearchKeyboard{564, 405}, kSearchOk{220, 408};
// Message box (fixed size, centred): its OK, and its text.
constexpr Pt kBoxOk{320, 306};
}  // namespace at

// ---- How the screens look -----------------------------------------------------------------------
// A screen is known by a few of its pixels at 640x480 (each within 30 of its colour here): the
// faces of its buttons where no caption lies, its frames and bands, its background.
struct Probe {
  Pt p;
  draw::Color c;
};
struct Look {
  const char* name;
  std::vector<Probe> probes;
};
constexpr draw::Color kBlue = draw::RGB(67, 116, 151);       // an enabled button's face
constexpr draw::Color kGreyed = draw::RGB(174, 182, 186);    // a disabled button's face
constexpr draw::Color kExitGrey = draw::RGB(101, 117, 130);  // Exit buttons
constexpr draw::Color kCream = draw::RGB(236, 233, 216);     // the screens' background
constexpr draw::Color kBand = draw::RGB(190, 198, 201);      // frames and bands
const Look kMainMenu{"main menu",
                     {{{500, 235}, draw::RGB(44, 103, 147)},
                      {{40, 386}, draw::RGB(31, 88, 128)},
                      {{560, 200}, draw::RGB(215, 223, 224)}}};
const Look kTestScreen{"test screen", {{{610, 450}, draw::RGB(166, 175, 182)}, {{470, 250}, draw::RGB(40, 40, 40)}}};
const Look kSettings{"system settings", {{{560, 410}, kExitGrey}, {{500, 330}, kBand}, {{20, 300}, kBand}}};
const Look kOtherMenu{"other settings menu", {{{500, 240}, kBlue}, {{570, 200}, kCream}, {{100, 320}, kBand}}};
const Look kLogon{"log-on",
                  {{{200, 280}, draw::RGB(205, 213, 215)},
                   {{480, 280}, draw::RGB(205, 213, 215)},
                   {{250, 300}, draw::RGB(69, 119, 153)}}};
const Look kNormal{"normal ranges", {{{568, 425}, draw::RGB(99, 115, 128)}, {{620, 300}, kBand}, {{320, 300}, kCream}}};
const Look kQcMenu{
    "QC menu",
    {{{430, 150}, kBlue}, {{430, 280}, draw::RGB(45, 94, 129)}, {{610, 300}, kCream}, {{620, 300}, draw::RGB(205, 213, 215)}}};
const Look kLjSettings{"L-J file settings", {{{584, 435}, kExitGrey}, {{620, 300}, kCream}, {{376, 300}, kCream}}};
const Look kParams{"parameter choice", {{{240, 365}, draw::RGB(53, 134, 139)}, {{400, 365}, draw::RGB(103, 119, 131)}}};
const Look kFileChoice{"QC file choice",
                       {{{545, 70}, draw::RGB(65, 115, 149)}, {{545, 320}, kBlue}, {{620, 200}, kCream}}};
const Look kLjRun{"L-J run",
                  {{{470, 440}, draw::RGB(98, 114, 127)},
                   {{140, 446}, draw::RGB(138, 177, 180)},
                   {{633, 200}, kCream},
                   {{40, 460}, kBand}}};
const Look kProfile{
    "sample profile",
    {{{320, 25}, draw::RGB(191, 207, 219)}, {{560, 412}, kExitGrey}, {{620, 300}, draw::RGB(205, 213, 215)}}};
const Look kHistory{"results browser",
                    {{{525, 445}, kExitGrey}, {{450, 445}, draw::RGB(69, 118, 153)}, {{620, 423}, kCream}}};
const Look kSearch{"search conditions",
                   {{{220, 400}, draw::RGB(50, 131, 136)}, {{420, 400}, draw::RGB(99, 115, 128)}, {{600, 200}, kBand}}};
// The message box: its frame at the four sides and its caption.
constexpr draw::Color kBoxFrame = draw::RGB(0, 76, 120);
const Look kMessageBox{"message box",
                       {{{107, 145}, kBoxFrame},
                        {{533, 335}, kBoxFrame},
                        {{107, 240}, kBoxFrame},
                        {{533, 240}, kBoxFrame},
                        {{200, 156}, draw::RGB(36, 93, 133)}}};

bool Near(draw::Color a, draw::Color b) {
  return std::abs(draw::GetRValue(a) - draw::GetRValue(b)) + std::abs(draw::GetGValue(a) - draw::GetGValue(b)) +
             std::abs(draw::GetBValue(a) - draw::GetBValue(b)) <=
         30;
}

// Text pixels inside a box: dark ones (the labels' and values' greys) and the strong colours of
// flagged values (a channel well below the light greys of the backgrounds and bands).
bool IsInk(draw::Color c) {
  const int r = draw::GetRValue(c), g = draw::GetGValue(c), b = draw::GetBValue(c);
  return r + g + b < 300 || std::min({r, g, b}) < 100;
}
int InkPixels(const draw::Bitmap& shot, Area b) {
  int n = 0;
  for (int y = b.top; y < b.bottom; ++y)
    for (int x = b.left; x < b.right; ++x)
      if (IsInk(shot.GetPixel(x, y))) ++n;
  return n;
}

// The lines of text inside a box: runs of rows holding text pixels, a run going on across the
// one or two faint rows inside a line of small anti-aliased text (lines lie 6 rows apart or more).
int InkLines(const draw::Bitmap& shot, Area b) {
  int lines = 0, blank = 4;
  for (int y = b.top; y < b.bottom; ++y) {
    if (InkPixels(shot, {b.left, y, b.right, y + 1}) > 0) {
      if (blank >= 4) ++lines;
      blank = 0;
    } else {
      ++blank;
    }
  }
  return lines;
}

// Pixels of `a` inside `area` that differ from those of `b` `dx` pixels to the right.
int Differences(const draw::Bitmap& a, Area area, const draw::Bitmap& b, int dx) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (a.GetPixel(x, y) != b.GetPixel(x + dx, y)) ++n;
  return n;
}

// ---- The X display: pictures of the root window (libX11 loaded at run time) -------------------
class XScreen {
 public:
  explicit XScreen(const std::string& display) {
    lib_ = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (!lib_) return;
    open_ = reinterpret_cast<Display* (*)(const char*)>(dlsym(lib_, "XOpenDisplay"));
    close_ = reinterpret_cast<int (*)(Display*)>(dlsym(lib_, "XCloseDisplay"));
    root_ = reinterpret_cast<Window (*)(Display*)>(dlsym(lib_, "XDefaultRootWindow"));
    attrs_ = reinterpret_cast<Status (*)(Display*, Window, XWindowAttributes*)>(dlsym(lib_, "XGetWindowAttributes"));
    image_ = reinterpret_cast<XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int)>(
        dlsym(lib_, "XGetImage"));
    if (open_ && close_ && root_ && attrs_ && image_) d_ = open_(display.c_str());
  }
  ~XScreen() {
    if (d_) close_(d_);
    if (lib_) dlclose(lib_);
  }
  XScreen(const XScreen&) = delete;
  XScreen& operator=(const XScreen&) = delete;
  bool ok() const { return d_ != nullptr; }

  draw::Bitmap Grab() const {
    if (!d_) return {};
    const Window root = root_(d_);
    XWindowAttributes a{};
    if (!attrs_(d_, root, &a)) return {};
    XImage* im = image_(d_, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!im) return {};
    draw::Bitmap b = draw::Bitmap::Create(a.width, a.height);
    for (int y = 0; y < a.height; ++y)
      for (int x = 0; x < a.width; ++x) {
        const unsigned long p = XGetPixel(im, x, y);
        b.SetPixel(x, y, draw::RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
      }
    XDestroyImage(im);
    return b;
  }

 private:
  void* lib_ = nullptr;
  Display* d_ = nullptr;
  Display* (*open_)(const char*) = nullptr;
  int (*close_)(Display*) = nullptr;
  Window (*root_)(Display*) = nullptr;
  Status (*attrs_)(Display*, Window, XWindowAttributes*) = nullptr;
  XImage* (*image_)(Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
};

std::string Output(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[256];
    while (fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

std::string Today() {
  char s[16];
  const time_t now = time(nullptr);
  strftime(s, sizeof s, "%Y-%m-%d", localtime(&now));
  return s;
}

std::string NowTime() {
  char s[16];
  const time_t now = time(nullptr);
  strftime(s, sizeof s, "%H:%M:%S", localtime(&now));
  return s;
}

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == sep) {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

// ---- The on-screen keyboard ---------------------------------------------------------------------
// Key centres of the keyboard's letters-and-number-pad layout as it opens (397x104 px: four rows
// of 26 px), relative to its window; scaled when the window has another size.
const std::map<char, Pt>& KeyCentres() {
  static const std::map<char, Pt> keys = [] {
    std::map<char, Pt> k;
    const int r0 = 13, r1 = 39, r2 = 65, r3 = 91;
    const std::pair<char, int> row0[] = {{'q', 59},   {'w', 82},  {'e', 105}, {'r', 128}, {'t', 151},
                                         {'y', 173},  {'u', 197}, {'i', 221}, {'o', 243}, {'p', 266},
                                         {'\b', 289}, {'7', 316}, {'8', 339}, {'9', 362}};
    const std::pair<char, int> row1[] = {{'a', 37},  {'s', 60},  {'d', 83},  {'f', 106}, {'g', 129}, {'h', 152},
                                         {'j', 175}, {'k', 198}, {'l', 221}, {'4', 294}, {'5', 317}, {'6', 340}};
    const std::pair<char, int> row2[] = {{'z', 59},  {'x', 81},  {'c', 105}, {'v', 127}, {'b', 151}, {'n', 173},
                                         {'m', 197}, {'1', 317}, {'2', 340}, {'3', 363}, {'-', 386}};
    const std::pair<char, int> row3[] = {{' ', 160}, {'.', 317}, {'0', 340}};
    for (auto [c, x] : row0) k[c] = {x, r0};
    for (auto [c, x] : row1) k[c] = {x, r1};
    for (auto [c, x] : row2) k[c] = {x, r2};
    for (auto [c, x] : row3) k[c] = {x, r3};
    return k;
  }();
  return keys;
}

class TouchWalk : public ::testing::Test {
 protected:
  void SetUp() override {
    shots_ = fs::absolute("touch_walk_shots");
    fs::remove_all(shots_);
  }

  // The program ends first, then the simulators and the picture connection, the display last.
  void TearDown() override {
    if (HasFailure() && screen_) SaveShot("at_failure");
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      program_run::WaitEnd(pid_, 30);
    }
    board_.reset();
    printer_.reset();
    screen_.reset();
    xvfb_.reset();
  }

  // ---- pictures ----
  draw::Bitmap Grab() const { return screen_->Grab(); }

  // Saves the screen as touch_walk_shots/<n>_<name>.png and returns the file's path.
  std::string SaveShot(std::string name) {
    for (char& c : name)
      if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    fs::create_directories(shots_);
    const std::string path = (shots_ / (std::to_string(++shotCount_) + "_" + name + ".png")).string();
    Grab().SavePng(path);
    return path;
  }

  // ---- the keyboard window ----
  std::optional<Area> KeyboardBox() const {
    const std::string out =
        Output(xdotool_ + " search --onlyvisible --name '^Keyboard$' getwindowgeometry --shell 2>/dev/null");
    std::map<std::string, int> v;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = line.substr(0, eq);
      if (v.count(key)) break;  // the first window only
      v[key] = std::atoi(line.c_str() + eq + 1);
    }
    if (!v.count("WIDTH") || v["WIDTH"] <= 0) return std::nullopt;
    return Area{v["X"], v["Y"], v["X"] + v["WIDTH"], v["Y"] + v["HEIGHT"]};
  }

  bool Shows(const draw::Bitmap& shot, const Look& look, const std::optional<Area>& keyboard) const {
    if (shot.IsNull()) return false;
    int seen = 0;
    for (const Probe& pr : look.probes) {
      if (keyboard && keyboard->Holds(pr.p)) continue;
      if (!Near(shot.GetPixel(pr.p.x, pr.p.y), pr.c)) return false;
      ++seen;
    }
    return seen > 0;
  }

  // Waits until one of `looks` is on the screen and returns it; a message box that comes
  // instead fails the step (nullptr).
  const Look* WaitForOne(std::initializer_list<const Look*> looks, double seconds = 30) {
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    std::string names;
    for (const Look* l : looks) names += std::string(names.empty() ? "" : " or ") + l->name;
    while (Clock::now() < end) {
      const auto keyboard = KeyboardBox();
      const draw::Bitmap shot = Grab();
      for (const Look* l : looks)
        if (Shows(shot, *l, keyboard)) return l;
      if (Shows(shot, kMessageBox, std::nullopt)) {
        ADD_FAILURE() << "a message box came instead of the " << names << ": " << SaveShot("unexpected_box");
        return nullptr;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    ADD_FAILURE() << "the " << names << " did not show: " << SaveShot("no_" + names);
    return nullptr;
  }
  bool WaitFor(const Look& look, double seconds = 30) { return WaitForOne({&look}, seconds) != nullptr; }

  // The message box, when one comes within `seconds`, answered with OK.
  bool AnswerBoxIfShown(double seconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (Clock::now() < end) {
      if (Shows(Grab(), kMessageBox, std::nullopt)) {
        Click(at::kBoxOk);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
    return false;
  }

  // ---- taps ----
  // Clicks at the points in turn, a tenth of a second apart (one xdotool run); the pointer
  // is left in the corner, over no control.
  void Click(std::initializer_list<Pt> points) { Click(std::vector<Pt>(points)); }
  void Click(const std::vector<Pt>& points) {
    std::string cmd = xdotool_;
    for (const Pt& p : points)
      cmd += " mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " click 1 sleep 0.1";
    std::system((cmd + " mousemove 639 479 >/dev/null 2>&1").c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  void Click(Pt p) { Click({p}); }

  // A tap on a control of the program. When the on-screen keyboard lies over it, the keyboard is
  // put away with the screen's keyboard button `hideWith` (a second press hides it); a keyboard
  // that stays over the control fails the step.
  bool Tap(Pt p, const char* what, std::optional<Pt> hideWith = std::nullopt) {
    auto keyboard = KeyboardBox();
    if (keyboard && keyboard->Holds(p) && hideWith && !keyboard->Holds(*hideWith)) {
      Click(*hideWith);
      for (int i = 0; i < 20 && (keyboard = KeyboardBox()) && keyboard->Holds(p); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (keyboard && keyboard->Holds(p)) {
      ADD_FAILURE() << "the on-screen keyboard covers " << what << " at " << p.x << "," << p.y << ": "
                    << SaveShot(std::string("covered_") + what);
      return false;
    }
    Click(p);
    return true;
  }

  // A tap on a button while the on-screen keyboard is still up, as an operator who has typed goes
  // straight on to OK: the keyboard must be up and must not lie over the button.
  bool TapWithKeyboardUp(Pt p, const char* what) {
    if (!KeyboardBox()) {
      ADD_FAILURE() << "the on-screen keyboard is not up for " << what << ": " << SaveShot(std::string("no_keyboard_") + what);
      return false;
    }
    return Tap(p, what);
  }

  // Types `text` into the field at `field` on the on-screen keyboard, brought up with the screen's
  // keyboard button when it is not up or lies over the field (a second press puts it away);
  // `erase` back-spaces go first (the field's old text).
  bool Type(Pt field, Pt keyboardButton, const std::string& text, const char* what, int erase = 0) {
    // Up: shown, and at rest (the program moves a new keyboard into its place after it opened).
    auto WaitKeyboard = [this](bool up, Pt field) {
      const auto end = Clock::now() + std::chrono::seconds(up ? 15 : 3);
      std::optional<Area> last;
      for (;;) {
        const auto kb = KeyboardBox();
        if (!up && (!kb || !kb->Holds(field))) return true;
        if (up && kb && last && kb->left == last->left && kb->top == last->top) return true;
        last = kb;
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
      }
    };
    auto kb = KeyboardBox();
    if (kb && kb->Holds(keyboardButton)) {
      ADD_FAILURE() << "the on-screen keyboard covers the keyboard button of " << what << ": "
                    << SaveShot(std::string("covered_button_") + what);
      return false;
    }
    // A keyboard over the field is moved out of its way or taken away by the button (twice at most).
    for (int i = 0; i < 2 && kb && kb->Holds(field); ++i) {
      Click(keyboardButton);
      WaitKeyboard(false, field);
      kb = KeyboardBox();
    }
    if (!kb) {
      if (!Tap(field, what)) return false;
      Click(keyboardButton);
      if (!WaitKeyboard(true, field)) {
        ADD_FAILURE() << "the keyboard button did not bring up the on-screen keyboard: " << SaveShot("no_keyboard");
        return false;
      }
    }
    // The keyboard types into the field that has the focus: the field is tapped (again).
    if (!Tap(field, what)) return false;
    const auto shown = KeyboardBox();
    if (!shown) {
      ADD_FAILURE() << "the on-screen keyboard went away before " << what
                    << " was typed: " << SaveShot("keyboard_gone");
      return false;
    }
    const Area box = *shown;
    const double sx = (box.right - box.left) / 397.0, sy = (box.bottom - box.top) / 104.0;
    std::string keys(erase, '\b');
    keys += text;
    std::vector<Pt> taps;
    for (char c : keys) {
      const auto k = KeyCentres().find(c);
      if (k == KeyCentres().end()) {
        ADD_FAILURE() << "no key for '" << c << "'";
        return false;
      }
      taps.push_back({box.left + static_cast<int>(k->second.x * sx), box.top + static_cast<int>(k->second.y * sy)});
    }
    Click(taps);
    return true;
  }

  // ---- the data store ----
  std::string Sql(const std::string& sql) const { return program_run::Sqlite(program_->store(), sql); }

  bool WaitForRow(const std::string& countSql, const std::string& want, double seconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (Clock::now() < end) {
      if (Sql(countSql) == want) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
    return false;
  }

  // Presses the count key and waits for the row the count stores (`countSql` answering `want`),
  // then answers the reminder box a count may bring.
  bool Count(const std::string& countSql, const std::string& want, const char* what) {
    board_->PressCountKey();
    if (!WaitForRow(countSql, want, 60)) {
      ADD_FAILURE() << "the count of " << what << " stored nothing: " << SaveShot(std::string("count_") + what);
      return false;
    }
    AnswerBoxIfShown(3);
    return true;
  }

  fs::path shots_;
  int shotCount_ = 0;
  std::unique_ptr<support::Xvfb> xvfb_;
  std::unique_ptr<XScreen> screen_;
  std::unique_ptr<program_run::BoardSim> board_;
  std::unique_ptr<program_run::PrinterSim> printer_;
  std::unique_ptr<program_run::ProgramCopy> program_;
  std::string xdotool_;
  pid_t pid_ = -1;
};

TEST_F(TouchWalk, LogOnNormalRangeLjFileRunAndSearchByTouchAlone) {
  for (const char* tool : {"Xvfb", "xdotool", "matchbox-keyboard", "sqlite3"})
    if (!support::HaveProgram(tool))
      GTEST_SKIP() << tool << " is not installed (scripts/setup.sh installs it): the touch walk cannot run";
  xvfb_ = std::make_unique<support::Xvfb>(640, 480);
  const std::string display = xvfb_->display();
  ASSERT_FALSE(display.empty()) << "Xvfb did not start";
  xdotool_ = "DISPLAY=" + display + " xdotool";
  screen_ = std::make_unique<XScreen>(display);
  ASSERT_TRUE(screen_->ok()) << "cannot read the display " << display;
  program_ = std::make_unique<program_run::ProgramCopy>();
  board_ = std::make_unique<program_run::BoardSim>(
      std::vector<std::string>{"--quiet", "--set", "wbc=7.2,plt=220", "--seed", "11"});
  printer_ = std::make_unique<program_run::PrinterSim>();
  ASSERT_FALSE(board_->device().empty());
  ASSERT_FALSE(printer_->device().empty());
  const std::string startTime = NowTime();
  pid_ = program_run::Start(*program_, {}, display, board_->device(), printer_->device());
  ASSERT_GT(pid_, 0);

  // The start-up ends on the test screen.
  ASSERT_TRUE(WaitFor(kTestScreen, 90));
  const std::string normalBefore = Sql("select * from NormalLimits where Kind=0");
  const std::string otherRangesBefore = Sql("select * from NormalLimits where Kind<>0 order by Kind");
  ASSERT_FALSE(normalBefore.empty()) << "the store has no normal ranges of the general group";

  // ---- Two samples: the first with a name typed in its profile, the second without. ----
  ASSERT_TRUE(Tap(at::kTestProfile, "Profile"));
  ASSERT_TRUE(WaitFor(kProfile));
  ASSERT_TRUE(Type(at::kProfileName, at::kProfileKeyboard, "ann lee", "the profile's name"));
  ASSERT_TRUE(Type(at::kProfileMedicalNo, at::kProfileKeyboard, "427", "the profile's medical number"));
  ASSERT_TRUE(TapWithKeyboardUp(at::kProfileOk, "the profile's OK"));
  ASSERT_TRUE(WaitFor(kTestScreen));
  ASSERT_TRUE(Count("select count(*) from Person where WBC is not null and WBC<>''", "1", "the first sample"));
  ASSERT_TRUE(Count("select count(*) from Person where WBC is not null and WBC<>''", "2", "the second sample"));
  ASSERT_TRUE(WaitFor(kTestScreen));
  ASSERT_TRUE(Tap(at::kTestExit, "the test screen's Exit"));
  ASSERT_TRUE(WaitFor(kMainMenu));

  // ---- Log on as the administrator: the normal ranges open up. ----
  ASSERT_TRUE(Tap(at::kMenuSetting, "SETTING"));
  ASSERT_TRUE(WaitFor(kSettings));
  ASSERT_TRUE(Tap(at::kSettingsOther, "Other"));
  ASSERT_TRUE(WaitFor(kOtherMenu));
  EXPECT_TRUE(Near(Grab().GetPixel(at::kOtherNormal.x, at::kOtherNormal.y - 16), kGreyed))
      << "Normal Limits is offered before anyone logged on: " << SaveShot("normal_limits_open");
  ASSERT_TRUE(Tap(at::kOtherLogOn, "Log On"));
  ASSERT_TRUE(WaitFor(kLogon));
  ASSERT_TRUE(Type(at::kLogonPassword, at::kLogonKeyboard, "6049", "the password"));
  ASSERT_TRUE(Tap(at::kLogonOk, "the log-on's OK", at::kLogonKeyboard));
  ASSERT_TRUE(WaitFor(kOtherMenu));
  EXPECT_TRUE(Near(Grab().GetPixel(at::kOtherNormal.x, at::kOtherNormal.y - 16), kBlue))
      << "Normal Limits stays closed after the log-on: " << SaveShot("normal_limits_closed");

  // ---- Change the general group's WBC high limit from 10 to 11. ----
  ASSERT_TRUE(Tap(at::kOtherNormal, "Normal Limits"));
  ASSERT_TRUE(WaitFor(kNormal));
  ASSERT_TRUE(Type(at::kNormalWbcHigh, at::kNormalKeyboard, "11", "the WBC high limit", 6));
  ASSERT_TRUE(Tap(at::kNormalSave, "the ranges' Save", at::kNormalKeyboard));
  ASSERT_TRUE(WaitFor(kMessageBox, 10)) << "no \"Setting data saved!\" after Save";
  ASSERT_TRUE(Tap(at::kBoxOk, "the message's OK"));
  ASSERT_TRUE(WaitFor(kNormal));
  ASSERT_TRUE(Tap(at::kNormalExit, "the ranges' Exit", at::kNormalKeyboard));
  ASSERT_TRUE(WaitFor(kOtherMenu));
  ASSERT_TRUE(Tap(at::kOtherExit, "the other menu's Exit"));
  ASSERT_TRUE(WaitFor(kSettings));
  ASSERT_TRUE(Tap(at::kSettingsExit, "the settings' Exit"));
  ASSERT_TRUE(WaitFor(kMainMenu));

  // ---- L-J file 1: only WBC under QC, target 7.2, limit 0.5, lot qx42, expiry 2030-06-30. ----
  ASSERT_TRUE(Tap(at::kMenuQc, "QC"));
  ASSERT_TRUE(WaitFor(kQcMenu));
  ASSERT_TRUE(Tap(at::kQcSettings, "Control Settings"));
  ASSERT_TRUE(WaitFor(kLjSettings));
  ASSERT_TRUE(Tap(at::kLjItems, "Items", at::kLjKeyboard));
  ASSERT_TRUE(WaitFor(kParams));
  {
    std::vector<Pt> boxes;
    for (int i = 1; i < 20; ++i) boxes.push_back(at::ParamCheck(i));
    const auto keyboard = KeyboardBox();
    for (const Pt& p : boxes)
      ASSERT_FALSE(keyboard && keyboard->Holds(p)) << "the on-screen keyboard covers a parameter's check box";
    Click(boxes);
  }
  ASSERT_TRUE(Tap(at::kParamOk, "the parameter choice's OK"));
  ASSERT_TRUE(WaitFor(kLjSettings));
  ASSERT_TRUE(Type(at::kLjWbcTarget, at::kLjKeyboard, "7.2", "the WBC target"));
  ASSERT_TRUE(Type(at::kLjWbcLimit, at::kLjKeyboard, "0.5", "the WBC limit"));
  ASSERT_TRUE(Type(at::kLjYear, at::kLjKeyboard, "2030", "the expiry year", 4));
  ASSERT_TRUE(Type(at::kLjMonth, at::kLjKeyboard, "06", "the expiry month", 2));
  // The day typed as 29 and stepped to 30 by its spin arrow.
  ASSERT_TRUE(Type(at::kLjDay, at::kLjKeyboard, "29", "the expiry day", 2));
  ASSERT_TRUE(Tap(at::kLjDayUp, "the day's up arrow", at::kLjKeyboard));
  ASSERT_TRUE(Type(at::kLjLot, at::kLjKeyboard, "qx42", "the L-J lot"));
  ASSERT_TRUE(Tap(at::kLjSave, "the L-J Save", at::kLjKeyboard));
  ASSERT_TRUE(WaitFor(kMessageBox, 10)) << "no \"Setting data saved!\" after Save";
  ASSERT_TRUE(Tap(at::kBoxOk, "the message's OK"));
  ASSERT_TRUE(WaitFor(kLjSettings));
  ASSERT_TRUE(Tap(at::kLjExit, "the L-J settings' Exit", at::kLjKeyboard));
  ASSERT_TRUE(WaitFor(kQcMenu));

  // ---- Run file 1: one count through the simulator's count key. ----
  ASSERT_TRUE(Tap(at::kQcRun, "Control Run"));
  ASSERT_TRUE(WaitFor(kFileChoice));
  ASSERT_TRUE(Tap(at::kFileQc1, "QC 1"));
  ASSERT_TRUE(WaitFor(kLjRun));
  {
    // The file's lot and expiry head the screen; its grid has no run yet.
    const draw::Bitmap before = Grab();
    EXPECT_GT(InkPixels(before, at::kRunLot), 20) << "no lot shown: " << SaveShot("run_without_lot");
    EXPECT_GT(InkPixels(before, at::kRunExpiry), 20) << "no expiry shown: " << SaveShot("run_without_expiry");
    EXPECT_EQ(InkLines(before, at::kRunCol1), 0) << "the run table has a run before the count";
  }
  ASSERT_TRUE(Count("select count(*) from LJQCRunResult", "1", "the QC run"));
  ASSERT_TRUE(WaitFor(kLjRun));
  {
    // The run's column: its number, date, time and WBC; the parameters not under QC stay empty.
    const draw::Bitmap after = Grab();
    EXPECT_EQ(InkLines(after, at::kRunCol1), 4) << SaveShot("run_column");
  }
  ASSERT_TRUE(Tap(at::kRunExit, "the run's Exit"));
  // The run's Exit leads back to the file choice (or straight to the menu).
  const Look* back = WaitForOne({&kQcMenu, &kFileChoice});
  ASSERT_NE(back, nullptr);
  if (back == &kFileChoice) {
    ASSERT_TRUE(Tap(at::kFileExit, "the file choice's Exit"));
    ASSERT_TRUE(WaitFor(kQcMenu));
  }
  ASSERT_TRUE(Tap(at::kQcExit, "the QC menu's Exit"));
  ASSERT_TRUE(WaitFor(kMainMenu));

  // ---- Results: two samples listed; a search by name leaves the named one. ----
  ASSERT_TRUE(Tap(at::kMenuResults, "RESULTS"));
  ASSERT_TRUE(WaitFor(kHistory));
  // Newest first: sample 2 in the first column, sample 1 (the named one) in the second, each
  // with its date, time and 20 values.
  const draw::Bitmap list = Grab();
  EXPECT_EQ(InkLines(list, at::kHistCol1Rows), 22) << SaveShot("list_first_column");
  EXPECT_EQ(InkLines(list, at::kHistCol2Rows), 22) << SaveShot("list_second_column");
  ASSERT_TRUE(Tap(at::kHistSearch, "Search"));
  ASSERT_TRUE(WaitFor(kSearch));
  ASSERT_TRUE(Type(at::kSearchName, at::kSearchKeyboard, "ann", "the searched name"));
  ASSERT_TRUE(TapWithKeyboardUp(at::kSearchOk, "the search's OK"));
  ASSERT_TRUE(WaitFor(kHistory));
  {
    // The named sample alone: its column, as the list showed it, now first; nothing after it.
    const draw::Bitmap found = Grab();
    EXPECT_EQ(Differences(found, at::kHistCol1, list, at::kHistColumnStep), 0)
        << "the first column is not the named sample's: " << SaveShot("search_first_column");
    EXPECT_EQ(InkLines(found, at::kHistCol2Rows), 0) << "the search kept the other sample: " << SaveShot("search_kept");
  }
  ASSERT_TRUE(Tap(at::kHistExit, "the results' Exit"));
  ASSERT_TRUE(WaitFor(kMainMenu));
  const std::string endTime = NowTime();

  // The program ends as the system ends it; the store is read afterwards.
  kill(pid_, SIGTERM);
  EXPECT_EQ(program_run::WaitEnd(pid_, 60), 0);
  pid_ = -1;

  // ---- What the store holds ----
  const std::string today = Today();
  // The log-on, booked in the system log.
  EXPECT_EQ(Sql("select count(*) from SysLog where Event='Logon' and Result='Administrator' and Date='" + today + "'"),
            "1");
  // The samples: the named one with its medical number and nothing else typed into its profile
  // (no key took a tap meant for OK), and one without a name.
  EXPECT_EQ(Sql("select SampleNo||'|'||ifnull(Name,'')||'|'||ifnull(MedicalNo,'')||'|'||ifnull(BedNo,'')||'|'||"
                "ifnull(Dept,'')||'|'||ifnull(Sender,'')||'|'||ifnull(Scrutator,'')||'|'||ifnull(Checker,'') "
                "from Person order by CAST(SampleNo AS INTEGER)"),
            "1|ann lee|427|||||\n2|||||||");

  // The general group's ranges: as they were, the WBC high limit now 11.
  {
    std::vector<std::string> want = Split(normalBefore, '|');
    ASSERT_EQ(want.size(), 42u) << normalBefore;
    want[3] = "11.0";  // ID, Kind, WBCL, WBCH, ...
    const std::vector<std::string> got = Split(Sql("select * from NormalLimits where Kind=0"), '|');
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
      EXPECT_DOUBLE_EQ(std::atof(got[i].c_str()), std::atof(want[i].c_str())) << "NormalLimits column " << i;
    EXPECT_EQ(Sql("select * from NormalLimits where Kind<>0 order by Kind"), otherRangesBefore)
        << "the other groups' ranges changed";
  }

  // The L-J file: every column of its row.
  {
    const std::vector<std::string> got = Split(Sql("select * from LJQCSet where QcFileNo=1"), '|');
    ASSERT_EQ(got.size(), 67u) << "file 1 has no settings row";
    EXPECT_EQ(got[0], "1");
    EXPECT_EQ(got[1], "qx42") << "lot";
    EXPECT_EQ(got[2], "2030-06-30") << "expiry";
    EXPECT_DOUBLE_EQ(std::atof(got[3].c_str()), 7.2) << "WBC target";
    EXPECT_DOUBLE_EQ(std::atof(got[4].c_str()), 0.5) << "WBC limit";
    for (int i = 5; i < 43; ++i) EXPECT_DOUBLE_EQ(std::atof(got[i].c_str()), 0.0) << "value column " << i;
    for (int i = 43; i < 47; ++i) EXPECT_EQ(got[i], "0") << "rule switch " << i - 43;
    EXPECT_EQ(got[47], "1") << "Q1 (WBC) under QC";
    for (int i = 48; i < 67; ++i) EXPECT_EQ(got[i], "0") << "Q" << i - 46 << " not under QC";
    EXPECT_EQ(Sql("select count(*) from LJQCSet"), "1");
  }

  // The run: file 1, today, WBC near the simulator's 7.2, the others not under QC (-2), the units.
  {
    const std::vector<std::string> got = Split(Sql("select * from LJQCRunResult"), '|');
    ASSERT_EQ(got.size(), 30u) << "no single run row";
    EXPECT_EQ(got[0], "1");
    EXPECT_EQ(got[1], today);
    EXPECT_GE(got[2], startTime);
    EXPECT_LE(got[2], endTime);
    const double wbc = std::atof(got[3].c_str());
    EXPECT_NEAR(wbc, 7.2, 0.72) << "WBC of the run";
    for (int i = 4; i < 23; ++i) EXPECT_DOUBLE_EQ(std::atof(got[i].c_str()), -2.0) << "run column " << i;
    const char* units[7] = {"10^9/L", "10^12/L", "g/L", "g/L", "%", "10^9/L", "%"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(got[23 + i], units[i]) << "unit column " << 23 + i;
  }
}

}  // namespace
