// The standard controls: notifications, states, keyboard and mouse, colour queries,
// owner drawing and taking a control over from a template.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/focus_history.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/scroll_parts.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window_class.h"

using namespace ui;

namespace {

struct Note {
  int id;
  int code;
};

// A modeless dialog that records what its controls tell it.
class Host : public Dialog {
 public:
  explicit Host(const DialogTemplate& t) : Dialog(t) {}
  std::vector<Note> notes;
  std::vector<int> notifies;
  int ctlColorQueries = 0;
  int drawItems = 0;
  draw::Brush hollow = draw::Brush::NullBrush();
  bool OnCommand(int id, int code, Window*) override {
    notes.push_back({id, code});
    return true;
  }
  LResult OnNotify(int, NotifyHeader* h) override {
    notifies.push_back(h->code);
    return 0;
  }
  const draw::Brush* OnCtlColor(draw::DC& dc, Window* c, int type) override {
    ++ctlColorQueries;
    if (c && c->GetDlgCtrlID() == 50) {
      dc.SetBkMode(draw::BkMode::Transparent);
      dc.SetTextColor(RGB(255, 0, 0));
      return &hollow;
    }
    return Dialog::OnCtlColor(dc, c, type);
  }
  void OnDrawItem(int, DrawItemInfo& info) override {
    ++drawItems;
    info.dc->FillSolidRect(info.rcItem, (info.itemState & ODS_SELECTED) ? RGB(0, 0, 255) : RGB(0, 255, 0));
  }
  bool Has(int id, int code) const {
    for (auto& n : notes) {
      if (n.id == id && n.code == code) return true;
    }
    return false;
  }
};

class ControlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestDriver::Start()); }
  void TearDown() override { TestDriver::Stop(); }

  Host& Open(std::initializer_list<ControlTemplate> controls) {
    DialogTemplate t;
    t.cx = 300;
    t.cy = 200;
    t.style = WS_POPUP | WS_VISIBLE;
    for (auto& c : controls) t.controls.push_back(c);
    host_ = std::make_unique<Host>(t);
    EXPECT_TRUE(host_->CreateModeless());
    d.Settle();
    return *host_;
  }
  template <class T>
  T* Get(int id) {
    return dynamic_cast<T*>(host_->GetDlgItem(id));
  }
  TestDriver d;
  std::unique_ptr<Host> host_;
};

constexpr uint32_t V = WS_VISIBLE | WS_TABSTOP;

}  // namespace

TEST_F(ControlsTest, ButtonsClickByMouseAndSpaceButNotWhenDisabledOrReleasedOutside) {
  Host& h = Open({{kClassButton, 10, "Go", 10, 10, 50, 14, V | BS_PUSHBUTTON, 0}});
  ASSERT_TRUE(d.Press(10));
  EXPECT_TRUE(h.Has(10, BN_CLICKED));
  h.notes.clear();
  d.Key(VK_SPACE);
  EXPECT_TRUE(h.Has(10, BN_CLICKED));
  h.notes.clear();
  // Pressed inside, released outside: no click.
  const Rect r = h.GetDlgItem(10)->GetWindowRect();
  InputEvent e;
  e.kind = InputEvent::Kind::MouseDown;
  e.pt = r.Center();
  InjectInput(e);
  e.kind = InputEvent::Kind::MouseMove;
  e.pt = Point(r.right + 30, r.bottom + 30);
  InjectInput(e);
  e.kind = InputEvent::Kind::MouseUp;
  InjectInput(e);
  d.Settle();
  EXPECT_TRUE(h.notes.empty());
  h.GetDlgItem(10)->EnableWindow(false);
  EXPECT_FALSE(d.Press(10));
  d.ClickAt(r.Center());
  EXPECT_TRUE(h.notes.empty());
}

TEST_F(ControlsTest, AButtonThatDoesNotActivateLeavesTheFocusWhereItIs) {
  // An on-screen key acts on the field the operator is in: a tap on it clicks but keeps the
  // focus in the field (no kill-focus there), while an ordinary button takes it. Where the
  // focus was before is known either way.
  Host& h = Open({{kClassEdit, 20, "", 10, 10, 60, 12, V | WS_TABSTOP | WS_BORDER, 0},
                  {kClassButton, 21, "Key", 10, 30, 30, 14, V | WS_TABSTOP | BS_PUSHBUTTON, WS_EX_NOACTIVATE},
                  {kClassButton, 22, "Go", 50, 30, 30, 14, V | WS_TABSTOP | BS_PUSHBUTTON, 0}});
  Window* field = h.GetDlgItem(20);
  ASSERT_TRUE(d.Press(20));
  ASSERT_EQ(Window::GetFocus(), field);
  h.notes.clear();
  ASSERT_TRUE(d.Press(21));
  EXPECT_TRUE(h.Has(21, BN_CLICKED));
  EXPECT_EQ(Window::GetFocus(), field);
  EXPECT_FALSE(h.Has(20, EN_KILLFOCUS));
  d.Type("ab");
  EXPECT_EQ(field->GetWindowText(), "ab");
  ASSERT_TRUE(d.Press(22));
  EXPECT_EQ(Window::GetFocus(), h.GetDlgItem(22));
  EXPECT_EQ(PreviousFocus(), field);
}

TEST_F(ControlsTest, CheckBoxesAndRadioGroups) {
  Host& h = Open({
      {kClassButton, 20, "a", 10, 10, 60, 10, V | WS_GROUP | BS_AUTORADIOBUTTON, 0},
      {kClassButton, 21, "b", 10, 22, 60, 10, uint32_t{WS_VISIBLE} | BS_AUTORADIOBUTTON, 0},
      {kClassButton, 22, "c", 10, 34, 60, 10, uint32_t{WS_VISIBLE} | BS_AUTORADIOBUTTON, 0},
      {kClassButton, 23, "other group", 10, 46, 60, 10, V | WS_GROUP | BS_AUTORADIOBUTTON, 0},
      {kClassButton, 24, "check", 10, 58, 60, 10, V | WS_GROUP | BS_AUTOCHECKBOX, 0},
      {kClassButton, 25, "three", 10, 70, 60, 10, V | BS_AUTO3STATE, 0},
  });
  d.Press(23);
  d.Press(21);
  EXPECT_EQ(d.Check(21), BST_CHECKED);
  EXPECT_EQ(d.Check(23), BST_CHECKED);  // another group keeps its choice
  d.Press(22);
  EXPECT_EQ(d.Check(21), BST_UNCHECKED);
  EXPECT_EQ(d.Check(22), BST_CHECKED);
  EXPECT_EQ(h.GetCheckedRadioButton(20, 22), 22);
  // Arrow keys move the choice within the group.
  d.Key(VK_UP);
  EXPECT_EQ(d.Check(21), BST_CHECKED);
  EXPECT_EQ(d.Check(22), BST_UNCHECKED);
  d.Press(24);
  EXPECT_EQ(d.Check(24), BST_CHECKED);
  d.Press(24);
  EXPECT_EQ(d.Check(24), BST_UNCHECKED);
  const int expected[] = {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED};
  for (int e : expected) {
    d.Press(25);
    EXPECT_EQ(d.Check(25), e);
  }
  EXPECT_TRUE(h.Has(24, BN_CLICKED));
}

TEST_F(ControlsTest, EditTakesTypingWithinItsRules) {
  struct Case {
    const char* name;
    uint32_t style;
    int limit;
    const char* typed;
    const char* expected;
  };
  const Case cases[] = {
      {"plain", 0, 0, "AbC 12", "AbC 12"},
      {"digits only", ES_NUMBER, 0, "1a2-3", "123"},
      {"read-only", ES_READONLY, 0, "xyz", ""},
      {"limit", 0, 4, "123456", "1234"},
      {"upper", ES_UPPERCASE, 0, "abc", "ABC"},
      {"cyrillic", 0, 3, "Привіт", "При"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Host& h = Open({{kClassEdit, 30, "", 10, 10, 100, 12, V | WS_BORDER | c.style, 0}});
    auto* e = Get<Edit>(30);
    ASSERT_NE(e, nullptr);
    if (c.limit) e->SetLimitText(c.limit);
    d.Press(30);
    h.notes.clear();
    d.Type(c.typed);
    EXPECT_EQ(d.Text(30), c.expected);
    EXPECT_EQ(h.Has(30, EN_CHANGE), std::string(c.expected) != "");
    if (c.limit) {
      EXPECT_TRUE(h.Has(30, EN_MAXTEXT));
    }
  }
}

TEST_F(ControlsTest, EditSelectionCaretClipboardAndPassword) {
  Open({{kClassEdit, 30, "hello world", 10, 10, 100, 12, V | WS_BORDER, 0},
        {kClassEdit, 31, "", 10, 30, 100, 12, V | WS_BORDER | ES_PASSWORD, 0}});
  auto* e = Get<Edit>(30);
  d.Press(30);
  d.Key(VK_HOME);
  d.Key(VK_RIGHT, true);
  d.Key(VK_RIGHT, true);
  int s, en;
  e->GetSel(s, en);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(en, 2);
  d.Key('C', false, true);
  EXPECT_EQ(GetClipboardText(), "he");
  d.Key(VK_END);
  d.Key('V', false, true);
  EXPECT_EQ(d.Text(30), "hello worldhe");
  d.Key(VK_BACK);  // a key without a character does nothing on its own ...
  d.Type("\b");    // ... the character deletes
  EXPECT_EQ(d.Text(30), "hello worldh");
  e->SetSel(0, 5);
  d.Key('X', false, true);
  EXPECT_EQ(d.Text(30), " worldh");
  EXPECT_EQ(GetClipboardText(), "hello");
  // A password edit shows no text and hands none out.
  d.Press(31);
  d.Type("pw12");
  EXPECT_EQ(d.Text(31), "pw12");
  Get<Edit>(31)->SetSel(0, -1);
  d.Key('C', false, true);
  EXPECT_EQ(GetClipboardText(), "hello");
}

TEST_F(ControlsTest, ComboBoxDropsPicksAndNotifies) {
  Host& h = Open({{kClassComboBox, 40, "", 10, 10, 100, 80, V | CBS_DROPDOWNLIST, 0},
                  {kClassComboBox, 41, "", 10, 60, 100, 80, V | CBS_DROPDOWNLIST | CBS_SORT, 0}});
  auto* c = Get<ComboBox>(40);
  c->AddString("one");
  c->AddString("two");
  c->AddString("three");
  auto* sorted = Get<ComboBox>(41);
  for (const char* s : {"pear", "Apple", "fig"}) sorted->AddString(s);
  EXPECT_EQ(sorted->GetLBText(0), "Apple");
  EXPECT_EQ(sorted->GetLBText(2), "pear");
  d.Press(40);
  ASSERT_TRUE(c->GetDroppedState());
  EXPECT_TRUE(h.Has(40, CBN_DROPDOWN));
  ListBox* list = c->DroppedList();
  ASSERT_NE(list, nullptr);
  const Rect item = list->ClientToScreen(list->GetItemRect(2));
  d.ClickAt(item.Center());
  EXPECT_FALSE(c->GetDroppedState());
  EXPECT_EQ(c->GetCurSel(), 2);
  EXPECT_EQ(d.Text(40), "three");
  EXPECT_TRUE(h.Has(40, CBN_CLOSEUP));
  EXPECT_TRUE(h.Has(40, CBN_SELCHANGE));
  EXPECT_FALSE(h.Has(40, CBN_KILLFOCUS));  // the list took neither activation nor focus
  EXPECT_EQ(Window::GetFocus(), c);
  // A click outside the open list closes it without a change.
  h.notes.clear();
  d.Press(40);
  d.ClickAt(Point(700, 500));
  EXPECT_FALSE(c->GetDroppedState());
  EXPECT_EQ(c->GetCurSel(), 2);
  EXPECT_FALSE(h.Has(40, CBN_SELCHANGE));
  EXPECT_TRUE(h.Has(40, CBN_CLOSEUP));
  // Keys on the closed box step the selection.
  d.Key(VK_UP);
  EXPECT_EQ(c->GetCurSel(), 1);
  EXPECT_TRUE(h.Has(40, CBN_SELCHANGE));
}

TEST_F(ControlsTest, ListBoxSelectsAndNotifies) {
  Host& h = Open({{kClassListBox, 60, "", 10, 10, 100, 60, V | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 0}});
  auto* l = Get<ListBox>(60);
  for (int i = 0; i < 20; ++i) l->AddString("item " + std::to_string(i));
  const Rect r = l->ClientToScreen(l->GetItemRect(3));
  d.ClickAt(r.Center());
  EXPECT_EQ(l->GetCurSel(), 3);
  EXPECT_TRUE(h.Has(60, LBN_SELCHANGE));
  d.DoubleClickAt(r.Center());
  EXPECT_TRUE(h.Has(60, LBN_DBLCLK));
  d.Key(VK_END);
  EXPECT_EQ(l->GetCurSel(), 19);
  EXPECT_GT(l->GetTopIndex(), 0);  // scrolled to show it
  EXPECT_EQ(l->FindStringExact(-1, "ITEM 7"), 7);
}

TEST_F(ControlsTest, UpDownStepsItsBuddyAndParentsCanRefuse) {
  struct Refuser : Host {
    using Host::Host;
    bool refuse = false;
    LResult OnNotify(int id, NotifyHeader* hd) override {
      Host::OnNotify(id, hd);
      return refuse ? 1 : 0;
    }
  };
  DialogTemplate t;
  t.cx = 200;
  t.cy = 100;
  t.style = WS_POPUP | WS_VISIBLE;
  t.Add(kClassEdit, 70, "", 10, 10, 40, 12, V | WS_BORDER | ES_NUMBER);
  t.Add(kClassUpDown, 71, "", 50, 10, 8, 12, uint32_t{WS_VISIBLE} | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT);
  Refuser h(t);
  ASSERT_TRUE(h.CreateModeless());
  auto* u = dynamic_cast<UpDown*>(h.GetDlgItem(71));
  ASSERT_NE(u, nullptr);
  EXPECT_EQ(u->GetBuddy(), h.GetDlgItem(70));
  u->SetRange(0, 3);
  u->SetPos(2);
  EXPECT_EQ(h.GetDlgItemText(70), "2");
  const Rect ur = u->GetWindowRect();
  d.ClickAt(Point(ur.Center().x, ur.top + 2));
  EXPECT_EQ(h.GetDlgItemText(70), "3");
  d.ClickAt(Point(ur.Center().x, ur.top + 2));
  EXPECT_EQ(h.GetDlgItemText(70), "3");  // at the top of the range
  h.refuse = true;
  d.ClickAt(Point(ur.Center().x, ur.bottom - 2));
  EXPECT_EQ(h.GetDlgItemText(70), "3");
  EXPECT_FALSE(h.notifies.empty());
  EXPECT_EQ(h.notifies.back(), UDN_DELTAPOS);
}

TEST_F(ControlsTest, TabIpAddressAndDateTime) {
  Host& h = Open({{kClassTab, 80, "", 10, 10, 200, 60, V, 0},
                  {kClassIpAddress, 81, "", 10, 80, 80, 12, V, 0},
                  {kClassDateTime, 82, "", 10, 100, 60, 12, V, 0}});
  auto* tab = Get<TabControl>(80);
  tab->InsertItem(0, "Two", 22, -1);
  tab->InsertItem(0, "One", 11, 3);
  EXPECT_EQ(tab->GetItemData(1), 22u);
  EXPECT_EQ(tab->GetItemImage(0), 3);
  EXPECT_EQ(tab->GetItemText(1), "Two");
  EXPECT_EQ(tab->GetCurSel(), 1);  // the selection moved along with its item
  d.ClickAt(tab->ClientToScreen(tab->GetItemRect(0)).Center());
  EXPECT_EQ(tab->GetCurSel(), 0);
  ASSERT_GE(h.notifies.size(), 2u);
  EXPECT_EQ(h.notifies[h.notifies.size() - 2], TCN_SELCHANGING);
  EXPECT_EQ(h.notifies.back(), TCN_SELCHANGE);

  auto* ip = Get<IpAddress>(81);
  EXPECT_TRUE(ip->IsBlank());
  d.Press(81);
  d.Key(VK_HOME);
  d.Type("192.168.1.300");
  uint8_t a, b, c, e;
  EXPECT_EQ(ip->GetAddress(a, b, c, e), 4);
  EXPECT_EQ(a, 192);
  EXPECT_EQ(b, 168);
  EXPECT_EQ(c, 1);
  EXPECT_EQ(e, 255);  // a field never goes above 255
  EXPECT_EQ(d.Text(81), "192.168.1.255");
  ip->SetWindowText("10.0.0.1");
  EXPECT_EQ(d.Text(81), "10.0.0.1");

  auto* dt = Get<DateTimePicker>(82);
  dt->SetTime(sys::LocalTime{2024, 1, 31, 10, 0, 0, 0, 3});
  d.Press(82);
  h.notifies.clear();
  d.Key(VK_HOME);
  d.Key(VK_RIGHT);  // month
  d.Key(VK_UP);
  EXPECT_EQ(dt->GetTime().month, 2);
  EXPECT_EQ(dt->GetTime().day, 29);  // 31 February is 29 February in a leap year
  EXPECT_EQ(d.Text(82), "2024-02-29");
  EXPECT_EQ(h.notifies.back(), DTN_DATETIMECHANGE);
}

TEST_F(ControlsTest, ColourQueryAndOwnerDrawing) {
  Host& h = Open({{kClassStatic, 50, "label", 10, 10, 60, 10, WS_VISIBLE, 0},
                  {kClassButton, 51, "od", 10, 30, 40, 14, V | BS_OWNERDRAW, 0}});
  d.Settle();
  EXPECT_GT(h.ctlColorQueries, 0);
  EXPECT_GT(h.drawItems, 0);
  // The hollow brush lets the dialog's face show through the label; its text is red.
  const draw::Bitmap screen = d.Screen();
  const Rect lr = h.GetDlgItem(50)->GetWindowRect();
  bool red = false;
  for (int y = lr.top; y < lr.bottom; ++y) {
    for (int x = lr.left; x < lr.right; ++x) red |= draw::GetRValue(screen.GetPixel(x, y)) > 200 && draw::GetGValue(screen.GetPixel(x, y)) < 80;
  }
  EXPECT_TRUE(red);
  EXPECT_EQ(screen.GetPixel(lr.right - 1, lr.bottom - 1), SysColor(COLOR_BTNFACE));
  const Rect br = h.GetDlgItem(51)->GetWindowRect();
  EXPECT_EQ(screen.GetPixel(br.left + 2, br.top + 2), RGB(0, 255, 0));
  // Held down, the owner-drawn button is drawn selected.
  InputEvent e;
  e.kind = InputEvent::Kind::MouseDown;
  e.pt = br.Center();
  InjectInput(e);
  EXPECT_EQ(d.Screen().GetPixel(br.left + 2, br.top + 2), RGB(0, 0, 255));
  e.kind = InputEvent::Kind::MouseUp;
  InjectInput(e);
  d.Settle();
  EXPECT_TRUE(h.Has(51, BN_CLICKED));
}

TEST_F(ControlsTest, AMemberControlTakesOverATemplateControl) {
  struct Hovering : Button {
    int hovers = 0, leaves = 0, moves = 0;
    bool preSubclassed = false;
    void PreSubclassWindow() override {
      preSubclassed = true;
      ModifyStyle(WS_TABSTOP, BS_OWNERDRAW);
    }
    void OnMouseMove(unsigned f, Point p) override {
      ++moves;
      TrackMouseEvent(TME_HOVER | TME_LEAVE, 1);
      Button::OnMouseMove(f, p);
    }
    void OnMouseHover(unsigned, Point) override { ++hovers; }
    void OnMouseLeave() override { ++leaves; }
    void DrawItem(DrawItemInfo& info) override { info.dc->FillSolidRect(info.rcItem, RGB(1, 2, 3)); }
  };
  struct Screen : Host {
    using Host::Host;
    Hovering member;
    void DoDataExchange(DataExchange& dx) override { ExchangeControl(dx, 90, member); }
  };
  DialogTemplate t;
  t.cx = 200;
  t.cy = 100;
  t.style = WS_POPUP | WS_VISIBLE;
  t.Add(kClassButton, 90, "skin", 10, 10, 40, 14, V | BS_PUSHBUTTON);
  Screen s(t);
  ASSERT_TRUE(s.CreateModeless());
  EXPECT_EQ(s.GetDlgItem(90), &s.member);
  EXPECT_TRUE(s.member.preSubclassed);
  EXPECT_EQ(s.member.GetStyle() & BS_TYPEMASK, static_cast<uint32_t>(BS_OWNERDRAW));
  const Rect r = s.member.GetWindowRect();
  EXPECT_EQ(d.Screen().GetPixel(r.left + 1, r.top + 1), RGB(1, 2, 3));
  d.MoveTo(r.Center());
  d.Advance(1);
  EXPECT_EQ(s.member.hovers, 1);
  d.MoveTo(Point(r.right + 50, r.bottom + 50));
  EXPECT_EQ(s.member.leaves, 1);
  d.Press(90);
  EXPECT_TRUE(s.Has(90, BN_CLICKED));
}

TEST_F(ControlsTest, DoubleClicksFollowTheClassStyle) {
  struct Clicks : Window {
    int downs = 0, doubles = 0;
    void OnLButtonDown(unsigned, Point) override { ++downs; }
    void OnLButtonDblClk(unsigned, Point) override { ++doubles; }
  };
  RegisterWindowClass("WithDoubles", CS_DBLCLKS);
  RegisterWindowClass("WithoutDoubles", 0);
  Clicks a, b;
  ASSERT_TRUE(a.Create("WithDoubles", "", WS_POPUP | WS_VISIBLE, Rect(0, 0, 100, 100), nullptr));
  ASSERT_TRUE(b.Create("WithoutDoubles", "", WS_POPUP | WS_VISIBLE, Rect(200, 0, 300, 100), nullptr));
  d.DoubleClickAt(Point(50, 50));
  d.DoubleClickAt(Point(250, 50));
  EXPECT_EQ(a.downs, 1);
  EXPECT_EQ(a.doubles, 1);
  EXPECT_EQ(b.downs, 2);
  EXPECT_EQ(b.doubles, 0);
  EXPECT_TRUE(IsCursorShown());
  ShowCursor(false);
  EXPECT_FALSE(IsCursorShown());
  ShowCursor(true);
}

TEST_F(ControlsTest, AWindowsOwnScrollBarsScrollItAndGoWhenNotNeeded) {
  struct Grid : Window {
    std::vector<int> codes;
    int sizes = 0;
    void OnVScroll(int code, int pos, Window* bar) override {
      EXPECT_EQ(bar, nullptr);
      codes.push_back(code);
      if (code == SB_LINEDOWN) SetScrollPos(SB_VERT, GetScrollPos(SB_VERT) + 1);
      if (code == SB_PAGEDOWN) SetScrollPos(SB_VERT, GetScrollPos(SB_VERT) + 10);
      if (code == SB_THUMBPOSITION) SetScrollPos(SB_VERT, pos);
    }
    void OnSize(int, int, int) override { ++sizes; }
    void OnPaint(draw::DC& dc) override { dc.FillSolidRect(GetClientRect(), RGB(255, 255, 255)); }
  };
  RegisterWindowClass("TestGrid", 0);
  Grid g;
  ASSERT_TRUE(g.Create("TestGrid", "", WS_POPUP | WS_VISIBLE | WS_VSCROLL, Rect(100, 100, 300, 300), nullptr));
  ScrollInfo si;
  si.mask = SIF_RANGE | SIF_PAGE;
  si.min = 0;
  si.max = 99;
  si.page = 10;
  g.SetScrollInfo(SB_VERT, si);
  EXPECT_EQ(g.GetClientRect(), Rect(0, 0, 200 - kScrollBarSize, 200));
  const draw::Bitmap s = d.Screen();
  EXPECT_EQ(s.GetPixel(150, 150), RGB(255, 255, 255));
  EXPECT_NE(s.GetPixel(300 - kScrollBarSize / 2, 150), RGB(255, 255, 255));  // the bar is drawn
  d.ClickAt(Point(300 - kScrollBarSize / 2, 300 - 4));                       // lower arrow
  EXPECT_EQ(g.GetScrollPos(SB_VERT), 1);
  d.ClickAt(Point(300 - kScrollBarSize / 2, 250));  // below the thumb
  EXPECT_EQ(g.GetScrollPos(SB_VERT), 11);
  // Dragging the thumb to the end reaches the last page.
  InputEvent e;
  e.kind = InputEvent::Kind::MouseDown;
  int mn = 0, mx = 0;
  g.GetScrollRange(SB_VERT, &mn, &mx);
  EXPECT_EQ(mx, 99);
  const Rect cr = g.ClientToScreen(g.GetClientRect());
  ScrollGeometry geo;
  geo.bar = Rect(cr.right, cr.top, cr.right + kScrollBarSize, cr.bottom);
  geo.min = 0;
  geo.max = 99;
  geo.page = 10;
  geo.pos = 11;
  e.pt = ScrollThumbRect(geo).Center();
  InjectInput(e);
  e.kind = InputEvent::Kind::MouseMove;
  e.pt.y = 400;
  InjectInput(e);
  e.kind = InputEvent::Kind::MouseUp;
  InjectInput(e);
  d.Settle();
  EXPECT_EQ(g.GetScrollPos(SB_VERT), 90);
  EXPECT_NE(std::find(g.codes.begin(), g.codes.end(), SB_THUMBTRACK), g.codes.end());
  EXPECT_EQ(g.codes.back(), SB_ENDSCROLL);
  // Nothing left to scroll: the bar goes and the client area grows.
  const int sizes = g.sizes;
  si.max = 5;
  g.SetScrollInfo(SB_VERT, si);
  EXPECT_FALSE(g.HasScrollBar(SB_VERT));
  EXPECT_EQ(g.GetClientRect(), Rect(0, 0, 200, 200));
  EXPECT_GT(g.sizes, sizes);
}

TEST_F(ControlsTest, AControlSeesItsOwnNotificationsFirst) {
  struct SkinnedCombo : ComboBox {
    std::vector<int> own;
    bool ReflectNotification(int code) override {
      own.push_back(code);
      return code == CBN_CLOSEUP;  // kept from the parent
    }
  };
  struct Screen : Host {
    using Host::Host;
    SkinnedCombo combo;
    void DoDataExchange(DataExchange& dx) override { ExchangeControl(dx, 40, combo); }
  };
  DialogTemplate t;
  t.cx = 200;
  t.cy = 100;
  t.style = WS_POPUP | WS_VISIBLE;
  t.Add(kClassComboBox, 40, "", 10, 10, 100, 80, uint32_t{WS_VISIBLE} | CBS_DROPDOWNLIST);
  Screen s(t);
  ASSERT_TRUE(s.CreateModeless());
  s.combo.AddString("a");
  d.Press(40);
  d.Key(VK_ESCAPE);
  EXPECT_FALSE(s.combo.GetDroppedState());
  EXPECT_NE(std::find(s.combo.own.begin(), s.combo.own.end(), CBN_CLOSEUP), s.combo.own.end());
  EXPECT_TRUE(s.Has(40, CBN_DROPDOWN));
  EXPECT_FALSE(s.Has(40, CBN_CLOSEUP));
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
}

TEST_F(ControlsTest, ThePointerShapeFollowsTheWindowUnderIt) {
  struct Sizer : Window {
    LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
      if (msg == WM_SETCURSOR) {
        SetCursor(CursorShape::SizeWE);
        return 1;
      }
      return Window::WindowProc(msg, w, l);
    }
  } sizer;
  Open({{kClassEdit, 30, "", 10, 10, 100, 12, V | WS_BORDER, 0}});
  ASSERT_TRUE(sizer.Create("Test", "", WS_POPUP | WS_VISIBLE, Rect(600, 500, 700, 580), nullptr));
  d.MoveTo(host_->GetDlgItem(30)->GetWindowRect().Center());
  EXPECT_EQ(GetCursorShape(), CursorShape::IBeam);
  d.MoveTo(Point(650, 540));
  EXPECT_EQ(GetCursorShape(), CursorShape::SizeWE);
  d.MoveTo(host_->GetWindowRect().TopLeft());
  EXPECT_EQ(GetCursorShape(), CursorShape::Arrow);
}

TEST_F(ControlsTest, AWorkerThatChangesControlsHasItDoneOnTheUiThread) {
  Open({{kClassProgress, 90, "", 10, 10, 100, 10, WS_VISIBLE, 0},
        {kClassListBox, 91, "", 10, 30, 100, 60, WS_VISIBLE | WS_BORDER, 0}});
  auto* bar = Get<ProgressBar>(90);
  auto* list = Get<ListBox>(91);
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i <= 100; i += 10) bar->SetPos(i);
    for (int i = 0; i < 50; ++i) list->AddString("line " + std::to_string(i));
    host_->SetDlgItemText(91, "");
    done = true;
  });
  EXPECT_TRUE(d.RunUntil([&] { return done.load(); }));
  worker.join();
  EXPECT_EQ(bar->GetPos(), 100);
  EXPECT_EQ(list->GetCount(), 50);
  EXPECT_EQ(list->GetText(49), "line 49");
}
