// Skinned check box and radio button: the click toggles, the radio group rule (and nothing
// outside the group's radio buttons hears of it), marks and hover looks.
#include "controls/xp_check_button.h"
#include "fixture.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/window_class.h"

namespace {

// A control inside a radio group that keeps count of the radio buttons' private message.
struct Listener : ui::Window {
  static int heard;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == WM_RADIO_UNCHECK) ++heard;
    return ui::Window::WindowProc(msg, w, l);
  }
};
int Listener::heard = 0;

struct Host : ui::Dialog {
  CXPRadioButton a1, a2, a3, b1, b2;
  CXPCheckButton small, normal;
  int clicks = 0;
  explicit Host(const ui::DialogTemplate& t) : ui::Dialog(t) {}
  void DoDataExchange(ui::DataExchange& dx) override {
    ui::ExchangeControl(dx, 21, a1);
    ui::ExchangeControl(dx, 22, a2);
    ui::ExchangeControl(dx, 23, a3);
    ui::ExchangeControl(dx, 31, b1);
    ui::ExchangeControl(dx, 32, b2);
    ui::ExchangeControl(dx, 41, small);
    ui::ExchangeControl(dx, 42, normal);
  }
  bool OnCommand(int id, int code, ui::Window*) override {
    if (code == ui::BN_CLICKED) ++clicks;
    return id > 0;
  }
};

ui::DialogTemplate HostTemplate() {
  ui::RegisterWindowClass("RadioListener", 0, [] { return new Listener; });
  ui::DialogTemplate t;
  t.cx = 200;
  t.cy = 120;
  t.style = ui::WS_POPUP | ui::WS_VISIBLE | ui::DS_CENTER;
  const uint32_t R = ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_AUTORADIOBUTTON;
  t.Add("Button", 21, "Whole blood", 10, 10, 80, 8, R | ui::WS_GROUP);
  t.Add("Button", 22, "Peripheral", 10, 20, 80, 8, R);
  t.Add("RadioListener", 29, "", 150, 10, 10, 8, ui::WS_VISIBLE);
  t.Add("Button", 23, "Prediluted", 10, 30, 80, 8, R);
  // A group of plain (not automatic) radio buttons.
  const uint32_t P = ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_RADIOBUTTON;
  t.Add("Button", 31, "Male", 100, 10, 40, 8, P | ui::WS_GROUP);
  t.Add("Button", 32, "Female", 100, 20, 40, 8, P);
  t.Add("Button", 41, "Small", 10, 50, 80, 6, ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX | ui::WS_GROUP);
  t.Add("Button", 42, "Auto print", 10, 62, 80, 8, ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX);
  return t;
}

}  // namespace

TEST_F(SkinnedTest, RadioGroupRuleStaysInsideItsGroupAndReachesOnlyRadioButtons) {
  Host host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  Listener::heard = 0;
  host.b2.SendMessage(ui::BM_SETCHECK, 1);
  d.Settle();
  struct Step {
    int press;
    bool a1, a2, a3;
  };
  const Step steps[] = {
      {21, true, false, false},
      {23, false, false, true},
      {23, false, false, true},  // pressing a checked button keeps it checked
      {22, false, true, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.press);
    ASSERT_TRUE(d.Press(s.press));
    d.Settle();
    EXPECT_EQ(host.a1.checked, s.a1);
    EXPECT_EQ(host.a2.checked, s.a2);
    EXPECT_EQ(host.a3.checked, s.a3);
    EXPECT_EQ(d.Check(s.press), 1);
    // The other group keeps its choice.
    EXPECT_FALSE(host.b1.checked);
    EXPECT_TRUE(host.b2.checked);
  }
  EXPECT_EQ(Listener::heard, 0);
  EXPECT_EQ(host.clicks, 4);
}

TEST_F(SkinnedTest, GroupWalkWrapsAtTheGroupsEnd) {
  Host host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  EXPECT_EQ(NextDialogGroupItem(&host.a1), &host.a2);
  EXPECT_EQ(NextDialogGroupItem(&host.a3), &host.a1);
  EXPECT_EQ(NextDialogGroupItem(&host.b2), &host.b1);
}

TEST_F(SkinnedTest, CheckBoxTogglesOnPressAndDrawsItsMarkAndLabel) {
  Host host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  d.Settle();
  ASSERT_TRUE(d.Press(42));
  EXPECT_TRUE(host.normal.checked);
  EXPECT_EQ(d.Check(42), 1);
  ASSERT_TRUE(d.Press(42));
  EXPECT_FALSE(host.normal.checked);
  ASSERT_TRUE(d.Press(42));
  // Hover over the small box: a gold frame inside its 12 px mark.
  const ui::Rect rs = host.small.GetWindowRect();
  d.MoveTo(ui::Point(rs.left + 30, rs.top + 3));
  d.Advance(5);
  const draw::Bitmap screen = d.Screen();
  screen.SavePng(PngPath("check_radio"));
  EXPECT_TRUE(host.small.hover);
  EXPECT_EQ(host.small.textRect.left, 15);
  EXPECT_EQ(host.normal.textRect.left, 18);
  EXPECT_LT(ColourDistance(At(screen, &host.small, 0, 5), draw::RGB(250, 196, 88)), 40);
  // The background right of the label is the band colour.
  EXPECT_EQ(At(screen, &host.normal, 150, 14), draw::RGB(190, 198, 201));
  // Checked and unchecked marks differ in the middle of the mark.
  EXPECT_NE(At(screen, &host.normal, 7, 7), At(screen, &host.small, 6, 6));
}

TEST_F(SkinnedTest, CheckedRadioShowsTheDot) {
  Host host(HostTemplate());
  ASSERT_TRUE(host.CreateModeless());
  host.a1.SendMessage(ui::BM_SETCHECK, 1);
  host.b2.SendMessage(ui::BM_SETCHECK, 1);
  const draw::Bitmap screen = d.Screen();
  EXPECT_EQ(At(screen, &host.a1, 7, 7), draw::RGB(82, 101, 112));
  EXPECT_EQ(At(screen, &host.b2, 7, 7), draw::RGB(82, 101, 112));
  EXPECT_EQ(host.b2.GetStyle() & ui::BS_TYPEMASK, ui::BS_OWNERDRAW);
  EXPECT_LT(ColourDistance(At(screen, &host.a2, 7, 7), draw::RGB(232, 233, 246)), 10);
}
