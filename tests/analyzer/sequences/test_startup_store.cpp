// The start-up's data store steps on real store files, fresh and old.
#include <gtest/gtest.h>

#include <cmath>

#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/startup_store.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/db_errors.h"
#include "core/value_format.h"
#include "fixture.h"

using namespace analyzer;

namespace {

class StartupStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearRecentDbErrors(); }
  SequenceFolder folder;
  CADOConn conn;
};

TEST_F(StartupStoreTest, FreshStorePreparesWithoutErrors) {
  RawExec("insert into Person(SampleNo,TestDate) values('1','2026-03-05'),('2','2026-03-05'),('3','2026-03-04')");
  StartupStoreValues v;
  PrepareStartupStore(conn, v);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors().front();
  EXPECT_EQ(v.todayCount, 2);
  EXPECT_EQ(v.personCount, 3);
  EXPECT_EQ(v.eng.WBCTIME, RawCount("select WBCTIME from EngineeringAdjust"));
  EXPECT_EQ(RawCount("select count(*) from Users where UserName in ('Engineer','Factory')"), 2);
  EXPECT_EQ(RawScalar("select Pwd from Users where UserName='Admin'"), "6049");
}

TEST_F(StartupStoreTest, TheReagentAccountReadsItsCoefficientsFromTheSettingsFile) {
  // The only reader of [ReagentCalcCoef]: bookings after the start-up use these values.
  folder.write("Setting.ini", "[ReagentCalcCoef]\nDIL=0.9\nLYS=1.1\nCLE=1.2\nCOAF=0.5\n");
  Reagents().coefficients() = ReagentCoefficients{};
  StartupStoreValues v;
  PrepareStartupStore(conn, v);
  const ReagentCoefficients& k = Reagents().coefficients();
  EXPECT_EQ(k.dil, 0.9f);
  EXPECT_EQ(k.lys, 1.1f);
  EXPECT_EQ(k.cle, 1.2f);
  EXPECT_EQ(k.coaf, 0.7f);  // COAF is at least 0.7
  Reagents().coefficients() = ReagentCoefficients{};
}

TEST_F(StartupStoreTest, ObsoleteMarkersAreDroppedButResultMarkersStay) {
  RawExec("alter table Person add column WMARKER1 real");
  RawExec("alter table Person add column RMARKER1 real");
  RawExec("alter table Person add column RMARKER2 real");
  RawExec("alter table Person add column WBCBlank real");
  RawExec("alter table Person add column RBCBlank real");
  RawExec("alter table Person add column PLTBlank real");
  StartupStoreValues v;
  PrepareStartupStore(conn, v);
  const std::string cols = RawScalar("select group_concat(name) from pragma_table_info('Person')");
  for (const char* gone : {"WMARKER1", "RMARKER1", "RMARKER2", "WBCBlank", "RBCBlank", "PLTBlank"})
    EXPECT_EQ(cols.find(std::string(",") + gone), std::string::npos) << gone;
  for (const char* kept : {"PMARKER1", "PMARKER2", "WMARKER2", "WMARKER3", "RefText", "OriginalWbc", "Abnormal"})
    EXPECT_NE(cols.find(kept), std::string::npos) << kept;
  // A result can still be written with the columns the result store names.
  RawExec("insert into Person(SampleNo,TestDate,RefText,OriginalWbc,WMARKER2,WMARKER3,PMARKER1,PMARKER2) "
          "values('9','2026-03-05','',1,1,1,1,1)");
}

TEST_F(StartupStoreTest, OldPersonTableGainsItsColumns) {
  RawExec("create table P2 as select SampleNo, TestDate from Person");
  RawExec("drop table Person");
  RawExec("alter table P2 rename to Person");
  StartupStoreValues v;
  PrepareStartupStore(conn, v);
  const std::string cols = RawScalar("select group_concat(name) from pragma_table_info('Person')");
  for (const char* c : {"RefText", "WMARKER2", "WMARKER3", "Abnormal", "OriginalWbc", "CountInputs"})
    EXPECT_NE(cols.find(c), std::string::npos) << c;
}

TEST_F(StartupStoreTest, AnOlderStoreGainsTheIndexesOfTheResultsBrowser) {
  RawExec("drop index PersonWithoutResult");
  RawExec("drop index PersonByName");
  StartupStoreValues v;
  PrepareStartupStore(conn, v);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors().front();
  EXPECT_EQ(RawScalar("select group_concat(name) from (select name from sqlite_master where type='index' and name in "
                      "('PersonWithoutResult','PersonByName') order by name)"),
            "PersonByName,PersonWithoutResult");
}

TEST_F(StartupStoreTest, DailyCounters) {
  RawExec("insert into Person(SampleNo,TestDate) values('1','2026-03-05'),('2','2026-03-04')");
  struct Case {
    const char* setup;
    int today, all;
    const char* dateAfter;
  } cases[] = {
      // yesterday's counters: today starts at 0, all stays
      {"update Statistic set SampleCountToday=7,SampleCountAll=40,DateToday='2026-03-04'", 0, 40, "2026-03-05"},
      // today's counters are kept
      {"update Statistic set SampleCountToday=7,SampleCountAll=40,DateToday='2026-03-05'", 7, 40, "2026-03-05"},
      // an empty table gets its row from the stored results
      {"delete from Statistic", 1, 2, "2026-03-05"},
  };
  for (const Case& c : cases) {
    RawExec(c.setup);
    SampleCounters = {};
    PrepareStatistic(conn, "2026-03-05", 1, 2);
    EXPECT_EQ(SampleCounters.SampleCountToday, c.today) << c.setup;
    EXPECT_EQ(SampleCounters.SampleCountAll, c.all) << c.setup;
    EXPECT_EQ(RawCount("select count(*) from Statistic"), 1) << c.setup;
    EXPECT_EQ(RawScalar("select DateToday from Statistic"), c.dateAfter) << c.setup;
    EXPECT_EQ(RawCount("select SampleCountToday from Statistic"), c.today) << c.setup;
  }
}

TEST_F(StartupStoreTest, StatisticWithoutCountersGetsThem) {
  RawExec("drop table Statistic");
  RawExec("create table Statistic (TotalTime INTEGER)");
  RawExec("insert into Statistic values(12)");
  PrepareStatistic(conn, "2026-03-05", 3, 9);
  EXPECT_EQ(RawScalar("select SampleCountToday||','||SampleCountAll||','||DateToday||','||TotalTime from Statistic"),
            "3,9,2026-03-05,12");
}

TEST_F(StartupStoreTest, DefaultSettingsRowIsInsertedIntoAnUpgradedEmptyTable) {
  RawExec("delete from SysSetting");
  AppSettings.LanguageIndex = 3;
  StartupStoreValues v;
  LoadSystemSettingsRow(conn, v);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors().front();
  EXPECT_EQ(RawCount("select count(*) from SysSetting"), 1);
  EXPECT_EQ(RawScalar("select DiluentVol||','||DormancyTime||','||CleanerReplDate from SysSetting"),
            "10000.0,60,2009-3-1");
  EXPECT_EQ(AppSettings.LanguageIndex, 3);  // nothing read back in this run
}

TEST_F(StartupStoreTest, SettingsRowIsRead) {
  RawExec("update SysSetting set IsKJKB=1, IsKJQX=0, SLanguage=2, DiluentVol=123.5, LyseVol=45, CleanerVol=67,"
          " ReagentAlarmType=1, ReviseVol=50, LyseReviseVol=20, CleanerReviseVol=50, SetSoakTimes=300");
  StartupStoreValues v;
  LoadSystemSettingsRow(conn, v);
  EXPECT_EQ(v.IsKJKB, 1);
  EXPECT_EQ(v.IsKJQX, 0);
  EXPECT_EQ(AppSettings.LanguageIndex, 2);
  EXPECT_FLOAT_EQ(Reagents().volumes().DiluentVol, 123.5f);
  EXPECT_EQ(AppSettings.ReagentAlarmType, 1);
  EXPECT_EQ(Reagents().volumes().LyseReserveCounting, 1);
  EXPECT_EQ(Reagents().volumes().CleanserReserveCounting, 0);
  EXPECT_EQ(Soak.SetSoakTimes, 300);
}

TEST_F(StartupStoreTest, BuiltInUsers) {
  RawExec("delete from Users where UserName<>'Admin'");
  RawExec("update Users set Pwd='1111'");
  RawExec("insert into Users values('Aduser',1,'1')");
  EnsureBuiltInUsers(conn);
  EXPECT_EQ(RawScalar("select group_concat(UserName||UserType||Pwd) from (select * from Users order by UserName)"),
            "Admin16049,Engineer24726,Factory35183");
  RawExec("update Users set Pwd='2222' where UserName='Admin'");
  RawExec("insert into Users values('Aduser',1,'1')");
  EnsureBuiltInUsers(conn);  // Engineer exists: nothing else changes
  EXPECT_EQ(RawScalar("select Pwd from Users where UserName='Admin'"), "2222");
  EXPECT_EQ(RawCount("select count(*) from Users"), 3);
}

TEST_F(StartupStoreTest, UnitDecimalsOldAndCurrentLayout) {
  LoadUnitDecimals(conn);
  const auto current = UnitDecimals;
  EXPECT_EQ(current[4], RawCount("select HCTPoint from ParasUnit"));  // display slot 4 is HCT
  RawExec("create table PU as select WBC,RBC,HGB,MCHC,HCT,PLT,PCT from ParasUnit");
  RawExec("drop table ParasUnit");
  RawExec("alter table PU rename to ParasUnit");
  RawExec("update ParasUnit set HCT='L/L', WBC='10^2/uL'");
  conn.Disconnect();  // the table was rebuilt behind this connection's back
  LoadUnitDecimals(conn);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors().front();
  EXPECT_EQ(RawCount("select count(*) from pragma_table_info('ParasUnit')"), 21);
  EXPECT_EQ(UnitDecimals[4], 3);
  EXPECT_EQ(UnitDecimals[0], 1);
  EXPECT_EQ(UnitDecimals[7], 0);  // MCHC
  EXPECT_EQ(RawCount("select HCTPoint from ParasUnit"), 3);
}

TEST_F(StartupStoreTest, EngineeringTablesWithoutRowsKeepStartValues) {
  RawExec("delete from EngineeringAdjust");
  RawExec("delete from EngineeringDebug");
  EngineeringValues e;
  LoadEngineeringSettings(conn, e);
  EXPECT_EQ(e.WBCTIME, 50);
  EXPECT_EQ(e.RBCTIME, 10);
  EXPECT_EQ(e.ZYDW[0], 0);
  RawExec("insert into EngineeringDebug values(-3,2,0,0,9)");
  LoadEngineeringSettings(conn, e);
  EXPECT_EQ(e.Needle[0], -3);
  EXPECT_EQ(e.Needle[4], 9);
}

TEST_F(StartupStoreTest, InternationalEditionShowsEnglishForChinese) {
  AppSettings.ChineseEdition = 0;
  AppSettings.LanguageIndex = 0;
  AppSettings.LayoutScale = 1.25f;
  EXPECT_EQ(StartupBackgroundPicture(), "Picture/bg_ONOFF_EN2.bmp");
  EXPECT_EQ(AppSettings.LanguageIndex, 1);
  AppSettings.ChineseEdition = 1;
  AppSettings.LanguageIndex = 0;
  AppSettings.LayoutScale = 1.0f;
  EXPECT_EQ(StartupBackgroundPicture(), "Picture/bg_ONOFF.bmp");
  EXPECT_EQ(AppSettings.LanguageIndex, 0);
}

}  // namespace

namespace {

long StoredHundredths(const char* column) {
  return std::lround(std::stod(RawScalar(std::string("select ") + column + " from SysSetting")) * 100.0);
}
// The program is killed and started again: only the store is left.
void Restart(CADOConn& conn) {
  ResetProcessValues();
  StartupStoreValues v;
  PrepareStartupStore(conn, v);
}

}  // namespace

TEST_F(StartupStoreTest, ReservesReachTheStoreAtOnceAndHoldAcrossARestart) {
  RawExec("update SysSetting set ReagentAlarmType=1, ReviseVol=20, LyseReviseVol=20, CleanerReviseVol=20");
  Restart(conn);
  ReagentAccount& a = Reagents();
  ASSERT_EQ(a.volumes().ReagentAlarmType, 1);
  // Two empty reports start the count-down of each reserve.
  for (int i = 0; i < 2; ++i) {
    EXPECT_FALSE(a.ApplySensorReport(0x83, 1).exhausted);
    EXPECT_FALSE(a.ApplySensorReport(0x84, 1).exhausted);
  }
  // The model in hundredths: a lyse prime uses LYS x 10.2 of the lyse reserve, the shutdown
  // CLE x 11.3 x COAF of the cleanser reserve (coefficients 1.0).
  long lyse = 2000, cle = 2000;
  a.Book(ReagentOperation::PrimeLyse);
  lyse -= 1020;
  EXPECT_EQ(StoredHundredths("LyseReviseVol"), lyse);
  a.Book(ReagentOperation::PrimeLyse);
  lyse -= 1020;
  EXPECT_EQ(StoredHundredths("LyseReviseVol"), lyse);
  EXPECT_EQ(lyse, -40);
  a.Book(ReagentOperation::Shutdown);
  cle -= 1130;
  EXPECT_EQ(StoredHundredths("CleanerReviseVol"), cle);

  // Killed here: after the restart the lyse reserve is still used up.
  Restart(conn);
  EXPECT_EQ(std::lround(Reagents().volumes().LyseReviseVol * 100.0), lyse);
  EXPECT_EQ(std::lround(Reagents().volumes().CleanerReviseVol * 100.0), cle);
  const SensorReport empty = Reagents().ApplySensorReport(0x83, 1);
  EXPECT_TRUE(empty.exhausted);
  EXPECT_EQ(SensorShortageMessage(empty.reagent, 1), "Lyse not enough!");

  // A new bottle: two present reports refill the reserve, and the refill is stored.
  Reagents().ApplySensorReport(0x83, 0);
  Reagents().ApplySensorReport(0x83, 0);
  EXPECT_EQ(StoredHundredths("LyseReviseVol"), 2000);
  Restart(conn);
  EXPECT_EQ(Reagents().volumes().LyseReviseVol, 20.0f);
  EXPECT_EQ(Reagents().volumes().LyseReserveCounting, 0);
  EXPECT_FALSE(Reagents().ApplySensorReport(0x83, 1).exhausted);
}
