// The program's message box: buttons and answers per type and language, keys, the close
// button, the layout, its looks, and its installation as the framework's box.
#include "controls/message_box_dlg.h"
#include "fixture.h"
#include "platform/ui/app.h"
#include "platform/ui/keys.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

struct Answer {
  unsigned type;
  int language;
  const char* texts[3];  // nullptr: hidden
  int answers[3];        // by pressing button 1, 2, 5 (0: does nothing)
};

const Answer kCases[] = {
    {0, 0, {"确定", nullptr, nullptr}, {ui::IDOK, 0, 0}},
    {0, 1, {"OK", nullptr, nullptr}, {ui::IDOK, 0, 0}},
    {0, 2, {"Aceptar", nullptr, nullptr}, {ui::IDOK, 0, 0}},
    {0, 3, {"OK", nullptr, nullptr}, {ui::IDOK, 0, 0}},
    {1, 0, {"确定", "取消", nullptr}, {ui::IDOK, ui::IDCANCEL, 0}},
    {1, 2, {"Aceptar", "Cancelar", nullptr}, {ui::IDOK, ui::IDCANCEL, 0}},
    {1, 3, {"OK", "Annuler", nullptr}, {ui::IDOK, ui::IDCANCEL, 0}},
    {1, 4, {"OK", "Відміна", nullptr}, {ui::IDOK, ui::IDCANCEL, 0}},
    {2, 0, {"中止", "重试", "忽略"}, {ui::IDABORT, ui::IDRETRY, ui::IDIGNORE}},
    {2, 3, {"Abort", "Retry", "Ignore"}, {ui::IDABORT, ui::IDRETRY, ui::IDIGNORE}},
    {3, 1, {"Yes", "No", "Cancel"}, {ui::IDYES, ui::IDNO, ui::IDCANCEL}},
    {3, 0, {"是", "否", "取消"}, {ui::IDYES, ui::IDNO, ui::IDCANCEL}},
    {4, 4, {"Yes", "No", nullptr}, {ui::IDYES, ui::IDNO, 0}},
    {5, 2, {"Retry", "Cancel", nullptr}, {ui::IDRETRY, ui::IDCANCEL, 0}},
    {6, 1, {"Cancel", "Try Again", "Continue"}, {ui::IDCANCEL, IDTRYAGAIN, IDCONTINUE}},
    {0x4000, 0, {"帮助", nullptr, nullptr}, {IDHELP, 0, 0}},
    {0x4000, 3, {"Help", nullptr, nullptr}, {IDHELP, 0, 0}},
    // Icon and default-button bits change nothing.
    {0x4 | 0x20 | 0x100, 1, {"Yes", "No", nullptr}, {ui::IDYES, ui::IDNO, 0}},
    // Types without answers of their own still get an answering button.
    {7, 1, {"OK", nullptr, nullptr}, {ui::IDOK, 0, 0}},
    {0x4001, 1, {"OK", "Cancel", nullptr}, {ui::IDOK, ui::IDCANCEL, 0}},
};

const int kIds[3] = {IDC_MESSAGE_BOX_BUTTON1, IDC_MESSAGE_BOX_BUTTON2, IDC_MESSAGE_BOX_BUTTON3};

}  // namespace

TEST_F(SkinnedTest, MessageBoxButtonsAndAnswersPerTypeAndLanguage) {
  for (const Answer& c : kCases) {
    for (int slot = 0; slot < 3; ++slot) {
      if (!c.texts[slot]) continue;
      SCOPED_TRACE(::testing::Message() << "type " << c.type << " language " << c.language << " button " << slot);
      AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
      int result = -5;
      bool ok = d.RunScript([&] { result = ShowProgramMessageBox("Question?", c.type); },
                            [&](ui::TestDriver& s) {
                              for (int i = 0; i < 3; ++i) {
                                EXPECT_EQ(s.Visible(kIds[i]), c.texts[i] != nullptr) << i;
                                if (c.texts[i]) {
                                  EXPECT_EQ(s.Text(kIds[i]), c.texts[i]) << i;
                                }
                              }
                              EXPECT_EQ(s.Text(IDC_MESSAGE_BOX_CLOSE), "");
                              s.Press(kIds[slot]);
                              if (c.answers[slot] == 0) {
                                EXPECT_NE(s.MessageBox(), nullptr);
                                s.Press(IDC_MESSAGE_BOX_CLOSE);
                              }
                            });
      EXPECT_TRUE(ok);
      EXPECT_EQ(result, c.answers[slot] ? c.answers[slot] : ui::IDCANCEL);
    }
  }
}

TEST_F(SkinnedTest, MessageBoxKeysReturnEscapeSpaceAndClose) {
  struct Case {
    const char* name;
    unsigned type;
    unsigned key;  // 0: press the close button
    int expected;  // 0: the key does nothing
  };
  const Case cases[] = {
      {"return answers button 1", 4, ui::VK_RETURN, ui::IDYES},
      {"escape answers button 2", 4, ui::VK_ESCAPE, ui::IDNO},
      {"escape in an OK box does nothing", 0, ui::VK_ESCAPE, 0},
      {"space never answers", 1, ui::VK_SPACE, 0},
      {"close answers cancel in an OK box", 0, 0, ui::IDCANCEL},
      {"close answers cancel in a yes/no box", 4, 0, ui::IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int result = -5;
    d.RunScript([&] { result = ShowProgramMessageBox("Key?", c.type); },
                [&](ui::TestDriver& s) {
                  if (c.key == 0) {
                    s.Press(IDC_MESSAGE_BOX_CLOSE);
                    return;
                  }
                  s.Key(c.key);
                  if (c.expected == 0) {
                    EXPECT_NE(s.MessageBox(), nullptr);
                    s.Press(IDC_MESSAGE_BOX_CLOSE);
                  }
                });
    EXPECT_EQ(result, c.expected ? c.expected : ui::IDCANCEL);
  }
}

// Escape cancels wherever the box has a Cancel answer, whatever button Cancel is on; a box
// without Cancel answers with its second button, and a one-button box ignores the key.
TEST_F(SkinnedTest, MessageBoxEscapeCancelsWhereverTheBoxHasCancel) {
  const struct {
    unsigned type;
    int expected;  // 0: Escape does nothing
  } cases[] = {
      {0, 0},                       // OK
      {1, ui::IDCANCEL},            // OK, Cancel
      {2, ui::IDRETRY},             // Abort, Retry, Ignore: no Cancel
      {3, ui::IDCANCEL},            // Yes, No, Cancel: not No
      {4, ui::IDNO},                // Yes, No: no Cancel
      {5, ui::IDCANCEL},            // Retry, Cancel
      {6, ui::IDCANCEL},            // Cancel, Try Again, Continue: not Try Again
      {7, 0},                       // no set: an OK box
      {0x4000, 0},                  // Help
      {0x3 | 0x40 | 0x100, ui::IDCANCEL},  // icon and default-button bits change nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type);
    int result = -5;
    EXPECT_TRUE(d.RunScript([&] { result = ShowProgramMessageBox("Escape?", c.type); },
                            [&](ui::TestDriver& s) {
                              s.Key(ui::VK_ESCAPE);
                              if (c.expected == 0) {
                                EXPECT_NE(s.MessageBox(), nullptr);
                                s.Press(IDC_MESSAGE_BOX_CLOSE);
                              }
                            }));
    EXPECT_EQ(result, c.expected ? c.expected : ui::IDCANCEL);
  }
}

TEST_F(SkinnedTest, MessageBoxPlacesOneTwoAndThreeButtons) {
  // Template places (scale 1): button 2 at x 170, button 5 at x 278, y 150, 90 x 26.
  struct Case {
    unsigned type;
    ui::Rect b1, b2;
  };
  const Case cases[] = {
      {0, ui::Rect(170, 150, 260, 176), ui::Rect()},
      {1, ui::Rect(110, 150, 200, 176), ui::Rect(218, 150, 308, 176)},
      {3, ui::Rect(62, 150, 152, 176), ui::Rect(170, 150, 260, 176)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    CMessageBox box("Place", c.type);
    ASSERT_TRUE(box.CreateModeless());
    d.Settle();
    EXPECT_EQ(box.GetDlgItem(1)->GetRectInParent(), c.b1);
    if (!c.b2.IsEmpty()) {
      EXPECT_EQ(box.GetDlgItem(2)->GetRectInParent(), c.b2);
    }
    box.DestroyWindow();
  }
}

TEST_F(SkinnedTest, MessageBoxCentresShortTextAndRaisesLongText) {
  // Message area: y 48, 96 px high. One line stands lower than the area's top; a text of many
  // lines moves the control up by half its overflow.
  CMessageBox shortBox("One line", 0);
  ASSERT_TRUE(shortBox.CreateModeless());
  const int shortTop = shortBox.GetDlgItem(IDC_MESSAGE_BOX_TEXT)->GetRectInParent().top;
  EXPECT_GT(shortTop, 48 + 20);
  shortBox.DestroyWindow();
  std::string lng;
  for (int i = 0; i < 12; ++i) lng += "A rather long sentence that wraps. ";
  CMessageBox longBox(lng, 0);
  ASSERT_TRUE(longBox.CreateModeless());
  EXPECT_LT(longBox.GetDlgItem(IDC_MESSAGE_BOX_TEXT)->GetRectInParent().top, 48);
  longBox.DestroyWindow();
}

TEST_F(SkinnedTest, MessageBoxLooksInFiveLanguages) {
  const char* texts[] = {"数据库打开失败！", "Failed to open the database!", "¡No se pudo abrir la base de datos!",
                         "Impossible d'ouvrir la base de données !", "Не вдалося відкрити базу даних!"};
  for (int lang = 0; lang < 5; ++lang) {
    SCOPED_TRACE(lang);
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    CMessageBox box(texts[lang], 1);
    ASSERT_TRUE(box.CreateModeless());
    const draw::Bitmap screen = d.Screen();
    screen.SavePng(PngPath("message_box_" + std::to_string(lang)));
    const ui::Rect rc = box.GetClientRect();
    // Frame on the edge, a light band below the title, a darker band below that.
    EXPECT_EQ(At(screen, &box, 1, rc.Height() / 2), draw::RGB(0, 76, 120));
    const int h = (rc.Height() - 25) / 9;
    EXPECT_EQ(At(screen, &box, 6, 25 + h / 2), draw::RGB(205, 213, 215));
    EXPECT_EQ(At(screen, &box, 6, 25 + h + h / 2), draw::RGB(190, 198, 201));
    // The title band comes from its skin: not a band colour.
    EXPECT_NE(At(screen, &box, rc.Width() / 2, 12), draw::RGB(205, 213, 215));
    // Text of the message: some pixels in the label colour's neighbourhood in the middle.
    int ink = 0;
    for (int x = 40; x < rc.Width() - 40; ++x)
      for (int y = 70; y < 140; ++y)
        if (ColourDistance(At(screen, &box, x, y), draw::RGB(66, 85, 92)) < 60) ++ink;
    EXPECT_GT(ink, 20);
    box.DestroyWindow();
  }
}

TEST_F(SkinnedTest, InstalledBoxAnswersEveryFrameworkMessageBox) {
  InstallProgramMessageBox();
  int result = -5;
  d.RunScript([&] { result = ui::MessageBox(nullptr, "Delete?", "ignored caption", ui::MB_YESNO | ui::MB_ICONQUESTION); },
              [&](ui::TestDriver& s) {
                EXPECT_EQ(s.MessageBoxText(), "Delete?");
                EXPECT_NE(s.Find(IDC_MESSAGE_BOX_FRAME), nullptr);
                s.Press(MessageBoxButtonForAnswer(ui::MB_YESNO, ui::IDNO));
              });
  EXPECT_EQ(result, ui::IDNO);
}

TEST_F(SkinnedTest, MessageBoxIsDraggedByTheLeftButtonOnly) {
  CMessageBox box("Drag me", 0);
  ASSERT_TRUE(box.CreateModeless());
  d.Settle();
  const ui::Rect before = box.GetWindowRect();
  box.SendMessage(ui::WM_LBUTTONDOWN, ui::MK_LBUTTON, ui::MakePointLParam(30, 40));
  box.SendMessage(ui::WM_MOUSEMOVE, ui::MK_LBUTTON, ui::MakePointLParam(50, 50));
  EXPECT_EQ(box.GetWindowRect(), before.Offset(20, 10));
  // With another key held nothing moves.
  box.SendMessage(ui::WM_MOUSEMOVE, ui::MK_LBUTTON | ui::MK_SHIFT, ui::MakePointLParam(70, 70));
  EXPECT_EQ(box.GetWindowRect(), before.Offset(20, 10));
  box.SendMessage(ui::WM_LBUTTONUP, 0, ui::MakePointLParam(30, 40));
  box.SendMessage(ui::WM_MOUSEMOVE, ui::MK_LBUTTON, ui::MakePointLParam(90, 90));
  EXPECT_EQ(box.GetWindowRect(), before.Offset(20, 10));
  box.DestroyWindow();
}

TEST_F(SkinnedTest, BoxAskedForOnAWorkerThreadIsShownByTheUserInterfaceThread) {
  InstallProgramMessageBox();
  std::atomic<int> result{-5};
  std::atomic<bool> done{false};
  d.RunScript(
      [&] {
        std::thread worker([&] {
          result = ui::MessageBox(nullptr, "Port closed", "", ui::MB_OKCANCEL);
          done = true;
        });
        while (!done) {
          ui::PumpPending();
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        worker.join();
      },
      [&](ui::TestDriver& s) {
        ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
        EXPECT_EQ(s.MessageBoxText(), "Port closed");
        s.Press(MessageBoxButtonForAnswer(ui::MB_OKCANCEL, ui::IDOK));
      });
  EXPECT_EQ(result, ui::IDOK);
}
