// The LIS link against the simulator over loopback: acknowledgements of every kind, late,
// split and missing replies, a reset in the middle of a batch, order queries answered with a
// profile, the automatic sending of a count, and sends from several threads at once.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <thread>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/write_log.h"
#include "hl7_reader.h"
#include "link_fixture.h"
#include "lis/auto_send.h"
#include "lis/hl7_messages.h"
#include "measurement/patient/lis_profile.h"
#include "measurement/patient/patient_input.h"
#include "measurement/result_save.h"
#include "platform/sys/host_fakes.h"

using namespace lis;

namespace {

void InsertSample(const std::string& no, const std::string& date, const std::string& name) {
  support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,WBC,RBC,HGB,RefText) values ('" +
                   no + "','" + date + "','08:00:00','" + name + "','M',40,'Y','*7.20 H','4.50','135','4.0-10.0,0.8-4.0')");
}

LisMessage AnyResult() { return BuildSampleResult(SampleProfileRecord{}, SampleResultTexts{}); }

}  // namespace

TEST_F(LinkFixture, EachAcknowledgementGivesItsOutcome) {
  struct Case {
    const char* name;
    lissim::Behaviour b;
    SendOutcome outcome;
    int code;
    const char* text;  // what the operator reads
  };
  const Case cases[] = {
      {"AA", {lissim::AckMode::Accept, "", 0, false}, SendOutcome::Delivered, 4, ""},
      {"AA late", {lissim::AckMode::Accept, "", 150, false}, SendOutcome::Delivered, 4, ""},
      {"AA split over three writes", {lissim::AckMode::Accept, "", 0, true}, SendOutcome::Delivered, 4, ""},
      // A rejection names the LIS's own condition, never our internal code.
      {"AE 102", {lissim::AckMode::Error, "102", 0, false}, SendOutcome::Rejected, 17, "The LIS rejected the data (102)"},
      {"AE other", {lissim::AckMode::Error, "999", 0, false}, SendOutcome::Rejected, 14, "The LIS rejected the data (999)"},
      {"AE code and text", {lissim::AckMode::Error, "101^Required field missing", 0, false}, SendOutcome::Rejected, 14,
       "The LIS rejected the data (101 Required field missing)"},
      {"AE without a condition", {lissim::AckMode::Error, "", 0, false}, SendOutcome::Rejected, 14,
       "The LIS rejected the data"},
      {"AR 200", {lissim::AckMode::Reject, "200", 0, false}, SendOutcome::Rejected, 6, "The LIS rejected the data (200)"},
      {"AR 299", {lissim::AckMode::Reject, "299", 0, true}, SendOutcome::Rejected, 5, "The LIS rejected the data (299)"},
      // The link goes in the middle of the answer: lost, not timed out.
      {"reset in the middle of the answer", {lissim::AckMode::Cut, "", 0, false}, SendOutcome::LinkLost, 0,
       "The connection to the LIS was lost"},
      {"closed in the middle of the answer", {lissim::AckMode::Close, "", 0, false}, SendOutcome::LinkLost, 0,
       "The connection to the LIS was lost"},
      {"reset instead of an answer", {lissim::AckMode::Reset, "", 0, false}, SendOutcome::LinkLost, 0,
       "The connection to the LIS was lost"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WaitConnected());
    sim.Queue(c.b);
    SendResult r = SendLisMessage(AnyResult(), 5000);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.ackCode, c.code);
    EXPECT_EQ(SendOutcomeText(r, 1), c.text);
  }
  ASSERT_TRUE(WaitConnected());
  // No answer at all: the wait runs out.
  sim.Queue({lissim::AckMode::None, "", 0, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 300).outcome, SendOutcome::NoReply);
  // An answer that comes after its sender gave up does not count for the next message.
  sim.Queue({lissim::AckMode::Accept, "", 400, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 100).outcome, SendOutcome::NoReply);
  sim.Queue({lissim::AckMode::None, "", 0, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 800).outcome, SendOutcome::NoReply);
  // An answer naming another message is no answer to this one.
  sim.Queue({lissim::AckMode::WrongId, "", 0, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 300).outcome, SendOutcome::NoReply);
}

TEST_F(LinkFixture, AResultAfterABurstOfAlarmsIsDeliveredByAPeerThatAnswersLate) {
  // Every message is answered 5 ms after it is read: the answers to the alarms still come in
  // long after the result went out, and none of them is the result's.
  lissim::Behaviour late;
  late.delayMs = 5;
  sim.SetDefault(late);
  LisLinkState.AlarmSending = 1;
  for (int alarms : {100, 300, 600}) {
    SCOPED_TRACE(std::to_string(alarms) + " alarms");
    sim.ClearMessages();
    for (int i = 0; i < alarms; ++i) WriteLog("Aperture clogged " + std::to_string(i));
    // The alarms are on their way (the sender's queue keeps the latest 256 of them).
    ASSERT_TRUE(sim.WaitForMessages(50, 10000));
    const LisMessage result = AnyResult();
    const SendResult r = SendLisMessage(result, 60000);
    EXPECT_EQ(r.outcome, SendOutcome::Delivered);
    EXPECT_EQ(r.ackCode, 4);
    bool received = false;
    for (const auto& m : sim.Messages()) received = received || m.controlId == result.controlId;
    EXPECT_TRUE(received);
  }
  LisLinkState.AlarmSending = 0;
}

TEST_F(LinkFixture, AnAcknowledgementNamingNoWaitingMessageIsIgnored) {
  struct Case {
    const char* name;
    std::string msa;  // "" sends the acknowledgement without an MSA segment; "@" stands for the id
  };
  const Case cases[] = {
      {"an id never sent", "MSA|AA|@9"},
      {"a rejection with an id never sent", "MSA|AR|@9||||200"},
      {"the id with a NUL byte after it", std::string("MSA|AA|@") + '\0'},
      {"the id with an escaped NUL after it", "MSA|AE|@\\X00\\||||101"},
      {"the id with a NUL byte inside", "MSA|AA|12" + std::string(1, '\0') + "@"},
      {"an empty id", "MSA|AE|||||101"},
      {"no MSA segment", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(WaitConnected());
    // The true answer comes late; the stray one arrives while the sender waits.
    sim.Queue({lissim::AckMode::Accept, "", 400, false});
    const LisMessage m = AnyResult();
    std::string msa = c.msa;
    const size_t at = msa.find('@');
    if (at != std::string::npos) msa.replace(at, 1, m.controlId);
    const size_t before = sim.MessageCount();
    std::thread stray([&] {
      if (!WaitFor([&] { return sim.MessageCount() > before; })) return;
      OnLisData("\x0BMSH|^~\\&|LIS|LAB|||20260307101010||ACK^R01|77|P|2.3.1\x1C" +
                (msa.empty() ? std::string() : msa + "\x1C") + "\x0D");
    });
    const SendResult r = SendLisMessage(m, 10000);
    stray.join();
    EXPECT_EQ(r.outcome, SendOutcome::Delivered);
    EXPECT_EQ(r.ackCode, 4);
  }
}

TEST_F(LinkFixture, ResetInTheMiddleOfABatchReportsOnlyWhatWasAcknowledged) {
  for (int i = 1; i <= 5; ++i) InsertSample(std::to_string(i), "2026-03-07", "P" + std::to_string(i));
  std::vector<StoredSampleKey> keys;
  for (int i = 1; i <= 5; ++i) keys.push_back({std::to_string(i), "2026-03-07"});
  sim.Queue({lissim::AckMode::Accept, "", 0, false});
  sim.Queue({lissim::AckMode::Accept, "", 0, false});
  sim.Queue({lissim::AckMode::Reset, "", 0, false});
  CADOConn conn;
  std::vector<int> progress;
  BatchResult b = SendStoredSamples(conn, keys, 1, [&](int done, int) { progress.push_back(done); });
  EXPECT_EQ(b.total, 5);
  EXPECT_EQ(b.delivered, 2);
  EXPECT_FALSE(b.complete());
  EXPECT_EQ(b.last.outcome, SendOutcome::LinkLost);
  EXPECT_EQ(progress, (std::vector<int>{1, 2}));
  EXPECT_EQ(sim.MessageCount(), 3u);
  // The link comes back by itself and the rest can go.
  ASSERT_TRUE(WaitFor([&] { return sim.Connections() >= 2 && LisLinkState.LisConnected.load() == 1; }));
  b = SendStoredSamples(conn, {keys.begin() + 2, keys.end()}, 1);
  EXPECT_EQ(b.delivered, 3);
  EXPECT_TRUE(b.complete());
  auto msgs = sim.Messages();
  ASSERT_EQ(msgs.size(), 6u);
  EXPECT_EQ(msgs[5].Field("PID", 2), "5");
  EXPECT_EQ(msgs[5].Field("PID", 5), "P5");
  EXPECT_EQ(msgs[5].Field("PID", 15), "40Y");
  // The first OBX is WBC with the marker and flag taken off; its unit and range from the row.
  bool sawWbc = false;
  for (const auto& seg : msgs[5].segments)
    if (seg[0] == "OBX" && seg[3] == "WBC") {
      sawWbc = true;
      EXPECT_EQ(seg[5], "7.20");
      EXPECT_EQ(seg[6], "10x9/L");
      EXPECT_EQ(seg[7], "4.0-10.0");
      EXPECT_EQ(seg[8], "H");
    }
  EXPECT_TRUE(sawWbc);
}

TEST_F(LinkFixture, MissingSampleIsSkippedAndADownLinkSendsNothing) {
  InsertSample("9", "2026-03-07", "Nine");
  CADOConn conn;
  BatchResult b = SendStoredSamples(conn, {{"8", "2026-03-07"}, {"9", "2026-03-07"}}, 1);
  EXPECT_EQ(b.skipped, 1);
  EXPECT_EQ(b.delivered, 1);
  EXPECT_TRUE(b.complete());
  sim.Stop();
  ASSERT_TRUE(WaitFor([] { return LisLinkState.LisConnected.load() == 0; }));
  b = SendStoredSamples(conn, {{"9", "2026-03-07"}}, 1);
  EXPECT_EQ(b.delivered, 0);
  EXPECT_EQ(b.last.outcome, SendOutcome::NotConnected);
  EXPECT_EQ(SendOutcomeText(b.last, 1), "Fail to connect to LIS");
}

TEST_F(LinkFixture, OrderQueryProfileFillsThePatientScreenOrThePersonRow) {
  lissim::Profile p;
  p.name = "O'Neil|Ann";
  p.sex = "F";
  p.age = "7m";
  p.dept = "Ward'); drop table Person; --";
  p.group = "Child";
  sim.AddProfile("42", p);
  // Query mode 2 (the test screen): straight into today's Person row.
  LisLinkState.LisQueryMode = 2;
  ASSERT_TRUE(measurement::SendLisOrderQuery("42"));
  ASSERT_TRUE(WaitFor([] { return support::QueryText("select Name from Person where SampleNo='42'") != ""; }));
  // Apostrophes are stored as U+2018, as the screens store what is typed.
  EXPECT_EQ(support::QueryText("select Name from Person where SampleNo='42'"), "O\u2018Neil|Ann");
  // cut to the record's 20 characters, stored as text: the quote ends nothing
  EXPECT_EQ(support::QueryText("select Dept from Person where SampleNo='42'"), "Ward\u2018); drop table P");
  EXPECT_EQ(support::QueryText("select Age from Person where SampleNo='42'"), "7");
  EXPECT_EQ(support::QueryText("select AgeUnit from Person where SampleNo='42'"), "M");
  EXPECT_EQ(support::QueryText("select ReferValue from Person where SampleNo='42'"), "Child");
  EXPECT_EQ(support::QueryText("select Sex from Person where SampleNo='42'"), "F");
  EXPECT_EQ(support::QueryText("select count(*) from Person"), "1");
  // A second profile for the same sample merges into that row.
  p.name = "Ann B";
  sim.AddProfile("42", p);
  ASSERT_TRUE(measurement::SendLisOrderQuery("42"));
  ASSERT_TRUE(WaitFor([] { return support::QueryText("select Name from Person where SampleNo='42'") == "Ann B"; }));
  EXPECT_EQ(support::QueryText("select count(*) from Person"), "1");

  // Query mode 1 (the patient screen): the shared profile.
  LisLinkState.LisQueryMode = 1;
  p.age = "12";  // no unit: age 0
  sim.AddProfile("43", p);
  measurement::SetSharedSampleProfile({});
  ASSERT_TRUE(measurement::SendLisOrderQuery("43"));
  ASSERT_TRUE(WaitFor([] { return measurement::SharedSampleProfile().sampleNo == "43"; }));
  measurement::SampleProfileRecord r = measurement::SharedSampleProfile();
  EXPECT_EQ(r.name, "Ann B");
  EXPECT_EQ(r.age, 0);
  EXPECT_EQ(r.ageUnit, "");
}

TEST_F(LinkFixture, AutomaticSendOfACountIsAcknowledged) {
  measurement::HandOffSnapshot s;
  s.sampleNo = "17";
  s.testDate = "2026-03-07";
  s.testTime = "10:11:12";
  s.name = "Zoë";
  s.age = "35 Y";
  s.sampleType = "Whole blood";
  s.referGroup = "General";
  for (int i = 0; i < 20; ++i) {
    s.values[i] = i == 0 ? "*5.5" : std::to_string(i);
    s.units[i] = "10^9/L";
    s.flags[i] = i == 0 ? "H" : "";
    s.ranges[i] = "1-2";
  }
  s.values[3] = "";  // not reportable
  ASSERT_TRUE(measurement::HandOff(measurement::HandOffKind::Send, true, 1, ReportSnapshot{}, &s));
  ASSERT_TRUE(WaitFor([] { return LastAutomaticSend().outcome == SendOutcome::Delivered; }));
  auto msgs = sim.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  test_hl7::Message m = test_hl7::Read(msgs[0].bytes);
  ASSERT_TRUE(m.framed);
  ASSERT_EQ(m.segments.size(), 23u);
  EXPECT_EQ(m.segments[0].F(9), "ORU^R01");
  EXPECT_EQ(m.segments[1].F(2), "17");
  EXPECT_EQ(m.segments[1].F(5), "Zoë");
  EXPECT_EQ(m.segments[1].F(15), "35Y");
  EXPECT_EQ(m.segments[2].F(7), "2026-03-07 10:11:12");
  EXPECT_EQ(m.segments[2].F(26), "Whole blood");
  EXPECT_EQ(m.segments[3].F(5), "5.5");
  EXPECT_EQ(m.segments[3].F(6), "10x9/L");
  EXPECT_EQ(m.segments[3].F(8), "H");
  EXPECT_EQ(m.segments[6].F(5), "");

  // With the link down the count is not sent, and that is kept, not reported as sent.
  sim.Stop();
  ASSERT_TRUE(WaitFor([] { return LisLinkState.LisConnected.load() == 0; }));
  ASSERT_TRUE(measurement::HandOff(measurement::HandOffKind::Send, true, 1, ReportSnapshot{}, &s));
  ASSERT_TRUE(WaitFor([] { return LastAutomaticSend().outcome == SendOutcome::NotConnected; }));
}

TEST_F(LinkFixture, MessagesFromSeveralThreadsNeverInterleaveAndAlarmsGoThroughTheLink) {
  LisLinkState.AlarmSending = 1;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 25; ++i) {
        if (t == 0) WriteLog("alarm " + std::to_string(i));
        else SendLisMessage(BuildSampleResult(SampleProfileRecord{}, SampleResultTexts{}), 0);
      }
    });
  for (auto& th : threads) th.join();
  LisLinkState.AlarmSending = 0;
  ASSERT_TRUE(sim.WaitForMessages(100, 10000));
  int alarms = 0;
  std::set<std::string> ids;
  for (const auto& m : sim.Messages()) {
    test_hl7::Message r = test_hl7::Read(m.bytes);
    ASSERT_TRUE(r.framed);
    ASSERT_FALSE(r.segments.empty());
    EXPECT_EQ(r.segments[0].name, "MSH");
    ids.insert(m.controlId);
    if (r.segments[0].F(16) == "W") {
      ++alarms;
      EXPECT_EQ(r.segments.size(), 3u);
      EXPECT_EQ(r.segments[2].F(5).rfind("alarm ", 0), 0u);
    } else {
      EXPECT_EQ(r.segments.size(), 23u);
    }
  }
  EXPECT_EQ(alarms, 25);
  EXPECT_EQ(ids.size(), 100u);  // control ids never repeat
}

TEST_F(LinkFixture, SettingsChangeDropsAndRemakesTheConnection) {
  sys::FakeNetworkConfigControl network;
  sys::SetNetworkConfigControl(&network);
  // A fixed address: the PC's settings are applied (through the platform) before reconnecting.
  LisLinkStateValues::AddressSettings fixed = LisLinkState.Addresses();
  fixed.mode = 0;
  fixed.own = "192.168.7.2";
  fixed.mask = "255.255.255.0";
  fixed.gateway = "192.168.7.1";
  LisLinkState.SetAddresses(fixed);  // under the lock: the link's threads run
  network.result = sys::HostResult::kFailed;  // the first attempts fail: the settings stay pending
  const int before = sim.Connections();
  DropLisConnection(true);
  EXPECT_EQ(LisLinkState.LisConnected.load(), 0);
  ASSERT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> g(network.mu);
    return network.calls.size() >= 2;
  }));
  EXPECT_EQ(LisLinkState.LisConnected.load(), 0);  // no connection before the address is in force
  EXPECT_EQ(LisLinkState.ApplyPending.load(), 1);
  {
    std::lock_guard<std::mutex> g(network.mu);
    network.result = sys::HostResult::kDone;
  }
  ASSERT_TRUE(WaitConnected());
  EXPECT_EQ(LisLinkState.NetworkReady.load(), 1);
  EXPECT_EQ(LisLinkState.ApplyPending.load(), 0);
  {
    std::lock_guard<std::mutex> g(network.mu);
    const sys::NetworkAddress& a = network.calls.back();
    EXPECT_FALSE(a.dhcp);
    EXPECT_EQ(a.ip, "192.168.7.2");
    EXPECT_EQ(a.mask, "255.255.255.0");
    EXPECT_EQ(a.gateway, "192.168.7.1");
  }
  ASSERT_TRUE(WaitFor([&] { return sim.Connections() > before; }));
  EXPECT_EQ(SendLisMessage(AnyResult(), 3000).outcome, SendOutcome::Delivered);
  lis::StopLisThreads();
  sys::SetNetworkConfigControl(nullptr);
  LisLinkState.AddressMode = 1;
}

TEST_F(LinkFixture, CountStartAsksForThePatientDataOnlyWithBidirectionalTransfer) {
  lissim::Profile p;
  p.name = "Kim";
  p.age = "3D";
  sim.AddProfile("88", p);
  LisLinkState.Bidirectional = 0;
  EXPECT_FALSE(measurement::SendCountStartOrderQuery("88"));
  LisLinkState.Bidirectional = 1;
  ASSERT_TRUE(measurement::SendCountStartOrderQuery("88"));
  EXPECT_EQ(LisLinkState.LisQueryMode.load(), 2);
  ASSERT_TRUE(WaitFor([] { return support::QueryText("select Name from Person where SampleNo='88'") == "Kim"; }));
  EXPECT_EQ(support::QueryText("select AgeUnit from Person where SampleNo='88'"), "D");
  auto msgs = sim.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].type, "ORM^O01");
  EXPECT_EQ(msgs[0].Field("ORC", 3), "88");
  // An answer with no profile for the sample (AE) changes nothing.
  ASSERT_TRUE(measurement::SendCountStartOrderQuery("89"));
  ASSERT_TRUE(sim.WaitForMessages(2, 3000));
  EXPECT_EQ(support::QueryText("select count(*) from Person"), "1");
}

TEST_F(LinkFixture, AlarmsAndSendsOnALinkThatWentDownEndQuietly) {
  LisLinkState.AlarmSending = 1;
  sim.Stop();
  ASSERT_TRUE(WaitFor([] { return LisLinkState.LisConnected.load() == 0; }));
  WriteLog("Aperture clogged");  // nothing to send it on: no signal, no wait
  EXPECT_EQ(SendLisMessage(AnyResult(), 1000).outcome, SendOutcome::NotConnected);
  LisLinkState.AlarmSending = 0;
}

TEST_F(LinkFixture, AutomaticSendGivesTheStoredAgeThatTheAgeReaderReadsBack) {
  // Each language's stored unit word for years, months and days (as the patient screen stores
  // it), while the screen shows the age in that language's words: PID-15 must read back as the
  // same number and the same kind of unit.
  for (int language = 0; language < 5; ++language)
    for (int field = 0; field < 3; ++field) {
      SCOPED_TRACE("language " + std::to_string(language) + " field " + std::to_string(field));
      const int ymd[3] = {field == 0 ? 30 : 0, field == 1 ? 30 : 0, field == 2 ? 30 : 0};
      int age = 0;
      std::string unit;
      measurement::AgeToStore(ymd[0], ymd[1], ymd[2], language, &age, &unit);
      const std::string no = std::to_string(100 + language * 10 + field);
      support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Age,AgeUnit) values ('" + no +
                       "','2026-03-07','08:00:00'," + std::to_string(age) + ",'" + unit + "')");
      AppSettings.LanguageIndex = language;
      measurement::HandOffSnapshot s;
      s.sampleNo = no;
      s.testDate = "2026-03-07";
      s.age = measurement::HeaderAgeText(ymd[0], ymd[1], ymd[2], language);
      sim.ClearMessages();
      ASSERT_EQ(SendResultNetwork(s).outcome, SendOutcome::Delivered);
      auto msgs = sim.Messages();
      ASSERT_EQ(msgs.size(), 1u);
      test_hl7::Message m = test_hl7::Read(msgs[0].bytes);
      ASSERT_TRUE(m.framed);
      const std::string pid15 = test_hl7::Unescape(m.All("PID").at(0)->F(15));
      int readAge = 0;
      std::string readUnit;
      ParseAgeText(pid15, language, &readAge, &readUnit);
      EXPECT_EQ(readAge, 30) << pid15;
      EXPECT_EQ(measurement::AgeFieldOfUnit(readUnit), field) << pid15;
    }
  AppSettings.LanguageIndex = 1;
}

TEST_F(LinkFixture, ARepeatedAcknowledgementIsNotChargedToTheNextMessage) {
  for (int i = 1; i <= 3; ++i) InsertSample(std::to_string(i), "2026-03-07", "P" + std::to_string(i));
  const std::vector<StoredSampleKey> keys = {{"1", "2026-03-07"}, {"2", "2026-03-07"}, {"3", "2026-03-07"}};
  struct Case {
    const char* name;
    lissim::Behaviour first;
  };
  const Case cases[] = {
      // The repeat comes while the next message waits for its own answer.
      {"AA repeated later", {lissim::AckMode::Accept, "", 0, false, 150}},
      // The repeat comes at once, before the sender has taken its answer.
      {"AA repeated at once", {lissim::AckMode::Accept, "", 0, false, 0}},
      {"AE repeated later", {lissim::AckMode::Error, "101", 0, false, 150}},
  };
  CADOConn conn;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.ClearMessages();
    sim.Queue(c.first);
    BatchResult b = SendStoredSamples(conn, {keys[0]}, 1);
    ASSERT_EQ(b.total, 1);
    b = SendStoredSamples(conn, {keys[1], keys[2]}, 1);
    EXPECT_EQ(b.delivered, 2);
    EXPECT_TRUE(b.complete());
    EXPECT_EQ(b.last.outcome, SendOutcome::Delivered);
    EXPECT_EQ(sim.MessageCount(), 3u);
  }
}

TEST_F(LinkFixture, CountStartStoresTheAnswerOnlyUnderTheSampleNumberAskedFor) {
  struct Case {
    const char* name;
    std::optional<std::string> replyNo;  // PID-2 of the answer to the query for "76"
  };
  const Case cases[] = {{"another sample number", std::string("77")},
                        {"an empty sample number", std::string("")},
                        {"the number with a blank after it", std::string("76 ")}};
  int answered = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lissim::Profile p;
    p.name = "Wrong";
    p.replySampleNo = c.replyNo;
    sim.AddProfile("76", p);
    const uint64_t replies = GetLinkCounters().patientReplies;
    ASSERT_TRUE(measurement::SendCountStartOrderQuery("76"));
    // The answer is taken against this query before the next query goes out.
    ASSERT_TRUE(WaitFor([&] { return GetLinkCounters().patientReplies > replies; }));
    // A matching answer after it: once that is stored, the first was handled.
    lissim::Profile ok;
    ok.name = "Right " + std::to_string(++answered);
    sim.AddProfile("75", ok);
    ASSERT_TRUE(measurement::SendCountStartOrderQuery("75"));
    ASSERT_TRUE(WaitFor([&] { return support::QueryText("select Name from Person where SampleNo='75'") == ok.name; }));
    EXPECT_EQ(support::QueryText("select count(*) from Person"), "1");
    EXPECT_EQ(support::QueryText("select count(*) from Person where Name='Wrong'"), "0");
  }
}

TEST_F(LinkFixture, ReceivedTextIsStoredAsValidUtf8WithoutControlCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  struct Case {
    const char* name;
    std::string sent;      // PID-5 as the LIS puts it on the line
    std::string expected;  // Person.Name
  };
  const Case cases[] = {
      {"a stray byte", "Ann\xFFLee", "Ann" + fffd + "Lee"},
      {"a lead byte without its follower", "Ann\xC3(Lee", "Ann" + fffd + "(Lee"},
      {"an overlong slash", "Ann\xC0\xAFLee", "Ann" + fffd + fffd + "Lee"},
      {"a surrogate", "Ann\xED\xA0\x80Lee", "Ann" + fffd + fffd + fffd + "Lee"},
      {"a character cut at the end", "Ann\xE4\xB8", "Ann" + fffd + fffd},
      {"an escaped NUL", "Ann\\X00\\Lee", "AnnLee"},
      {"a control byte", "Ann\x01\x7FLee", "AnnLee"},
      {"valid text", "Zoë Жанна 张", "Zoë Жанна 张"},
  };
  LisLinkState.LisQueryMode = 2;
  int no = 60;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string sample = std::to_string(no++);
    lissim::Profile p;
    p.raw = true;
    p.name = c.sent;
    p.dept = "Ward 3";
    p.age = "4Y";
    sim.AddProfile(sample, p);
    ASSERT_TRUE(measurement::SendLisOrderQuery(sample));
    const std::string where = " from Person where SampleNo='" + sample + "'";
    // The whole profile is stored, not only what came before a bad byte.
    ASSERT_TRUE(WaitFor([&] { return support::QueryText("select Dept" + where) == "Ward 3"; }));
    EXPECT_EQ(support::QueryText("select Name" + where), c.expected);
    EXPECT_EQ(support::QueryText("select Age" + where), "4");
  }
}

TEST_F(LinkFixture, AnAutomaticSendThatFailsIsInTheSystemLog) {
  SetReplyWaitMs(400);
  struct Case {
    const char* name;
    lissim::AckMode mode;  // Reset here stops the simulator before the send
    SendOutcome outcome;
    const char* reason;
  };
  const Case cases[] = {
      {"no answer", lissim::AckMode::None, SendOutcome::NoReply, "Sample data communication response timeout!"},
      {"AR", lissim::AckMode::Reject, SendOutcome::Rejected, "The LIS rejected the data"},
      {"the link is down", lissim::AckMode::Reset, SendOutcome::NotConnected, "Fail to connect to LIS"},
  };
  // A delivered sample leaves no row.
  support::ExecSql("delete from SysLog");
  measurement::HandOffSnapshot delivered;
  delivered.sampleNo = "29";
  delivered.testDate = "2026-03-07";
  EXPECT_EQ(SendResultNetwork(delivered).outcome, SendOutcome::Delivered);
  EXPECT_EQ(support::QueryText("select count(*) from SysLog"), "0");
  int no = 30;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    support::ExecSql("delete from SysLog");
    measurement::HandOffSnapshot s;
    s.sampleNo = std::to_string(no++);
    s.testDate = "2026-03-07";
    if (c.mode == lissim::AckMode::Reset) {
      sim.Stop();
      ASSERT_TRUE(WaitFor([] { return LisLinkState.LisConnected.load() == 0; }));
    } else {
      sim.Queue({c.mode, "", 0, false});
    }
    EXPECT_EQ(SendResultNetwork(s).outcome, c.outcome);
    EXPECT_EQ(support::QueryText("select count(*) from SysLog"), "1");
    EXPECT_EQ(support::QueryText("select Event from SysLog"), "LIS sending");
    const std::string result = support::QueryText("select Result from SysLog");
    EXPECT_EQ(result.rfind("Sample " + s.sampleNo + " (2026-03-07) not sent: " + c.reason, 0), 0u) << result;
  }
}

TEST_F(LinkFixture, AnAlarmNeverWaitsOnAPeerThatStoppedReading) {
  LisLinkState.AlarmSending = 1;
  sim.SetReading(false);
  // A long message fills the line and holds the link's send lock until its write times out.
  std::atomic<bool> bigDone{false};
  std::thread big([&] {
    LisMessage m;
    m.bytes.assign(32u << 20, 'x');
    m.controlId = "big";
    SendLisMessage(m, 0);
    bigDone = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // The log line is written and the writer goes on while that message still holds the link
  // (its write gives up only 2 s after the line filled).
  std::atomic<bool> logged{false};
  std::thread writer([&] {
    WriteLog("Aperture clogged");
    logged = true;
  });
  EXPECT_TRUE(WaitFor([&] { return logged.load(); }, 1000));
  EXPECT_FALSE(bigDone.load());
  writer.join();
  big.join();
  sim.SetReading(true);
  LisLinkState.AlarmSending = 0;
}

// `exit` called while the link's threads run (as a library calls it, Xlib when the display goes
// away) runs the static destructors under them: the process still ends, with the code given.
TEST(LisLinkExit, ExitWhileTheThreadsRunEndsTheProcess) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    lis::SetLisLinkPollMs(20);
    lis::StartLisThreads();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // every thread is waiting
    std::exit(7);
  }
  int status = 0;
  pid_t ended = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((ended = waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (ended == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    FAIL() << "the process did not end after exit";
  }
  ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
  EXPECT_EQ(WEXITSTATUS(status), 7);
}

namespace {

// Context switches of every thread of this process but the calling one: how often they woke.
long OtherThreadsSwitches() {
  long total = 0;
  const std::string self = std::to_string(gettid());
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    if (task.path().filename() == self) continue;
    std::ifstream status(task.path() / "status");
    std::string line;
    while (std::getline(status, line))
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0 || line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
        total += std::atol(line.substr(line.find(':') + 1).c_str());
  }
  return total;
}

}  // namespace

// A link with nothing to do (no server named, the network ready) sleeps until its state
// changes: with a 20 ms poll interval, threads that looked again at every interval would wake
// some 100 times in the second watched. Naming a server then wakes the threads, which connect.
TEST(LisLinkIdle, AnIdleLinkSleepsUntilItsSettingsChange) {
  support::ScratchProgramFolder folder{"lis_idle"};
  const LisLinkStateValues::AddressSettings saved = LisLinkState.Addresses();
  LisLinkStateValues::AddressSettings none = saved;
  none.server = "";
  none.port = 0;
  LisLinkState.SetAddresses(none);
  LisLinkState.NetworkReady = 1;
  LisLinkState.ApplyPending = 0;
  lis::SetLisLinkPollMs(20);
  lis::StartLisThreads();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));  // every thread is waiting
  const long before = OtherThreadsSwitches();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const long woke = OtherThreadsSwitches() - before;
  EXPECT_LT(woke, 20) << "the idle link's threads woke " << woke << " times in a second";

  lissim::Server sim;
  ASSERT_TRUE(sim.Start());
  LisLinkStateValues::AddressSettings named = none;
  named.server = "127.0.0.1";
  named.port = sim.Port();
  LisLinkState.SetAddresses(named);
  lis::DropLisConnection(true);  // as the settings screen does after a change
  EXPECT_TRUE(WaitForReal([] { return LisLinkState.LisConnected.load() == 1; }));
  lis::StopLisThreads();
  sim.Stop();
  lis::SetLisLinkPollMs(1000);
  LisLinkState.SetAddresses(saved);
  LisLinkState.LisConnected = 0;
}
