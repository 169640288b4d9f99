// The calibration screens on the offscreen framework: the menu by user level, the engineer's
// factor screen with its defaults, the percent screen for the lower levels, the calibrator
// batch screen, and automatic calibration taking its batch from the Setting button.
#include <algorithm>
#include <fstream>

#include "calibration/cali_sel.h"
#include "calibration/calib_auto.h"
#include "calibration/calib_auto_set.h"
#include "calibration/calib_manual.h"
#include "calibration/user_cali_manual.h"
#include "core/app_settings.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/app.h"
#include "platform/ui/message_box.h"
#include "printing/thermal_printer.h"
#include "screen_fixture.h"
#include "tests/support/spin_taps.h"

using namespace calibration;

namespace {

class CalibrationScreens : public TestScreenTest {
 protected:
  void SetUp() override {
    TestScreenTest::SetUp();
    RegisterCalibrationScreens();
  }
  void TearDown() override {
    RegisterCalibrationScreens();
    TestScreenTest::TearDown();
  }
  static void Set(ui::TestDriver& s, int id, const std::string& text) {
    s.RunUntil([&] {
      if (ui::Window* w = s.Find(id)) w->SetWindowText(text);
      return true;
    });
  }
  // The same, but the change is handled after the call returns (a box it raises stays open).
  static void SetLater(ui::TestDriver& s, int id, const std::string& text) {
    ui::Window* w = s.Find(id);
    ASSERT_NE(w, nullptr);
    ui::PostToUiThread([w, text] { w->SetWindowText(text); });
  }
  static std::string TakeBox(ui::TestDriver& s) {
    if (!s.RunUntil([&] { return s.MessageBox() != nullptr; }, 2000)) return "<no box>";
    const std::string t = s.MessageBoxText();
    s.AnswerMessageBox(ui::IDOK);
    return t;
  }
  std::string Coef(int bt, const std::string& col) {
    return Scalar("select " + col + " from CalibrationCoef where BloodType=" + std::to_string(bt));
  }
};

TEST_F(CalibrationScreens, MenuOpensTheScreenOfTheUserLevel) {
  struct Case {
    int level;
    int button;
    const char* opened;  // nullptr: the button is closed to the level
  } cases[] = {
      {0, IDC_CALISEL_MANUAL, "CUserCaliManual"}, {0, IDC_CALISEL_AUTO, nullptr},
      {1, IDC_CALISEL_MANUAL, "CUserCaliManual"}, {1, IDC_CALISEL_AUTO, "CCalibAuto"},
      {2, IDC_CALISEL_MANUAL, "CCalibManual"},    {3, IDC_CALISEL_MANUAL, "CCalibManual"},
      {3, IDC_CALISEL_AUTO, "CCalibAuto"},
  };
  for (const Case& c : cases) {
    std::string opened;
    for (const char* name : {"CCalibManual", "CUserCaliManual", "CCalibAuto"})
      RegisterScreen(name, [&opened, name] {
        opened = name;
        return ui::IDCANCEL;
      });
    AppSettings.UserLevel = static_cast<uint8_t>(c.level);
    CCaliSel menu;
    int result = -1;
    bool enabled = false;
    ASSERT_TRUE(d.RunScript([&] { result = menu.DoModal(); }, [&](ui::TestDriver& s) {
      enabled = s.Enabled(c.button);
      s.Press(c.button);
      if (!menu.IsEnded()) s.Press(ui::IDCANCEL);
    }));
    if (c.opened) {
      EXPECT_TRUE(enabled) << c.level;
      EXPECT_EQ(opened, c.opened) << c.level;
      EXPECT_EQ(result, ui::IDOK) << c.level;  // the menu ends with the screen it opened
    } else {
      EXPECT_FALSE(enabled) << c.level;
      EXPECT_EQ(opened, "") << c.level;
      EXPECT_EQ(result, ui::IDCANCEL) << c.level;
    }
  }
}

TEST_F(CalibrationScreens, EngineerScreenSavesTheTypedFactorsAndKeepsItsDefaults) {
  AppSettings.UserLevel = 2;
  CCalibManual screen;
  std::vector<std::string> boxes;
  bool setDefault = true;
  std::string afterSwitch;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    setDefault = s.Enabled(IDC_CM_SET_DEFAULT);
    Shot("calib_manual_en");
    EXPECT_EQ(s.Text(kValueEditIds[0]), "1.00");
    EXPECT_EQ(s.Text(kDateEditIds[0]), "2009-03-01");
    // Another blood type discards what was typed.
    Set(s, kValueEditIds[0], "1.30");
    s.Press(IDC_CM_WHOLE + 1);
    afterSwitch = s.Text(kValueEditIds[0]);
    Set(s, kValueEditIds[0], "1.1");
    Set(s, kValueEditIds[5], "1.51");  // MPV out of range: nothing is saved
    s.Press(IDC_CM_SAVE);
    boxes.push_back(TakeBox(s));
    Set(s, kValueEditIds[5], "0.9");
    Set(s, kDateEditIds[2], "1999-01-01");
    s.Press(IDC_CM_SAVE);
    boxes.push_back(TakeBox(s));
    EXPECT_EQ(s.Text(kValueEditIds[0]), "1.10");
    EXPECT_EQ(s.Text(kDateEditIds[2]), Today());
    s.Press(IDC_CM_DEFAULT);  // no setting.ini
    boxes.push_back(TakeBox(s));
    s.Press(ui::IDCANCEL);
  }));
  EXPECT_FALSE(setDefault);  // an Engineer may not store defaults
  EXPECT_EQ(afterSwitch, "1.00");
  const std::vector<std::string> expect = {"Calibration value should between 0.75 and 1.5!", "Calibration data saved!",
                                           "Data file not found!"};
  EXPECT_EQ(boxes, expect);
  EXPECT_NEAR(std::stod(Coef(1, "WBC")), 1.10, 1e-6);
  EXPECT_NEAR(std::stod(Coef(1, "MPV")), 0.90, 1e-6);
  EXPECT_EQ(Coef(1, "HGB_CT"), Today());
  EXPECT_NEAR(std::stod(Coef(0, "WBC")), 1.00, 1e-6);
  EXPECT_EQ(Scalar("select Result from SysLog where Event='Manual calibration'"), "Original calibration value updated");
}

TEST_F(CalibrationScreens, FactoryDefaultsKeepTheirRangeAndLoadBack) {
  AppSettings.UserLevel = 3;
  {
    std::ofstream ini(File("Setting.ini"));
    ini << "[WholeCalcCoef]\nWBC=1.05\n";
  }
  CCalibManual screen;
  std::vector<std::string> boxes;
  std::string loaded[6];
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.Enabled(IDC_CM_SET_DEFAULT));
    Set(s, kValueEditIds[3], "100");  // beyond the range the message names
    s.Press(IDC_CM_SET_DEFAULT);
    boxes.push_back(TakeBox(s));
    Set(s, kValueEditIds[3], "2.345");
    s.Press(IDC_CM_SET_DEFAULT);
    boxes.push_back(TakeBox(s));
    for (int i = 0; i < 6; ++i) Set(s, kValueEditIds[i], "0.8");
    s.Press(IDC_CM_DEFAULT);
    for (int i = 0; i < 6; ++i) loaded[i] = s.Text(kValueEditIds[i]);
    s.Press(ui::IDCANCEL);
  }));
  const std::vector<std::string> expect = {"Calibration value should between 0.01 and 99.99!", "Data saved!"};
  EXPECT_EQ(boxes, expect);
  EXPECT_EQ(loaded[0], "1.00");  // the defaults written: the WBC typed then was 1.00
  EXPECT_EQ(loaded[3], "2.35");
}

class Recorder : public ThermalOutput {
 public:
  size_t Send(const uint8_t* data, size_t len, int, bool* timedOut) override {
    for (size_t i = 0; i < len; ++i) {
      // Keep the characters, not the double-width switches around each of them.
      if (skip_ > 0) {
        --skip_;
        continue;
      }
      if (data[i] == 0x1B && i + 1 < len && data[i + 1] == 'w') {
        skip_ = 2;
        continue;
      }
      text += static_cast<char>(data[i]);
    }
    if (timedOut) *timedOut = false;
    return len;
  }
  std::string text;

 private:
  int skip_ = 0;
};

TEST_F(CalibrationScreens, PercentScreenForTheLowerLevels) {
  Sql("update SysSetting set Printer=0");
  AppSettings.UserLevel = 0;
  {
    CUserCaliManual screen;
    bool edit = true, save = true;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
      edit = s.Enabled(kValueEditIds[0]);
      save = s.Enabled(IDC_CM_SAVE);
      EXPECT_EQ(s.Text(kValueEditIds[0]), "100.00");
      Shot("user_cali_manual_en");
      s.Press(ui::IDCANCEL);
    }));
    EXPECT_FALSE(edit);
    EXPECT_FALSE(save);
  }
  AppSettings.UserLevel = 1;
  Recorder printer;
  PrinterSetOutput(&printer);
  CUserCaliManual screen;
  std::vector<std::string> boxes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    SetLater(s, kValueEditIds[0], "abc");
    boxes.push_back(TakeBox(s));  // checked while typing
    Set(s, kValueEditIds[0], "120");
    // A spin step moves the percent by 0.01.
    std::string stepped;
    s.RunUntil([&] {
      static_cast<ui::UpDown*>(s.Find(kSpinIds[1]))->Step(1);
      stepped = s.Find(kValueEditIds[1])->GetWindowText();
      return true;
    });
    EXPECT_EQ(stepped, "100.01");
    s.Press(IDC_CM_SAVE);
    boxes.push_back(TakeBox(s));
    Set(s, kValueEditIds[1], "133.33");  // typed, not saved: not printed
    s.Press(IDC_CM_PRINT);
    s.Press(ui::IDCANCEL);
  }));
  PrinterSetOutput(nullptr);
  const std::vector<std::string> expect = {"Please input digits for calibration value!", "Calibration data saved!"};
  EXPECT_EQ(boxes, expect);
  EXPECT_NEAR(std::stod(Coef(0, "WBC")), 1.20, 1e-6);
  EXPECT_NEAR(std::stod(Coef(0, "WBC_D")), 120.0, 1e-6);
  EXPECT_NE(printer.text.find("120.00"), std::string::npos);
  EXPECT_EQ(printer.text.find("133.33"), std::string::npos);
  EXPECT_NE(printer.text.find("Type: Whole blood"), std::string::npos);
}

TEST_F(CalibrationScreens, BatchScreenSavesChoosesAndDeletes) {
  AppSettings.UserLevel = 2;
  const sys::LocalTime now = sys::Clock::Now();
  CCalibAutoSet screen;
  int result = -1;
  std::vector<std::string> boxes, listed;
  ASSERT_TRUE(d.RunScript([&] { result = screen.DoModal(); }, [&](ui::TestDriver& s) {
    s.Press(ui::IDOK);
    boxes.push_back(TakeBox(s));  // no lot
    Set(s, IDC_CAS_LOT, "LOT'7");
    Set(s, IDC_CAS_YEAR, std::to_string(now.year - 1));
    Set(s, IDC_CAS_MONTH, "4");
    Set(s, IDC_CAS_DAY, "30");
    s.Press(IDC_CAS_WHOLE + 2);
    const char* targets[5] = {"7.5", "4.6", "140", "90", "1,5"};
    for (int i = 0; i < 5; ++i) Set(s, IDC_CAS_TARGET + i, targets[i]);
    for (int i = 0; i < 5; ++i) s.Press(IDC_CAS_ITEM + i);
    s.Press(IDC_CAS_SAVE);
    boxes.push_back(TakeBox(s));  // expired
    Set(s, IDC_CAS_YEAR, std::to_string(now.year + 1));
    s.Press(IDC_CAS_SAVE);
    boxes.push_back(TakeBox(s));  // "1,5" is no number
    Set(s, IDC_CAS_TARGET + 4, "230");
    s.Press(IDC_CAS_SAVE);
    boxes.push_back(TakeBox(s));
    s.RunUntil([&] {
      listed = screen.ListedBatches();
      return true;
    });
    Shot("calib_auto_set_en");
    s.Press(ui::IDOK);
  }));
  const std::vector<std::string> expect = {"Please select or input lot number!", "Calibration material has expired!",
                                           "Please input digits for reference value!", "Calibration data saved!"};
  EXPECT_EQ(boxes, expect);
  EXPECT_EQ(result, ui::IDOK);
  EXPECT_EQ(screen.m_strBatchNo, "LOT\u20187");
  EXPECT_EQ(listed, std::vector<std::string>{"LOT\u20187"});
  EXPECT_EQ(Scalar("select count(*) from AutoCalibration"), "1");
  EXPECT_EQ(Scalar("select ExpDate from AutoCalibration"), StrPrintf("%d-04-30", now.year + 1));
  EXPECT_EQ(Scalar("select BloodType from AutoCalibration"), "2");
  EXPECT_EQ(std::stod(Scalar("select PLT from AutoCalibration")), 230.0);
  EXPECT_EQ(Scalar("select C5 from AutoCalibration"), "1");

  // Picked from the list it loads; Delete takes it away.
  CCalibAutoSet again;
  std::string year, target;
  ASSERT_TRUE(d.RunScript([&] { again.DoModal(); }, [&](ui::TestDriver& s) {
    s.RunUntil([&] {
      static_cast<ui::ComboBox*>(s.Find(IDC_CAS_LOT))->ListPicked(0);
      return true;
    });
    year = s.Text(IDC_CAS_YEAR);
    target = s.Text(IDC_CAS_TARGET);
    s.Press(IDC_CAS_DELETE);
    s.AnswerMessageBox(ui::IDOK);
    s.Press(ui::IDCANCEL);
  }));
  EXPECT_EQ(year, std::to_string(now.year + 1));
  EXPECT_EQ(target, "7.50");
  EXPECT_EQ(Scalar("select count(*) from AutoCalibration"), "0");
}

TEST_F(CalibrationScreens, BatchExpirySpinsStepTheEditBeforeThemWithinTheirRanges) {
  // Year 2013..2050, month 0..12, day 0..31; the number in the edit is where a step starts.
  const struct {
    int edit, spin;
    const char* before;
    bool up;
    const char* after;
  } taps[] = {
      {IDC_CAS_YEAR, IDC_CAS_YEAR_SPIN, "2030", true, "2031"},   {IDC_CAS_YEAR, IDC_CAS_YEAR_SPIN, "2050", true, "2050"},
      {IDC_CAS_YEAR, IDC_CAS_YEAR_SPIN, "2013", false, "2013"},  {IDC_CAS_MONTH, IDC_CAS_MONTH_SPIN, "11", true, "12"},
      {IDC_CAS_MONTH, IDC_CAS_MONTH_SPIN, "12", true, "12"},     {IDC_CAS_MONTH, IDC_CAS_MONTH_SPIN, "0", false, "0"},
      {IDC_CAS_DAY, IDC_CAS_DAY_SPIN, "31", true, "31"},         {IDC_CAS_DAY, IDC_CAS_DAY_SPIN, "9", false, "8"},
  };
  CCalibAutoSet screen;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    for (const auto& t : taps) {
      Set(s, t.edit, t.before);
      ASSERT_TRUE(spin_taps::TapSpinArrow(s, t.spin, t.up)) << t.spin;
      EXPECT_EQ(s.Text(t.edit), t.after) << t.before << (t.up ? " up" : " down");
    }
    s.Press(ui::IDCANCEL);
  }));
}

TEST_F(CalibrationScreens, SettingButtonLoadsTheChosenBatch) {
  AppSettings.UserLevel = 1;
  Sql("update CalibrationCoef set WBC=1.05,WBC_D=104.5 where BloodType=1");
  Sql("insert into AutoCalibration(BatchNo,ExpDate,BloodType,WBC,RBC,HGB,MCV,PLT,C1,C2,C3,C4,C5) "
      "values('B1','2099-01-01',1,7.35,4.5,135,88,220,1,1,1,0,1)");
  CCalibAuto screen;
  std::string lot, type, target, old;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return screen.Cycle().ready(); }, 5000));
    s.Press(IDC_CA_SETTING);
    ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_CAS_LOT) != nullptr; }, 3000));
    s.RunUntil([&] {
      static_cast<ui::ComboBox*>(s.Find(IDC_CAS_LOT))->ListPicked(0);
      return true;
    });
    s.Press(ui::IDOK);
    ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_CAS_LOT) == nullptr; }, 3000));
    lot = s.Text(IDC_CA_LOT);
    type = s.Text(IDC_CA_TYPE);
    s.RunUntil([&] {
      target = screen.RunGrid().GetItemText(1, 1);
      old = screen.ResultGrid().GetItemText(0, 1);
      return true;
    });
    s.Press(ui::IDCANCEL);
    s.Advance(600);
    s.RunUntil([&] { return screen.IsEnded(); }, 3000);
  }));
  EXPECT_EQ(lot, "B1");
  EXPECT_EQ(type, "Peripheral blood");
  EXPECT_EQ(target, "7.35");
  EXPECT_EQ(old, "104.50%");  // below Engineer level the percent in force
  EXPECT_EQ(screen.CurrentCoefText(0), "1.05");
}

}  // namespace

namespace {

TEST_F(CalibrationScreens, BatchOkStaysOpenWhenTheBatchCannotBeStored) {
  const sys::LocalTime now = sys::Clock::Now();
  Sql("alter table AutoCalibration rename to AutoCalibrationAway");
  CCalibAutoSet screen;
  bool openAfterOk = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); }, [&](ui::TestDriver& s) {
    Set(s, IDC_CAS_LOT, "L1");
    Set(s, IDC_CAS_YEAR, std::to_string(now.year + 1));
    Set(s, IDC_CAS_MONTH, "1");
    Set(s, IDC_CAS_DAY, "31");
    s.Press(IDC_CAS_WHOLE);
    for (int i = 0; i < 5; ++i) Set(s, IDC_CAS_TARGET + i, "1");
    s.Press(ui::IDOK);
    while (s.RunUntil([&] { return s.MessageBox() != nullptr; }, 500)) s.AnswerMessageBox(ui::IDOK);
    openAfterOk = !screen.IsEnded();
    s.Press(ui::IDCANCEL);
  }));
  EXPECT_TRUE(openAfterOk);
  EXPECT_EQ(screen.m_strBatchNo, "L1");
}

}  // namespace
