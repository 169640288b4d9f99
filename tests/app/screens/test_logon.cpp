#include <gtest/gtest.h>

#include "app/screens/user_logon.h"
#include "controls/message_box_dlg.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"
#include "tests/support/screen_pixels.h"

namespace {

class LogonTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    Sql("delete from Users");
    Sql("insert into Users values('admin',1,'Adm1')");
    Sql("insert into Users values('engineer',2,'eng')");
    Sql("insert into Users values('factory',3,'')");
    Sql("insert into Users values('nopwd',1,NULL)");
    Sql("insert into Users values('general',0,'g')");
    Sql("insert into Users values('odd',7,'o')");
    Sql("insert into Users values('O''Brien',2,'ob')");
    Sql("insert into Users values('OâHara',2,'oh')");  // as the program's own SQL-safe form writes it
    Sql("insert into Users values('wide',258,'w')");
    Sql("delete from SysLog");
  }
  // Logs on as `user` with `password`; returns the dialog's result and the message shown.
  int LogOn(const std::string& user, const std::string& password, std::string* message, bool enter = false) {
    CUserLogon logon;
    int result = 0;
    bool ok = d.RunScript([&] { result = logon.DoModal(); }, [&](ui::TestDriver& s) {
      ui::ComboBox* box = dynamic_cast<ui::ComboBox*>(s.Find(IDC_LOGON_USER));
      ASSERT_NE(box, nullptr);
      for (int i = 0; i < box->GetCount(); ++i)
        if (box->GetLBText(i) == user) box->SetCurSel(i);
      s.Find(IDC_LOGON_PASSWORD)->SetWindowText(password);
      s.Key(ui::VK_ESCAPE);  // swallowed
      if (enter) s.Key(ui::VK_RETURN);
      else s.Press(ui::IDOK);
      if (s.MessageBox()) {
        *message = s.MessageBoxText();
        s.AnswerMessageBox(MessageBoxButtonForAnswer(ui::MB_OK, ui::IDOK));
        s.Press(ui::IDCANCEL);
      }
    });
    EXPECT_TRUE(ok);
    return result;
  }
};

// The log-on pop-up is skinned: its own frame on the skinned screens' grey, no caption bar of
// the framework above it.
TEST_F(LogonTest, HasNoFrameworkTitleBar) {
  CUserLogon logon;
  support::WindowEdges edges;
  draw::Color body = 0;
  ASSERT_TRUE(d.RunScript([&] { logon.DoModal(); }, [&](ui::TestDriver& s) {
    edges = support::ReadWindowEdges(s, &logon);
    // Under the buttons, 5 pixels in from the left edge: inside the frame, outside the group box.
    body = s.Screen().GetPixel(edges.window.left + 5, edges.window.bottom - 12);
    s.Press(ui::IDCANCEL);
  }));
  EXPECT_TRUE(edges.Frameless());
  EXPECT_EQ(edges.top, draw::RGB(0, 76, 120));
  EXPECT_EQ(edges.left, draw::RGB(0, 76, 120));
  EXPECT_EQ(body, draw::RGB(205, 213, 215));  // the skinned screens' grey, not the dialog colour
}

TEST_F(LogonTest, LogOnTable) {
  struct Case {
    const char* user;
    const char* password;
    int result;
    int level;
    const char* message;
    const char* logResult;
  } cases[] = {
      {"engineer", "eng", ui::IDOK, 2, "", "Engineer"},
      {"admin", "adm1", ui::IDCANCEL, 0, "Password error!", nullptr},  // letter case counts
      {"admin", "Adm1", ui::IDOK, 1, "", "Administrator"},
      {"factory", "", ui::IDOK, 3, "", "Factory"},
      {"nopwd", "", ui::IDOK, 1, "", "Administrator"},
      {"general", "g", ui::IDOK, 0, "", ""},
      // The level is the low byte of the type, unchecked; a level without a name logs an empty result.
      {"odd", "o", ui::IDOK, 7, "", ""},
      {"wide", "w", ui::IDOK, 2, "", "Engineer"},
      // The look-up searches the name with U+2018 for each apostrophe: a name stored with a plain
      // apostrophe is not found, one stored in the program's SQL-safe form is.
      {"O'Brien", "ob", ui::IDCANCEL, 0, "User name not existed!", nullptr},
      {"OâHara", "oh", ui::IDOK, 2, "", "Engineer"},
  };
  for (const Case& c : cases) {
    AppSettings.UserLevel = 0;
    Sql("delete from SysLog");
    std::string message;
    EXPECT_EQ(LogOn(c.user, c.password, &message), c.result) << c.user;
    EXPECT_EQ(AppSettings.UserLevel, c.level) << c.user;
    EXPECT_EQ(message, c.message) << c.user;
    if (c.logResult) {
      EXPECT_EQ(Scalar("select Event from SysLog"), "Logon") << c.user;
      EXPECT_EQ(Scalar("select Result from SysLog"), c.logResult) << c.user;
    } else {
      EXPECT_EQ(Scalar("select count(*) from SysLog"), "0") << c.user;
    }
  }
}

TEST_F(LogonTest, EnterIsOkAndAnEmptyListSaysTheNameIsEmpty) {
  std::string message;
  EXPECT_EQ(LogOn("engineer", "eng", &message, true), ui::IDOK);
  AppSettings.UserLevel = 0;
  Sql("delete from Users");
  EXPECT_EQ(LogOn("", "", &message), ui::IDCANCEL);
  EXPECT_EQ(message, "User name can not be empty!");
  EXPECT_EQ(AppSettings.UserLevel, 0);
}

TEST_F(LogonTest, ScreenshotsInFiveLanguages) {
  for (int lang = 0; lang < 5; ++lang) {
    AppSettings.LanguageIndex = static_cast<uint8_t>(lang);
    CUserLogon logon;
    bool ok = d.RunScript([&] { logon.DoModal(); }, [&](ui::TestDriver& s) {
      Shot(std::string("logon_") + kLanguageNames[lang]);
      s.Press(ui::IDCANCEL);
    });
    EXPECT_TRUE(ok);
  }
}

}  // namespace
