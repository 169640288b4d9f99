// Reagent booking, the reserve state machine, minimum checks, shortage texts and the
// coefficient rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/reagent.h"

using namespace analyzer;

namespace {

struct RecordingStore : ReagentStore {
  std::vector<std::string> sql;
  bool Execute(const std::string& s) override {
    sql.push_back(s);
    return true;
  }
};

ReagentAccount Account(float dil, float lyse, float cle, uint8_t mode = 0) {
  ReagentAccount a;
  a.volumes().DiluentVol = dil;
  a.volumes().LyseVol = lyse;
  a.volumes().CleanerVol = cle;
  a.volumes().ReagentAlarmType = mode;
  return a;
}

}  // namespace

TEST(ReagentBookingTest, VolumeModeAmountsPerOperation) {
  struct Case {
    ReagentOperation op;
    int language;
    float dil, lyse, cle;
  };
  const Case cases[] = {
      {ReagentOperation::SampleWholeOrPeripheral, 1, 17.97f, 0.57f, 1.19f},
      {ReagentOperation::SamplePrediluted, 1, 17.70f, 0.57f, 1.17f},
      {ReagentOperation::CalibrationWholeOrPeripheral, 1, 17.97f, 0.57f, 1.19f},
      {ReagentOperation::CalibrationPrediluted, 1, 17.70f, 0.57f, 1.17f},
      {ReagentOperation::QcSample, 1, 17.97f, 0.57f, 1.19f},
      {ReagentOperation::StartupBlank, 1, 17.97f, 0.57f, 1.19f},
      {ReagentOperation::CleanChambersTestScreen, 1, 17.68f, 0, 11.55f},
      {ReagentOperation::CleanChambersService, 1, 17.68f, 0, 11.55f},
      {ReagentOperation::RemoveBlockage, 1, 17.74f, 0, 11.52f},
      {ReagentOperation::WakeAfterStandby, 1, 8.76f, 0, 1.20f},
      {ReagentOperation::DispenseDiluent, 1, 0.70f, 0, 0},
      {ReagentOperation::StartupClean, 1, 35.57f, 0, 1.77f},
      {ReagentOperation::Shutdown, 0, 53.13f, 0, 12.65f},
      {ReagentOperation::Shutdown, 1, 6.50f, 0, 12.65f},
      {ReagentOperation::Shutdown, 4, 6.50f, 0, 12.65f},
      {ReagentOperation::PrimeAll, 1, 24.74f, 10.12f, 6.14f},
      {ReagentOperation::PrimeDiluent, 1, 24.74f, 0, 0},
      {ReagentOperation::PrimeLyse, 1, 5.83f, 10.12f, 0},
      {ReagentOperation::PrimeCleanser, 1, 0, 0, 6.14f},
  };
  for (const Case& c : cases) {
    ReagentAccount a = Account(500.0f, 200.0f, 300.0f);
    a.Book(c.op, c.language);
    EXPECT_EQ(a.volumes().DiluentVol, 500.0f - c.dil) << int(c.op) << " lang " << c.language;
    EXPECT_EQ(a.volumes().LyseVol, 200.0f - c.lyse) << int(c.op);
    EXPECT_EQ(a.volumes().CleanerVol, 300.0f - c.cle) << int(c.op);
  }
}

TEST(ReagentBookingTest, SensorModeSkipsVolumeModeRowsOnly) {
  struct Case {
    ReagentOperation op;
    bool booked;
  };
  const Case cases[] = {
      {ReagentOperation::SampleWholeOrPeripheral, false}, {ReagentOperation::SamplePrediluted, false},
      {ReagentOperation::QcSample, false},                 {ReagentOperation::StartupBlank, false},
      {ReagentOperation::CalibrationWholeOrPeripheral, true}, {ReagentOperation::CleanChambersService, true},
      {ReagentOperation::PrimeAll, true},                  {ReagentOperation::Shutdown, true},
  };
  for (const Case& c : cases) {
    ReagentAccount a = Account(500.0f, 200.0f, 300.0f, 1);
    a.Book(c.op);
    EXPECT_EQ(a.volumes().DiluentVol != 500.0f, c.booked) << int(c.op);
  }
}

TEST(ReagentBookingTest, EveryBookingIsSavedAtOnce) {
  RecordingStore store;
  ReagentAccount a = Account(500.0f, 200.0f, 300.0f);
  a.SetStore(&store);
  a.Book(ReagentOperation::SampleWholeOrPeripheral);
  ASSERT_EQ(store.sql.size(), 1u);
  EXPECT_EQ(store.sql[0], "update SysSetting set DiluentVol = 482.03,LyseVol = 199.43,CleanerVol = 298.81");
  a.Book(ReagentOperation::RemoveBlockage);
  ASSERT_EQ(store.sql.size(), 2u);
  EXPECT_EQ(store.sql[1], "update SysSetting set DiluentVol = 464.29,LyseVol = 199.43,CleanerVol = 287.29");

  // Nothing booked, nothing written: a sample in sensor mode outside a reserve count.
  RecordingStore quiet;
  ReagentAccount b = Account(500.0f, 200.0f, 300.0f, 1);
  b.SetStore(&quiet);
  b.Book(ReagentOperation::SampleWholeOrPeripheral);
  EXPECT_TRUE(quiet.sql.empty());
}

TEST(ReagentBookingTest, ServiceMenuExamples) {
  ReagentAccount a = Account(500.0f, 0.0f, 200.0f);
  a.Book(ReagentOperation::RemoveBlockage);
  EXPECT_NEAR(a.volumes().DiluentVol, 482.26f, 0.001f);
  EXPECT_NEAR(a.volumes().CleanerVol, 188.48f, 0.001f);
  ReagentAccount b = Account(500.0f, 0.0f, 200.0f);
  b.Book(ReagentOperation::CleanChambersService);
  EXPECT_NEAR(b.volumes().DiluentVol, 482.32f, 0.001f);
  EXPECT_NEAR(b.volumes().CleanerVol, 188.45f, 0.001f);
}

TEST(ReagentReserveTest, BookingAgainstReserves) {
  ReagentCoefficients k;
  k.lys = 1.1f;
  k.cle = 0.9f;
  k.coaf = 2.0f;
  struct Case {
    ReagentOperation op;
    bool reserve;
    float lyse, cleanser;
  };
  const Case cases[] = {
      {ReagentOperation::SampleWholeOrPeripheral, true, 0.57f, 1.19f},
      {ReagentOperation::SamplePrediluted, true, 0.57f, 1.17f},
      {ReagentOperation::CalibrationWholeOrPeripheral, true, 1.1f * 0.6f, 0.9f * 1.23f * 2.0f},
      {ReagentOperation::QcSample, true, 1.1f * 0.6f, 0.9f * 1.23f * 2.0f},
      {ReagentOperation::CleanChambersTestScreen, true, 0, 11.55f},
      {ReagentOperation::CleanChambersService, true, 0, 0.9f * 11.44f * 2.0f},
      {ReagentOperation::RemoveBlockage, true, 0, 0.9f * 11.39f * 2.0f},
      {ReagentOperation::WakeAfterStandby, true, 0, 1.2f},
      {ReagentOperation::DispenseDiluent, false, 0, 0},
      {ReagentOperation::StartupClean, true, 0, 0.9f * 2.2f * 2.0f},
      {ReagentOperation::Shutdown, true, 0, 0.9f * 11.3f * 2.0f},
      {ReagentOperation::PrimeAll, true, 1.1f * 10.2f, 0.9f * 6.25f * 2.0f},
      {ReagentOperation::PrimeDiluent, false, 0, 0},
      {ReagentOperation::PrimeLyse, true, 1.1f * 10.2f, 0},
      {ReagentOperation::PrimeCleanser, true, 0, 0.9f * 6.25f * 2.0f},
  };
  for (const Case& c : cases) {
    const Consumption got = ConsumptionOf(c.op, k, 1);
    EXPECT_EQ(got.reserve, c.reserve) << int(c.op);
    EXPECT_FLOAT_EQ(got.reserveLyse, c.lyse) << int(c.op);
    EXPECT_FLOAT_EQ(got.reserveCleanser, c.cleanser) << int(c.op);
  }
}

TEST(ReagentReserveTest, ReserveBookingWritesOnlyWhatCounts) {
  struct Case {
    uint8_t mode, lyseCounting, cleanserCounting;
    float lyseUsed, cleanserUsed;
    std::string sql;  // empty: nothing written
    float lyseLeft, cleanserLeft;
  };
  const Case cases[] = {
      {0, 1, 1, 0.57f, 1.19f, "", 20.0f, 20.0f},  // volume mode: nothing at all
      {1, 0, 0, 0.57f, 1.19f, "", 20.0f, 20.0f},  // not counting
      {1, 1, 1, 0.57f, 1.19f, "update SysSetting set LyseReviseVol = 19.43,CleanerReviseVol = 18.81", 19.43f, 18.81f},
      {1, 1, 0, 0.57f, 1.19f, "update SysSetting set LyseReviseVol = 19.43", 19.43f, 20.0f},
      {1, 0, 1, 0.57f, 1.19f, "update SysSetting set CleanerReviseVol = 18.81", 20.0f, 18.81f},
      {1, 1, 1, 0.0f, 11.55f, "update SysSetting set CleanerReviseVol = 8.45", 20.0f, 8.45f},
  };
  for (const Case& c : cases) {
    RecordingStore store;
    ReagentAccount a = Account(100, 100, 100, c.mode);
    a.SetStore(&store);
    a.volumes().ReviseVol = 20;
    a.volumes().LyseReviseVol = 20;
    a.volumes().CleanerReviseVol = 20;
    a.volumes().LyseReserveCounting = c.lyseCounting;
    a.volumes().CleanserReserveCounting = c.cleanserCounting;
    EXPECT_EQ(a.SaveReagentReviseVolumes(c.lyseUsed, c.cleanserUsed), 1);
    if (c.sql.empty()) {
      EXPECT_TRUE(store.sql.empty()) << c.sql;
    } else {
      ASSERT_EQ(store.sql.size(), 1u);
      EXPECT_EQ(store.sql[0], c.sql);
    }
    EXPECT_NEAR(a.volumes().LyseReviseVol, c.lyseLeft, 1e-4);
    EXPECT_NEAR(a.volumes().CleanerReviseVol, c.cleanserLeft, 1e-4);
  }
}

// One sensor report after another, with consumption in between; the reserve state after
// each step.
TEST(ReagentReserveTest, SensorSequences) {
  enum Kind { Present, Empty, Use };
  struct Step {
    Kind kind;
    float used;        // for Use: lyse consumed
    int result;        // for reports: the returned value
    int pending, counting;
    float left;
  };
  struct Case {
    std::string name;
    float reviseVol, start;
    std::vector<Step> steps;
    int writes;  // refills stored
  };
  const Case cases[] = {
      {"empty twice starts counting, exhausted below zero", 20, 20,
       {{Empty, 0, 1, 1, 0, 20},
        {Empty, 0, 1, 1, 1, 20},
        {Use, 15, 0, 1, 1, 5},
        {Empty, 0, 1, 0, 1, 5},
        {Use, 6, 0, 0, 1, -1},
        {Empty, 0, 0, 0, 1, -1}},
       0},
      {"one present report keeps counting, two refill", 20, 12,
       {{Present, 0, 1, 1, 1, 12}, {Use, 2, 0, 1, 1, 10}, {Present, 0, 1, 0, 0, 20}},
       1},
      {"present on a full reserve clears everything", 20, 20, {{Empty, 0, 1, 1, 0, 20}, {Present, 0, 1, 0, 0, 20}}, 0},
      {"reserve switched off passes the report through", 0, 0, {{Empty, 0, 0, 0, 0, 0}, {Present, 0, 1, 0, 0, 0}}, 0},
  };
  for (const Case& c : cases) {
    RecordingStore store;
    ReagentAccount a = Account(100, 100, 100, 1);
    a.SetStore(&store);
    a.volumes().ReviseVol = c.reviseVol;
    a.volumes().LyseReviseVol = c.start;
    a.AfterLoad();
    size_t i = 0;
    for (const Step& s : c.steps) {
      if (s.kind == Use) {
        a.SaveReagentReviseVolumes(s.used, 0);
      } else {
        EXPECT_EQ(a.SaveReagentReviseVolume(s.kind == Present ? 1 : 0, 1), s.result) << c.name << " step " << i;
      }
      EXPECT_EQ(a.volumes().LyseConfirmPending, s.pending) << c.name << " step " << i;
      EXPECT_EQ(a.volumes().LyseReserveCounting, s.counting) << c.name << " step " << i;
      EXPECT_NEAR(a.volumes().LyseReviseVol, s.left, 1e-4) << c.name << " step " << i;
      ++i;
    }
    int refills = 0;
    for (const std::string& s : store.sql)
      if (s == "update SysSetting set LyseReviseVol = 20.00") ++refills;
    EXPECT_EQ(refills, c.writes) << c.name;
  }
}

TEST(ReagentReserveTest, OtherReagentNumbersPassThrough) {
  ReagentAccount a = Account(100, 100, 100, 1);
  a.volumes().ReviseVol = 20;
  EXPECT_EQ(a.SaveReagentReviseVolume(0, 3), 0);
  EXPECT_EQ(a.SaveReagentReviseVolume(1, 0), 1);
  EXPECT_EQ(a.volumes().LyseConfirmPending, 0);
  EXPECT_EQ(a.volumes().CleanserConfirmPending, 0);
}

TEST(ReagentReserveTest, SensorReportsKeepAvailability) {
  struct Case {
    uint8_t command, state;
    float reviseVol, left;
    bool handled, exhausted;
    int reagent;
  };
  const Case cases[] = {
      {0x83, 1, 0, 0, true, true, 1},     // no reserve: empty is exhausted at once
      {0x83, 1, 20, 5, true, false, 1},   // reserve not used up yet
      {0x83, 1, 20, -1, true, true, 1},   // used up
      {0x84, 1, 20, -0.5f, true, true, 2},
      {0x84, 0, 20, -0.5f, true, false, 2},
      {0x85, 1, 20, 20, true, true, 3},   // the diluent has no reserve
      {0x85, 0, 20, 20, true, false, 3},
      {0x85, 2, 20, 20, false, false, 0}, // another state byte is not a report
      {0x80, 1, 20, 20, false, false, 0},
  };
  for (const Case& c : cases) {
    ReagentAccount a = Account(100, 100, 100, 1);
    a.volumes().ReviseVol = c.reviseVol;
    a.volumes().LyseReviseVol = c.left;
    a.volumes().CleanerReviseVol = c.left;
    const SensorReport r = a.ApplySensorReport(c.command, c.state);
    EXPECT_EQ(r.handled, c.handled) << std::hex << int(c.command) << " " << int(c.state);
    EXPECT_EQ(r.exhausted, c.exhausted) << std::hex << int(c.command) << " " << int(c.state);
    EXPECT_EQ(r.reagent, c.reagent);
    if (c.handled) {
      const uint8_t flag = c.reagent == 1 ? a.volumes().LyseAvailable
                           : c.reagent == 2 ? a.volumes().CleanserAvailable
                                            : a.volumes().DiluentAvailable;
      EXPECT_EQ(flag, c.exhausted ? 0 : 1);
    }
  }
}

TEST(ReagentCheckTest, MinimumsAndTexts) {
  struct Case {
    ReagentCheck check;
    float dil, lyse, cle;
    uint8_t mode;
    std::string english;
  };
  const Case cases[] = {
      {ReagentCheck::PrimeAll, 40.57f, 15.12f, 11.14f, 0, ""},
      {ReagentCheck::PrimeAll, 40.56f, 15.12f, 11.14f, 0, "Diluent not enough"},
      {ReagentCheck::PrimeAll, 10, 10, 10, 0, "Diluent Lyse Cleanser not enough"},
      {ReagentCheck::PrimeDiluent, 34.74f, 0, 0, 0, ""},
      {ReagentCheck::PrimeDiluent, 30, 500, 500, 0, "Diluent not enough"},
      {ReagentCheck::PrimeLyse, 40.0f, 100, 0, 0, "Diluent not enough"},
      {ReagentCheck::PrimeLyse, 100, 15.11f, 0, 0, "Lyse not enough"},
      {ReagentCheck::PrimeCleanser, 0, 0, 11.13f, 0, "Cleanser not enough"},
      {ReagentCheck::CleanChambers, 20, 0, 30, 0, "Diluent not enough"},
      {ReagentCheck::CleanChambers, 27.68f, 0, 16.55f, 0, ""},
      {ReagentCheck::CountKeyCalibrationQc, 29.9f, 5.0f, 9.9f, 0, "Diluent Cleanser not enough"},
      {ReagentCheck::TestScreen, 29.9f, 5.0f, 9.0f, 0, "Diluent Cleanser not enough"},
      {ReagentCheck::TestScreen, 30.0f, 5.0f, 10.0f, 0, ""},
      {ReagentCheck::TestScreen, 100, 4.9f, 9.0f, 0, "Lyse Cleanser not enough"},
      {ReagentCheck::TestScreen, 1, 1, 1, 1, ""},  // sensor mode: no minimum checks
      {ReagentCheck::TestScreen, -10000, -1000, -1000, 0, "Diluent Lyse Cleanser not enough"},
  };
  for (const Case& c : cases) {
    ReagentAccount a = Account(c.dil, c.lyse, c.cle, c.mode);
    const ReagentShortage s = CheckReagents(c.check, a.volumes());
    EXPECT_EQ(ReagentShortageText(s, 1), c.english) << int(c.check) << " " << c.dil;
  }
}

TEST(ReagentCheckTest, TextsInEveryLanguage) {
  ReagentShortage all;
  all.diluent = all.lyse = all.cleanser = true;
  ReagentShortage lyseCle;
  lyseCle.lyse = lyseCle.cleanser = true;
  struct Case {
    int language;
    std::string all, lyseCleanser;
  };
  const Case cases[] = {
      {0, "稀释液 溶血剂 清洁液 余量不足", "溶血剂 清洁液 余量不足"},
      {1, "Diluent Lyse Cleanser not enough", "Lyse Cleanser not enough"},
      {2, "Diluente Lisante Limpiador insuficiente", "Lisante Limpiador insuficiente"},
      {3, "Diluant Lyse Detergent insuffisant", "Lyse Detergent insuffisant"},
      {4, "Розчинник Лізуючий розчин Промиваючий розчин Не достатньо",
       "Лізуючий розчин Промиваючий розчин Не достатньо"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReagentShortageText(all, c.language), c.all);
    EXPECT_EQ(ReagentShortageText(lyseCle, c.language), c.lyseCleanser);
    EXPECT_EQ(ReagentShortageText(ReagentShortage{}, c.language), "");
    for (int r = 1; r <= 3; ++r) EXPECT_FALSE(SensorShortageMessage(r, c.language).empty());
  }
  EXPECT_EQ(SensorShortageMessage(1, 1), "Lyse not enough!");
  EXPECT_EQ(SensorShortageMessage(2, 1), "Cleanser not enough!");
  EXPECT_EQ(SensorShortageMessage(3, 1), "Diluent not enough!");
}

TEST(ReagentCoefficientTest, Clamps) {
  struct Case {
    CoefficientKey key;
    std::string text;
    float value;
  };
  const Case cases[] = {
      {CoefficientKey::Dil, "1.0", 1.0f},   {CoefficientKey::Dil, "0.8", 0.8f},
      {CoefficientKey::Dil, "0.79", 1.0f},  {CoefficientKey::Dil, "1.2", 1.2f},
      {CoefficientKey::Dil, "1.21", 1.0f},  {CoefficientKey::Dil, "1.3", 1.0f},
      {CoefficientKey::Lys, "0.95", 0.95f}, {CoefficientKey::Cle, "abc", 1.0f},
      {CoefficientKey::Cle, " 1.1xyz", 1.1f},
      {CoefficientKey::Coaf, "0.5", 0.7f},  {CoefficientKey::Coaf, "3", 3.0f},
      {CoefficientKey::Coaf, "0.7", 0.7f},  {CoefficientKey::Coaf, "", 0.7f},
      {CoefficientKey::Dil, "1.22", 1.0f},  {CoefficientKey::Coaf, "0.69", 0.7f},
      {CoefficientKey::Coaf, "5", 5.0f},    {CoefficientKey::Coaf, "2.5x", 2.5f},
      {CoefficientKey::Lys, " 1.1", 1.1f},
  };
  for (const Case& c : cases) EXPECT_EQ(CoefficientFromText(c.key, c.text), c.value) << c.text;
}

TEST(ReagentCoefficientTest, ReadsTheSettingsFile) {
  const std::string dir = ::testing::TempDir();
  const std::string file = dir + "/reagent_coef_Setting.ini";
  {
    std::ofstream out(file);
    out << "[Setting]\nLZLON=1\n[ReagentCalcCoef]\nDIL=1.3\nlys=0.9\nCLE=1.05\nCOAF=0.5\n";
  }
  const ReagentCoefficients k = ReadReagentCoefficients(file);
  EXPECT_EQ(k.dil, 1.0f);
  EXPECT_EQ(k.lys, 0.9f);
  EXPECT_EQ(k.cle, 1.05f);
  EXPECT_EQ(k.coaf, 0.7f);
  std::remove(file.c_str());
  const ReagentCoefficients missing = ReadReagentCoefficients(dir + "/no_such_Setting.ini");
  EXPECT_EQ(missing.dil, 1.0f);
  EXPECT_EQ(missing.coaf, 1.0f);
}

TEST(ReagentReserveTest, SensorFramesAreAppliedOnlyWithAGoodCheck) {
  struct Case {
    std::vector<uint8_t> bytes;
    bool handled;
  };
  const CommandFrame empty = BuildCommandFrame(0xCC, 0x85, 1);
  std::vector<uint8_t> good(empty.begin(), empty.end());
  std::vector<uint8_t> damaged = good;
  damaged[12] ^= 0x01;
  const CommandFrame ack = BuildCommandFrame(0xAA, 0x85, 1);
  const Case cases[] = {{good, true}, {damaged, false}, {std::vector<uint8_t>(ack.begin(), ack.end()), false}};
  for (const Case& c : cases) {
    ReagentAccount a = Account(100, 100, 100, 1);
    FullCollector col;
    CollectedFrame f;
    for (uint8_t b : c.bytes) f = col.Feed(b);
    ASSERT_TRUE(f);
    EXPECT_EQ(a.ApplySensorFrame(f).handled, c.handled);
    EXPECT_EQ(a.volumes().DiluentAvailable, c.handled ? 0 : 1);
  }
}

TEST(ReagentLoadTest, NullColumnsKeepThePreLoadValuesAndReservesStartCounting) {
  ReagentAccount a;
  StoredReagentValues s;
  s.lyseVol = 250.0f;
  s.reagentAlarmType = 1;
  s.reviseVol = 20.0f;
  s.lyseReviseVol = 12.0f;
  s.cleanerReviseVol = 20.0f;
  a.Load(s);
  EXPECT_EQ(a.volumes().DiluentVol, -10000.0f);  // NULL: below every minimum, so checks report it
  EXPECT_EQ(a.volumes().CleanerVol, -1000.0f);
  EXPECT_EQ(a.volumes().LyseVol, 250.0f);
  EXPECT_EQ(a.volumes().ReagentAlarmType, 1);
  EXPECT_EQ(a.volumes().LyseReserveCounting, 1);
  EXPECT_EQ(a.volumes().CleanserReserveCounting, 0);
}

// Volumes that land exactly on a minimum after a run of bookings: the account is kept at the
// two decimals it stores, so the check sees the same value before and after a restart.
TEST(ReagentCheckTest, AVolumeBookedDownToItsMinimumPasses) {
  using Op = ReagentOperation;
  struct Case {
    float dil, lyse, cle;  // before the bookings
    std::vector<Op> ops;
    ReagentCheck check;
    std::string english;
  };
  const Case cases[] = {
      // 59.48 - 24.74 = 34.74
      {59.48f, 100, 100, {Op::PrimeDiluent}, ReagentCheck::PrimeDiluent, ""},
      {59.47f, 100, 100, {Op::PrimeDiluent}, ReagentCheck::PrimeDiluent, "Diluent not enough"},
      // 75.77 - 17.68 - 8.76 - 8.76 = 40.57; cleanser 100 - 11.55 - 1.20 - 1.20 = 86.05
      {75.77f, 100, 100, {Op::CleanChambersService, Op::WakeAfterStandby, Op::WakeAfterStandby}, ReagentCheck::PrimeAll, ""},
      // 38.76 - 8.76 = 30.00; cleanser 11.20 - 1.20 = 10.00
      {38.76f, 5.0f, 11.2f, {Op::WakeAfterStandby}, ReagentCheck::TestScreen, ""},
      // 47.97 - 17.97 = 30.00, 5.57 - 0.57 = 5.00, 11.19 - 1.19 = 10.00
      {47.97f, 5.57f, 11.19f, {Op::SampleWholeOrPeripheral}, ReagentCheck::TestScreen, ""},
      {47.96f, 5.56f, 11.18f, {Op::SampleWholeOrPeripheral}, ReagentCheck::TestScreen, "Diluent Lyse Cleanser not enough"},
      // 15.12 + 10.12 = 25.24 lyse before a lyse prime, diluent 46.40 - 5.83 = 40.57
      {46.40f, 25.24f, 0, {Op::PrimeLyse}, ReagentCheck::PrimeLyse, ""},
  };
  for (const Case& c : cases) {
    ReagentAccount a = Account(c.dil, c.lyse, c.cle);
    for (Op op : c.ops) a.Book(op);
    EXPECT_EQ(ReagentShortageText(CheckReagents(c.check, a.volumes()), 1), c.english) << c.dil << " " << int(c.check);
  }
}

// What the account holds is what the store gives back after a restart, booking after booking.
TEST(ReagentBookingTest, MemoryMatchesTheStoredValueAfterEveryBooking) {
  RecordingStore store;
  ReagentAccount a = Account(1000.0f, 100.0f, 200.0f);
  a.SetStore(&store);
  // The model in hundredths of a mL: start-up clean, blank, eight samples, a wake-up.
  long dil = 100000, lyse = 10000, cle = 20000;
  auto check = [&](const char* what) {
    ASSERT_FALSE(store.sql.empty()) << what;
    float d = 0, l = 0, c = 0;
    ASSERT_EQ(std::sscanf(store.sql.back().c_str(), "update SysSetting set DiluentVol = %f,LyseVol = %f,CleanerVol = %f",
                          &d, &l, &c),
              3)
        << store.sql.back();
    // The text a restart reads back equals the model, and so does the value in memory.
    EXPECT_EQ(std::lround(d * 100.0), dil) << what;
    EXPECT_EQ(std::lround(l * 100.0), lyse) << what;
    EXPECT_EQ(std::lround(c * 100.0), cle) << what;
    EXPECT_EQ(a.volumes().DiluentVol, d) << what;
    EXPECT_EQ(a.volumes().LyseVol, l) << what;
    EXPECT_EQ(a.volumes().CleanerVol, c) << what;
  };
  a.Book(ReagentOperation::StartupClean);
  dil -= 3557, cle -= 177;
  check("clean");
  a.Book(ReagentOperation::StartupBlank);
  dil -= 1797, lyse -= 57, cle -= 119;
  check("blank");
  for (int i = 0; i < 8; ++i) {
    a.Book(ReagentOperation::SampleWholeOrPeripheral);
    dil -= 1797, lyse -= 57, cle -= 119;
    check("sample");
  }
  a.Book(ReagentOperation::WakeAfterStandby);
  dil -= 876, cle -= 120;
  check("wake");
  EXPECT_EQ(dil, 79394);  // 1000 - 35.57 - 9 x 17.97 - 8.76 = 793.94
}
