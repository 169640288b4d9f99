#include "sweep_fixture.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "controls/caption_fit.h"
#include "controls/xp_button.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "grid_check.h"
#include "label_check.h"
#include "skin_check.h"
#include "measurement/zentil_call.h"
#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace fs = std::filesystem;

void RegisterProgramScreens();

namespace {

std::string Describe(ui::Window* w) {
  return "control " + std::to_string(w->GetDlgCtrlID()) + " (" + w->ClassName() + " \"" + w->GetWindowText() + "\")";
}

// Whether a caption laid out as the button lays it out (centred, broken only between words)
// stays inside `width` x `height` in `font`. Measured here on a scratch bitmap of our own.
std::string CaptionProblem(const std::string& text, const draw::Font& font, int width, int height) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  dc.SelectFont(font);
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t end = text.find_first_of(" \n", pos);
    const std::string word = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!word.empty()) {
      draw::Rect r(0, 0, width, 0);
      dc.DrawText(word, &r, draw::kDtSingleLine | draw::kDtCalcRect);
      if (r.Width() > width)
        return "word \"" + word + "\" is " + std::to_string(r.Width()) + " px wide, room " + std::to_string(width);
    }
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  draw::Rect block(0, 0, width, 0);
  dc.DrawText(text, &block, draw::kDtCenter | draw::kDtWordBreak | draw::kDtCalcRect);
  if (block.Width() > width || block.Height() > height)
    return "caption block " + std::to_string(block.Width()) + "x" + std::to_string(block.Height()) + " in room " +
           std::to_string(width) + "x" + std::to_string(height);
  return {};
}

// A window partly off the display: the operator cannot see or touch that part.
void CheckOnDisplay(const std::string& what, const ui::Rect& r, std::vector<std::string>& out) {
  const ui::Size display = ui::GetScreenSize();
  if (r.Width() > 0 && r.Height() > 0 && (r.left < 0 || r.top < 0 || r.right > display.cx || r.bottom > display.cy))
    out.push_back(what + " at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                  std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + " lies off the display " +
                  std::to_string(display.cx) + "x" + std::to_string(display.cy));
}

void CheckTree(ui::Window* screen, ui::Window* w, std::vector<std::string>& out) {
  for (ui::Window* c : w->Children()) {
    if (!c->IsWindowVisible()) continue;
    const ui::Rect r = c->GetWindowRect();
    const ui::Rect s = screen->GetWindowRect();
    CheckOnDisplay(Describe(c), r, out);
    if (r.Width() > 0 && r.Height() > 0 && (r.left < s.left || r.top < s.top || r.right > s.right || r.bottom > s.bottom))
      out.push_back(Describe(c) + " at " + std::to_string(r.left - s.left) + "," + std::to_string(r.top - s.top) + " " +
                    std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + " lies outside the screen " +
                    std::to_string(s.Width()) + "x" + std::to_string(s.Height()));
    if (auto* b = dynamic_cast<CXPButton*>(c); b && b->arrowStyle == 0 && !b->GetWindowText().empty()) {
      // Three pixels clear of the sides and one of top and bottom: a caption on the face's rim
      // reads as clipped.
      const ui::Rect client = b->GetClientRect();
      const std::string p = CaptionProblem(b->GetWindowText(), b->captionFont, client.Width() - 6, client.Height() - 2);
      if (!p.empty()) out.push_back(Describe(c) + ": " + p);
    }
    CheckTree(screen, c, out);
  }
}

}  // namespace

std::vector<std::string> CheckScreen(ui::Window* screen, const draw::Bitmap* shot) {
  std::vector<std::string> out;
  CheckOnDisplay("the screen", screen->GetWindowRect(), out);
  CheckTree(screen, screen, out);
  for (std::string& p : CheckLabels(screen, shot)) out.push_back(std::move(p));
  for (std::string& p : CheckButtonSkins(screen, shot)) out.push_back(std::move(p));
  for (std::string& p : CheckButtonRows(screen)) out.push_back(std::move(p));
  for (std::string& p : CheckMarkGroups(screen)) out.push_back(std::move(p));
  for (std::string& p : CheckLabelSizes(screen)) out.push_back(std::move(p));
  for (std::string& p : CheckGridTexts(screen)) out.push_back(std::move(p));
  return out;
}

void ScreenSweep::SetUp() {
  saved_ = AppSettings;
  program_ = std::make_unique<support::ScratchProgramFolder>("quorvex_sweep_");
  AppSettings.ProgramFolder = program_->folder();
  AppSettings.ProductName = "QX-4150";
  AppSettings.UserLevel = 3;  // every screen open
  analyzer::SampleCounters = {};
  analyzer::Soak = {};
  analyzer::Soak.IsOpenSoakTips = 0;
  analyzer::Reagents().volumes() = analyzer::ReagentVolumes{};
  analyzer::Reagents().volumes().DiluentVol = 5000.0f;
  analyzer::Reagents().volumes().LyseVol = 500.0f;
  analyzer::Reagents().volumes().CleanerVol = 500.0f;
  analyzer::Reagents().SetStore(nullptr);
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  support::ExecSql("update SysSetting set IsOpenSoakTips=0, AutoCleanTime=0, Printer=0");
  // The product texts the program ships (the About box's version captions in each language) and
  // the algorithm library in the program folder, where the installed program finds them by name.
  fs::create_directories(program_->path() / "ProduceInfo");
  fs::copy_file(fs::path(QUORVEX_SOURCE_DIR) / "resources/ProduceInfo/Produceinfo.ver",
                program_->file("ProduceInfo/Produceinfo.ver"));
  fs::copy_file(support::BuiltZentilPath(), program_->file("libZentil.so"));
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  boardsim::SimulatorOptions o;
  o.board.noise = false;
  sim_ = std::make_unique<boardsim::Simulator>(o);
  ASSERT_TRUE(sim_->Start().ok());
  ::setenv("QUORVEX_COM4", sim_->DevicePath().c_str(), 1);
}

void ScreenSweep::TearDown() {
  if (started_) ui::TestDriver::Stop();
  started_ = false;
  if (sim_) sim_->Stop();
  ::unsetenv("QUORVEX_COM4");
  ui::SetMessageBoxHandler({});
  ui::SetStaticTextFitter({});
  measurement::SetZentilLibraryPath("");
  AppSettings = saved_;
  InitSharedDialogFont();
  program_.reset();
}

void ScreenSweep::Show(const SweepDisplay& display, int language) {
  AppSettings.LanguageIndex = static_cast<uint8_t>(language);
  AppSettings.LayoutScale = display.scale;
  AppSettings.LargeScreen = static_cast<uint8_t>(display.large);
  InitSharedDialogFont();
  if (started_) ui::TestDriver::Stop();
  ASSERT_TRUE(ui::TestDriver::Start(display.width, display.height));
  started_ = true;
  ui::Resources::Clear();
  RegisterSkinBitmaps("/nonexistent/");
  InstallProgramMessageBox();
  InstallLabelTextFitting();
  RegisterCoreScreens();
  RegisterProgramScreens();
}

void ScreenSweep::Finding(const std::string& where, const std::string& what) {
  ++findings_;
  ADD_FAILURE() << where << ": " << what;
}

void ScreenSweep::Sweep(const std::string& where, const std::function<void()>& open,
                        const std::function<void(ui::TestDriver&, ui::Window*, const draw::Bitmap&)>& more) {
  const int before = findings_;
  bool opened = false;
  std::atomic<bool> done{false};
  const bool ok = d.RunScript([&] {
    open();
    done = true;
  }, [&](ui::TestDriver& s) {
    // The screen, once the boxes it raises on opening are answered.
    ui::Window* screen = nullptr;
    for (int round = 0; round < 6 && !screen; ++round) {
      s.RunUntil([&] { return done || ui::Window::GetActiveWindow() != nullptr; }, 3000);
      if (done) break;
      s.Advance(300);
      ui::Window* top = s.ActiveWindow();
      if (!top) break;
      if (top->IsMessageBox()) {
        opened = true;  // a box on its own is what some cases open
        std::vector<std::string> problems;
        s.RunUntil([&] {
          problems = CheckScreen(top);
          return true;
        });
        for (const std::string& p : problems) Finding(where + " message box \"" + s.MessageBoxText() + "\"", p);
        ui::Window* first = nullptr;
        for (ui::Window* c : top->Children())
          if (!first && c->ClassName() == "Button" && c->IsWindowVisible() && c->IsWindowEnabled()) first = c;
        if (!first || !s.Press(first)) break;
        continue;
      }
      screen = top;
      opened = true;
    }
    if (!screen) return;
    const draw::Bitmap shot = s.Screen();
    std::vector<std::string> problems;
    s.RunUntil([&] {
      problems = CheckScreen(screen, &shot);
      return true;
    });
    for (const std::string& p : problems) Finding(where, p);
    if (more) more(s, screen, shot);
    if (findings_ != before || std::getenv("QUORVEX_SWEEP_PNG")) {
      const fs::path dir = fs::current_path() / "png" / "sweep";
      fs::create_directories(dir);
      shot.SavePng((dir / (where + ".png")).string());
    }
    // End it, and whatever it opens or asks on the way out.
    for (int round = 0; round < 8; ++round) {
      bool more_left = false;
      s.RunUntil([&] {
        ui::Window* top = ui::Window::GetActiveWindow();
        if (top && top->IsMessageBox()) {
          more_left = true;
          return true;
        }
        if (auto* dlg = dynamic_cast<ui::Dialog*>(top ? top->GetTopLevel() : nullptr)) {
          if (!dlg->IsEnded()) dlg->EndDialog(ui::IDCANCEL);
          more_left = true;
        }
        return true;
      });
      if (!more_left || done) break;
      if (ui::Window* box = s.MessageBox()) {
        for (ui::Window* c : box->Children())
          if (c->ClassName() == "Button" && c->IsWindowVisible()) {
            s.Press(c);
            break;
          }
      }
      s.Advance(2000);
    }
  });
  EXPECT_TRUE(ok) << where << ": the screen did not end";
  EXPECT_TRUE(opened) << where << ": no screen came up";
}

void ScreenSweep::SweepRegistered(const std::string& name) {
  // The start-up and shutdown screens end by themselves once the board has answered their
  // sequence; with the board silent they stay up as the operator sees them, mid-sequence.
  const bool silent = name == "CSysStart" || name == "CSysClose";
  sim_->SetSilent(silent);
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      Sweep(name + "_" + kSweepLanguages[lang] + "_" + display.name, [&] { RunScreen(name); });
    }
  sim_->SetSilent(false);
}
