#include "settings_fixture.h"

#include <filesystem>

#include "analyzer/sequences/process_values.h"
#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "core/data_store.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "settings/settings_screens.h"

namespace fs = std::filesystem;

void SettingsScreenTest::SetUp() {
  saved_ = AppSettings;
  program_ = std::make_unique<support::ScratchProgramFolder>("quorvex_settings_", /*withDataStore=*/false);
  AppSettings.ProgramFolder = program_->folder();
  AppSettings.LanguageIndex = 1;
  AppSettings.ChineseEdition = 1;
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  AppSettings.UserLevel = 0;
  AppSettings.ProductName = "QX-4150";
  analyzer::Soak = {};
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  ASSERT_TRUE(CreateDataStoreIfMissing());
  host_ = std::make_unique<sys::ScopedHostFakes>();
  print::SetSpooler(&spooler_);
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  sys::Clock::SetManualLocalTime(sys::LocalTime{2026, 3, 14, 10, 20, 30});
  ui::Resources::Clear();
  RegisterSkinBitmaps("/nonexistent/");
  InstallProgramMessageBox();
  RegisterCoreScreens();
  settings::RegisterSettingsScreens();
}

void SettingsScreenTest::TearDown() {
  ui::SetMessageBoxHandler({});
  ui::TestDriver::Stop();
  host_.reset();
  print::SetSpooler(nullptr);
  AppSettings = saved_;
  program_.reset();
}

void SettingsScreenTest::Shot(const std::string& name) {
  const fs::path dir = fs::current_path() / "png";
  fs::create_directories(dir);
  d.SaveScreenshot((dir / ("settings_" + name + ".png")).string());
}

std::string SettingsScreenTest::TakeMessage(ui::TestDriver& s) {
  if (s.MessageBox() == nullptr) return {};
  const std::string text = s.MessageBoxText();
  s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
  return text;
}

void SettingsScreenTest::Pick(ui::TestDriver& s, int comboId, int index) {
  auto* box = dynamic_cast<ui::ComboBox*>(s.Find(comboId));
  ASSERT_NE(box, nullptr) << comboId;
  box->ListPicked(index);
  s.Settle();
}

void SettingsScreenTest::Pick(ui::TestDriver& s, int comboId, const std::string& text) {
  auto* box = dynamic_cast<ui::ComboBox*>(s.Find(comboId));
  ASSERT_NE(box, nullptr) << comboId;
  const int at = box->FindStringExact(-1, text);
  ASSERT_GE(at, 0) << text;
  box->ListPicked(at);
  s.Settle();
}

void SettingsScreenTest::SetText(ui::TestDriver& s, int id, const std::string& text) {
  ui::Window* w = s.Find(id);
  ASSERT_NE(w, nullptr) << id;
  w->SetWindowText(text);
}
