// A sample counted on the test screen goes to the LIS by itself and is acknowledged: the
// result message carries the stored values; bidirectional transfer asks for the patient data
// when the count starts.
#include <stdlib.h>

#include <chrono>
#include <thread>

#include "core/lis_link_state.h"
#include "counted_sample.h"
#include "lis/lis_link.h"
#include "measurement/screen/sample_test_screen.h"
#include "tools/lissim/serial_reader.h"
#include "tools/lissim/server.h"

using namespace measurement;

namespace {

class CountToLis : public CountedSampleTest {
 protected:
  void SetUp() override {
    CountedSampleTest::SetUp();
    ASSERT_TRUE(serial.Start());
    setenv("QUORVEX_COM1", serial.SlavePath().c_str(), 1);
    ASSERT_TRUE(lisHost.Start());
    Sql("update SysSetting set IsTransInstant=1");
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
  }
  void TearDown() override {
    lis::StopLisThreads();
    lis::SetLisLinkPollMs(1000);
    lisHost.Stop();
    serial.Stop();
    unsetenv("QUORVEX_COM1");
    LisLinkState.LinkKind = 0;
    LisLinkState.Bidirectional = 0;
    CountedSampleTest::TearDown();
  }
  lissim::Server lisHost;
  lissim::SerialReader serial;
};

}  // namespace

TEST_F(CountToLis, ACountReachesTheLisAndIsAcknowledged) {
  lissim::Profile p;
  p.name = "Ann Lee";
  p.sex = "F";
  p.age = "35Y";
  lisHost.AddProfile("1", p);
  CSampleTest screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            ASSERT_TRUE(CountOne(s, screen));
                            Leave(s, screen);
                          }));
  ASSERT_NE(screen.lastResult(), nullptr);
  ASSERT_TRUE(screen.lastResult()->Stored());
  ASSERT_TRUE(lisHost.WaitForMessages(2, 10000));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (lis::LastAutomaticSend().outcome != lis::SendOutcome::Delivered && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(lis::LastAutomaticSend().outcome, lis::SendOutcome::Delivered);
  auto msgs = lisHost.Messages();
  ASSERT_EQ(msgs.size(), 2u);
  // The order query at count start, then the result.
  EXPECT_EQ(msgs[0].type, "ORM^O01");
  EXPECT_EQ(msgs[0].Field("ORC", 3), "1");
  EXPECT_EQ(msgs[1].type, "ORU^R01");
  EXPECT_EQ(msgs[1].Field("MSH", 16), "S");
  EXPECT_EQ(msgs[1].Field("PID", 2), "1");
  const RunResult& r = *screen.lastResult();
  EXPECT_EQ(msgs[1].Field("OBR", 7), r.testDate + " " + r.testTime);
  int k = 0;
  for (const auto& seg : msgs[1].segments) {
    if (seg[0] != "OBX") continue;
    // The stored text (table order) without its marker and flag.
    std::string stored = r.storedTexts[k];
    if (stored.find(' ') != std::string::npos && stored.find_first_not_of("- ") != std::string::npos)
      stored = stored.substr(0, stored.find(' '));
    if (!stored.empty() && (stored[0] == '*' || stored[0] == 'e' || stored[0] == 'E' || stored[0] == '!'))
      stored.erase(0, 1);
    if (stored.find_first_not_of("- ") == std::string::npos) stored.clear();
    EXPECT_EQ(seg[5], stored) << seg[3];
    ++k;
  }
  EXPECT_EQ(k, 20);
}
