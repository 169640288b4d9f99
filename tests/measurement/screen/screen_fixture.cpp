#include "screen_fixture.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "core/ado_conn.h"
#include "core/data_store.h"
#include "core/value_format.h"
#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "measurement/zentil_call.h"
#include "platform/db/connection.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace fs = std::filesystem;

boardsim::SimulatorOptions TestScreenTest::Options() {
  boardsim::SimulatorOptions o;
  o.board.noise = false;  // two equal counts: no third count
  return o;
}

void TestScreenTest::SetUp() {
  saved_ = AppSettings;
  static std::atomic<int> counter{0};
  folder_ = fs::temp_directory_path() / ("quorvex_testscreen_" + std::to_string(getpid()) + "_" +
                                         std::to_string(counter++));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  sys::SetProgramDir(folder_.string());
  AppSettings.ProgramFolder = folder_.string() + "/";
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  AppSettings.ProductName = "QX-4150";
  analyzer::SampleCounters = {};
  analyzer::Soak = {};
  analyzer::Soak.IsOpenSoakTips = 0;
  analyzer::StartupBlankEvaluated = 0;
  analyzer::BoardParametersSent = 0;
  analyzer::Reagents().volumes() = analyzer::ReagentVolumes{};
  analyzer::Reagents().volumes().DiluentVol = 5000.0f;
  analyzer::Reagents().volumes().LyseVol = 500.0f;
  analyzer::Reagents().volumes().CleanerVol = 500.0f;
  analyzer::Reagents().SetStore(nullptr);
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  ASSERT_TRUE(CreateDataStoreIfMissing());
  Sql("update SysSetting set IsOpenSoakTips=0, AutoCleanTime=0");
  measurement::SetZentilLibraryPath(std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so");
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  ui::Resources::Clear();
  RegisterSkinBitmaps("/nonexistent/");
  InstallProgramMessageBox();
  ASSERT_TRUE(sim.Start().ok());
  sim.SetApertureTenths(40);  // 4.0 s: between the leak and the block time of a new store
  ::setenv("QUORVEX_COM4", sim.DevicePath().c_str(), 1);
}

void TestScreenTest::TearDown() {
  sim.Stop();
  ::unsetenv("QUORVEX_COM4");
  ui::SetMessageBoxHandler({});
  ui::TestDriver::Stop();
  measurement::SetZentilLibraryPath("");
  AppSettings = saved_;
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

void TestScreenTest::Sql(const std::string& sql) {
  db::Connection c;
  ASSERT_TRUE(c.Open(DatabasePath())) << c.LastError();
  ASSERT_TRUE(c.Execute(sql)) << c.LastError() << "\n" << sql;
}

std::string TestScreenTest::Scalar(const std::string& sql) {
  db::Connection c;
  if (!c.Open(DatabasePath())) return "<no database>";
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen()) return "<" + rs->LastError() + ">";
  if (rs->IsEOF()) return "";
  return rs->Field(0).AsText();
}

void TestScreenTest::Shot(const std::string& name) {
  const fs::path dir = fs::current_path() / "png";
  fs::create_directories(dir);
  d.SaveScreenshot((dir / (name + ".png")).string());
}

std::vector<std::string> TestScreenTest::Received() const {
  std::vector<std::string> out;
  for (const analyzer::CommandFrame& f : sim.Received()) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X %02X", f[1], f[2]);
    out.push_back(buf);
  }
  return out;
}

bool TestScreenTest::ReceivedSince(size_t from, const std::string& name) const {
  const std::vector<std::string> all = Received();
  for (size_t i = from; i < all.size(); ++i)
    if (all[i] == name) return true;
  return false;
}

std::string TestScreenTest::Today() {
  const sys::LocalTime t = sys::Clock::Now();
  return StrPrintf("%d-%.2d-%.2d", t.year, t.month, t.day);
}
