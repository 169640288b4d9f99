// The test screen over the board simulator when the board's answer to a command it waits for
// is withheld, comes twice or comes late: every wait has its deadline, and each operation is
// booked once.
#include "analyzer/frame.h"
#include "controls/message_box_dlg.h"
#include "measurement/count_cycle.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/ui/message_box.h"
#include "counted_sample.h"

using namespace measurement;

namespace {

class ScreenReplyDeadlines : public CountedSampleTest {
 protected:
  // How often the board received the frame `name` at or after position `from`.
  size_t ReceivedTimes(size_t from, const std::string& name) const {
    const std::vector<std::string> all = Received();
    size_t n = 0;
    for (size_t i = from; i < all.size(); ++i) n += all[i] == name ? 1 : 0;
    return n;
  }
  int BoardCountNumber() {
    int n = 0;
    sim.WithModel([&](boardsim::BoardModel& m) { n = m.countNumber(); });
    return n;
  }
};

// The end-of-test reply is withheld: the result is stored already, so within seconds the command
// is sent again, its reply makes the screen ready with its buttons, and nothing is booked as
// timed out.
TEST_F(ScreenReplyDeadlines, EndOfTestReplyWithheldIsAskedForAgainWithinSeconds) {
  CSampleTest screen(nullptr);
  bool dropped = false, ready = false, exitEnabled = false;
  std::string line;
  size_t before = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);  // the start-up pause of Exit and Service
                            before = sim.ReceivedCount();
                            // The board takes its time over each count; once it runs the
                            // second, the next acknowledgement it sends is the end of test's.
                            sim.SetCountDelay(2000);
                            sim.PressCountKey();
                            dropped = s.RunUntil([&] { return BoardCountNumber() == 2; }, 8000);
                            sim.DropNext(boardsim::Target::Ack);
                            ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().state() == CycleState::Finishing; }, 8000));
                            s.RunUntil([] { return false; }, 300);
                            EXPECT_EQ(screen.cycle().state(), CycleState::Finishing);
                            s.Advance(CountCycle::kRequestRetryMs + 600);
                            ready = s.RunUntil([&] { return screen.ready() && s.Enabled(IDC_EXIT); }, 3000);
                            exitEnabled = s.Enabled(IDC_EXIT) && s.Enabled(IDC_RETEST);
                            line = s.Text(IDC_MESSAGE);
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(dropped);
  EXPECT_TRUE(ready);
  EXPECT_TRUE(exitEnabled);
  EXPECT_EQ(line, "");
  EXPECT_EQ(ReceivedTimes(before, "AA 11"), 2u);
  EXPECT_EQ(Scalar("select count(*) from Person"), "1");
  EXPECT_EQ(Scalar("select count(*) from SysLog where Result='Test time out'"), "0");
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace
