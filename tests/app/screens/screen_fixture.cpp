#include "screen_fixture.h"

#include <unistd.h>

#include <atomic>
#include <fstream>

#include "analyzer/sequences/process_values.h"
#include "app/ado_conn.h"
#include "app/data_store.h"
#include "app/screens/screen_registry.h"
#include "app/screens/vantorium_dlg.h"
#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "platform/db/connection.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace fs = std::filesystem;

void ScreenTest::SetUp() {
  saved_ = AppSettings;
  static std::atomic<int> counter{0};
  folder_ = fs::temp_directory_path() / ("quorvex_screens_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
  sys::SetProgramDir(folder_.string());
  AppSettings.ProgramFolder = folder_.string() + "/";
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  AppSettings.UserLevel = 0;
  AppSettings.ProductName = "QX-4150";
  analyzer::SampleCounters = {};
  MainMenuState = {};
  ASSERT_TRUE(CreateDataStoreIfMissing());
  Write("ProduceInfo/Produceinfo.ver",
        "[Module]\nName=QX-4150\n[EN]\nProduceName=Auto Hematology Analyzer\nVersion=V2.1\n"
        "FrontVersion=Front-end\nAlgorithms=Algorithm\nCompany=Quorvex Instruments\nCopyRight=All Rights Reserved\n");
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  ui::Resources::Clear();
  RegisterSkinBitmaps("/nonexistent/");
  InstallProgramMessageBox();
  RegisterCoreScreens();
}

void ScreenTest::TearDown() {
  ui::SetMessageBoxHandler({});
  ui::TestDriver::Stop();
  AppSettings = saved_;
  sys::SetProgramDir("");
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

void ScreenTest::Write(const std::string& name, const std::string& content) const {
  const fs::path p = folder_ / name;
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
}

void ScreenTest::Sql(const std::string& sql) {
  db::Connection c;
  ASSERT_TRUE(c.Open(DatabasePath())) << c.LastError();
  ASSERT_TRUE(c.Execute(sql)) << c.LastError() << "\n" << sql;
}

std::string ScreenTest::Scalar(const std::string& sql) {
  db::Connection c;
  if (!c.Open(DatabasePath())) return "<no database>";
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen()) return "<" + rs->LastError() + ">";
  if (rs->IsEOF()) return "";
  return rs->Field(0).AsText();
}

void ScreenTest::Shot(const std::string& name) {
  const fs::path dir = fs::current_path() / "png";
  fs::create_directories(dir);
  d.SaveScreenshot((dir / (name + ".png")).string());
}
