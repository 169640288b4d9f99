// The test screen and the diluent instruction screen: however the instruction screen is left
// (its button, or Escape), the next press of the analyzer's key counts the sample and does not
// dispense diluent.
#include "core/screen_registry.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/ui/messages.h"
#include "screen_fixture.h"

using namespace measurement;

namespace {

class DiluentOpener : public TestScreenTest {};

TEST_F(DiluentOpener, LeavingTheInstructionByEitherWayEndsDispensing) {
  for (int result : {ui::IDOK, ui::IDCANCEL}) {
    int shown = 0;
    RegisterScreen("CSpitDiluent", [&] {
      ++shown;
      return result;  // IDCANCEL: the operator pressed Escape
    });
    CSampleTest screen(nullptr);
    bool counted = false, dispensed = true;
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(s.RunUntil([&] { return screen.ready() && screen.cycle().sampleMode(); }, 5000));
                              s.Press(IDC_MODE);
                              s.Press(IDC_MODE);  // pre-diluted
                              s.Press(IDC_DILUENT);
                              s.Advance(3100);
                              const size_t from = Received().size();
                              sim.PressCountKey();
                              s.RunUntil([&] { return ReceivedSince(from, "AA 02") || ReceivedSince(from, "AA A2"); }, 5000);
                              counted = ReceivedSince(from, "AA 02");
                              dispensed = ReceivedSince(from, "AA A2");
                              sim.SendRaw({0x7E, 0xDD, 0x02, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0xD8, 0xE7});  // abort it
                              for (int i = 0; i < 20 && !screen.ready(); ++i) {
                                s.RunUntil([&] { return screen.ready(); }, 100);
                                s.Advance(600);
                              }
                              s.Press(IDC_EXIT);
                              s.Advance(1600);
                              s.RunUntil([&] { return screen.IsEnded(); }, 3000);
                            }));
    RegisterScreen("CSpitDiluent", nullptr);
    EXPECT_EQ(shown, 1) << result;
    EXPECT_TRUE(counted) << result;
    EXPECT_FALSE(dispensed) << result;
    EXPECT_TRUE(screen.IsEnded()) << result;
  }
}

}  // namespace
