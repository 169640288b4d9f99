// The LIS link against the simulator over loopback: acknowledgements of every kind, late,
// split and missing replies, a reset in the middle of a batch, order queries answered with a
// profile, the automatic sending of a count, and sends from several threads at once.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/write_log.h"
#include "hl7_reader.h"
#include "link_fixture.h"
#include "lis/hl7_messages.h"
#include "measurement/patient/lis_profile.h"
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
  };
  const Case cases[] = {
      {"AA", {lissim::AckMode::Accept, "", 0, false}, SendOutcome::Delivered, 4},
      {"AA late", {lissim::AckMode::Accept, "", 150, false}, SendOutcome::Delivered, 4},
      {"AA split over three writes", {lissim::AckMode::Accept, "", 0, true}, SendOutcome::Delivered, 4},
      {"AE 102", {lissim::AckMode::Error, "102", 0, false}, SendOutcome::Rejected, 17},
      {"AE other", {lissim::AckMode::Error, "999", 0, false}, SendOutcome::Rejected, 14},
      {"AR 200", {lissim::AckMode::Reject, "200", 0, false}, SendOutcome::Rejected, 6},
      {"AR 299", {lissim::AckMode::Reject, "299", 0, true}, SendOutcome::Rejected, 5},
      {"AA naming another message", {lissim::AckMode::WrongId, "", 0, false}, SendOutcome::Rejected, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sim.Queue(c.b);
    SendResult r = SendLisMessage(AnyResult(), 5000);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.ackCode, c.code);
  }
  // No answer at all: the wait runs out.
  sim.Queue({lissim::AckMode::None, "", 0, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 300).outcome, SendOutcome::NoReply);
  // An answer that comes after its sender gave up does not count for the next message.
  sim.Queue({lissim::AckMode::Accept, "", 400, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 100).outcome, SendOutcome::NoReply);
  sim.Queue({lissim::AckMode::None, "", 0, false});
  EXPECT_EQ(SendLisMessage(AnyResult(), 800).outcome, SendOutcome::NoReply);
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
  EXPECT_EQ(b.last.outcome, SendOutcome::NoReply);
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
  LisLinkState.AddressMode = 0;
  LisLinkState.OwnAddress = "192.168.7.2";
  LisLinkState.SubnetMask = "255.255.255.0";
  LisLinkState.Gateway = "192.168.7.1";
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
