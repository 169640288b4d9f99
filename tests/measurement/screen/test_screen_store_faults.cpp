// The test screen when the data store cannot be written while a count's result is processed (a
// full disk, an I/O error, given through the file layer's fault seam): no box stops the count,
// the operator reads that the result was not saved, the system log says why once it can be
// written, and the next count is stored once there is room again.
#include <cerrno>

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
