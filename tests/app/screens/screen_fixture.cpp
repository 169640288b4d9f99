#include "screen_fixture.h"

#include "analyzer/sequences/process_values.h"
#include "core/data_store.h"
#include "core/screen_registry.h"
#include "app/screens/vantorium_dlg.h"
#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace fs = std::filesystem;

void ScreenTest::SetUp() {
  saved_ = AppSettings;
  program_ = std::make_unique<support::ScratchProgramFolder>("quorvex_screens_", /*withDataStore=*/false);
  folder_ = program_->path();
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
  program_.reset();
}

void ScreenTest::Shot(const std::string& name) {
  const fs::path dir = fs::current_path() / "png";
  fs::create_directories(dir);
  d.SaveScreenshot((dir / (name + ".png")).string());
}
