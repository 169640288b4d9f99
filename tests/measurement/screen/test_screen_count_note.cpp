// The test screen's note of the count in progress: on the disk from the count key to the stored
// result, gone after a count that ended without one, and a lost result named by the start-up
// shown in a box when the screen opens.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "measurement/count_cycle.h"
#include "measurement/count_note.h"
#include "measurement/screen/sample_test_screen.h"
#include "counted_sample.h"

using namespace measurement;

namespace {

class ScreenCountNote : public CountedSampleTest {
 protected:
  std::string Note() const {
    std::ifstream in(File(kCountNoteFile), std::ios::binary);
    if (!in) return "<none>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

TEST_F(ScreenCountNote, TheNoteLastsFromTheCountKeyToTheStoredResult) {
  Sql("delete from Person");
  CSampleTest screen(nullptr);
  std::string during, after;
  bool counted = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                            during = Note();
                            counted = s.RunUntil(
                                [&] { return screen.hasResult() > 0 && screen.ready(); }, 15000);
                            after = Note();
                            Leave(s, screen);
                          }));
  EXPECT_TRUE(counted);
  const CountNoteRead read = ParseCountNote(during);
  ASSERT_EQ(read.state, CountNoteState::Read) << during;
  EXPECT_EQ(read.note.sampleNo, "1");
  EXPECT_EQ(read.note.testDate, Today());
  EXPECT_EQ(Scalar("select count(*) from Person where SampleNo='1' and WBC is not null"), "1");
  EXPECT_EQ(after, "<none>");
}

TEST_F(ScreenCountNote, ACountThatTimesOutLeavesNoNote) {
  CSampleTest screen(nullptr);
  std::string during, after;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(WaitReady(s, screen));
                            s.Advance(3100);
                            // The start is never acknowledged: the count times out.
                            sim.DropNext(boardsim::Target::Ack, 1 + CountCycle::kRequestRetries);
                            sim.PressCountKey();
                            ASSERT_TRUE(s.RunUntil([&] { return !screen.ready(); }, 3000));
                            during = Note();
                            s.Advance(120100);
                            ASSERT_TRUE(
                                s.RunUntil([&] { return s.Text(IDC_MESSAGE) == "Test time out"; }, 3000));
                            after = Note();
                            ASSERT_TRUE(s.RunUntil([&] { return screen.ready(); }, 3000));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(ParseCountNote(during).state, CountNoteState::Read) << during;
  EXPECT_EQ(after, "<none>");
}

TEST_F(ScreenCountNote, ALostResultNamedAtStartUpIsShownInABoxWhenTheScreenOpens) {
  const std::string text =
      "Sample 12 (count started 2026-12-09 08:15:30): its result may have been shown but was not kept; count it again";
  LostCountNotice = text;
  CSampleTest screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }, 3000));
                            box = s.MessageBoxText();
                            s.AnswerMessageBox(ui::IDOK);
                            ASSERT_TRUE(WaitReady(s, screen));
                            Leave(s, screen);
                          }));
  EXPECT_EQ(box, text);
  EXPECT_EQ(LostCountNotice, "");
}

}  // namespace
