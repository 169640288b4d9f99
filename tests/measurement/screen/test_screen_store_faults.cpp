// The test screen when the data store cannot be written while a count's result is processed (a
// full disk, an I/O error, given through the file layer's fault seam): no box stops the count,
// the operator reads that the result was not saved, the system log says why once it can be
// written, and the next count is stored once there is room again.
#include <cerrno>
#include <filesystem>

#include "analyzer/reagent.h"
#include "counted_sample.h"
#include "tests/support/io_faults.h"
#include "measurement/screen/sample_test_screen.h"
#include "tests/support/store_error_box.h"

using namespace measurement;

namespace {

class ScreenStoreFaults : public CountedSampleTest {};

TEST_F(ScreenStoreFaults, StoreThatCannotBeWrittenNeitherStopsTheCountNorHidesTheLoss) {
  struct Case {
    const char* name;
    int error;
    bool library;  // false: the count is not computed and is kept as a row of "- - -" values
  } cases[] = {{"database or disk is full", ENOSPC, true},
               {"disk I/O error", EIO, true},
               {"a kept count on a full disk", ENOSPC, false}};
  const std::string library = std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    Sql("delete from SysLog");
    SetZentilLibraryPath(c.library ? library : File("no-such-library.so"));
    CSampleTest screen(nullptr);
    std::string box, message;
    bool ended = false, counted = false;
    int rowsAfterFault = -1;
    ASSERT_TRUE(d.RunScript(
        [&] { support::ModalWithStoreErrorBox(screen); },
        [&](ui::TestDriver& s) {
          ASSERT_TRUE(WaitReady(s, screen));
          s.Advance(3100);
          int before = 0;
          s.RunUntil([&] {
            before = screen.hasResult();
            return true;
          });
          {
            support::IoFaults faults;
            faults.Add({sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(c.error), -1});
            sim.PressCountKey();
            auto done = [&] {
              return s.MessageBox() != nullptr ||
                     (screen.hasResult() > before && screen.cycle().state() == CycleState::Idle && screen.ready());
            };
            ended = s.RunUntil(done, 15000);
            // The library's own message, once for each call it could not serve, is expected.
            for (int i = 0; i < 20 && s.MessageBox() != nullptr && s.MessageBoxText() == "Load Zentil.dll failed!";
                 ++i) {
              s.AnswerMessageBox(ui::IDOK);
              ended = s.RunUntil(done, 15000);
            }
            if (s.MessageBox() != nullptr) {
              box = s.MessageBoxText();
              s.AnswerMessageBox(ui::IDOK);
              s.RunUntil([&] { return screen.cycle().state() == CycleState::Idle && screen.ready(); }, 15000);
            }
            message = s.Text(IDC_MESSAGE);
          }
          SetZentilLibraryPath(library);
          rowsAfterFault = std::stoi(Scalar("select count(*) from Person where WBC is not null"));
          // Room again: the next count is stored.
          counted = CountOne(s, screen);
          Leave(s, screen);
        }));
    EXPECT_TRUE(ended);
    EXPECT_EQ(box, "");
    EXPECT_EQ(message, "The result could not be saved; it is not printed or sent");
    EXPECT_EQ(rowsAfterFault, 0);
    EXPECT_TRUE(counted);
    EXPECT_EQ(Scalar("select count(*) from Person where WBC is not null"), "1");
    // The unsaved sample (number 1) is in the system log, with the store's reason.
    const std::string logged = Scalar("select Result from SysLog where Result like '1: The result%'");
    EXPECT_EQ(logged.rfind("1: The result could not be saved; it is not printed or sent (", 0), 0u) << logged;
  }
}

}  // namespace

namespace {

// The store refuses the count's row while a lesser warning follows the result: the reagent
// check after the result, or the aperture judged at the end of the test. The line keeps saying
// that the result was not saved, with the warning beside it, until the next count; that count
// is stored and the warning stands alone again.
TEST_F(ScreenStoreFaults, NotSavedNoticeOutlastsTheLesserWarningsUntilTheNextCount) {
  struct Case {
    const char* name;
    float lyseMl;           // below 5 mL the test screen's check finds the lyse short
    const char* apertureSql;  // the block and leak times against the board's 4.0 s
    const char* warning;
  } cases[] = {{"lyse below its minimum", 4.0f, "BlockTime=30, LeakTime=0.1", "Lyse not enough"},
               {"aperture clogged", 500.0f, "BlockTime=3, LeakTime=1", "Aperture clogged"},
               {"air bubble", 500.0f, "BlockTime=30, LeakTime=5", "Air bubble"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    Sql(std::string("update SysSetting set ") + c.apertureSql);
    analyzer::Reagents().volumes().LyseVol = c.lyseMl;
    CSampleTest screen(nullptr);
    std::string afterFault, afterNext;
    bool counted = false, countedAgain = false;
    ASSERT_TRUE(d.RunScript(
        [&] { support::ModalWithStoreErrorBox(screen); },
        [&](ui::TestDriver& s) {
          ASSERT_TRUE(WaitReady(s, screen));
          s.Advance(3100);
          {
            support::IoFaults faults;
            faults.Add({sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(ENOSPC), -1});
            counted = CountOne(s, screen);
            afterFault = s.Text(IDC_MESSAGE);
          }
          countedAgain = CountOne(s, screen);
          afterNext = s.Text(IDC_MESSAGE);
          Leave(s, screen);
        }));
    EXPECT_TRUE(counted);
    EXPECT_TRUE(countedAgain);
    EXPECT_EQ(afterFault, std::string("Result not saved | ") + c.warning);
    EXPECT_EQ(afterNext, c.warning);
    EXPECT_EQ(Scalar("select count(*) from Person where WBC is not null"), "1");
  }
}

}  // namespace

namespace {

// The store cannot be opened (where it should be is a folder: what a read-only program folder
// without a store gives, whoever runs the program). After the store's own boxes the screen says
// that results are not kept, keeps saying it through every count, never judges the volumes and
// aperture times it could not read, and counting goes on with every result marked not saved.
TEST_F(ScreenStoreFaults, StoreThatCannotBeOpenedIsSaidThroughEveryCountAndNothingUnreadIsJudged) {
  std::filesystem::remove(File("Vantorium.mdb"));
  std::filesystem::create_directory(File("Vantorium.mdb"));
  // As start-up leaves the account when the store gives no volumes.
  analyzer::Reagents().volumes() = analyzer::ReagentVolumes{};
  const std::string storeNotice = "The data store cannot be written; results are not kept";
  const std::string notSaved = "The result could not be saved; it is not printed or sent";
  CSampleTest screen(nullptr);
  std::vector<std::string> boxes;
  std::string atOpen, during[2], after[2];
  bool counted[2] = {false, false};
  ASSERT_TRUE(d.RunScript(
      [&] { support::ModalWithStoreErrorBox(screen); },
      [&](ui::TestDriver& s) {
        for (int i = 0; i < 20 && s.RunUntil([&] { return s.MessageBox() != nullptr; }, 500); ++i) {
          boxes.push_back(s.MessageBoxText());
          s.AnswerMessageBox(ui::IDOK);
        }
        ASSERT_TRUE(WaitReady(s, screen));
        s.Advance(3100);
        atOpen = s.Text(IDC_MESSAGE);
        for (int k = 0; k < 2; ++k) {
          int before = 0;
          s.RunUntil([&] {
            before = screen.hasResult();
            return true;
          });
          sim.PressCountKey();
          s.RunUntil([&] { return screen.cycle().state() != CycleState::Idle; }, 5000);
          during[k] = s.Text(IDC_MESSAGE);
          counted[k] = s.RunUntil(
              [&] { return screen.hasResult() > before && screen.cycle().state() == CycleState::Idle && screen.ready(); },
              15000);
          s.RunUntil([&] { return false; }, 200);
          after[k] = s.Text(IDC_MESSAGE);
        }
        // Leaving writes to the store too: its boxes are answered until the screen has ended.
        s.Press(IDC_EXIT);
        for (int i = 0; i < 20 && !screen.IsEnded(); ++i) {
          while (s.MessageBox() != nullptr) s.AnswerMessageBox(ui::IDOK);
          s.Advance(1600);
          s.RunUntil([&] { return s.MessageBox() != nullptr || screen.IsEnded(); }, 1000);
        }
      },
      60000));
  ASSERT_FALSE(boxes.empty());
  EXPECT_NE(boxes[0].find("unable to open database file"), std::string::npos) << boxes[0];
  EXPECT_EQ(atOpen, storeNotice);
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    EXPECT_TRUE(counted[k]);
    EXPECT_EQ(during[k], storeNotice);
    EXPECT_EQ(after[k], notSaved);
  }
}

}  // namespace
