// The LIS screens as the operator uses them: the network settings (port checks, saving drops
// the link only on a change), the link type, the serial parameters, and the send screen's
// start-up and Send refusals.
#include <stdlib.h>

#include "core/lis_link_state.h"
#include "core/screen_registry.h"
#include "lis/screens/comm_set.h"
#include "lis/screens/commu_sel.h"
#include "lis/screens/dlg_lis.h"
#include "lis/screens/lis_screens.h"
#include "lis/screens/ser_send.h"
#include "platform/sys/profile.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "screen_fixture.h"

namespace {

class LisScreens : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    lis::RegisterLisScreens();
    setenv("QUORVEX_COM1", (Folder() / "no-such-port").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("QUORVEX_COM1");
    LisLinkState.LinkKind = 0;
    LisLinkState.LisConnected = 0;
    LisLinkState.NetworkReady = 0;
    LisLinkState.ApplyPending = 1;
    ScreenTest::TearDown();
  }
  std::string Ini(const char* section, const char* key) {
    return sys::ProfileReadString(File("Setting.ini"), section, key, "<none>");
  }
  static void ReplacePort(ui::TestDriver& s, const std::string& text) {
    s.Press(IDC_LIS_PORT);
    s.Key(ui::VK_END);
    s.Type(std::string(8, '\b'));  // backspace characters delete
    s.Type(text);
  }
};

}  // namespace

TEST_F(LisScreens, EveryScreenIsRegisteredByItsClassName) {
  for (const char* name : {"CCommuSel", "CCommSet", "CDlgLis", "CSerSend"}) EXPECT_TRUE(IsScreenAvailable(name)) << name;
}

TEST_F(LisScreens, NetworkSettingsCheckThePortAndDropTheLinkOnlyOnAChange) {
  Write("Setting.ini", "[LIS]\nSERVER=10.1.2.3\nPORT=5000\nTYPE=1\nDOUBLE=1\nWARNING=0\n");
  LisLinkState.LisConnected = 1;
  LisLinkState.NetworkReady = 1;
  LisLinkState.ApplyPending = 0;
  std::vector<std::string> boxes;
  bool warningVisible = true, ownEnabled = true;
  CDlgLis screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_LIS_PORT) != nullptr; }));
                            EXPECT_EQ(s.Text(IDC_LIS_PORT), "5000");
                            EXPECT_EQ(s.Text(IDC_LIS_SERVER), "10.1.2.3");
                            warningVisible = s.Visible(IDC_LIS_WARNING);
                            Shot("lis_network_settings_en");
                            ownEnabled = s.Enabled(IDC_LIS_OWN);
                            // Unchanged: saved, the connection stays.
                            s.Press(ui::IDOK);
                            ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                            boxes.push_back(s.MessageBoxText());
                            s.AnswerMessageBox(ui::IDOK);
                          }));
  EXPECT_FALSE(warningVisible);  // alarm forwarding is offered in Chinese only
  EXPECT_FALSE(ownEnabled);      // automatic address
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "Setting data saved!");
  EXPECT_EQ(LisLinkState.LisConnected.load(), 1);
  EXPECT_EQ(Ini("LIS", "PORT"), "5000");
  EXPECT_EQ(Ini("LIS", "CLIENT"), "0.0.0.0");

  boxes.clear();
  CDlgLis again(nullptr);
  ASSERT_TRUE(d.RunScript([&] { again.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_LIS_PORT) != nullptr; }));
                            ReplacePort(s, "123456");
                            EXPECT_EQ(s.Text(IDC_LIS_PORT), "12345");  // five digits at most
                            for (const char* port : {"", "70000", "0", "5001"}) {
                              ReplacePort(s, port);
                              EXPECT_EQ(s.Text(IDC_LIS_PORT), port);
                              s.Press(ui::IDOK);
                              ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                              boxes.push_back(s.MessageBoxText());
                              s.AnswerMessageBox(ui::IDOK);
                            }
                          }));
  const std::vector<std::string> expected = {"The port cannot be empty", "The port must be 1 to 65535",
                                             "The port must be 1 to 65535", "Setting data saved!"};
  EXPECT_EQ(boxes, expected);
  EXPECT_EQ(Ini("LIS", "PORT"), "5001");
  EXPECT_EQ(LisLinkState.ServerPort, 5001);
  EXPECT_EQ(LisLinkState.LisConnected.load(), 0);
  EXPECT_EQ(LisLinkState.ApplyPending.load(), 1);
  EXPECT_EQ(Ini("LIS", "DOUBLE"), "1");
}

TEST_F(LisScreens, LinkTypeAndSerialParameters) {
  Write("Setting.ini", "[COMMUNITY]\nType=1\n");
  Sql("delete from CommSet");
  Sql("insert into CommSet values (1, 3, 2, 1)");
  std::string baud, parity, shown;
  bool setUpOpened = false;
  CCommuSel screen(nullptr);
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_COMMU_TYPE) != nullptr; }));
                            shown = s.Text(IDC_COMMU_TYPE);
                            s.Press(IDC_COMMU_SETUP);  // the network settings of the chosen type
                            setUpOpened = s.RunUntil([&] { return s.Find(IDC_LIS_PORT) != nullptr; }, 3000);
                            s.Press(ui::IDCANCEL);
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_LIS_PORT) == nullptr; }, 3000));
                            s.Press(ui::IDOK);
                          }));
  EXPECT_EQ(shown, "Net port");
  EXPECT_TRUE(setUpOpened);
  EXPECT_EQ(Ini("COMMUNITY", "Type"), "1");
  EXPECT_EQ(LisLinkState.LinkKind, 1);
  // A kind that is neither shows no choice; saving writes -1, which selects no link.
  Write("Setting.ini", "[COMMUNITY]\nType=5\n");
  CCommuSel none(nullptr);
  ASSERT_TRUE(d.RunScript([&] { none.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_COMMU_TYPE) != nullptr; }));
                            shown = s.Text(IDC_COMMU_TYPE);
                            s.Press(ui::IDOK);
                          }));
  EXPECT_EQ(shown, "");
  EXPECT_EQ(Ini("COMMUNITY", "Type"), "-1");
  EXPECT_EQ(LisLinkState.LinkKind, -1);
  CCommSet serial(nullptr);
  ASSERT_TRUE(d.RunScript([&] { serial.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_COMMSET_BAUD) != nullptr; }));
                            baud = s.Text(IDC_COMMSET_BAUD);
                            parity = s.Text(IDC_COMMSET_PARITY);
                            s.Press(ui::IDOK);
                          }));
  EXPECT_EQ(baud, "19200");
  EXPECT_EQ(parity, "Odd");
  EXPECT_EQ(Scalar("select Bauds || ',' || DataBits || ',' || Parity || ',' || StopBits from CommSet"), "1,3,2,1");
}

TEST_F(LisScreens, SendScreenWithoutItsPort) {
  struct Case {
    int linkKind;
    bool sendEnabled;
    const char* afterSend;
  } cases[] = {
      {0, false, ""},                        // the serial link needs the port
      {1, true, "Fail to connect to LIS"},  // the network link does not
  };
  for (const Case& c : cases) {
    LisLinkState.LinkKind = c.linkKind;
    LisLinkState.LisConnected = 0;
    std::string status, box;
    bool send = false, open = false;
    CSerSend screen(nullptr, lis::SendSource{});
    ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_SEND_SEND) != nullptr; }));
                              status = s.Text(IDC_SEND_STATUS);
                              Shot("lis_send_screen_kind" + std::to_string(c.linkKind));
                              send = s.Enabled(IDC_SEND_SEND);
                              EXPECT_EQ(s.Check(IDC_SEND_SELECTED), 1);
                              s.Key(ui::VK_ESCAPE);  // swallowed
                              s.Key(ui::VK_RETURN);
                              open = s.Find(IDC_SEND_SEND) != nullptr;
                              if (send) {
                                s.Press(IDC_SEND_SEND);
                                ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
                                box = s.MessageBoxText();
                                s.AnswerMessageBox(ui::IDOK);
                              }
                              s.Press(IDC_SEND_EXIT);
                            }));
    EXPECT_EQ(status, "Failed to initialize COM port!") << c.linkKind;
    EXPECT_EQ(send, c.sendEnabled) << c.linkKind;
    EXPECT_TRUE(open);
    EXPECT_EQ(box, c.afterSend);
    EXPECT_FALSE(screen.PortOpen());
  }
  EXPECT_EQ(CSerSend::BloodTypeCode("Peripheral blood"), 1);
  EXPECT_EQ(CSerSend::BloodTypeCode("peripheral blood"), 0);
  EXPECT_EQ(CSerSend::BloodTypeCode("Передрозвед. кап. кров"), 2);
  EXPECT_EQ(CSerSend::BloodTypeCode(""), 0);
  EXPECT_EQ(CSerSend::BloodTypeCode("Whole blood"), 0);
}
