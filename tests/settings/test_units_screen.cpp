// The units screen driven offscreen: a unit change rescales every stored limit, calibrator target
// and QC value of its slot exactly once, in one transaction that either all happens or not at
// all; the decimals in force follow OK; a stored unit the list does not offer is kept.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"
#include "settings/paras_unit.h"
#include "settings_fixture.h"

namespace {

class UnitsTest : public SettingsScreenTest {
 protected:
  void SetUp() override {
    SettingsScreenTest::SetUp();
    Sql("insert into PathologyLimits(Kind,WBCL,WBCH,HGBL,HGBH,MCHCL,MCHCH,HCTL,HCTH,PLTL,PLTH,PCTL,PCTH,RBCL,RBCH,MCVL,MCVH) "
        "values(2,1,30,50,250,250,400,20,70,20,900,0.05,0.5,2,7,60,120)");
    Sql("insert into NormalLimits(Kind,WBCL,WBCH,HGBL,HGBH) values(12,1,2,100,200)");  // no patient group
    Sql("insert into AutoCalibration(BatchNo,WBC,RBC,HGB,MCV,PLT,MCHC,HCT,PCT) values('B1',7,4.5,140,88,220,330,42,0.2)");
    Sql("insert into LJQCSet(QcFileNo,WBCLV,WBCRV,HGBLV,HGBRV,MCVLV) values(1,7.5,0.5,100,5,90)");
    Sql("insert into LJQCSet(QcFileNo,HGBLV) values(25,100)");  // no file number of the screens
    Sql("insert into XBQCSet(SampleNum,IsOn,HGBLV,HGBRV,HCTLV) values(20,1,120,6,40.5)");
  }
  // Runs the screen; `script` works it and closes it.
  void Run(const std::function<void(ui::TestDriver&)>& script) {
    CParasUnit screen;
    const bool ok = d.RunScript([&] { screen.DoModal(); }, script);
    EXPECT_TRUE(ok);
  }
  static std::string Selected(ui::TestDriver& s, int id) {
    auto* box = dynamic_cast<ui::ComboBox*>(s.Find(id));
    if (box == nullptr || box->GetCurSel() < 0) return "<none>";
    return box->GetLBText(box->GetCurSel());
  }
  // "COLUMN from TABLE where ..." with the value as two decimals.
  std::string Val(const std::string& sql) {
    const size_t from = sql.find(" from ");
    return Scalar("select printf('%.2f'," + sql.substr(0, from) + ")" + sql.substr(from));
  }
};

TEST_F(UnitsTest, HgbToGramsPerDecilitreRescalesEveryStoredHgbValueOnce) {
  std::string message;
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(Selected(s, 1089), "g/L");
    EXPECT_EQ(Selected(s, 1091), "0");
    Pick(s, 1089, "g/dL");
    EXPECT_EQ(Selected(s, 1091), "1");  // the default of the new unit
    s.Key(ui::VK_ESCAPE);                // swallowed
    s.Press(ui::IDOK);
    message = TakeMessage(s);
  });
  EXPECT_EQ(message, "Setting data saved!");
  EXPECT_EQ(Scalar("select HGB from ParasUnit"), "g/dL");
  EXPECT_EQ(Scalar("select HGBPoint from ParasUnit"), "1");
  EXPECT_EQ(UnitDecimals[3], 1);
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "11.00");
  EXPECT_EQ(Val("HGBH from NormalLimits where Kind=0"), "16.00");
  EXPECT_EQ(Val("HGBH from PathologyLimits where Kind=2"), "25.00");
  EXPECT_EQ(Val("HGB from AutoCalibration"), "14.00");
  EXPECT_EQ(Val("HGBLV from LJQCSet where QcFileNo=1"), "10.00");
  EXPECT_EQ(Val("HGBRV from LJQCSet where QcFileNo=1"), "0.50");
  EXPECT_EQ(Val("HGBLV from XBQCSet"), "12.00");
  EXPECT_EQ(Val("HGBRV from XBQCSet"), "0.60");
  // Other slots, rows outside the groups and QC files, and fixed-unit values are not touched.
  EXPECT_EQ(Val("MCHCL from NormalLimits where Kind=0"), "320.00");
  EXPECT_EQ(Val("WBCH from NormalLimits where Kind=0"), "10.00");
  EXPECT_EQ(Val("MCHC from AutoCalibration"), "330.00");
  EXPECT_EQ(Val("MCV from AutoCalibration"), "88.00");
  EXPECT_EQ(Val("HGBH from NormalLimits where Kind=12"), "200.00");
  EXPECT_EQ(Val("HGBLV from LJQCSet where QcFileNo=25"), "100.00");
  EXPECT_EQ(Val("HCTLV from XBQCSet"), "40.50");

  // A second OK without a change rescales nothing: the values were converted exactly once.
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(Selected(s, 1089), "g/dL");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "11.00");
  EXPECT_EQ(Val("HGB from AutoCalibration"), "14.00");
  // A new result is computed in g/L and shown in g/dL once, with the new decimals.
  float values[20] = {};
  values[8] = 152.0f;
  std::string units[20];
  units[8] = Scalar("select HGB from ParasUnit");
  ConvertUnit(values, units, 0);
  EXPECT_EQ(FormatValue(values[8], 8), "15.2");
}

// WBC from 10^9/L to 10^3/uL is the same quantity (factor 1), but the unit did change: its rows
// are still rewritten with two decimals, as every other unit change writes them.
TEST_F(UnitsTest, AUnitChangeOfFactorOneStillWritesTwoDecimals) {
  Sql("update PathologyLimits set WBCH=4.567, GRAAL=0.125001, HGBH=123.456 where Kind=2");
  Sql("update AutoCalibration set WBC=12.344, HGB=140.0049");
  Sql("update LJQCSet set WBCLV=7.505001, HGBLV=100.126 where QcFileNo=1");
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(Selected(s, 1054), "10^9/L");
    Pick(s, 1054, "10^3/uL");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Scalar("select WBC from ParasUnit"), "10^3/uL");
  // The stored texts of the reals: rounded to two decimals in the WBC slot only.
  EXPECT_EQ(Scalar("select WBCH from PathologyLimits where Kind=2"), "4.57");
  EXPECT_EQ(Scalar("select GRAAL from PathologyLimits where Kind=2"), "0.13");
  EXPECT_EQ(Scalar("select WBC from AutoCalibration"), "12.34");
  EXPECT_EQ(Scalar("select WBCLV from LJQCSet where QcFileNo=1"), "7.51");
  EXPECT_EQ(Scalar("select HGBH from PathologyLimits where Kind=2"), "123.456");
  EXPECT_EQ(Scalar("select HGB from AutoCalibration"), "140.0049");
  EXPECT_EQ(Scalar("select HGBLV from LJQCSet where QcFileNo=1"), "100.126");
}

TEST_F(UnitsTest, SeveralUnitsChangeTogetherEachByItsOwnFactor) {
  Run([&](ui::TestDriver& s) {
    Pick(s, 1054, "10^2/uL");
    Pick(s, 1055, "10^4/uL");
    Pick(s, 1095, "L/L");
    EXPECT_EQ(Selected(s, 1096), "3");
    Pick(s, 1047, "10^4/uL");
    Pick(s, 1098, "mL/L");
    EXPECT_EQ(Selected(s, 1099), "2");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Val("WBCH from NormalLimits where Kind=0"), "100.00");
  EXPECT_EQ(Val("GRAAL from NormalLimits where Kind=0"), "20.00");
  EXPECT_EQ(Val("LYMPL from NormalLimits where Kind=0"), "20.00");  // a percentage keeps its value
  EXPECT_EQ(Val("RBCL from NormalLimits where Kind=0"), "350.00");
  EXPECT_EQ(Val("HCTL from NormalLimits where Kind=0"), "0.37");
  EXPECT_EQ(Val("PLTL from NormalLimits where Kind=0"), "10.00");
  EXPECT_EQ(Val("PCTL from NormalLimits where Kind=0"), "1.10");
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "110.00");
  EXPECT_EQ(Val("WBC from AutoCalibration"), "70.00");
  EXPECT_EQ(Val("RBC from AutoCalibration"), "450.00");
  EXPECT_EQ(Val("HCT from AutoCalibration"), "0.42");
  EXPECT_EQ(Val("PLT from AutoCalibration"), "22.00");
  EXPECT_EQ(Val("PCT from AutoCalibration"), "2.00");
  EXPECT_EQ(Val("WBCRV from LJQCSet where QcFileNo=1"), "5.00");
  EXPECT_EQ(Val("HCTLV from XBQCSet"), "0.41");  // 40.5 % is 0.405 L/L, kept with two decimals
  EXPECT_EQ(UnitDecimals[0], 1);
  EXPECT_EQ(UnitDecimals[4], 3);
  EXPECT_EQ(UnitDecimals[12], 2);
  // Back to percent: what lay below 0.01 L/L is gone.
  Run([&](ui::TestDriver& s) {
    Pick(s, 1095, "%");
    EXPECT_EQ(Selected(s, 1096), "1");
    Pick(s, 1098, "%");
    EXPECT_EQ(Selected(s, 1099), "3");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Val("HCTLV from XBQCSet"), "41.00");
  EXPECT_EQ(Val("HCTL from NormalLimits where Kind=0"), "37.00");
  EXPECT_EQ(Val("PCTL from NormalLimits where Kind=0"), "0.11");
}

TEST_F(UnitsTest, AStoredUnitTheListDoesNotOfferIsKeptAndConvertsWithTheTrueFactor) {
  Sql("update ParasUnit set HGB='mmol/L'");
  Sql("update NormalLimits set HGBL=6.83, HGBH=9.93 where Kind=0");
  Run([&](ui::TestDriver& s) {
    EXPECT_EQ(Selected(s, 1089), "mmol/L");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Scalar("select HGB from ParasUnit"), "mmol/L");
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "6.83");
  Run([&](ui::TestDriver& s) {
    Pick(s, 1089, "g/L");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "110.03");  // 6.83 x 16.11
  EXPECT_EQ(Val("HGBH from NormalLimits where Kind=0"), "159.97");  // 9.93 x 16.11
}

TEST_F(UnitsTest, AFailureChangesNothingAndTheScreenStaysOpen) {
  Sql("create trigger refuse before update on LJQCSet begin select raise(abort, 'qc refused'); end");
  const auto decimals = UnitDecimals;
  bool stillOpen = false;
  Run([&](ui::TestDriver& s) {
    Pick(s, 1089, "g/dL");
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "");  // no confirmation
    stillOpen = s.Find(1089) != nullptr;
    s.Press(ui::IDCANCEL);
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(Scalar("select HGB from ParasUnit"), "g/L");
  EXPECT_EQ(Scalar("select HGBPoint from ParasUnit"), "0");
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "110.00");
  EXPECT_EQ(Val("HGB from AutoCalibration"), "140.00");
  EXPECT_EQ(UnitDecimals, decimals);
}

TEST_F(UnitsTest, CancelLeavesTheRowTheValuesAndTheDecimals) {
  const auto decimals = UnitDecimals;
  Run([&](ui::TestDriver& s) {
    Pick(s, 1054, "10^2/uL");
    Pick(s, 1058, 0);
    s.Key(ui::VK_RETURN);  // swallowed
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(Scalar("select WBC from ParasUnit"), "10^9/L");
  EXPECT_EQ(Val("WBCH from NormalLimits where Kind=0"), "10.00");
  EXPECT_EQ(UnitDecimals, decimals);
}

TEST_F(UnitsTest, DefaultSetsEveryDecimalFromTheChosenUnitsOnly) {
  Run([&](ui::TestDriver& s) {
    Pick(s, 1054, "10^2/uL");
    Pick(s, 1055, "10^4/uL");
    Pick(s, 1089, "g/dL");
    Pick(s, 1047, "10^4/uL");
    for (const UnitScreenRow& r : kUnitScreenRows) Pick(s, r.decimalsComboId, 2);
    s.Press(IDC_PU_DEFAULT);
    const char* expected[14] = {"1", "1", "0", "1", "1", "1", "1", "0", "1", "1", "1", "1", "3", "1"};
    for (int r = 0; r < 14; ++r) EXPECT_EQ(Selected(s, kUnitScreenRows[r].decimalsComboId), expected[r]) << r;
    s.Press(ui::IDCANCEL);
  });
  EXPECT_EQ(Scalar("select WBC from ParasUnit"), "10^9/L");
}

TEST_F(UnitsTest, AnEmptyTableShowsTheFirstUnitsAndOkInsertsTheRow) {
  Sql("delete from ParasUnit");
  Run([&](ui::TestDriver& s) {
    for (const UnitScreenRow& r : kUnitScreenRows)
      if (r.unitComboId != 0) {
        EXPECT_EQ(Selected(s, r.unitComboId), settings::UnitChoices(r.unitSlot).front()) << r.label;
      }
    Pick(s, 1092, 2);  // MCHC decimals
    s.Press(ui::IDOK);
    EXPECT_EQ(TakeMessage(s), "Setting data saved!");
  });
  EXPECT_EQ(Scalar("select count(*) from ParasUnit"), "1");
  EXPECT_EQ(Scalar("select WBC||RBC||HGB||MCHC||HCT||PLT||PCT from ParasUnit"), "10^9/L10^12/Lg/Lg/L%10^9/L%");
  EXPECT_EQ(Scalar("select WBCPoint||WBCPPoint||RBCPoint||HGBPoint||MCHCPoint||HCTPoint||MCVPoint||MCHPoint||"
                   "RDWCVPoint||RDWSDPoint||PLTPoint||MPVPoint||PCTPoint||PDWPoint from ParasUnit"),
            "21202111110131");
  EXPECT_EQ(Val("HGBL from NormalLimits where Kind=0"), "110.00");
}

TEST_F(UnitsTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    Run([&](ui::TestDriver& s) {
      Shot(std::string("units_") + kLanguageNames[lang]);
      s.Press(ui::IDCANCEL);
    });
  }
}

}  // namespace
