// The typed SysSetting row: every column read with its type, a missing column or a Null left
// empty so the reader keeps its own default, no row at all left empty.
#include <gtest/gtest.h>

#include "core/ado_conn.h"
#include "core/sys_setting.h"
#include "program_folder.h"

namespace {

TEST(SysSetting, EveryColumnOfTheRowIsReadWithItsType) {
  TempProgramFolder folder;
  CADOConn conn;
  RawExec("create table SysSetting (SerialNum TEXT, Printer INTEGER, PrintInstant INTEGER, SLanguage INTEGER,"
          " IsKJKB INTEGER, DiluentVol REAL, BlockTime REAL, DiluentReplDate TEXT, TestDefaultMode INTEGER,"
          " DeviceTestTimes INTEGER, SoakDaysStartDate TEXT, NewLyseVol REAL)");
  RawExec("insert into SysSetting values('QX-7', 2, 1, 3, -1, 9876.5, 4.25, '2026-1-2', 1, 4321, '2026-12-1 8:5:3',"
          " NULL)");
  const SysSettingRead r = LoadSysSetting(conn);
  ASSERT_TRUE(r.opened);
  ASSERT_TRUE(r.hasRow);
  EXPECT_EQ(r.columns.size(), 12u);
  EXPECT_EQ(r.columns[0], "SerialNum");
  EXPECT_EQ(r.row.SerialNum, "QX-7");
  EXPECT_EQ(r.row.Printer, 2);
  EXPECT_EQ(r.row.PrintInstant, 1);
  EXPECT_EQ(r.row.SLanguage, 3);
  EXPECT_EQ(r.row.IsKJKB, -1);
  EXPECT_EQ(r.row.DiluentVol, 9876.5f);
  EXPECT_EQ(r.row.BlockTime, 4.25f);
  EXPECT_EQ(r.row.DiluentReplDate, "2026-1-2");
  EXPECT_EQ(r.row.TestDefaultMode, 1);
  EXPECT_EQ(r.row.DeviceTestTimes, 4321);
  EXPECT_EQ(r.row.SoakDaysStartDate, "2026-12-1 8:5:3");
  EXPECT_FALSE(r.row.NewLyseVol.has_value()) << "a Null is not a value";
  EXPECT_FALSE(r.row.LeakTime.has_value()) << "a column the table lacks";
  EXPECT_FALSE(r.row.ShowMidResult.has_value());

  // Taking a column keeps the reader's own default when it is empty.
  float leak = 0.2f, block = 2.0f;
  EXPECT_FALSE(TakeSetting(r.row.LeakTime, leak));
  EXPECT_EQ(leak, 0.2f);
  EXPECT_TRUE(TakeSetting(r.row.BlockTime, block));
  EXPECT_EQ(block, 4.25f);
}

TEST(SysSetting, NoRowOrNoTableLeavesEverythingEmpty) {
  TempProgramFolder folder;
  CADOConn conn;
  RawExec("create table SysSetting (SerialNum TEXT, Printer INTEGER)");
  SysSettingRead r = LoadSysSetting(conn);
  EXPECT_TRUE(r.opened);
  EXPECT_FALSE(r.hasRow);
  EXPECT_EQ(r.columns, (std::vector<std::string>{"SerialNum", "Printer"}));
  EXPECT_FALSE(r.row.SerialNum.has_value());
  RawExec("drop table SysSetting");
  r = LoadSysSetting(conn);
  EXPECT_FALSE(r.opened);
  EXPECT_FALSE(r.hasRow);
  EXPECT_FALSE(r.row.Printer.has_value());
}

}  // namespace

namespace {

TEST(SysSetting, UpdatesAreWrittenInOnePlaceWithCNumbers) {
  EXPECT_EQ(SysSettingUpdate().Set("DeviceTestTimes", 200).Sql(), "update SysSetting set DeviceTestTimes = 200");
  EXPECT_EQ(SysSettingUpdate().SetFixed2("DiluentVol", 482.034).SetFixed2("LyseVol", -0.5).Sql(),
            "update SysSetting set DiluentVol = 482.03,LyseVol = -0.50");
  // A text can never close its quote.
  EXPECT_EQ(SysSettingUpdate().SetText("SerialNum", "QX'1").Sql(), "update SysSetting set SerialNum = 'QX\u20181'");

  TempProgramFolder folder;
  RawExec("create table SysSetting (DeviceTestTimes INTEGER, SoakDaysStartDate TEXT, DiluentVol REAL)");
  RawExec("insert into SysSetting values(1, '2015-10-26 9:25:2', 0)");
  CADOConn conn;
  EXPECT_TRUE(SysSettingUpdate()
                  .Set("DeviceTestTimes", 0)
                  .SetText("SoakDaysStartDate", "2026-3-7 9:5:2")
                  .SetFixed2("DiluentVol", 10000)
                  .Execute(conn));
  const SysSettingRow row = LoadSysSetting(conn).row;
  EXPECT_EQ(row.DeviceTestTimes, 0);
  EXPECT_EQ(row.SoakDaysStartDate, "2026-3-7 9:5:2");
  EXPECT_EQ(row.DiluentVol, 10000.0f);
  EXPECT_FALSE(SysSettingUpdate().Set("NoSuchColumn", 1).Execute(conn));
}

}  // namespace

namespace {

// The settings screen stores its columns into a table that may have no row yet: the first save
// makes the row, the next one changes it (never a second row), and a table that cannot be read
// is a failure.
TEST(SysSetting, SaveInsertsTheRowWhenThereIsNoneThenUpdatesIt) {
  EXPECT_EQ(SysSettingUpdate()
                .Set("Printer", 1)
                .SetText("UnitName", "St Mary's")
                .SetFixed("BlockTime", 4.25, 6)
                .InsertSql(),
            "insert into SysSetting(Printer,UnitName,BlockTime) values(1,'St Mary\u2018s',4.250000)");

  TempProgramFolder folder;
  RawExec("create table SysSetting (Printer INTEGER, UnitName TEXT, BlockTime REAL)");
  CADOConn conn;
  EXPECT_TRUE(SysSettingUpdate().Set("Printer", 1).SetText("UnitName", "North").ExecuteOrInsert(conn));
  EXPECT_EQ(RawScalar("select count(*) from SysSetting"), "1");
  EXPECT_EQ(RawScalar("select Printer || '/' || UnitName || '/' || ifnull(BlockTime, 'null') from SysSetting"),
            "1/North/null");
  EXPECT_TRUE(SysSettingUpdate().Set("Printer", 0).SetFixed("BlockTime", 0.5, 6).ExecuteOrInsert(conn));
  EXPECT_EQ(RawScalar("select count(*) from SysSetting"), "1");
  EXPECT_EQ(RawScalar("select Printer || '/' || UnitName || '/' || BlockTime from SysSetting"), "0/North/0.5");

  RawExec("drop table SysSetting");
  EXPECT_FALSE(SysSettingUpdate().Set("Printer", 1).ExecuteOrInsert(conn));
}

}  // namespace
