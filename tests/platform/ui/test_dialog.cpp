// Dialog templates, keyboard handling, data exchange and the message box.
#include <gtest/gtest.h>

#include "platform/ui/app.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/dialog.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "platform/ui/test_driver.h"
#include "platform/ui/window_class.h"

using namespace ui;

namespace {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestDriver::Start()); }
  void TearDown() override { TestDriver::Stop(); }
  TestDriver d;
};

struct ChartPlaceholder : Window {
  static int made;
  ChartPlaceholder() { ++made; }
};
int ChartPlaceholder::made = 0;

}  // namespace

TEST_F(DialogTest, TemplatesAreLaidOutInDialogUnitsAndNameCustomClasses) {
  RegisterWindowClass("ChartHolder", 0, [] { return new ChartPlaceholder; });
  DialogTemplate t;
  t.cx = 320;
  t.cy = 240;
  t.style = uint32_t{WS_POPUP} | WS_VISIBLE | DS_CENTER;
  t.Add(kClassButton, 1019, "TEST", 34, 47, 54, 32, uint32_t{WS_VISIBLE} | BS_PUSHBUTTON);
  t.Add("ChartHolder", 1054, "", 10, 100, 100, 50, WS_VISIBLE);
  Resources::AddDialog(104, t);
  Dialog dlg(104);
  ASSERT_TRUE(dlg.CreateModeless());
  EXPECT_EQ(dlg.GetClientRect(), Rect(0, 0, 640, 480));
  EXPECT_EQ(dlg.GetWindowRect(), Rect(80, 60, 720, 540));  // centred on the 800 x 600 screen
  EXPECT_EQ(dlg.GetDlgItem(1019)->GetRectInParent(), Rect(68, 94, 176, 158));
  EXPECT_EQ(ChartPlaceholder::made, 1);
  EXPECT_NE(dynamic_cast<ChartPlaceholder*>(dlg.GetDlgItem(1054)), nullptr);
  EXPECT_EQ(dlg.GetDlgItem(1054)->ClassName(), "ChartHolder");
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonEscapeCancelsUnlessSwallowed) {
  struct Case {
    const char* name;
    bool swallow;
    unsigned key;
    int expected;  // 0: still open
  };
  const Case cases[] = {
      {"enter", false, VK_RETURN, 10},
      {"escape", false, VK_ESCAPE, IDCANCEL},
      {"enter swallowed", true, VK_RETURN, 0},
      {"escape swallowed", true, VK_ESCAPE, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    struct Menu : Dialog {
      bool swallow = false;
      explicit Menu(const DialogTemplate& t) : Dialog(t) {}
      bool PreTranslateMessage(Message& m) override {
        if (swallow && m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN)) return true;
        return Dialog::PreTranslateMessage(m);
      }
      bool OnCommand(int id, int code, Window*) override {
        if (id == 10 && code == BN_CLICKED) {
          EndDialog(10);
          return true;
        }
        return false;
      }
    };
    DialogTemplate t;
    t.cx = 100;
    t.cy = 60;
    t.style = WS_POPUP;
    t.Add(kClassEdit, 5, "", 5, 5, 50, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER);
    t.Add(kClassButton, 10, "Go", 5, 30, 40, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    Menu m(t);
    m.swallow = c.swallow;
    int result = -2;
    d.RunScript([&] { result = m.DoModal(); },
                [&](TestDriver& s) {
                  s.Key(c.key);
                  if (c.expected == 0) {
                    EXPECT_TRUE(RunOnUiThread([] {}));
                    bool open = false;
                    RunOnUiThread([&] { open = m.IsWindow(); });
                    EXPECT_TRUE(open);
                    RunOnUiThread([&] { m.EndDialog(0); });
                  }
                });
    EXPECT_EQ(result, c.expected);
  }
}

TEST_F(DialogTest, TabMovesThroughTheTabStopsInOrder) {
  DialogTemplate t;
  t.cx = 100;
  t.cy = 80;
  t.style = WS_POPUP | WS_VISIBLE;
  t.Add(kClassEdit, 1, "", 5, 5, 50, 12, WS_VISIBLE | WS_TABSTOP);
  t.Add(kClassStatic, 2, "label", 5, 20, 50, 10, WS_VISIBLE);
  t.Add(kClassEdit, 3, "", 5, 32, 50, 12, WS_VISIBLE | WS_TABSTOP);
  t.Add(kClassButton, 4, "x", 5, 50, 50, 12, WS_VISIBLE | WS_TABSTOP | WS_DISABLED);
  t.Add(kClassButton, 5, "y", 5, 64, 50, 12, WS_VISIBLE | WS_TABSTOP);
  Dialog dlg(t);
  ASSERT_TRUE(dlg.CreateModeless());
  d.Settle();
  EXPECT_EQ(Window::GetFocus(), dlg.GetDlgItem(1));
  const int order[] = {3, 5, 1};
  for (int id : order) {
    d.Key(VK_TAB);
    EXPECT_EQ(Window::GetFocus(), dlg.GetDlgItem(id));
  }
  d.Key(VK_TAB, true);
  EXPECT_EQ(Window::GetFocus(), dlg.GetDlgItem(5));
}

TEST_F(DialogTest, DataExchangeMovesValuesAndPromptsOnBadInput) {
  struct Form : Dialog {
    float factor = 1.25f;
    double mean = 4.50;
    int count = 7;
    uint8_t clean = 12;
    std::string name = "Doe";
    explicit Form(const DialogTemplate& t) : Dialog(t) {}
    void DoDataExchange(DataExchange& dx) override {
      ExchangeText(dx, 1, factor);
      ValidateRange(dx, factor, 0.0f, 100.0f);
      ExchangeText(dx, 2, mean);
      ExchangeText(dx, 3, count);
      ExchangeText(dx, 4, clean);
      ExchangeText(dx, 5, name);
      ValidateMaxChars(dx, name, 5);
    }
  };
  DialogTemplate t;
  t.cx = 120;
  t.cy = 100;
  t.style = WS_POPUP | WS_VISIBLE;
  for (int i = 1; i <= 5; ++i) t.Add(kClassEdit, i, "", 5, 5 + 14 * (i - 1), 60, 12, WS_VISIBLE | WS_TABSTOP);
  Form f(t);
  ASSERT_TRUE(f.CreateModeless());
  EXPECT_EQ(f.GetDlgItemText(1), "1.25");
  EXPECT_EQ(f.GetDlgItemText(2), "4.5");
  EXPECT_EQ(f.GetDlgItemText(3), "7");

  struct Case {
    const char* name;
    int id;
    const char* text;
    const char* prompt;  // "" = accepted
  };
  const Case cases[] = {
      {"float out of range", 1, "150", "Please enter a number between 0 and 100."},
      {"not a number", 2, "4,5", "Please enter a number."},
      {"not an integer", 3, "7.5", "Please enter an integer."},
      {"byte too large", 4, "256", "Please enter an integer between 0 and 255."},
      {"too long", 5, "Doe Jr.", "Please enter no more than 5 characters."},
      {"all good", 1, "99.5", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // A failed check leaves the typed value in its member (as the exchange assigns before
    // it checks); start each case from good values.
    f.factor = 1.25f;
    f.name = "Doe";
    f.UpdateData(false);
    f.SetDlgItemText(c.id, c.text);
    std::string prompt;
    bool saved = true;
    d.RunScript([&] { saved = f.UpdateData(true); },
                [&](TestDriver& s) {
                  if (*c.prompt) {
                    EXPECT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                    prompt = s.MessageBoxText();
                    s.AnswerMessageBox(IDOK);
                  }
                });
    EXPECT_EQ(prompt, c.prompt);
    EXPECT_EQ(saved, *c.prompt == 0);
    if (*c.prompt) {
      EXPECT_EQ(Window::GetFocus(), f.GetDlgItem(c.id));  // the faulty field gets the focus
    }
  }
  EXPECT_FLOAT_EQ(f.factor, 99.5f);
}

TEST_F(DialogTest, AnInstalledMessageBoxReplacesTheFrameworksBox) {
  std::string seen;
  SetMessageBoxHandler([&](Window*, const std::string& text, const std::string&, unsigned type) {
    seen = text;
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  });
  EXPECT_EQ(MessageBox(nullptr, "Are you sure to shutdown?", "", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seen, "Are you sure to shutdown?");
  SetMessageBoxHandler({});
  int answer = 0;
  d.RunScript([&] { answer = MessageBox(nullptr, "Yes or no?", "Q", MB_YESNO); },
              [&](TestDriver& s) {
                EXPECT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                EXPECT_EQ(s.MessageBoxText(), "Yes or no?");
                s.AnswerMessageBox(IDYES);
              });
  EXPECT_EQ(answer, IDYES);
}

TEST_F(DialogTest, AControlCanKeepTabEnterAndArrowsForItself) {
  struct GridLike : Window {
    std::vector<unsigned> keys;
    LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
      if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
      if (msg == WM_KEYDOWN) keys.push_back(static_cast<unsigned>(w));
      return Window::WindowProc(msg, w, l);
    }
  };
  RegisterWindowClass("GridLike", 0, [] { return new GridLike; });
  DialogTemplate t;
  t.cx = 100;
  t.cy = 80;
  t.style = WS_POPUP | WS_VISIBLE;
  t.Add("GridLike", 1, "", 5, 5, 50, 30, WS_VISIBLE | WS_TABSTOP);
  t.Add(kClassEdit, 2, "", 5, 40, 50, 12, WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN);
  Dialog dlg(t);
  ASSERT_TRUE(dlg.CreateModeless());
  auto* grid = dynamic_cast<GridLike*>(dlg.GetDlgItem(1));
  ASSERT_NE(grid, nullptr);
  grid->SetFocus();
  d.Key(VK_TAB);
  d.Key(VK_DOWN);
  EXPECT_EQ(grid->keys, (std::vector<unsigned>{VK_TAB, VK_DOWN}));
  EXPECT_EQ(Window::GetFocus(), grid);
  // A multi-line edit that wants Enter gets its line break.
  dlg.GetDlgItem(2)->SetFocus();
  d.Type("a");
  d.Key(VK_RETURN);
  d.Type("\rb");
  EXPECT_EQ(dlg.GetDlgItemText(2), "a\nb");
}

TEST_F(DialogTest, AScriptThatLeavesItsScreenOpenFailsInsteadOfHanging) {
  DialogTemplate t;
  t.cx = 100;
  t.cy = 60;
  t.style = WS_POPUP;
  Dialog dlg(t);
  int result = 0;
  EXPECT_FALSE(d.RunScript([&] { result = dlg.DoModal(); }, [](TestDriver&) {}, 300));
  EXPECT_EQ(result, kModalQuit);
  EXPECT_FALSE(IsQuitPending());
}

TEST_F(DialogTest, CloseRequestsReachTheActiveWindowAsSystemCommands) {
  struct Screen : Dialog {
    std::vector<LParam> closes;
    explicit Screen(const DialogTemplate& t) : Dialog(t) {}
    void OnSysCommand(uint32_t cmd, LParam l) override {
      if ((cmd & 0xFFF0) == SC_CLOSE) closes.push_back(l);
      if ((cmd & 0xFFF0) == SC_CLOSE && l == 0) return;  // the keyboard's close is ignored
      Dialog::OnSysCommand(cmd, l);
    }
  };
  DialogTemplate t;
  t.cx = 100;
  t.cy = 60;
  t.style = WS_POPUP;
  Screen s(t);
  int result = 0;
  d.RunScript([&] { result = s.DoModal(); },
              [&](TestDriver& sd) {
                sd.Key(VK_F4, false, false, true);
                bool open = false;
                RunOnUiThread([&] { open = s.IsWindow(); });
                EXPECT_TRUE(open);
                InputEvent q;
                q.kind = InputEvent::Kind::Quit;
                InjectInput(q);
                sd.Settle();
              });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_EQ(s.closes.size(), 2u);
  EXPECT_EQ(s.closes[0], 0);
  EXPECT_NE(s.closes[1], 0);
}

TEST_F(DialogTest, ChecksRadioGroupsAndListsExchangeTheirChoices) {
  struct Form : Dialog {
    int check = 1, radio = 2, combo = 1, list = 0;
    std::string comboText = "peripheral";
    explicit Form(const DialogTemplate& t) : Dialog(t) {}
    bool OnInitDialog() override {
      for (const char* s : {"whole", "peripheral", "prediluted"}) {
        SendDlgItemMessage(15, CB_ADDSTRING, 0, reinterpret_cast<LParam>(s));
        SendDlgItemMessage(16, LB_ADDSTRING, 0, reinterpret_cast<LParam>(s));
      }
      return Dialog::OnInitDialog();
    }
    void DoDataExchange(DataExchange& dx) override {
      ExchangeCheck(dx, 11, check);
      ExchangeRadio(dx, 12, radio);
      ExchangeComboIndex(dx, 15, combo);
      ExchangeComboText(dx, 15, comboText);
      ExchangeListIndex(dx, 16, list);
    }
  };
  DialogTemplate t;
  t.cx = 150;
  t.cy = 120;
  t.style = WS_POPUP | WS_VISIBLE;
  t.Add(kClassButton, 11, "check", 5, 5, 60, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
  t.Add(kClassButton, 12, "a", 5, 18, 60, 10, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON);
  t.Add(kClassButton, 13, "b", 5, 30, 60, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add(kClassButton, 14, "c", 5, 42, 60, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add(kClassComboBox, 15, "", 70, 5, 70, 60, WS_VISIBLE | WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST);
  t.Add(kClassListBox, 16, "", 70, 30, 70, 40, WS_VISIBLE | WS_TABSTOP | WS_BORDER | LBS_NOTIFY);
  Form f(t);
  ASSERT_TRUE(f.CreateModeless());
  EXPECT_EQ(f.IsDlgButtonChecked(11), BST_CHECKED);
  EXPECT_EQ(f.GetCheckedRadioButton(12, 14), 14);
  EXPECT_EQ(f.GetDlgItemText(15), "peripheral");
  d.Press(11);
  d.Press(13);
  f.SendDlgItemMessage(15, CB_SETCURSEL, 2);
  f.SendDlgItemMessage(16, LB_SETCURSEL, 1);
  ASSERT_TRUE(f.UpdateData(true));
  EXPECT_EQ(f.check, 0);
  EXPECT_EQ(f.radio, 1);
  EXPECT_EQ(f.combo, 2);
  EXPECT_EQ(f.comboText, "prediluted");
  EXPECT_EQ(f.list, 1);
}

TEST_F(DialogTest, AControlWithTheOkIdEndsTheDialogLikeItsOkButton) {
  DialogTemplate t;
  t.cx = 100;
  t.cy = 60;
  t.style = WS_POPUP;
  t.Add(kClassButton, IDOK, "check", 5, 5, 60, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX);
  Dialog dlg(t);
  int result = 0;
  EXPECT_TRUE(d.RunScript([&] { result = dlg.DoModal(); }, [](TestDriver& s) { s.Press(IDOK); }));
  EXPECT_EQ(result, IDOK);
}
