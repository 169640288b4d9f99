// QC data to the LIS over loopback, against the LIS simulator: the picked runs of the L-J, X-R and
// X-B lists go out through the send screen with their stored values; each settings screen sends
// its saved settings (never the unsaved edits) field by field; a refusal, a missing reply, a file
// without settings and a link that is down are never reported as a finished transfer.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <functional>
#include <map>
#include <thread>

#include "core/lis_link_state.h"
#include "core/value_format.h"
#include "lis/lis_link.h"
#include "lis/screens/ser_send.h"
#include "lis/stored_send.h"
#include "qc/lj_qc_list.h"
#include "qc/lj_qc_set.h"
#include "qc/xb_qc_list.h"
#include "qc/xb_qc_set.h"
#include "qc/xr_qc_list.h"
#include "qc/xr_qc_set.h"
#include "qc_screen_fixture.h"
#include "tests/lis/hl7_reader.h"
#include "tools/lissim/serial_reader.h"
#include "tools/lissim/server.h"

namespace {

// The 20 parameters in the order of the messages' rows, with the table column stems.
const char* const kNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "MCHC",
                                "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
const char* const kRunColumns[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                     "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};
// The units the settings messages carry with the units table below: "^" goes out as "x".
const char* const kSentUnits[20] = {"10x9/L", "10x9/L", "10x9/L", "10x9/L", "%", "%", "%", "10x12/L", "g/dL", "g/dL",
                                    "pg", "fL", "%", "fL", "%", "10x9/L", "fL", "%", "%", "%"};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}
bool WaitReal(const std::function<bool()>& p, int ms = 5000) {
  const int64_t end = NowMs() + ms;
  while (!p()) {
    if (NowMs() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class QcToLis : public QcScreenTest {
 protected:
  void SetUp() override {
    QcScreenTest::SetUp();
    // The send screen's serial port stays closed: the network link is used.
    ::setenv("QUORVEX_COM1", (program_->folder() + "no-such-port").c_str(), 1);
    ASSERT_TRUE(lis_.Start());
    LisLinkState.ServerAddress = "127.0.0.1";
    LisLinkState.ServerPort = lis_.Port();
    LisLinkState.NetworkReady = 1;
    LisLinkState.ApplyPending = 0;
    LisLinkState.LinkKind = 1;
    LisLinkState.Bidirectional = 1;
    LisLinkState.LisQueryMode = -1;
    lis::SetLisLinkPollMs(20);
    lis::SetWalkPauseMs(0);
    lis::SetReplyWaitMs(600);
    lis::StartLisThreads();
    ASSERT_TRUE(WaitReal([] { return LisLinkState.LisConnected.load() == 1; }));
    Sql("delete from ParasUnit");
    Sql("insert into ParasUnit(WBC,RBC,HGB,MCHC,HCT,PLT,PCT) values('10^9/L','10^12/L','g/dL','g/dL','%','10^9/L','%')");
  }
  void TearDown() override {
    lis::StopLisThreads();
    lis_.Stop();
    lis::SetLisLinkPollMs(1000);
    lis::SetWalkPauseMs(50);
    lis::SetReplyWaitMs(10000);
    LisLinkState.LinkKind = 0;
    LisLinkState.LisConnected = 0;
    ::unsetenv("QUORVEX_COM1");
    QcScreenTest::TearDown();
  }

  std::vector<test_hl7::Message> Sent() const {
    std::vector<test_hl7::Message> out;
    for (const lissim::Received& r : lis_.Messages()) out.push_back(test_hl7::Read(r.bytes));
    return out;
  }

  // Checks the 40 limit rows of a settings message: per parameter the target ("L") and the
  // limit ("R") as expected, with the parameter's unit.
  static void ExpectLimitRows(const test_hl7::Message& m, const std::map<int, std::pair<std::string, std::string>>& set,
                              const std::string& unset) {
    const auto rows = m.All("OBX");
    ASSERT_EQ(rows.size(), 40u);
    for (int k = 0; k < 40; ++k) {
      const int p = k / 2;
      const test_hl7::Segment& r = *rows[static_cast<size_t>(k)];
      const auto it = set.find(p);
      const std::string want = it == set.end() ? unset : (k % 2 == 0 ? it->second.first : it->second.second);
      EXPECT_EQ(r.F(2), "NM") << k;
      EXPECT_EQ(test_hl7::Unescape(r.F(3)), kNames[p]) << k;
      EXPECT_EQ(r.F(4), k % 2 == 0 ? "L" : "R") << k;
      EXPECT_EQ(test_hl7::Unescape(r.F(5)), want) << kNames[p] << (k % 2 == 0 ? " target" : " limit");
      EXPECT_EQ(test_hl7::Unescape(r.F(6)), kSentUnits[p]) << kNames[p];
    }
  }

  lissim::Server lis_;
};

// ---- Settings screens --------------------------------------------------------------------------

TEST_F(QcToLis, LjSettingsGoAsSavedNotAsEdited) {
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV,HGBRV,HGBLV,PLTRV,PLTLV) "
      "values(2,'LOT-7','2031-04-09',7.5,0.25,135,4,250,12.5)");
  qc::CLJQCSet screen(nullptr);
  std::vector<std::string> boxes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_LJS_SEND) != nullptr; }));
                            s.Press(qc::FileRadioId(2));
                            // Edits the operator has not saved do not go out.
                            s.RunUntil([&] {
                              screen.SetDlgItemText(qc::kTargetEditIds[0], "99");
                              screen.SetDlgItemText(qc::IDC_LJS_BATCH, "EDITED");
                              return true;
                            });
                            s.Press(qc::IDC_LJS_SEND);
                            boxes = DrainBoxes(s, 1500);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Data transfer finished!"}));
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  const test_hl7::Message& m = sent[0];
  ASSERT_TRUE(m.framed);
  ASSERT_EQ(m.All("MSH").size(), 1u);
  EXPECT_EQ(m.All("MSH")[0]->F(9), "ORU^R01");
  EXPECT_EQ(m.All("MSH")[0]->F(16), "Q");
  ASSERT_EQ(m.All("PID").size(), 1u);
  const test_hl7::Segment& pid = *m.All("PID")[0];
  EXPECT_EQ(pid.F(5), "2");
  EXPECT_EQ(pid.F(2), "LOT-7");
  EXPECT_EQ(pid.F(7), "2031-04-09");
  ASSERT_EQ(m.All("OBR").size(), 1u);
  EXPECT_EQ(m.All("OBR")[0]->F(4), "LJ QCS");
  EXPECT_EQ(m.All("OBR")[0]->F(7), "");
  // WBC 0, HGB 8, PLT 15 in the message order; a value not set goes out empty.
  ExpectLimitRows(m, {{0, {"7.5", "0.25"}}, {8, {"135", "4"}}, {15, {"250", "12.5"}}}, "");
}

TEST_F(QcToLis, XbSettingsGoAsSavedWithTwoDecimals) {
  Sql("insert into XBQCSet(SampleNum,IsOn,WBCRV,WBCLV,HGBRV,HGBLV,P_LCRRV,P_LCRLV) values(50,1,7.5,1.2,135,4,30.25,2.5)");
  qc::CXBQcSet screen(nullptr);
  std::vector<std::string> boxes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_XBS_SEND) != nullptr; }));
                            s.RunUntil([&] {
                              screen.SetDlgItemText(qc::kTargetEditIds[0], "99");
                              return true;
                            });
                            s.Press(qc::IDC_XBS_SEND);
                            boxes = DrainBoxes(s, 1500);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Data transfer finished!"}));
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  const test_hl7::Message& m = sent[0];
  EXPECT_EQ(m.All("MSH")[0]->F(9), "ORU^R01");
  EXPECT_EQ(m.All("PID").size(), 0u);  // X-B has no files
  ASSERT_EQ(m.All("OBR").size(), 1u);
  EXPECT_EQ(m.All("OBR")[0]->F(4), "XB QCS");
  ExpectLimitRows(m, {{0, {"7.50", "1.20"}}, {8, {"135.00", "4.00"}}, {19, {"30.25", "2.50"}}}, "0.00");
}

TEST_F(QcToLis, XrSettingsGoAsSaved) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(3,'1234AB','2031-04-09',20,5)");
  qc::CXRQCSet screen(nullptr);
  std::vector<std::string> boxes;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_XRS_SEND) != nullptr; }));
                            s.Press(qc::FileRadioId(3));
                            s.RunUntil([&] {
                              screen.SetDlgItemText(qc::IDC_XRS_BATCH, "EDITED");
                              return true;
                            });
                            s.Press(qc::IDC_XRS_SEND);
                            boxes = DrainBoxes(s, 1500);
                            s.Press(ui::IDCANCEL);
                          }));
  EXPECT_EQ(boxes, (std::vector<std::string>{"Data transfer finished!"}));
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  const test_hl7::Message& m = sent[0];
  ASSERT_EQ(m.All("PID").size(), 1u);
  EXPECT_EQ(m.All("PID")[0]->F(5), "3");
  EXPECT_EQ(m.All("PID")[0]->F(2), "1234AB");
  EXPECT_EQ(m.All("PID")[0]->F(7), "2031-04-09");
  ASSERT_EQ(m.All("OBR").size(), 1u);
  EXPECT_EQ(m.All("OBR")[0]->F(4), "XR QCS");
  EXPECT_EQ(m.All("OBX").size(), 0u);
}

// Every answer of the LIS against what the operator is told: only an AA is "finished".
TEST_F(QcToLis, SettingsSendReportsTheRealOutcome) {
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(1,'B1','2031-04-09',20,5)");
  struct Case {
    const char* what;
    lissim::AckMode mode;
    const char* condition;
    std::string box;
  } cases[] = {
      {"AA", lissim::AckMode::Accept, "", "Data transfer finished!"},
      {"AE 100", lissim::AckMode::Error, "100", "Data transfer failed!\nThe LIS rejected the data (100)"},
      {"AR 200", lissim::AckMode::Reject, "200", "Data transfer failed!\nThe LIS rejected the data (200)"},
      {"AR other", lissim::AckMode::Reject, "299", "Data transfer failed!\nThe LIS rejected the data (299)"},
      // An answer naming another message is not this one's: it waits out its deadline.
      {"other id", lissim::AckMode::WrongId, "", "Data transfer failed!\nSample data communication response timeout!"},
      {"no reply", lissim::AckMode::None, "", "Data transfer failed!\nSample data communication response timeout!"},
  };
  qc::CXRQCSet screen(nullptr);
  std::vector<std::vector<std::string>> boxes;
  std::vector<std::string> noFile, down;
  size_t sentBeforeRefusals = 0, sentAfterRefusals = 0;
  ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                          [&](ui::TestDriver& s) {
                            ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_XRS_SEND) != nullptr; }));
                            for (const Case& c : cases) {
                              lissim::Behaviour b;
                              b.mode = c.mode;
                              b.condition = c.condition;
                              lis_.Queue(b);
                              s.Press(qc::IDC_XRS_SEND);
                              boxes.push_back(DrainBoxes(s, 1500));
                            }
                            sentBeforeRefusals = lis_.MessageCount();
                            // File 2 has no saved settings: nothing goes out.
                            s.Press(qc::FileRadioId(2));
                            s.Press(qc::IDC_XRS_SEND);
                            noFile = DrainBoxes(s);
                            // The link down: nothing goes out either.
                            s.Press(qc::FileRadioId(1));
                            lis::StopLisThreads();
                            ASSERT_TRUE(WaitReal([] { return LisLinkState.LisConnected.load() == 0; }));
                            s.Press(qc::IDC_XRS_SEND);
                            down = DrainBoxes(s);
                            sentAfterRefusals = lis_.MessageCount();
                            s.Press(ui::IDCANCEL);
                          }));
  ASSERT_EQ(boxes.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(boxes[i], (std::vector<std::string>{cases[i].box})) << cases[i].what;
  EXPECT_EQ(sentBeforeRefusals, std::size(cases));
  EXPECT_EQ(noFile, (std::vector<std::string>{"No data in current QC file!"}));
  EXPECT_EQ(down, (std::vector<std::string>{"Fail to connect LIS"}));
  EXPECT_EQ(sentAfterRefusals, sentBeforeRefusals);
}

// The serial link carries the same saved settings as text records (units as they are).
TEST_F(QcToLis, SerialRecordsCarryTheSavedSettings) {
  const char* const units[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%", "%", "%", "10^12/L", "g/dL", "g/dL",
                                 "pg", "fL", "%", "fL", "%", "10^9/L", "fL", "%", "%", "%"};
  auto close = [](std::string r) {
    unsigned sum = 0;
    for (unsigned char c : r) sum += c;
    return r + std::to_string(sum & 0xFFFF) + ",TRANSFER FINISH";
  };
  std::string lj = "LJS,2,LOT-7,2031-04-09,";
  for (int p = 0; p < 20; ++p) {
    const std::string target = p == 0 ? "7.5" : p == 8 ? "135" : "", limit = p == 0 ? "0.25" : p == 8 ? "4" : "";
    lj += target + "," + limit + "," + units[p] + ",";
  }
  std::string xr = "XRS,3,1234AB,2031-04-09,20,5,";
  for (const char* u : units) xr += std::string(u) + ",";
  std::string xb = "XBS,50,";
  for (int p = 0; p < 20; ++p)
    xb += std::string(p == 0 ? "7.50,0.25," : p == 8 ? "135.00,4.00," : "0.00,0.00,") + units[p] + ",";
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV,HGBRV,HGBLV) values(2,'LOT-7','2031-04-09',7.5,0.25,135,4)");
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(3,'1234AB','2031-04-09',20,5)");
  Sql("insert into XBQCSet(SampleNum,IsOn,WBCRV,WBCLV,HGBRV,HGBLV) values(50,1,7.5,0.25,135,4)");
  LisLinkState.LinkKind = 0;
  struct Case {
    const char* what;
    std::function<void()> run;
    std::string record;
  };
  std::vector<std::string> boxes;
  const Case cases[] = {
      {"L-J",
       [&] {
         qc::CLJQCSet screen(nullptr);
         ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                                 [&](ui::TestDriver& s) {
                                   ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_LJS_SEND) != nullptr; }));
                                   s.Press(qc::FileRadioId(2));
                                   s.RunUntil([&] {
                                     screen.SetDlgItemText(qc::kTargetEditIds[0], "99");
                                     screen.SetDlgItemText(qc::IDC_LJS_BATCH, "EDITED");
                                     return true;
                                   });
                                   s.Press(qc::IDC_LJS_SEND);
                                   boxes = DrainBoxes(s, 800);
                                   s.Press(ui::IDCANCEL);
                                 }));
       },
       close(lj)},
      {"X-R",
       [&] {
         qc::CXRQCSet screen(nullptr);
         ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                                 [&](ui::TestDriver& s) {
                                   ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_XRS_SEND) != nullptr; }));
                                   s.Press(qc::FileRadioId(3));
                                   s.RunUntil([&] {
                                     screen.SetDlgItemText(qc::IDC_XRS_BATCH, "EDITED");
                                     screen.SetDlgItemText(qc::IDC_XRS_GROUPS, "30");
                                     return true;
                                   });
                                   s.Press(qc::IDC_XRS_SEND);
                                   boxes = DrainBoxes(s, 800);
                                   s.Press(ui::IDCANCEL);
                                 }));
       },
       close(xr)},
      {"X-B",
       [&] {
         qc::CXBQcSet screen(nullptr);
         ASSERT_TRUE(d.RunScript([&] { screen.DoModal(); },
                                 [&](ui::TestDriver& s) {
                                   ASSERT_TRUE(s.RunUntil([&] { return s.Find(qc::IDC_XBS_SEND) != nullptr; }));
                                   s.Press(qc::IDC_XBS_SEND);
                                   boxes = DrainBoxes(s, 800);
                                   s.Press(ui::IDCANCEL);
                                 }));
       },
       close(xb)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lissim::SerialReader serial;
    ASSERT_TRUE(serial.Start());
    ::setenv("QUORVEX_COM1", serial.SlavePath().c_str(), 1);
    c.run();
    EXPECT_EQ(boxes, (std::vector<std::string>{"Data transfer finished!"}));
    EXPECT_TRUE(WaitReal([&] { return serial.Bytes().size() >= c.record.size(); }));
    EXPECT_EQ(serial.Bytes(), c.record);
    serial.Stop();
  }
  EXPECT_EQ(lis_.MessageCount(), 0u);
}

// A serial LIS port that does not open: each settings screen says so at Send, sends nothing and
// takes its Send button out of use.
TEST_F(QcToLis, SettingsScreensWithoutTheSerialPortSendNothing) {
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate,WBCRV,WBCLV) values(1,'LOT-1','2031-04-09',7.5,0.25)");
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(1,'LOT-1','2031-04-09',20,5)");
  Sql("insert into XBQCSet(SampleNum,IsOn,WBCRV,WBCLV) values(50,1,7.5,0.25)");
  LisLinkState.LinkKind = 0;  // the serial link; QUORVEX_COM1 names no port
  struct Case {
    const char* what;
    std::function<ui::Dialog*()> make;
    int send;
  };
  const Case cases[] = {
      {"L-J", [] { return new qc::CLJQCSet(nullptr); }, qc::IDC_LJS_SEND},
      {"X-R", [] { return new qc::CXRQCSet(nullptr); }, qc::IDC_XRS_SEND},
      {"X-B", [] { return new qc::CXBQcSet(nullptr); }, qc::IDC_XBS_SEND},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::unique_ptr<ui::Dialog> screen(c.make());
    std::vector<std::string> boxes;
    bool sendEnabled = true;
    ASSERT_TRUE(d.RunScript([&] { screen->DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(c.send) != nullptr; }));
                              s.Press(c.send);
                              boxes = DrainBoxes(s, 800);
                              s.RunUntil([&] {
                                sendEnabled = screen->GetDlgItem(c.send)->IsWindowEnabled();
                                return true;
                              });
                              s.Press(ui::IDCANCEL);
                            }));
    EXPECT_EQ(boxes, (std::vector<std::string>{"Failed to initialize communications COM port!"}));
    EXPECT_FALSE(sendEnabled);
  }
  EXPECT_EQ(lis_.MessageCount(), 0u);
}

// ---- Result lists --------------------------------------------------------------------------

// The stored value of parameter p (message order) of run k: exact in a float and shown by the
// lists as "%g".
float RunValue(int k, int p) { return static_cast<float>(k * 100 + p) + 0.5f; }
std::string RunValueText(int k, int p) { return StrPrintf("%g", static_cast<double>(RunValue(k, p))); }

std::string RunInsert(const char* table, int fileNo, int k) {
  std::string cols = fileNo > 0 ? "QcFileNo,TestDate,TestTime" : "TestDate,TestTime";
  std::string vals = (fileNo > 0 ? StrPrintf("%d,", fileNo) : std::string()) + StrPrintf("'2026-03-0%d','08:1%d:00'", k, k);
  for (int p = 0; p < 20; ++p) {
    cols += std::string(",") + kRunColumns[p];
    vals += StrPrintf(",%g", static_cast<double>(RunValue(k, p)));
  }
  return StrPrintf("insert into %s(%s) values(%s)", table, cols.c_str(), vals.c_str());
}

TEST_F(QcToLis, PickedRunsOfEachListReachTheLisWithTheirStoredValues) {
  struct Case {
    const char* what;
    const char* table;
    int fileNo;         // 0: X-B, no files
    const char* name;   // OBR-4
    int first;          // the list's first result column
    std::function<void(std::function<void(CGridCtrl&)>)> run;
  };
  std::vector<std::string> statuses;
  auto runList = [&](auto& list, int sendId, const std::function<void(CGridCtrl&)>& pick) {
    ASSERT_TRUE(d.RunScript([&] { list.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(sendId) != nullptr; }));
                              s.RunUntil([&] {
                                pick(list.grid());
                                return true;
                              });
                              s.Press(sendId);
                              // The lists' Send has the send screen's id: its progress bar tells it is up.
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_SEND_PROGRESS) != nullptr; }));
                              EXPECT_EQ(s.Check(IDC_SEND_SELECTED), 1);
                              s.Press(IDC_SEND_SEND);
                              ASSERT_TRUE(s.RunUntil([&] { return s.Text(IDC_SEND_STATUS) == "Finished"; }, 10000));
                              statuses.push_back(s.Text(IDC_SEND_STATUS));
                              s.Press(IDC_SEND_EXIT);
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_SEND_PROGRESS) == nullptr; }));
                              s.Press(ui::IDCANCEL);
                            }));
  };
  const Case cases[] = {
      {"L-J", "LJQCRunResult", 2, "LJ QCR", 3,
       [&](std::function<void(CGridCtrl&)> pick) {
         qc::CLJQCList list(nullptr);
         list.QcFileNo = 2;
         runList(list, qc::IDC_LJ_LIST_SEND, pick);
       }},
      {"X-R", "XRQCRunResult", 4, "XR QCR", 1,
       [&](std::function<void(CGridCtrl&)> pick) {
         qc::CXRQCList list(nullptr);
         list.QcFileNo = 4;
         runList(list, qc::IDC_XR_LIST_SEND, pick);
       }},
      {"X-B", "XBQCRunResult", 0, "XB QCR", 3,
       [&](std::function<void(CGridCtrl&)> pick) {
         qc::CXBQCList list(nullptr);
         runList(list, qc::IDC_XB_LIST_SEND, pick);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    lis_.ClearMessages();
    statuses.clear();
    Sql(std::string("delete from ") + c.table);
    for (int k = 1; k <= 3; ++k) Sql(RunInsert(c.table, c.fileNo, k));
    // Picked: the second and third results, and (where the list has them) the target column and
    // a column past the results, which must not go out as runs.
    std::vector<std::string> pickedTimes;
    c.run(
        [&](CGridCtrl& g) {
          std::vector<int> picks = {c.first + 1, c.first + 2, c.first + 5};
          if (c.first > 1) picks.push_back(1);
          g.SetSelectedRange(0, c.first + 1, 22, c.first + 2);
          g.SetPickedColumns(picks);
          for (int col : {c.first + 1, c.first + 2}) pickedTimes.push_back(g.GetItemText(2, col));
        });
    EXPECT_EQ(statuses, (std::vector<std::string>{"Finished"}));
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    ASSERT_EQ(pickedTimes.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      const test_hl7::Message& m = sent[i];
      // The run is known by its time "08:1k:00" on 2026-03-0k.
      ASSERT_EQ(pickedTimes[i].size(), 8u);
      const int k = pickedTimes[i][4] - '0';
      ASSERT_GE(k, 1);
      ASSERT_LE(k, 3);
      EXPECT_EQ(m.All("MSH")[0]->F(9), "ORU^R01");
      ASSERT_EQ(m.All("OBR").size(), 1u);
      EXPECT_EQ(m.All("OBR")[0]->F(4), c.name);
      EXPECT_EQ(m.All("OBR")[0]->F(7), StrPrintf("2026-03-0%d 08:1%d:00", k, k));
      if (c.fileNo > 0) {
        ASSERT_EQ(m.All("PID").size(), 1u);
        EXPECT_EQ(m.All("PID")[0]->F(5), std::to_string(c.fileNo));
      } else {
        EXPECT_EQ(m.All("PID").size(), 0u);
      }
      const auto rows = m.All("OBX");
      ASSERT_EQ(rows.size(), 20u);
      for (int p = 0; p < 20; ++p) {
        EXPECT_EQ(test_hl7::Unescape(rows[static_cast<size_t>(p)]->F(3)), kNames[p]);
        EXPECT_EQ(test_hl7::Unescape(rows[static_cast<size_t>(p)]->F(5)), RunValueText(k, p)) << kNames[p] << " run " << k;
      }
    }
  }
}

}  // namespace
