#include "results_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "core/ado_conn.h"
#include "core/sample_names.h"
#include "core/value_format.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"
#include "platform/db/connection.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace history_test {

StoreRow RowOf(int i) {
  StoreRow r;
  const int day = i / kPerDay, k = i % kPerDay;
  // Days from 2022-01-01 on a 28-day month calendar keep the dates easy to work out by hand.
  const int year = 2022 + day / (12 * 28), month = 1 + (day / 28) % 12, dom = 1 + day % 28;
  r.testDate = StrPrintf("%d-%.2d-%.2d", year, month, dom);
  r.sampleNo = std::to_string(k + 1);
  const int minutes = 8 * 60 + k * 10;
  r.testTime = StrPrintf("%.2d:%.2d:00", minutes / 60, minutes % 60);
  r.name = "Patient " + std::to_string(i);
  r.wbc = i % 7 == 3 ? "- - -" : StrPrintf("%.1f", 4.0 + (i % 50) / 10.0) + (i % 5 == 0 ? " H" : "");
  r.bloodType = BloodModeText(i % 3, i % 5);
  r.referValue = ReferenceGroupText(i % 10, (i / 10) % 5);
  return r;
}

measurement::HistogramBuffers RawOf(int i) {
  measurement::HistogramBuffers h;
  for (size_t c = 0; c < measurement::kWbcChannels; ++c) h.wbc[c] = static_cast<float>((c * 7 + i) % 97);
  for (size_t c = 0; c < measurement::kRbcChannels; ++c) h.rbc[c] = static_cast<float>((c * 3 + i) % 89);
  for (size_t c = 0; c < measurement::kPltChannels; ++c) h.plt[c] = static_cast<float>((c * 5 + i) % 31);
  return h;
}

void BuildStore(int n, int rawEvery) {
  db::Connection c;
  ASSERT_TRUE(c.Open(DatabasePath())) << c.LastError();
  {
    db::Transaction t(c);
    ASSERT_TRUE(t.Begun());
    for (int i = 0; i < n; ++i) {
      const StoreRow r = RowOf(i);
      const std::string v = i % 7 == 3 ? "- - -" : "1.5";
      const std::string sql =
          "insert into Person(SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,BloodType,ReferValue,WBC,LYMA,MONA,GRAA,"
          "LYMP,MONP,GRAP,RBC,HGB,MCHC,MCH,MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR,WBCUnit,Abnormal) values('" +
          r.sampleNo + "','" + r.testDate + "','" + r.testTime + "','" + r.name + "','Male'," +
          std::to_string(20 + i % 60) + ",'Y','" + r.bloodType + "','" + r.referValue + "','" + r.wbc + "','" + v +
          "','0.3','2.2','30.0','8.0','62.0','4.50','135','330','30.0','90.0','13.0','45.0','40.5','" +
          std::to_string(150 + i % 100) + "','9.0','15.0','0.20','25.0','10^9/L',0)";
      ASSERT_TRUE(c.Execute(sql)) << c.LastError();
    }
    ASSERT_TRUE(t.Commit());
  }
  for (int i = 0; rawEvery > 0 && i < n; i += rawEvery) {
    const StoreRow r = RowOf(i);
    ASSERT_EQ(measurement::WriteTestDataRecord(AppSettings.ProgramFolder, measurement::TestDataKey(r.testDate, r.sampleNo),
                                               RawOf(i)),
              measurement::TestDataWrite::Written);
  }
}

void StoreTest::SetUp() {
  saved_ = AppSettings;
  program_ = std::make_unique<support::ScratchProgramFolder>("quorvex_history_");
  AppSettings.ProgramFolder = program_->folder();
  AppSettings.LanguageIndex = 1;
  AppSettings.LayoutScale = 1.25f;
  AppSettings.LargeScreen = 1;
  AppSettings.UserLevel = 1;
  UnitDecimals = {2, 1, 2, 0, 1, 1, 1, 0, 1, 1, 0, 1, 3, 1};
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  ui::Resources::Clear();
  RegisterSkinBitmaps("/nonexistent/");
  InstallProgramMessageBox();
}

void StoreTest::TearDown() {
  ui::SetMessageBoxHandler({});
  ui::TestDriver::Stop();
  measurement::SetZentilLibraryPath("");
  AppSettings = saved_;
  program_.reset();
}

void StoreTest::Shot(const std::string& name) {
  const std::filesystem::path dir = std::filesystem::current_path() / "png";
  std::filesystem::create_directories(dir);
  d.SaveScreenshot((dir / (name + ".png")).string());
}

}  // namespace history_test
