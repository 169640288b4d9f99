// The patient screen asks the LIS simulator for a sample number (Enter in the sample number
// field) and the profile the LIS answers with fills the screen.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "core/lis_link_state.h"
#include "lis/hl7_messages.h"
#include "lis/lis_link.h"
#include "measurement/patient/person_info.h"
#include "person_info_fixture.h"
#include "tests/lis/link_fixture.h"
#include "platform/ui/app.h"
#include "platform/ui/keys.h"
#include "tools/lissim/server.h"

using namespace measurement;

namespace {

// Opens the patient screen on sample 24, presses Enter in its sample number field (the order
// query) and goes on with `then`, which must close the screen.
bool AskFromThePatientScreen(ui::TestDriver& d, const std::function<void(ui::TestDriver&)>& then) {
  auto dlg = std::make_unique<CPersonInfo>(0, nullptr, 0, 1);
  dlg->CallerSampleNo = "24";
  return d.RunScript([&] { dlg->DoModal(); },
                     [&](ui::TestDriver& s) {
                       s.Press(IDC_PI_SAMPLE_NO);
                       s.Key(ui::VK_RETURN);
                       then(s);
                     });
}

}  // namespace

TEST_F(ScreenTest, OrderQueryAnswerFillsThePatientScreen) {
  lissim::Server lisHost;
  ASSERT_TRUE(lisHost.Start());
  lissim::Profile p;
  p.name = "Ola Nord";
  p.sex = "F";
  p.age = "41Y";
  p.bedNo = "B7";
  p.dept = "Ward 2";
  lisHost.AddProfile("24", p);
  LisLinkState.ServerAddress = "127.0.0.1";
  LisLinkState.ServerPort = lisHost.Port();
  LisLinkState.NetworkReady = 1;
  LisLinkState.ApplyPending = 0;
  LisLinkState.LinkKind = 1;
  LisLinkState.Bidirectional = 1;
  lis::SetLisLinkPollMs(20);
  lis::StartLisThreads();
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (LisLinkState.LisConnected.load() != 1 && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(LisLinkState.LisConnected.load(), 1);

  std::string name, bed, dept;
  EXPECT_TRUE(AskFromThePatientScreen(d, [&](ui::TestDriver& s) {
    ASSERT_TRUE(s.RunUntil([&] { return s.Text(IDC_PI_NAME) == "Ola Nord"; }, 5000));
    name = s.Text(IDC_PI_NAME);
    bed = s.Text(IDC_PI_BED_NO);
    dept = s.Text(IDC_PI_DEPT);
    s.Press(ui::IDCANCEL);
  }));
  lis::StopLisThreads();
  lisHost.Stop();
  lis::SetLisLinkPollMs(1000);
  LisLinkState.LinkKind = 0;
  LisLinkState.Bidirectional = 0;
  EXPECT_EQ(name, "Ola Nord");
  EXPECT_EQ(bed, "B7");
  EXPECT_EQ(dept, "Ward 2");
  EXPECT_EQ(LisLinkState.LisQueryMode.load(), 1);
  auto msgs = lisHost.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].type, "ORM^O01");
  EXPECT_EQ(msgs[0].Field("ORC", 3), "24");
}

TEST_F(ScreenTest, LisProfileArrivingWhileTheUiThreadWaitsForAnAcknowledgementNeverHoldsUpTheLink) {
  SimulatedLisLink link;
  lissim::Server& lisHost = link.sim;
  lissim::Profile p;
  p.name = "Ola Nord";
  p.age = "41Y";
  lisHost.AddProfile("24", p);
  ASSERT_TRUE(link.Start());

  // The profile answer comes while the UI thread waits for the acknowledgement of a result (as
  // the send screen's walk does); the acknowledgement comes in time after it.
  lisHost.Queue({lissim::AckMode::Accept, "", 100, false});
  lisHost.Queue({lissim::AckMode::Accept, "", 400, false});
  lis::SendResult waited;
  std::string name;
  auto dlg = std::make_unique<CPersonInfo>(0, nullptr, 0, 1);
  dlg->CallerSampleNo = "24";
  EXPECT_TRUE(d.RunScript([&] { dlg->DoModal(); },
                          [&](ui::TestDriver& s) {
                            LisLinkState.LisQueryMode = 1;
                            ASSERT_TRUE(SendLisOrderQuery("24"));
                            ui::RunOnUiThread([&] {
                              waited = lis::SendLisMessage(
                                  lis::BuildSampleResult(lis::SampleProfileRecord{}, lis::SampleResultTexts{}), 3000);
                            });
                            s.Press(IDC_PI_SAMPLE_NO);
                            ASSERT_TRUE(s.RunUntil([&] { return s.Text(IDC_PI_NAME) == "Ola Nord"; }, 5000));
                            name = s.Text(IDC_PI_NAME);
                            s.Press(ui::IDCANCEL);
                          }));
  link.Stop();
  LisLinkState.Bidirectional = 0;
  EXPECT_EQ(waited.outcome, lis::SendOutcome::Delivered);
  EXPECT_EQ(name, "Ola Nord");
}

TEST_F(ScreenTest, OrderQueryToAPeerThatNeverReadsLeavesTheScreenAnswering) {
  SimulatedLisLink link;
  lissim::Server& lisHost = link.sim;
  ASSERT_TRUE(link.Start());
  lisHost.SetReading(false);
  // A long message fills the line and holds the link's send lock until its write times out
  // (2 s after the line filled).
  std::atomic<bool> bigDone{false};
  std::thread big([&] {
    lis::LisMessage m;
    m.bytes.assign(32u << 20, 'x');
    m.controlId = "big";
    lis::SendLisMessage(m, 0);
    bigDone = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // Enter asks the LIS; the screen then closes at once, while that message still holds the link.
  EXPECT_TRUE(AskFromThePatientScreen(d, [](ui::TestDriver& s) { s.Press(ui::IDCANCEL); }));
  EXPECT_FALSE(bigDone.load()) << "the screen waited for the link";
  big.join();
  lisHost.SetReading(true);
  link.Stop();
  LisLinkState.Bidirectional = 0;
}
