// The keyboard button of the L-J and X-R file settings, tapped as an operator taps it: the lot
// field keeps the focus, so the keys typed afterwards (by the on-screen keyboard) land there.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "core/layout.h"
#include "core/onscreen_keyboard.h"
#include "platform/ui/dialog.h"
#include "qc/lj_qc_set.h"
#include "qc/xr_qc_set.h"
#include "qc_screen_fixture.h"
#include "tests/support/keyboard_stand_in.h"

namespace {


class QcSettingsKeyboard : public QcScreenTest {
 protected:
  void SetUp() override {
    QcScreenTest::SetUp();
    support::InstallKeyboardStandIn();
  }
  void TearDown() override {
    support::RemoveKeyboardStandIn();
    QcScreenTest::TearDown();
  }
};

TEST_F(QcSettingsKeyboard, KeysTypedAfterTheKeyboardButtonLandInTheLotField) {
  struct Screen {
    const char* name;
    int lot, keyboard;
    std::function<std::unique_ptr<ui::Dialog>()> make;
  } screens[] = {
      {"L-J settings", qc::IDC_LJS_BATCH, qc::IDC_LJS_KEYBOARD, [] { return std::make_unique<qc::CLJQCSet>(nullptr); }},
      {"X-R settings", qc::IDC_XRS_BATCH, qc::IDC_XRS_KEYBOARD, [] { return std::make_unique<qc::CXRQCSet>(nullptr); }},
  };
  for (const Screen& screen : screens) {
    std::unique_ptr<ui::Dialog> dlg = screen.make();
    std::string lot;
    ASSERT_TRUE(d.RunScript([&] { dlg->DoModal(); },
                            [&](ui::TestDriver& s) {
                              DrainBoxes(s);
                              s.Press(screen.lot);
                              s.Type("L");
                              ASSERT_TRUE(s.Press(screen.keyboard));
                              s.Type("OT7");
                              // A second tap (the keyboard away) still leaves the field its focus.
                              ASSERT_TRUE(s.Press(screen.keyboard));
                              s.Type("A");
                              lot = s.Text(screen.lot);
                              s.Press(ui::IDCANCEL);
                              DrainBoxes(s);
                            }))
        << screen.name;
    EXPECT_EQ(lot, "LOT7A") << screen.name;
  }
}

}  // namespace
