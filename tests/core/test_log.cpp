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
    SetAlarmMessageBuilder([this](const AlarmRecord& r, std::string* id) {
      records_.push_back(r);
      *id = "CTRL-1";
      return std::vector<uint8_t>(messageSize_, 0x41);
    });
    SetLisSendFunction([this](int socket, const uint8_t*, size_t size) -> long {
      EXPECT_EQ(socket, 42);
      sends_.push_back(size);
      return static_cast<int>(sends_.size()) == failAt_ ? -1 : static_cast<long>(size);
    });
  }
  void TearDown() override {
    SetAlarmMessageBuilder(nullptr);
    SetLisSendFunction(nullptr);
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
  std::vector<size_t> sends_;
  size_t messageSize_ = 100;
  int failAt_ = 0;  // 1-based send call that fails; 0 none
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

TEST_F(WriteLogTest, AlarmGoesOutInPiecesOfAtMost1024Bytes) {
  messageSize_ = 2500;
  WriteLog("Aperture clogged");
  ASSERT_EQ(records_.size(), 1u);
  EXPECT_EQ(U16(records_[0].message), u"Aperture clogged");
  EXPECT_EQ(U16(records_[0].time), u"2026-03-07 09:05:02");
  EXPECT_EQ(sends_, (std::vector<size_t>{1024, 1024, 452}));
  EXPECT_EQ(LisLinkState.LastControlId(), "CTRL-1");
  EXPECT_FALSE(LisLinkState.LisReplyEvent.IsSet());
}

TEST_F(WriteLogTest, AFailedSendStopsTheSendingAndKeepsTheReplyEvent) {
  messageSize_ = 2500;
  failAt_ = 2;
  WriteLog("Aperture clogged");
  EXPECT_EQ(sends_, (std::vector<size_t>{1024, 1024}));
  EXPECT_TRUE(LisLinkState.LisReplyEvent.IsSet());
  EXPECT_EQ(lines_.size(), 1u);
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
    EXPECT_TRUE(sends_.empty()) << c.name;
    EXPECT_TRUE(LisLinkState.LisReplyEvent.IsSet()) << c.name;
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

#include <sys/socket.h>
#include <unistd.h>

namespace {

// Reads from the socket until `want` bytes came or it ends; the count read.
size_t ReadUpTo(int fd, size_t want) {
  std::vector<uint8_t> got(want);
  size_t total = 0;
  while (total < want) {
    const ssize_t n = read(fd, got.data() + total, want - total);
    if (n <= 0) break;
    total += static_cast<size_t>(n);
  }
  return total;
}

TEST_F(WriteLogTest, TheAlarmReachesARealSocket) {
  int sv[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
  SetLisSendFunction(nullptr);  // the socket's own send
  LisLinkState.LisSocket = sv[0];
  messageSize_ = 2500;
  WriteLog("Aperture clogged");
  EXPECT_EQ(ReadUpTo(sv[1], 2500), 2500u);
  EXPECT_FALSE(LisLinkState.LisReplyEvent.IsSet());
  close(sv[0]);
  close(sv[1]);
}

TEST_F(WriteLogTest, AClosedPeerEndsTheSendingQuietly) {
  int sv[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
  close(sv[1]);
  SetLisSendFunction(nullptr);
  LisLinkState.LisSocket = sv[0];
  WriteLog("text");  // no signal ends the program
  EXPECT_TRUE(LisLinkState.LisReplyEvent.IsSet());
  close(sv[0]);
}

TEST_F(WriteLogTest, TheAlarmSendPassesThePlatformSeam) {
  int sv[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sv), 0);
  SetLisSendFunction(nullptr);
  LisLinkState.LisSocket = sv[0];
  messageSize_ = 2500;
  {
    // Every send goes out 300 bytes at a time: the rest is sent after it, the message arrives whole.
    support::IoFaults seam;
    seam.Add({sys::IoOp::Send, "", 1, support::IoFaults::Short(300), -1});
    WriteLog("Aperture clogged");
    EXPECT_GE(seam.Fired(), 9);
  }
  EXPECT_EQ(ReadUpTo(sv[1], 2500), 2500u);
  EXPECT_FALSE(LisLinkState.LisReplyEvent.IsSet());

  // A send that fails ends the alarm: nothing more goes out and no reply is awaited.
  LisLinkState.LisReplyEvent.Set();
  {
    support::IoFaults seam;
    seam.Add({sys::IoOp::Send, "", 2, support::IoFaults::Error(EIO)});
    WriteLog("Aperture clogged");
    EXPECT_EQ(seam.Steps().size(), 2u);
  }
  EXPECT_TRUE(LisLinkState.LisReplyEvent.IsSet());
  close(sv[0]);
  EXPECT_EQ(ReadUpTo(sv[1], 4096), 1024u);  // only the first piece, then the end
  close(sv[1]);
}

}  // namespace
