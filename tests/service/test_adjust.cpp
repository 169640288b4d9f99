// The engineering adjustment: the checks of every field, the values stored, the factory
// defaults of Setting.ini, and the download to the board acknowledgement by acknowledgement;
// on the logic, then on the screen against the board simulator.
#include "analyzer/command_catalogue.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/value_format.h"
#include "platform/sys/profile.h"
#include "platform/ui/messages.h"
#include "service/adjust_download.h"
#include "service/adjust_values.h"
#include "service/engineering_adjust.h"
#include "service_fixture.h"

using namespace service;
using analyzer::FrameClassCommand;

namespace {

AdjustFields GoodFields() {
  AdjustFields f;
  const char* pots[8] = {"33", "100", "140", "150", "180", "75", "200", "48"};
  for (int i = 0; i < 8; ++i) f.pot[i] = pots[i];
  const char* paras[4] = {"3", "13", "0", "255"};
  for (int i = 0; i < 4; ++i) f.para[i] = paras[i];
  f.startBase = "2300";
  f.startOffset = "150";
  f.maxBase = "2335";
  f.maxOffset = "-35";
  f.countTime = "6.25";
  f.waitTime = "2.3";
  f.blockTime = "5";
  f.leakTime = "3.5";
  return f;
}

TEST(AdjustChecks, EachFieldIsCheckedBeforeAnythingIsStored) {
  AppSettings.LanguageIndex = 1;
  const struct {
    void (*spoil)(AdjustFields&);
    const char* message;
  } cases[] = {
      {[](AdjustFields& f) { f.pot[0] = "12.5"; }, "Please input integer for potentiometer!"},
      {[](AdjustFields& f) { f.pot[3] = "abc"; }, "Please input integer for potentiometer!"},
      {[](AdjustFields& f) { f.pot[7] = "256"; }, "Please input a integer bewteen 0 and 255 for potentiometer!"},
      {[](AdjustFields& f) { f.pot[4] = "-1"; }, "Please input a integer bewteen 0 and 255 for potentiometer!"},
      {[](AdjustFields& f) { f.para[2] = "1.0"; }, "Please input integer for pulse width!"},
      {[](AdjustFields& f) { f.para[1] = "300"; }, "Please input a integer bewteen 0 and 255 for pulse width!"},
      {[](AdjustFields& f) { f.startOffset = "1.5"; }, "Please input integer for test pressure!"},
      {[](AdjustFields& f) { f.maxBase = "10001"; }, "Test pressure is out of range!"},
      // Inside the screen's own bounds but beyond what the offset field takes.
      {[](AdjustFields& f) { f.startOffset = "5001"; }, "Test pressure is out of range!"},
      {[](AdjustFields& f) { f.maxOffset = "-2336"; }, "Test pressure is out of range!"},
      {[](AdjustFields& f) { f.countTime = "5s"; }, "Please input digits for count time!"},
      {[](AdjustFields& f) { f.countTime = "25.5"; }, "Please input a number bewteen 0 and 25 for count time!"},
      {[](AdjustFields& f) { f.waitTime = "-0.1"; }, "Please input a number bewteen 0 and 25 for count wait time!"},
      {[](AdjustFields& f) { f.waitTime = ""; }, "Please input digits for count wait time!"},
      {[](AdjustFields& f) { f.blockTime = "x"; }, "Please input digits for warn time!"},
      {[](AdjustFields& f) { f.leakTime = "26"; }, "Please input a integer bewteen 0 and 25 for warn time!"},
  };
  for (const auto& c : cases) {
    AdjustFields f = GoodFields();
    c.spoil(f);
    std::string message;
    EXPECT_FALSE(CheckAdjustFields(f, nullptr, &message, 1)) << c.message;
    EXPECT_EQ(message, c.message);
  }
  AdjustFields edge = GoodFields();
  edge.countTime = "25";
  edge.pot[0] = "0";
  edge.pot[1] = "255";
  std::string message;
  EXPECT_TRUE(CheckAdjustFields(edge, nullptr, &message, 1)) << message;
}

TEST(AdjustChecks, GoodFieldsGiveTheValuesToStore) {
  AdjustValues v;
  std::string message;
  ASSERT_TRUE(CheckAdjustFields(GoodFields(), &v, &message, 1)) << message;
  EXPECT_EQ(v.pot[3], 150);
  EXPECT_EQ(v.para[3], 255);
  EXPECT_EQ(v.fpressure, 2450);  // 2300 + 150
  EXPECT_EQ(v.apressure, 2300);  // 2335 - 35
  EXPECT_EQ(v.wbcTime, 62);      // 6.25 s in tenths, truncated
  EXPECT_EQ(v.rbcTime, 23);      // 2.3 s: not 22 from a binary rounding
  EXPECT_FLOAT_EQ(v.blockTime, 5.0f);
  EXPECT_FLOAT_EQ(v.leakTime, 3.5f);
  const AdjustFields shown = FieldsOf(v);
  EXPECT_EQ(shown.countTime, "6.2");
  EXPECT_EQ(shown.startBase, "2300");
  EXPECT_EQ(shown.startOffset, "150");
  EXPECT_EQ(shown.maxOffset, "-35");
}

TEST(AdjustStore, TheFirstUpdateInsertsTheRowAndTheNextUpdatesIt) {
  SequenceFolder folder;
  RawExec("delete from EngineeringAdjust");
  CADOConn conn;
  AdjustValues v;
  std::string message;
  ASSERT_TRUE(CheckAdjustFields(GoodFields(), &v, &message, 1));
  StoreAdjustValues(conn, v);
  EXPECT_EQ(RawCount("select count(*) from EngineeringAdjust"), 1);
  EXPECT_EQ(RawScalar("select ZYDW1||','||ZYDW2||','||ZYDW3||','||ZYDW4||','||MKDYDW1||','||MKDYDW2||','||MKDYDW3||','||"
                      "MKDYDW4||','||FPRESSURE||','||APRESSURE||','||WBCTIME||','||RBCTIME||','||PARA1||','||PARA2||','||"
                      "PARA3||','||PARA4 from EngineeringAdjust"),
            "33,100,140,150,180,75,200,48,2450,2300,62,23,3,13,0,255");
  EXPECT_EQ(RawScalar("select BlockTime||','||LeakTime from SysSetting"), "5.0,3.5");
  v.pot[0] = 40;
  StoreAdjustValues(conn, v);
  EXPECT_EQ(RawCount("select count(*) from EngineeringAdjust"), 1);
  EXPECT_EQ(RawScalar("select ZYDW1 from EngineeringAdjust"), "40");
  conn.Disconnect();
}

TEST(AdjustStore, TheUpdateTextKeepsItsLayout) {
  AdjustValues v;
  for (int i = 0; i < 8; ++i) v.pot[i] = static_cast<uint8_t>(i + 1);
  for (int i = 0; i < 4; ++i) v.para[i] = static_cast<uint8_t>(20 + i);
  v.fpressure = 2300;
  v.apressure = 2335;
  v.wbcTime = 50;
  v.rbcTime = 10;
  EXPECT_EQ(AdjustUpdateSql(v),
            std::string("update EngineeringAdjust set ZYDW1=1,ZYDW2=2,") + std::string(20, ' ') +
                "ZYDW3=3,ZYDW4=4,MKDYDW1=5,MKDYDW2=6,MKDYDW3=7,MKDYDW4=8," + std::string(5, '\t') +
                "FPRESSURE=2300,APRESSURE=2335,WBCTIME=50,RBCTIME=10,PARA1=20,PARA2=21,PARA3=22,PARA4=23");
}

TEST(AdjustDefaults, WrittenKeysReadBackAndMissingKeysTakeTheFactoryValues) {
  SequenceFolder folder;
  const std::string ini = folder.file("setting.ini");
  folder.write("setting.ini", "[AdjustParas]\nZYDW1=40\n");
  AdjustValues read = ReadAdjustDefaults(ini);
  EXPECT_EQ(read.pot[0], 40);
  EXPECT_EQ(read.pot[3], 150);  // "2454" keeps its low 8 bits
  EXPECT_EQ(read.pot[1], 100);
  EXPECT_EQ(read.para[1], 13);
  EXPECT_EQ(read.fpressure, 2300);
  EXPECT_EQ(read.apressure, 2335);
  EXPECT_EQ(read.wbcTime, 50);
  EXPECT_FLOAT_EQ(read.blockTime, 2.0f);

  AdjustValues v;
  std::string message;
  ASSERT_TRUE(CheckAdjustFields(GoodFields(), &v, &message, 1));
  WriteAdjustDefaults(ini, v);
  EXPECT_EQ(sys::ProfileReadString(ini, "AdjustParas", "COUNTTIME", ""), "6.20");
  EXPECT_EQ(sys::ProfileReadString(ini, "AdjustParas", "FPRESSURE", ""), "2450");
  EXPECT_EQ(sys::ProfileReadString(ini, "AdjustParas", "PPAR4", ""), "255");
  const AdjustValues back = ReadAdjustDefaults(ini);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(back.pot[i], v.pot[i]);
  EXPECT_EQ(back.fpressure, 2450);
  EXPECT_EQ(back.wbcTime, 62);
  EXPECT_FLOAT_EQ(back.leakTime, 3.5f);
}

class DownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string message;
    ASSERT_TRUE(CheckAdjustFields(GoodFields(), &v, &message, 1));
  }
  void Ack(uint8_t command, bool bad = false) { Feed(dl, Frame(FrameClassCommand, command, 0xFF, 0, bad)); }
  SequenceFolder folder;
  CADOConn conn;
  Recorder host;
  AdjustDownload dl{host, &conn};
  AdjustValues v;
};

TEST_F(DownloadTest, FourteenCommandsEachAfterTheAcknowledgementOfTheOneBefore) {
  dl.Start(v);
  const uint8_t commands[14] = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0xB0, 0xB1, 0xB2, 0xB3};
  const uint8_t p1[14] = {33, 100, 140, 150, 180, 75, 200, 48, 0x09, 0x08, 3, 13, 0, 255};
  const uint8_t p2[14] = {0, 0, 0, 0, 0, 0, 0, 0, 0x92, 0xFC, 0, 0, 0, 0};  // 2450 = 09 92, 2300 = 08 FC
  for (int i = 0; i < 14; ++i) {
    ASSERT_EQ(host.sent.size(), static_cast<size_t>(i + 1));
    EXPECT_EQ(host.sent[i][2], commands[i]) << i;
    EXPECT_EQ(host.sent[i][3], p1[i]) << i;
    EXPECT_EQ(host.sent[i][4], p2[i]) << i;
    EXPECT_TRUE(host.messages.empty());
    Ack(commands[i]);
  }
  EXPECT_EQ(host.sent.size(), 14u);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Setting finished!"}));
  EXPECT_FALSE(dl.running());
  EXPECT_EQ(RawCount("select count(*) from SysLog where Event='Update engineering parameters' and Result='Finished'"), 1);
}

TEST_F(DownloadTest, OnlyTheAcknowledgementOfTheCommandSentAdvancesTheChain) {
  dl.Start(v);
  Ack(0x85);                       // not the one sent
  Ack(0x80, /*bad=*/true);         // damaged
  EXPECT_EQ(host.sent.size(), 1u);
  EXPECT_EQ(host.messages, (std::vector<std::string>{"Checksum error!"}));
  Feed(dl, {0x13, 0x37, 0x7E, 0x00});  // junk, and a start byte that begins no frame
  Ack(0x80);
  EXPECT_EQ(host.sent.size(), 2u);
  EXPECT_EQ(host.sent[1][2], 0x81);
}

TEST_F(DownloadTest, AChainWithoutAnAcknowledgementEndsAfterTheTimeOutAndCanStartAgain) {
  dl.Start(v);
  Ack(0x80);
  AdvanceAndPoll(dl, AdjustDownload::kAckTimeoutMs);
  EXPECT_FALSE(dl.running());
  EXPECT_EQ(host.LastMessage(), NoReplyText(1));
  dl.Start(v);
  EXPECT_EQ(host.sent.back()[2], 0x80);
  EXPECT_EQ(dl.step(), 0);
}

class AdjustScreenTest : public ServiceScreenTest {};

TEST_F(AdjustScreenTest, UpdateStoresTheFieldsAndDownloadsThemToTheBoard) {
  AppSettings.UserLevel = 3;
  CEngineeringAdjust screen(nullptr);
  std::string box;
  bool setDefaultEnabled = false;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            setDefaultEnabled = s.Enabled(CEngineeringAdjust::kSetDefaultId);
                            s.RunUntil([&] {
                              screen.ShowFields(GoodFields());
                              return true;
                            });
                            s.Press(CEngineeringAdjust::kUpdateId);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_TRUE(setDefaultEnabled);
  EXPECT_EQ(box, "Setting finished!");
  EXPECT_EQ(sim.ReceivedCount(), 14u);
  EXPECT_EQ(RawScalar("select FPRESSURE||','||WBCTIME from EngineeringAdjust"), "2450,62");
  EXPECT_TRUE(screen.IsEnded());
}

TEST_F(AdjustScreenTest, AFieldOutOfRangeStopsTheUpdateWithItsMessage) {
  AppSettings.UserLevel = 2;
  CEngineeringAdjust screen(nullptr);
  std::string box;
  bool setDefaultEnabled = true;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            setDefaultEnabled = s.Enabled(CEngineeringAdjust::kSetDefaultId);
                            s.RunUntil([&] {
                              AdjustFields f = GoodFields();
                              f.pot[2] = "256";
                              screen.ShowFields(f);
                              return true;
                            });
                            s.Press(CEngineeringAdjust::kUpdateId);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_FALSE(setDefaultEnabled);
  EXPECT_EQ(box, "Please input a integer bewteen 0 and 255 for potentiometer!");
  EXPECT_EQ(sim.ReceivedCount(), 0u);
  EXPECT_EQ(RawScalar("select FPRESSURE from EngineeringAdjust"), "2300");
}

TEST_F(AdjustScreenTest, ASilentBoardEndsTheDownloadWithAMessageAndTheScreenStaysLeavable) {
  sim.SetSilent(true);
  CEngineeringAdjust screen(nullptr);
  std::string box;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            s.Press(CEngineeringAdjust::kUpdateId);
                            s.Advance(AdjustDownload::kAckTimeoutMs + 1000);
                            box = TakeBox(s);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(box, NoReplyText(1));
  EXPECT_TRUE(screen.IsEnded());
}

}  // namespace
