#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/db_errors.h"
#include "core/lis_link_state.h"
#include "core/sys_log.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"
#include "program_folder.h"
#include "tests/support/io_faults.h"

namespace {

std::u16string U16(const char16_t* s) { return std::u16string(s); }

class WriteLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sys::Clock::UseManual(sys::LocalTime{2026, 3, 7, 9, 5, 2, 0, 6});
    sys::SetDebugOutputToStderr(false);
    sys::SetDebugOutputCapture([this](const std::string& line) { lines_.push_back(line); });
    LisLinkState.AlarmSending = 1;
    LisLinkState.LisConnected = 1;
    LisLinkState.LinkKind = 1;
    LisLinkState.LisSocket = 42;
    LisLinkState.LisReplyEvent.Set();
    LisLinkState.SetLastControlId("");
    SetAlarmSender([this](const AlarmRecord& r) { records_.push_back(r); });
  }
  void TearDown() override {
    SetAlarmSender(nullptr);
    sys::SetDebugOutputCapture(nullptr);
    sys::SetDebugOutputToStderr(true);
    LisLinkState.AlarmSending = 0;
    LisLinkState.LisConnected = 0;
    LisLinkState.LinkKind = 0;
    LisLinkState.LisSocket = -1;
    LisLinkState.LisReplyEvent.Set();
    sys::Clock::UseReal();
  }
  std::vector<std::string> lines_;
  std::vector<AlarmRecord> records_;
};

TEST_F(WriteLogTest, RecordCarriesTheTimeStampAndTheCutTexts) {
  AlarmRecord now = MakeAlarmRecord("Clogging", "");
  EXPECT_EQ(U16(now.time), u"2026-03-07 09:05:02");
  EXPECT_EQ(U16(now.message), u"Clogging");

  AlarmRecord given = MakeAlarmRecord("x", std::string(40, '7'));
  EXPECT_EQ(U16(given.time), std::u16string(31, u'7'));

  std::string longText(300, 'm');
  AlarmRecord cut = MakeAlarmRecord(longText, "");
  EXPECT_EQ(U16(cut.message), std::u16string(255, u'm'));

  AlarmRecord chinese = MakeAlarmRecord("前端通信串口初始化失败", "");
  EXPECT_EQ(U16(chinese.message), u"前端通信串口初始化失败");
}

TEST_F(WriteLogTest, TheDebugOutputGetsTheWholeBareText) {
  std::string longText(300, 'm');
  LisLinkState.AlarmSending = 0;
  WriteLog(longText);
  ASSERT_EQ(lines_.size(), 1u);
  EXPECT_EQ(lines_[0], longText);  // no time stamp, nothing cut
}

// The message itself goes out through the LIS link (its tests send alarms to the LIS simulator);
// here: the link gets the record once, with the time stamp and the text.
TEST_F(WriteLogTest, AlarmIsHandedToTheLinkWithItsRecord) {
  WriteLog("Aperture clogged");
  ASSERT_EQ(records_.size(), 1u);
  EXPECT_EQ(U16(records_[0].message), u"Aperture clogged");
  EXPECT_EQ(U16(records_[0].time), u"2026-03-07 09:05:02");
  EXPECT_EQ(lines_.size(), 1u);
  // Without a link nothing is sent and nothing fails.
  SetAlarmSender(nullptr);
  WriteLog("Aperture clogged");
  EXPECT_EQ(records_.size(), 1u);
  EXPECT_EQ(lines_.size(), 2u);
}

TEST_F(WriteLogTest, NoAlarmUnlessTheLinkIsSetUpForIt) {
  struct Case { const char* name; int warning; int connected; int kind; };
  const Case cases[] = {
      {"alarms off", 0, 1, 1},
      {"warning 2 is not on", 2, 1, 1},
      {"not connected", 1, 0, 1},
      {"serial link", 1, 1, 0},
  };
  for (const auto& c : cases) {
    LisLinkState.AlarmSending = c.warning;
    LisLinkState.LisConnected = c.connected;
    LisLinkState.LinkKind = c.kind;
    WriteLog("text");
    EXPECT_TRUE(records_.empty()) << c.name;
  }
  EXPECT_EQ(lines_.size(), 4u);
}

class SysLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearRecentDbErrors();
    RawExec("create table SysLog (Date TEXT, Time TEXT, Event TEXT, Result TEXT)");
  }
  // n rows, written newest first so that the table's own order is not the time order; row k
  // (0 oldest) is at 2026-01-01 plus k minutes.
  void FillNewestFirst(int n) {
    std::string sql;
    for (int k = n - 1; k >= 0; --k) {
      int day = 1 + k / 1440, minute = k % 1440;
      char buf[160];
      std::snprintf(buf, sizeof buf, "insert into SysLog values('2026-01-%.2d','%.2d:%.2d:00','E%d','R');",
                    day, minute / 60, minute % 60, k);
      sql += buf;
    }
    RawExec(sql);
  }
  TempProgramFolder folder_;
};

TEST_F(SysLogTest, StartupTrimDeletesTheOldestDownTo999) {
  struct Case { int rows; int deleted; };
  for (Case c : {Case{1005, 6}, Case{999, 0}, Case{1000, 1}}) {
    RawExec("delete from SysLog");
    FillNewestFirst(c.rows);
    CADOConn conn;
    EXPECT_EQ(TrimSysLogAtStartup(conn), c.deleted) << c.rows;
    EXPECT_EQ(RawScalar("select count(*) from SysLog"), std::to_string(c.rows - c.deleted));
    // The rows left are the newest ones.
    EXPECT_EQ(RawScalar("select Event from SysLog order by Date, Time limit 1"),
              "E" + std::to_string(c.deleted));
    EXPECT_FALSE(conn.RecordsetOpen());
  }
}

TEST_F(SysLogTest, ShutdownTrimDeletesExactlyTheOldestRow) {
  FillNewestFirst(1200);
  CADOConn conn;
  EXPECT_EQ(TrimSysLogAtShutdown(conn), 1);
  EXPECT_EQ(RawScalar("select count(*) from SysLog"), "1199");
  EXPECT_EQ(RawScalar("select count(*) from SysLog where Event='E0'"), "0");
  EXPECT_EQ(RawScalar("select count(*) from SysLog where Event='E1199'"), "1");

  RawExec("delete from SysLog");
  FillNewestFirst(999);
  EXPECT_EQ(TrimSysLogAtShutdown(conn), 0);
}

TEST_F(SysLogTest, TrimOnAMissingTableReportsAndDeletesNothing) {
  RawExec("drop table SysLog");
  CADOConn conn;
  EXPECT_EQ(TrimSysLogAtStartup(conn), 0);
  EXPECT_EQ(RecentDbErrors().size(), 1u);
}

TEST_F(SysLogTest, RowsCarryDateTimeAndSafeTexts) {
  EXPECT_EQ(SysLogInsertSql(sys::LocalTime{2026, 3, 7, 9, 5, 2}, "Startup", "Normal"),
            "insert into SysLog values('2026-03-07','09:05:02','Startup','Normal')");
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 24, 23, 59, 58});
  CADOConn conn;
  EXPECT_EQ(WriteSysLog(conn, "Sample test", "Board fault: can't move"), 1);
  sys::Clock::UseReal();
  EXPECT_EQ(RawScalar("select Date || ' ' || Time || ' ' || Event || ' ' || Result from SysLog"),
            "2026-12-24 23:59:58 Sample test Board fault: can\xE2\x80\x98t move");
  EXPECT_TRUE(RecentDbErrors().empty());
}

TEST(SysLogVocabulary, Table) {
  struct Case { SysLogWord word; int language; const char* text; };
  const Case cases[] = {
      {SysLogWord::Startup, 0, "开机"},          {SysLogWord::Startup, 3, "Mise en route"},
      {SysLogWord::Normal, 4, "Норма"},          {SysLogWord::ShutDown, 3, "Shut Down"},
      {SysLogWord::Abnormal, 4, "За межами норми"}, {SysLogWord::ShutDownOk, 1, "OK"},
      {SysLogWord::ShutDownOk, 0, "正常"},       {SysLogWord::SampleTest, 3, "Tester de echantillon"},
      {SysLogWord::Logon, 2, "Login"},           {SysLogWord::Backup, 2, "Copia de seguridad"},
      {SysLogWord::Recovery, 4, "Відновити"},    {SysLogWord::Finished, 3, "Termine"},
  };
  for (const auto& c : cases) EXPECT_STREQ(SysLogText(c.word, c.language), c.text);
  EXPECT_STREQ(UserLevelName(0, 1), "");
  EXPECT_STREQ(UserLevelName(3, 4), "Користувач");
  EXPECT_STREQ(UserLevelName(2, 3), "Ingenieur");
}

}  // namespace
