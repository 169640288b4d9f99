#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "core/db_errors.h"
#include "core/field_read.h"
#include "program_folder.h"
#include "tests/support/io_faults.h"

namespace {

// Records the SQL texts a CADOConn's own connection runs.
class StatementLog {
 public:
  explicit StatementLog(CADOConn& conn) {
    conn.Connect();
    sqlite3_trace_v2(conn.Connection().Handle(), SQLITE_TRACE_STMT, &StatementLog::Trace, this);
  }
  const std::vector<std::string>& All() const { return all_; }
  // Statements that change the schema or the rows (the column scans are SELECTs).
  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const auto& s : all_)
      if (s.rfind("alter", 0) == 0 || s.rfind("update", 0) == 0) out.push_back(s);
    return out;
  }

 private:
  static int Trace(unsigned, void* self, void* stmt, void*) {
    const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(stmt));
    if (sql) static_cast<StatementLog*>(self)->all_.emplace_back(sql);
    return 0;
  }
  std::vector<std::string> all_;
};

class DataStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRecentDbErrors();
    saved_ = AppSettings;
  }
  void TearDown() override { AppSettings = saved_; }
  TempProgramFolder folder_;
  AppSettingsValues saved_;
};

std::string ColumnAt(const std::string& table, int position) {
  CADOConn conn;
  RecordsetPtr& rs = conn.OpenRecordset("select * from " + table);
  return rs->FieldName(position);
}

TEST_F(DataStoreTest, AFreshFolderGetsEveryTableWithItsFirstRows) {
  bool created = false;
  std::string error;
  ASSERT_TRUE(CreateDataStoreIfMissing(&created, &error)) << error;
  EXPECT_TRUE(created);
  EXPECT_FALSE(std::filesystem::exists(DatabasePath() + ".new"));
  EXPECT_EQ(RawScalar("select count(*) from sqlite_master where type='table'"), "22");

  // Rows every start-up reads before any screen writes.
  EXPECT_EQ(RawScalar("select count(*) from SysSetting"), "1");
  EXPECT_EQ(RawScalar("select PrintFormat || ',' || DormancyTime || ',' || AutoCleanTime ||"
                      " ',' || DiluentVol || ',' || NewDiluentVol || ',' || SetSoakTimes ||"
                      " ',' || PrintPgHeader || ',' || SoakDaysStartDate from SysSetting"),
            "1,60,60,10000.0,10.0,200,20,2015-10-26 9:25:2");
  EXPECT_EQ(RawScalar("select count(*) from Statistic"), "1");
  EXPECT_EQ(RawScalar("select UserType from Users where UserName='Admin'"), "1");
  EXPECT_EQ(RawScalar("select HCT || ' ' || PCTPoint from ParasUnit"), "% 3");
  EXPECT_EQ(RawScalar("select count(*) from CalibrationCoef where WBC = 1 and WBC_D = 100"), "3");
  EXPECT_EQ(RawScalar("select ModelNo from PrintItemsSet where IsDefault = true"), "1");
  EXPECT_EQ(RawScalar("select Bauds || DataBits || Parity || StopBits from CommSet"), "4300");
  EXPECT_EQ(RawScalar("select WBCTIME || '/' || RBCTIME from EngineeringAdjust"), "50/10");
}

TEST_F(DataStoreTest, ColumnPositionsThatReadersRelyOn) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  struct Case { const char* table; int position; const char* column; };
  const Case cases[] = {
      {"Person", 0, "SampleNo"},         {"Person", 15, "WBC"},
      {"Person", 24, "MCHC"},            {"Person", 34, "PLCR"},
      {"NormalLimits", 2, "WBCL"},       {"NormalLimits", 41, "PLCRH"},
      {"PathologyLimits", 2, "WBCL"},    {"ParasUnit", 4, "HCT"},
      {"ParasUnit", 3, "MCHC"},          {"ParasUnit", 7, "WBCPoint"},
      {"ParasUnit", 20, "PDWPoint"},     {"PrintItemsSet", 2, "P1"},
      {"PrintItemsSet", 21, "P20"},      {"CalibrationCoef", 1, "WBC"},
      {"CalibrationCoef", 20, "PLCR"},   {"CalibrationCoef", 41, "WBC_D"},
      {"CalibrationCoef", 50, "PLCR_D"}, {"LJQCSet", 3, "WBCRV"},
      {"LJQCSet", 42, "P_LCRLV"},        {"LJQCSet", 44, "2Out2SD"},
      {"LJQCSet", 47, "Q1"},             {"LJQCSet", 66, "Q20"},
      {"LJQCRunResult", 3, "WBC"},       {"LJQCRunResult", 22, "PLCR"},
      {"XRQCRunResult", 4, "RBC"},       {"XRQCRunResult", 6, "PLT"},
      {"XBQCSet", 2, "WBCRV"},           {"XBQCSet", 42, "Q1"},
      {"XBQCSet", 61, "Q20"},            {"XBQCRunResult", 2, "WBC"},
      {"SysSetting", 0, "SerialNum"},    {"SysSetting", 26, "CleanerReviseVol"},
      {"SysSetting", 27, "PrintPgHeader"}, {"SysLog", 3, "Result"},
      {"Users", 2, "Pwd"},               {"Doctor", 5, "Checker"},
      {"Department", 1, "Dept"},         {"EngineeringAdjust", 10, "WBCTIME"},
  };
  for (const auto& c : cases) EXPECT_EQ(ColumnAt(c.table, c.position), c.column) << c.table;
}

TEST_F(DataStoreTest, TheStatementsOfThePartsRunOnTheNewFile) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  CADOConn conn;
  const char* statements[] = {
      "insert into SysLog values('2026-03-07','09:05:02','Startup','Normal')",
      "insert into Users values('Engineer',2,'4726')",
      "insert into Department values(1,'ICU')",
      "insert into Doctor values(1,'Li','ICU','Y','N','Y')",
      "insert into NormalLimits(Kind,WBCL,WBCH) values(0,4.00,10.00)",
      "update LJQCSet set Out3SD=1,\"2Out2SD\"=0,\"5SideSDTo2SD\"=0,\"7Side\"=1 where QcFileNo=1",
      "insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(1,'B1','2027-01-01',20,5)",
      "Update AutoCalibration Set WBC = round(WBC*10.000000,2), RBC = round(RBC*1.000000,2),"
      " HGB = round(HGB*1.000000,2), MCHC = round(MCHC*1.000000,2), HCT = round(HCT*1.000000,2),"
      " PLT = round(PLT*1.000000,2), PCT = round(PCT*1.000000,2)",
      "update Statistic set SampleCountToday=0,DateToday='2026-03-07'",
      "update EngineeringDebug set Needle1=1,Needle2=2,Needle3=3,Needle4=4,Needle5=5",
  };
  for (const char* s : statements) EXPECT_EQ(conn.Execute(s), 1) << s << "\n" << conn.LastError();
  RecordsetPtr& rs = conn.OpenRecordset("select * from NormalLimits where Kind=0");
  EXPECT_EQ(rs->Field(2).AsDouble(), 4.0);
}

TEST_F(DataStoreTest, AnExistingFileIsLeftAlone) {
  RawExec("create table Marker (X INTEGER); insert into Marker values (42)");
  bool created = true;
  ASSERT_TRUE(CreateDataStoreIfMissing(&created));
  EXPECT_FALSE(created);
  EXPECT_EQ(RawScalar("select X from Marker"), "42");
  EXPECT_EQ(RawScalar("select count(*) from sqlite_master where name='SysSetting'"), "0");
}

TEST_F(DataStoreTest, AFailedBuildLeavesNoHalfFile) {
  // The build place is taken by a folder that is not empty: the new file cannot be made.
  folder_.write("Vantorium.mdb.new/occupied", "x");
  std::string error;
  EXPECT_FALSE(CreateDataStoreIfMissing(nullptr, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(std::filesystem::exists(DatabasePath()));
}

TEST_F(DataStoreTest, AFailingDiskAtAnyStepOfTheBuildLeavesNoFileAndSaysSo) {
  const std::string path = DatabasePath();
  auto gone = [](const std::string& p) {
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(p + suffix);
  };
  support::EachStepFailing(
      [&] {
        gone(path);
        gone(path + ".new");
      },
      [&](std::string* e) { return CreateDataStoreIfMissing(nullptr, e); },
      [&](const std::string& where, bool ok, const std::string& error) {
        if (ok) {
          // Only the flush of the folder after the rename can fail without undoing the build.
          EXPECT_TRUE(std::filesystem::exists(path)) << where;
          return;
        }
        EXPECT_FALSE(error.empty()) << where;
        EXPECT_FALSE(std::filesystem::exists(path)) << where;
        EXPECT_FALSE(std::filesystem::exists(path + ".new")) << where;
        EXPECT_FALSE(std::filesystem::exists(path + ".new-wal")) << where;
        // With the disk working again the next start builds it whole.
        bool created = false;
        std::string again;
        ASSERT_TRUE(CreateDataStoreIfMissing(&created, &again)) << where << ": " << again;
        EXPECT_TRUE(created);
        EXPECT_EQ(RawScalar("select count(*) from SysSetting"), "1") << where;
      });
}

// An older file, built here the way a delivered one from before the additions looks.
void BuildOldFile(bool withRow, const std::string& extraSettingColumns = "") {
  RawExec("create table SysSetting (SerialNum TEXT, SLanguage INTEGER" + extraSettingColumns + ");"
          "create table Person (SampleNo TEXT, TestDate TEXT)" +
          std::string(withRow ? ";insert into SysSetting(SerialNum, SLanguage) values ('QX-1', 3)" : ""));
}

TEST_F(DataStoreTest, UpgradeAddsAllTenSettingColumnsInOrderWithTheirDefaults) {
  BuildOldFile(true);
  AppSettings.PrintPageHeader = 0;
  CADOConn conn;
  StatementLog log(conn);
  UpgradeSystemTables(conn);
  std::vector<std::string> expected;
  for (const auto& u : kSysSettingUpgrades) {
    expected.push_back(u.alter);
    expected.push_back(u.update);
  }
  expected.push_back("alter table Person add column PMARKER1 real;");
  expected.push_back("alter table Person add column PMARKER2 real");
  expected.push_back("alter table Person add column CountInputs text");
  std::vector<std::string> writes = log.Writes();
  ASSERT_EQ(writes.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(writes[i], expected[i]);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors()[0];
  EXPECT_EQ(AppSettings.PrintPageHeader, 20);
  EXPECT_EQ(RawScalar("select PrintPgHeader || ',' || IsOpenSoakTips || ',' || SetSoakTimes || ','"
                      " || SetSoakDays || ',' || IsKJQX || ',' || SoakDaysStartDate from SysSetting"),
            "20,1,200,7,1,2015-10-26 9:25:2");
  EXPECT_EQ(RawScalar("select count(*) from pragma_table_info('Person') where name like 'PMARKER_'"), "2");
}

TEST_F(DataStoreTest, UpgradeOfAnEmptyTableStillAddsTheColumns) {
  BuildOldFile(false);
  CADOConn conn;
  UpgradeSystemTables(conn);
  EXPECT_TRUE(RecentDbErrors().empty());
  EXPECT_EQ(RawScalar("select count(*) from pragma_table_info('SysSetting')"), "12");
}

TEST_F(DataStoreTest, UpgradeOnlyTouchesWhatIsMissing) {
  struct Case {
    const char* name;
    std::string settingColumns;  // extra columns of the old SysSetting
    std::string personColumns;   // extra columns of the old Person
    size_t expectedWrites;
    int printPageHeader;         // in memory afterwards (starts at 7)
  };
  std::string allTen;
  for (const auto& u : kSysSettingUpgrades) allTen += std::string(", ") + u.column + " INTEGER";
  const Case cases[] = {
      {"current file", allTen, ", PMARKER1 REAL, PMARKER2 REAL, CountInputs TEXT", 0, 7},
      {"one setting missing", ", PrintPgHeader INTEGER, TestDefaultMode INTEGER, ReagentAlarmType"
       " INTEGER, IsOpenSoakTips INTEGER, IsOpenAjustHistogram INTEGER, IsKJQX INTEGER, SetSoakTimes"
       " INTEGER, SetSoakDays INTEGER, SoakDaysStartDate TEXT", ", PMARKER1 REAL, PMARKER2 REAL, CountInputs TEXT", 2, 7},
      {"columns differing in case are present", ", printpgheader INTEGER, testdefaultmode INTEGER,"
       " REAGENTALARMTYPE INTEGER, isopensoaktips INTEGER, isopenajusthistogram INTEGER, iskjqx INTEGER,"
       " setsoaktimes INTEGER, setsoakdays INTEGER, devicetesttimes INTEGER, soakdaysstartdate TEXT",
       ", pmarker1 REAL, pmarker2 REAL, countinputs TEXT", 0, 7},
      {"PMARKER1 without PMARKER2 is left as it is", allTen, ", PMARKER1 REAL, CountInputs TEXT", 0, 7},
      {"only the kept count inputs missing", allTen, ", PMARKER1 REAL, PMARKER2 REAL", 1, 7},
  };
  for (const auto& c : cases) {
    TempProgramFolder own;
    ClearRecentDbErrors();
    RawExec("create table SysSetting (SerialNum TEXT" + c.settingColumns + ");"
            "create table Person (SampleNo TEXT" + c.personColumns + ")");
    AppSettings.PrintPageHeader = 7;
    CADOConn conn;
    StatementLog log(conn);
    UpgradeSystemTables(conn);
    EXPECT_EQ(log.Writes().size(), c.expectedWrites) << c.name;
    EXPECT_TRUE(RecentDbErrors().empty()) << c.name;
    EXPECT_EQ(AppSettings.PrintPageHeader, c.printPageHeader) << c.name;
    conn.Disconnect();
  }
}

TEST_F(DataStoreTest, PersonWithOnlyPMarker2GetsNeitherColumnAndTheRefusalIsShown) {
  RawExec("create table SysSetting (SerialNum TEXT);create table Person (SampleNo TEXT, PMARKER2 REAL)");
  CADOConn conn;
  UpgradeSystemTables(conn);
  ClearRecentDbErrors();
  UpgradeSystemTables(conn);  // second start: settings now current, Person still refused
  EXPECT_EQ(RecentDbErrors().size(), 1u);
  EXPECT_EQ(RawScalar("select group_concat(name) from pragma_table_info('Person')"), "SampleNo,PMARKER2,CountInputs");
}

TEST_F(DataStoreTest, RefusedStatementsAreReportedAndTheUpgradeGoesOn) {
  // A view answers the column scan but refuses every ALTER and UPDATE.
  RawExec("create table Base (SerialNum TEXT); create view SysSetting as select * from Base;"
          "create table Person (SampleNo TEXT, PMARKER1 REAL, PMARKER2 REAL)");
  CADOConn conn;
  UpgradeSystemTables(conn);
  // Ten ALTER and ten UPDATE texts, each refused on its own; none stops the next.
  EXPECT_EQ(RecentDbErrors().size(), 20u);
}

// A restored backup from before the kept count inputs: the one upgrade the restore runs, as
// the start-up does, gives it the column, so the next kept count's row is taken.
TEST_F(DataStoreTest, AStoreWithoutTheKeptInputsColumnTakesAKeptCountAfterTheUpgrade) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  RawExec("alter table Person drop column CountInputs");
  CADOConn conn;
  UpgradeSystemTables(conn);
  EXPECT_EQ(conn.Execute("insert into Person (SampleNo, TestDate, TestTime, WBC, CountInputs) values "
                         "('3', '2026-12-09', '08:15:30', '- - -', 'time=08:15:30')"),
            1);
  EXPECT_TRUE(RecentDbErrors().empty()) << RecentDbErrors()[0];
  EXPECT_EQ(RawScalar("select CountInputs from Person where SampleNo='3'"), "time=08:15:30");
}

TEST_F(DataStoreTest, FirstSettingsLoad) {
  struct Case {
    const char* name;
    const char* rows;  // inserted into SysSetting(SerialNum, SLanguage)
    std::string serial;
    int language;
  };
  const Case cases[] = {
      {"row with values", "('QX-7', 2)", "QX-7", 2},
      {"language keeps its low byte", "('QX-8', 259)", "QX-8", 3},
      {"nulls leave the values", "(NULL, NULL)", "before", 4},
      {"no row leaves the values", "", "before", 4},
      {"only the first row counts", "('A', 1), ('B', 2)", "A", 1},
  };
  for (const auto& c : cases) {
    TempProgramFolder own;
    RawExec("create table SysSetting (SerialNum TEXT, SLanguage INTEGER)" +
            std::string(*c.rows ? ";insert into SysSetting values " + std::string(c.rows) : ""));
    AppSettings.SerialNumber = "before";
    AppSettings.LanguageIndex = 4;
    CADOConn conn;
    LoadFirstSettings(conn);
    EXPECT_EQ(AppSettings.SerialNumber, c.serial) << c.name;
    EXPECT_EQ(AppSettings.LanguageIndex, c.language) << c.name;
    EXPECT_FALSE(conn.RecordsetOpen());
  }
}

TEST_F(DataStoreTest, TheNewFilePassesItsOwnUpgradeUnchanged) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  CADOConn conn;
  StatementLog log(conn);
  UpgradeSystemTables(conn);
  EXPECT_TRUE(log.Writes().empty());
  LoadFirstSettings(conn);
  EXPECT_EQ(AppSettings.LanguageIndex, 0);
  EXPECT_EQ(AppSettings.SerialNumber, "");
}

}  // namespace

namespace {

TEST_F(DataStoreTest, TheDefaultSettingsRowMatchesTheDeliveredOne) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  // The column list of the table is the one the code knows.
  CADOConn conn;
  RecordsetPtr& rs = conn.OpenRecordset("select * from SysSetting");
  ASSERT_EQ(rs->FieldCount(), 37);
  for (int i = 0; i < 37; ++i) EXPECT_EQ(rs->FieldName(i), kSysSettingColumns[i]) << i;
  conn.CloseRecordset();

  auto rowText = [] {
    std::string all;
    for (const char* c : kSysSettingColumns) all += (all.empty() ? "quote(" : " || ',' || quote(") + std::string(c) + ")";
    return RawScalar("select " + all + " from SysSetting");
  };
  const std::string before = rowText();
  EXPECT_EQ(conn.Execute("delete from SysSetting"), 1);
  EXPECT_EQ(conn.Execute(DefaultSettingsRowSql()), 1) << conn.LastError();
  EXPECT_EQ(rowText(), before);
}

}  // namespace

namespace {

TEST_F(DataStoreTest, TheGeneralGroupHasSoundNormalRanges) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  CADOConn conn;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from NormalLimits where Kind=0");
  ASSERT_TRUE(HasRows(*rs));
  for (int i = 0; i < 20; ++i) {
    float low = -1, high = -1;
    ASSERT_TRUE(ReadField(*rs, 2 + 2 * i, low));
    ASSERT_TRUE(ReadField(*rs, 3 + 2 * i, high));
    EXPECT_GE(low, 0.0f) << rs->FieldName(2 + 2 * i);
    EXPECT_LT(low, high) << rs->FieldName(2 + 2 * i);
  }
  EXPECT_EQ(RawScalar("select count(*) from NormalLimits"), "1");
  EXPECT_EQ(RawScalar("select count(*) from PathologyLimits"), "0");
}

}  // namespace

TEST_F(DataStoreTest, TableColumnsComeFromTheSchemaWithoutReadingTheRows) {
  ASSERT_TRUE(CreateDataStoreIfMissing());
  CADOConn conn;
  StatementLog log(conn);
  ASSERT_EQ(conn.Execute("create table Odd (a integer, \"b c\" text, \"q\"\"x\" real)"), 1);
  ASSERT_EQ(conn.Execute("insert into Odd values (1, 'one', 1.5)"), 1);
  struct Case {
    const char* table;
    std::vector<std::string> columns;
  } cases[] = {
      {"Odd", {"a", "b c", "q\"x"}},
      {"NoSuchTable", {}},
      {"Users", {"UserName", "UserType", "Pwd"}},
  };
  for (const Case& c : cases) EXPECT_EQ(TableColumns(conn, c.table), c.columns) << c.table;
  // Person's columns in the table's order, the same the rows would show.
  const std::vector<std::string> person = TableColumns(conn, "Person");
  ASSERT_EQ(person.size(), 51u);
  for (int position : {0, 15, 24, 34, 49, 50}) EXPECT_EQ(person[position], ColumnAt("Person", position)) << position;
  for (const std::string& sql : log.All()) {
    EXPECT_EQ(sql.find("from Odd"), std::string::npos) << sql;
    EXPECT_EQ(sql.find("from Person"), std::string::npos) << sql;
  }
}
