// The expiry-date spins of the L-J and X-R file settings, tapped as an operator taps them: each
// arrow steps the number in the edit before it, within year 2013..2050, month 0..12, day 0..31,
// and a number typed into the edit is where the next step starts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/dialog.h"
#include "qc/lj_qc_set.h"
#include "qc/xr_qc_set.h"
#include "qc_screen_fixture.h"
#include "tests/support/spin_taps.h"

namespace {

class QcExpirySpins : public QcScreenTest {};

struct Tap {
  int edit, spin;
  const char* before;  // the edit's text before the tap
  bool up;
  const char* after;
};

// Year 1126 / spin 1154, month 1124 / 1155, day 1125 / 1156 on both screens.
const Tap kTaps[] = {
    {1126, 1154, "2030", true, "2031"},  {1126, 1154, "2030", false, "2029"}, {1126, 1154, "2050", true, "2050"},
    {1126, 1154, "2013", false, "2013"}, {1124, 1155, "7", true, "8"},        {1124, 1155, "12", true, "12"},
    {1124, 1155, "1", false, "0"},       {1124, 1155, "0", false, "0"},       {1125, 1156, "30", true, "31"},
    {1125, 1156, "31", true, "31"},      {1125, 1156, "0", false, "0"},       {1125, 1156, "15", false, "14"},
};

TEST_F(QcExpirySpins, EachArrowStepsTheEditBeforeItWithinItsRange) {
  struct Screen {
    const char* name;
    std::function<std::unique_ptr<ui::Dialog>()> make;
  } screens[] = {
      {"L-J settings", [] { return std::make_unique<qc::CLJQCSet>(nullptr); }},
      {"X-R settings", [] { return std::make_unique<qc::CXRQCSet>(nullptr); }},
  };
  static_assert(qc::IDC_LJS_YEAR == 1126 && qc::IDC_LJS_MONTH == 1124 && qc::IDC_LJS_DAY == 1125);
  static_assert(qc::IDC_XRS_YEAR == 1126 && qc::IDC_XRS_MONTH == 1124 && qc::IDC_XRS_DAY == 1125);
  for (const Screen& screen : screens) {
    std::unique_ptr<ui::Dialog> dlg = screen.make();
    ASSERT_TRUE(d.RunScript([&] { dlg->DoModal(); },
                            [&](ui::TestDriver& s) {
                              DrainBoxes(s);
                              for (const Tap& t : kTaps) {
                                s.RunUntil([&] {
                                  s.TopWindow()->SetDlgItemText(t.edit, t.before);
                                  return true;
                                });
                                ASSERT_TRUE(spin_taps::TapSpinArrow(s, t.spin, t.up)) << screen.name << " " << t.spin;
                                EXPECT_EQ(s.Text(t.edit), t.after)
                                    << screen.name << ": " << t.before << (t.up ? " up" : " down");
                              }
                              // Taps in a row keep counting from the last one.
                              s.RunUntil([&] {
                                s.TopWindow()->SetDlgItemText(1124, "10");
                                return true;
                              });
                              for (int i = 0; i < 4; ++i) spin_taps::TapSpinArrow(s, 1155, true);
                              EXPECT_EQ(s.Text(1124), "12") << screen.name;
                              s.Press(ui::IDCANCEL);
                              DrainBoxes(s);
                            }))
        << screen.name;
  }
}

}  // namespace
