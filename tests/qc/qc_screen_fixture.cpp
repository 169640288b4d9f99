#include "qc_screen_fixture.h"

#include <cstdio>
#include <cstdlib>

#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "measurement/zentil_call.h"
#include "tests/support/screen_pixels.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace fs = std::filesystem;

void QcScreenTest::SetUp() {
  saved_ = AppSettings;
  program_ = std::make_unique<support::ScratchProgramFolder>("quorvex_qc_");
  AppSettings.ProgramFolder = program_->folder();
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  AppSettings.ProductName = "QX-4150";
  analyzer::Soak = {};
  analyzer::Soak.IsOpenSoakTips = 0;
  analyzer::Reagents().volumes() = analyzer::ReagentVolumes{};
  analyzer::Reagents().volumes().DiluentVol = 5000.0f;
  analyzer::Reagents().volumes().LyseVol = 500.0f;
  analyzer::Reagents().volumes().CleanerVol = 500.0f;
  analyzer::Reagents().SetStore(nullptr);
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  Sql("update SysSetting set IsOpenSoakTips=0, AutoCleanTime=0, Printer=0");
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  ui::Resources::Clear();
  RegisterSkinBitmaps("/nonexistent/");
  InstallProgramMessageBox();
  boardsim::SimulatorOptions o;
  o.board.noise = false;  // equal counts: no third count unless a test asks for one
  sim_ = std::make_unique<boardsim::Simulator>(o);
  ASSERT_TRUE(sim_->Start().ok());
  ::setenv("QUORVEX_COM4", sim_->DevicePath().c_str(), 1);
}

void QcScreenTest::TearDown() {
  if (sim_) sim_->Stop();
  ::unsetenv("QUORVEX_COM4");
  ui::SetMessageBoxHandler({});
  ui::TestDriver::Stop();
  measurement::SetZentilLibraryPath("");
  AppSettings = saved_;
  program_.reset();
}

void QcScreenTest::Shot(const std::string& name) {
  const fs::path dir = fs::current_path() / "png";
  fs::create_directories(dir);
  d.SaveScreenshot((dir / (name + ".png")).string());
}

std::vector<std::string> QcScreenTest::Received() const {
  std::vector<std::string> out;
  for (const analyzer::CommandFrame& f : sim_->Received()) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X %02X", f[1], f[2]);
    out.push_back(buf);
  }
  return out;
}

std::string QcScreenTest::Today() {
  const sys::LocalTime t = sys::Clock::Now();
  return StrPrintf("%d-%.2d-%.2d", t.year, t.month, t.day);
}

std::vector<std::string> QcScreenTest::DrainBoxes(ui::TestDriver& s, int64_t ms) {
  std::vector<std::string> texts;
  while (s.RunUntil([&] { return s.MessageBox() != nullptr; }, ms)) {
    texts.push_back(s.MessageBoxText());
    s.AnswerMessageBox(ui::IDOK);
  }
  return texts;
}

std::vector<draw::Color> QcScreenTest::LabelPixels(ui::TestDriver& s, ui::Window* dialog, int id) {
  const ui::Rect r = support::ControlScreenRect(dialog, id);
  const draw::Bitmap shot = s.Screen();
  std::vector<draw::Color> px;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) px.push_back(shot.GetPixel(x, y));
  return px;
}

void QcScreenTest::ExpectOpaqueReadOut(ui::TestDriver& s, ui::Window* dialog, int id, const std::function<void()>& away,
                                       const std::function<void()>& back, const std::string& what) {
  const std::string before = s.Text(id);
  const std::vector<draw::Color> first = LabelPixels(s, dialog, id);
  const ui::Rect r = support::ControlScreenRect(dialog, id);
  ASSERT_FALSE(r.IsEmpty()) << what;
  EXPECT_EQ(s.Screen().GetPixel(r.left + 1, r.top + 1), draw::RGB(190, 198, 201)) << what;
  away();
  EXPECT_NE(s.Text(id), before) << what << ": the move must change the text";
  back();
  EXPECT_EQ(s.Text(id), before) << what;
  EXPECT_TRUE(LabelPixels(s, dialog, id) == first) << what << ": the old text shows under the new one";
}
