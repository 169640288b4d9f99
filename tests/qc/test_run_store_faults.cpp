// The L-J and X-R run screens when the data store cannot be written while a control result is
// processed (a full disk, an I/O error, given through the file layer's fault seam): no box stops
// the count, the message line says the result was not kept, the system log says why once it can
// be written, and the next count is stored once there is room again.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "analyzer/reagent.h"
#include "qc/lj_qc_run.h"
#include "qc/xr_qc_run.h"
#include "qc_screen_fixture.h"
#include "tests/support/io_faults.h"
#include "tests/support/store_error_box.h"

namespace {

struct StoreFault {
  const char* name;
  int error;
};
const StoreFault kStoreFaults[] = {{"database or disk is full", ENOSPC}, {"disk I/O error", EIO}};

class QcRunStoreFaults : public QcScreenTest {
 protected:
  // Counts one control sample on `screen` and waits until the count is over; true when it ended
  // (a box, if any came up, is answered and its text kept in `box`).
  bool CountOne(ui::TestDriver& s, qc::QcRunScreen& screen, std::string* box) {
    const int before = screen.usedColumns();
    sim_->PressCountKey();
    auto done = [&] {
      return screen.usedColumns() > before && screen.cycle().state() == measurement::CycleState::Idle &&
             screen.cycle().ready();
    };
    const bool ended = s.RunUntil([&] { return s.MessageBox() != nullptr || done(); }, 15000);
    if (s.MessageBox() != nullptr) {
      *box = s.MessageBoxText();
      s.AnswerMessageBox(ui::IDOK);
      return s.RunUntil(done, 15000);
    }
    return ended;
  }

  // Runs `screen` through one count with every write of the store failing with `fault`, then
  // one count with room again. Returns the message line after each count and any box text. The
  // reagent volumes are written to the store at the end of each count, as in the program.
  void FaultThenRoom(qc::QcRunScreen& screen, const StoreFault& fault, std::string* box, std::string* messageAtFault,
                     std::string* messageAfter, const std::function<void()>& atFault) {
    analyzer::Reagents().SetStore(&analyzer::DataStoreReagentStore());
    ASSERT_TRUE(d.RunScript(
        [&] { support::ModalWithStoreErrorBox(screen); },
        [&](ui::TestDriver& s) {
          ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().ready() && screen.cycle().sampleMode(); }, 5000));
          {
            support::IoFaults faults;
            faults.Add({sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(fault.error), -1});
            EXPECT_TRUE(CountOne(s, screen, box));
            *messageAtFault = s.Text(qc::IDC_QC_RUN_MESSAGE);
            Shot("qc_run_not_saved_en");
          }
          atFault();
          std::string secondBox;
          EXPECT_TRUE(CountOne(s, screen, &secondBox));
          EXPECT_EQ(secondBox, "");
          *messageAfter = s.Text(qc::IDC_QC_RUN_MESSAGE);
          s.Press(ui::IDCANCEL);
          s.Advance(600);
          s.RunUntil([&] { return screen.IsEnded(); }, 3000);
        }));
    analyzer::Reagents().SetStore(nullptr);
  }

  // The one system log row of an unsaved result: its event, and a result naming the run's date and
  // time, the notice and the store's reason.
  void ExpectLogged(const std::string& event, const std::string& notice, const StoreFault& fault) {
    EXPECT_EQ(Scalar("select count(*) from SysLog where Result like '%" + notice + "%'"), "1");
    EXPECT_EQ(Scalar("select Event from SysLog where Result like '%" + notice + "%'"), event);
    const std::string result = Scalar("select Result from SysLog where Result like '%" + notice + "%'");
    EXPECT_EQ(result.rfind(Today() + " ", 0), 0u) << result;
    EXPECT_NE(result.find(": " + notice + " ("), std::string::npos) << result;
    EXPECT_NE(result.find(fault.name), std::string::npos) << result;
  }
};

TEST_F(QcRunStoreFaults, LjRunTellsOfTheUnsavedResultAndCountsOnOnceThereIsRoom) {
  // File 1 with WBC, RBC, HGB, PLT under QC and no rules; an X-R file of the same batch with room.
  std::string values = "7.5,0.3", chosen;
  for (int i = 1; i < 20; ++i) values += ",0,0";
  for (int i = 1; i <= 20; ++i) chosen += std::string(i > 1 ? "," : "") + (i == 1 || i == 8 || i == 9 || i == 16 ? "1" : "0");
  Sql("insert into LJQCSet values(1,'C-2026','2099-12-31'," + values + ",0,0,0,0," + chosen + ")");
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(1,'C-2026','2099-12-31',5,2)");
  for (const StoreFault& f : kStoreFaults) {
    SCOPED_TRACE(f.name);
    Sql("delete from LJQCRunResult");
    Sql("delete from XRQCRunResult");
    Sql("delete from SysLog");
    qc::CLJQCRun screen(nullptr);
    screen.QcFileNo = 1;
    std::string box, atFault, after, ljRows, xrRows;
    FaultThenRoom(screen, f, &box, &atFault, &after, [&] {
      ljRows = Scalar("select count(*) from LJQCRunResult");
      xrRows = Scalar("select count(*) from XRQCRunResult");
    });
    EXPECT_EQ(box, "");
    EXPECT_EQ(atFault, "The result could not be saved!");
    EXPECT_EQ(ljRows, "0");
    EXPECT_EQ(xrRows, "0");  // nothing copied of a result that was not kept
    // Room again: the next result is stored with its copy, and the notice is gone.
    EXPECT_EQ(after, "");
    EXPECT_EQ(Scalar("select count(*) from LJQCRunResult where QcFileNo=1"), "1");
    EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=1"), "1");
    // Both results stay in the run table.
    EXPECT_EQ(screen.usedColumns(), 5);
    ExpectLogged("L-J QC(QC 1)", "The result could not be saved!", f);
  }
}

TEST_F(QcRunStoreFaults, XrRunTellsOfTheUnsavedResultAndCountsOnOnceThereIsRoom) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(2,'XR','2099-01-01',2,2)");
  for (const StoreFault& f : kStoreFaults) {
    SCOPED_TRACE(f.name);
    Sql("delete from XRQCRunResult");
    Sql("delete from SysLog");
    qc::CXRQCRun screen(nullptr);
    screen.QcFileNo = 2;
    std::string box, atFault, after, rows;
    int storedAtFault = -1;
    FaultThenRoom(screen, f, &box, &atFault, &after, [&] {
      rows = Scalar("select count(*) from XRQCRunResult");
      storedAtFault = screen.storedCount();
    });
    EXPECT_EQ(box, "");
    EXPECT_EQ(atFault, "The result could not be saved!");
    EXPECT_EQ(rows, "0");
    EXPECT_EQ(storedAtFault, 0);  // the unsaved result takes no place in the file
    EXPECT_EQ(after, "");
    EXPECT_EQ(Scalar("select count(*) from XRQCRunResult where QcFileNo=2"), "1");
    EXPECT_EQ(screen.storedCount(), 1);
    ExpectLogged("X-R QC Run(QC 2)", "The result could not be saved!", f);
  }
}

// Room again but no further count: the unsaved result's system log row is written as the screen
// is left.
TEST_F(QcRunStoreFaults, TheLogOfAnUnsavedResultIsWrittenOnLeaving) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(2,'XR','2099-01-01',2,2)");
  qc::CXRQCRun screen(nullptr);
  screen.QcFileNo = 2;
  std::string box, loggedBeforeLeaving;
  ASSERT_TRUE(d.RunScript(
      [&] { support::ModalWithStoreErrorBox(screen); },
      [&](ui::TestDriver& s) {
        ASSERT_TRUE(s.RunUntil([&] { return screen.cycle().ready() && screen.cycle().sampleMode(); }, 5000));
        {
          support::IoFaults faults;
          faults.Add({sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(ENOSPC), -1});
          EXPECT_TRUE(CountOne(s, screen, &box));
        }
        loggedBeforeLeaving = Scalar("select count(*) from SysLog where Result like '%could not be saved%'");
        s.Press(ui::IDCANCEL);
        s.Advance(600);
        s.RunUntil([&] { return screen.IsEnded(); }, 3000);
      }));
  EXPECT_EQ(box, "");
  EXPECT_EQ(loggedBeforeLeaving, "0");
  ExpectLogged("X-R QC Run(QC 2)", "The result could not be saved!", kStoreFaults[0]);
}

}  // namespace
