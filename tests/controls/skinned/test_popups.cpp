// The busy pop-up (growing dots, keys that cannot close it) and the key pad (typed result).
#include "controls/soft_keybd.h"
#include "controls/testing_popup.h"
#include "fixture.h"
#include "platform/ui/keys.h"

TEST_F(SkinnedTest, BusyPopupDotsGrowToSixThenStartAgainAcrossPopups) {
  ResetTestingDotCounter();
  CTesting popup;
  ASSERT_TRUE(popup.Create(nullptr));
  d.Settle();
  EXPECT_EQ(d.Text(IDC_TESTING_LABEL), "Testing");
  const char* expected[] = {"Testing.", "Testing..", "Testing...", "Testing....", "Testing.....", "Testing......",
                            "Testing."};
  for (const char* e : expected) {
    d.Advance(500);
    EXPECT_EQ(d.Text(IDC_TESTING_LABEL), e);
  }
  d.Screen().SavePng(PngPath("busy_popup"));
  popup.DestroyWindow();
  // A new pop-up goes on where the last one stopped.
  AppSettings.LanguageIndex = 3;
  CTesting next;
  ASSERT_TRUE(next.Create(nullptr));
  d.Advance(500);
  EXPECT_EQ(d.Text(IDC_TESTING_LABEL), "Test en cours..");
}

TEST_F(SkinnedTest, BusyPopupIgnoresEscapeReturnSpaceAndAltF4) {
  CTesting popup;
  ASSERT_TRUE(popup.Create(nullptr));
  d.Settle();
  struct Case {
    unsigned key;
    bool alt;
  };
  for (const Case& c : {Case{ui::VK_ESCAPE, false}, Case{ui::VK_RETURN, false}, Case{ui::VK_SPACE, false},
                        Case{ui::VK_F4, true}}) {
    SCOPED_TRACE(c.key);
    popup.SetFocus();
    d.Key(c.key, false, false, c.alt);
    d.Settle();
    EXPECT_TRUE(popup.IsWindow());
    EXPECT_TRUE(popup.IsWindowVisible());
  }
}

TEST_F(SkinnedTest, KeyPadTypesItsKeysAndReturnsTheTextOnOk) {
  struct Case {
    const char* keys;
    int close;
    int result;
    const char* text;
  };
  const Case cases[] = {
      {"1A1", ui::IDOK, ui::IDOK, "1A1"},
      {"", ui::IDOK, ui::IDOK, ""},
      {"Z9", ui::IDCANCEL, ui::IDCANCEL, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    CSoftKeybd pad;
    int result = -5;
    d.RunScript([&] { result = pad.DoModal(); },
                [&](ui::TestDriver& s) {
                  std::string typed;
                  for (const char* k = c.keys; *k; ++k) {
                    s.Press(SoftKeybdKeyId(*k));
                    typed += *k;
                    EXPECT_EQ(s.Text(IDC_SOFT_KEYBD_TEXT), typed);
                  }
                  // A hardware key changes nothing: the field is read-only.
                  s.Type("Q");
                  EXPECT_EQ(s.Text(IDC_SOFT_KEYBD_TEXT), typed);
                  s.Press(c.close);
                });
    EXPECT_EQ(result, c.result);
    if (c.text) {
      EXPECT_EQ(pad.typedText, c.text);
    }
  }
}

TEST_F(SkinnedTest, KeyPadButtonTextsFollowTheLanguage) {
  const char* ok[] = {"确定", "OK", "Aceptar", "OK", "OK"};
  const char* cancel[] = {"取消", "Cancel", "Cancelar", "Annuler", "Відміна"};
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    CSoftKeybd pad;
    ASSERT_TRUE(pad.CreateModeless());
    EXPECT_EQ(pad.GetDlgItemText(ui::IDOK), ok[lang]);
    EXPECT_EQ(pad.GetDlgItemText(ui::IDCANCEL), cancel[lang]);
    EXPECT_FALSE(pad.GetDlgItem(SoftKeybdKeyId('B'))->GetStyle() & ui::WS_TABSTOP);
    EXPECT_TRUE(pad.GetDlgItem(SoftKeybdKeyId('C'))->GetStyle() & ui::WS_TABSTOP);
    if (lang == 1) d.Screen().SavePng(PngPath("key_pad"));
    pad.DestroyWindow();
  }
}

TEST_F(SkinnedTest, KeyPadTitleBarIsInTheProgramsFrameColour) {
  // The band above the key pad's client area and its rim: the message box's frame colour
  // (0, 76, 120), not the system's caption blue.
  CSoftKeybd pad;
  ASSERT_TRUE(pad.CreateModeless());
  d.Settle();
  const ui::Rect w = pad.GetWindowRect();
  const ui::Rect in = pad.NonClientInsets();
  ASSERT_GT(in.top, 0) << "the key pad has no title bar";
  const draw::Bitmap shot = d.Screen();
  const draw::Color frame = draw::RGB(0, 76, 120);
  const struct {
    const char* where;
    int x, y;
  } points[] = {{"title bar, left", w.left + in.left + 4, w.top + in.top / 2},
                {"title bar, middle", (w.left + w.right) / 2, w.top + in.top / 2},
                {"title bar, right", w.right - in.right - 4, w.top + in.top / 2},
                {"bottom rim", (w.left + w.right) / 2, w.bottom - 1}};
  for (const auto& p : points) EXPECT_EQ(shot.GetPixel(p.x, p.y), frame) << p.where;
  pad.DestroyWindow();
}

TEST_F(SkinnedTest, PopupsTakeTheirLanguageFromTheLookTheyAreHanded) {
  // The settings say English; the look handed to the widgets says Spanish and French in turn.
  AppSettings.LanguageIndex = 1;
  struct Case {
    int language;
    const char* testing;
    const char* ok;
    const char* cancel;
  } cases[] = {{2, "Pruebas", "Aceptar", "Cancelar"}, {3, "Test en cours", "OK", "Annuler"}};
  for (const Case& c : cases) {
    SetLookProvider([&] {
      Look l;
      l.language = c.language;
      return l;
    });
    CTesting popup;
    ASSERT_TRUE(popup.Create(nullptr));
    d.Settle();
    EXPECT_EQ(d.Text(IDC_TESTING_LABEL), c.testing);
    popup.DestroyWindow();
    CSoftKeybd pad;
    d.RunScript([&] { pad.DoModal(); },
                [&](ui::TestDriver& s) {
                  EXPECT_EQ(s.Text(ui::IDOK), c.ok);
                  EXPECT_EQ(s.Text(ui::IDCANCEL), c.cancel);
                  s.Press(ui::IDCANCEL);
                });
  }
  SetLookProvider(nullptr);
  EXPECT_EQ(CurrentLook().language, 1);
}
