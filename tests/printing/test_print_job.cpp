// A report job on its worker thread tells its screen of its start and of its end, however the
// job ends; a screen closed meanwhile is no danger.
#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "controls/screen_common.h"
#include "platform/sys/thread.h"
#include "platform/ui/test_driver.h"
#include "printing/print_hint_dlg.h"
#include "printing/print_job.h"

namespace {

class ProgressScreen : public ui::Dialog {
 public:
  ProgressScreen() : ui::Dialog(ScreenTemplate(100, 60)) {}
  std::vector<int> states;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == WM_PRINT_PROGRESS) {
      states.push_back(static_cast<int>(w));
      return 0;
    }
    return ui::Dialog::WindowProc(msg, w, l);
  }
};

TEST(PrintJob, StartAndEndArePostedOnEveryWayOut) {
  ASSERT_TRUE(ui::TestDriver::Start(400, 300));
  ui::TestDriver d;
  struct Case {
    const char* name;
    bool throws;
  } cases[] = {{"a job that ends", false}, {"a job that throws", true}};
  for (const Case& c : cases) {
    ProgressScreen screen;
    sys::Thread thread;
    bool ran = false;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(StartPrintJob(thread, screen.Handle(), [&] {
                                ran = true;
                                if (c.throws) throw std::runtime_error("printer gone");
                              }));
                              thread.Join(5000);
                              s.RunUntil([&] { return screen.states.size() == 2; }, 3000);
                              screen.EndDialog(ui::IDOK);
                            }));
    EXPECT_TRUE(ran) << c.name;
    EXPECT_EQ(screen.states, (std::vector<int>{1, 0})) << c.name;
  }
  // The screen is gone before the job ends: the end goes nowhere, nothing breaks.
  sys::Thread late;
  ui::WindowHandle gone = 0;
  {
    ProgressScreen screen;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver&) {
                              gone = screen.Handle();
                              screen.EndDialog(ui::IDOK);
                            }));
  }
  ASSERT_TRUE(StartPrintJob(late, gone, [] {}));
  EXPECT_TRUE(late.Join(5000));
  ui::TestDriver::Stop();
}

}  // namespace
