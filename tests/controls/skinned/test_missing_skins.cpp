// Every skinned control paints a plain look when its skin is missing: the failure is logged
// once and no message box opens from inside a paint.
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_tab_spin.h"
#include "fixture.h"
#include "platform/sys/debug_output.h"
#include "platform/ui/data_exchange.h"

namespace {

struct Host : ui::Dialog {
  CXPButton button;
  CXPCheckButton check;
  CXPComboBox combo;
  CTSpinButtonCtrl spin;
  explicit Host(const ui::DialogTemplate& t) : ui::Dialog(t) {}
  void DoDataExchange(ui::DataExchange& dx) override {
    ui::ExchangeControl(dx, 1, button);
    ui::ExchangeControl(dx, 2, check);
    ui::ExchangeControl(dx, 3, combo);
    ui::ExchangeControl(dx, 4, spin);
  }
  bool OnInitDialog() override {
    ui::Dialog::OnInitDialog();
    button.SetBitmaps(9001, 9002, 9003);
    check.SetBitmaps(9011, 9012);
    combo.SetBitmaps(9021, 9022, 9023);
    combo.AddString("Whole blood");
    combo.SetCurSel(0);
    spin.SetBitmaps(9031, 9032, 9033);
    return true;
  }
};

ui::DialogTemplate HostTemplate() {
  ui::DialogTemplate t;
  t.cx = 200;
  t.cy = 80;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t V = ui::WS_VISIBLE | ui::WS_TABSTOP;
  t.Add("Button", 1, "Save", 10, 10, 48, 16, V | ui::BS_PUSHBUTTON);
  t.Add("Button", 2, "Auto print", 70, 10, 60, 8, V | ui::BS_AUTOCHECKBOX);
  t.Add("ComboBox", 3, "", 10, 40, 80, 60, V | ui::CBS_DROPDOWNLIST);
  t.Add("UpDown", 4, "", 150, 40, 10, 15, V);
  return t;
}

}  // namespace

TEST_F(SkinnedTest, MissingSkinsAreLoggedOnceAndDrawnPlainWithoutMessageBoxes) {
  std::vector<std::string> lines;
  sys::SetDebugOutputCapture([&](const std::string& l) { lines.push_back(l); });
  Host host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  draw::Bitmap screen = d.Screen();
  host.Invalidate();
  screen = d.Screen();  // a second paint: no new log lines
  sys::SetDebugOutputCapture({});
  EXPECT_EQ(d.MessageBox(), nullptr);
  screen.SavePng(PngPath("missing_skins"));
  const char* expected[] = {"9001: Load BTN Normal status Bitmap Error!", "9012: Load CheckBox BMP Error!",
                            "9022: Load ComboBox Normal status Bitmap Error!",
                            "9031: Load SpinBTN Normal Status Bitmap Error!"};
  const auto failures = SkinLoadFailures();
  for (const char* e : expected) {
    EXPECT_NE(std::find(failures.begin(), failures.end(), e), failures.end()) << e;
    int logged = 0;
    for (const auto& l : lines) logged += l.find(std::string(e).substr(6)) != std::string::npos;
    EXPECT_EQ(logged, 1) << e;
  }
  // Plain looks: the button face, a white mark, the combo's arrow button.
  EXPECT_LT(ColourDistance(At(screen, &host.button, 6, 16), draw::RGB(35, 75, 105)), 10);
  EXPECT_EQ(At(screen, &host.check, 7, 2), draw::kWhite);
  const int ax = host.combo.GetClientRect().right - 8;
  EXPECT_EQ(At(screen, &host.combo, ax, 3), draw::RGB(35, 75, 105));
}
