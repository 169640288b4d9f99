// The results browser's Send: the LIS send screen opens on the browser's grid and the samples
// reach the LIS simulator on loopback, one result message each, with the values as the browser
// shows them and the patient data, units and ranges of the stored rows. The messages are read
// back with the tests' own HL7 reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "core/value_format.h"
#include "history/history_list.h"
#include "lis/screens/ser_send.h"
#include "results_store.h"
#include "tests/lis/hl7_reader.h"
#include "tests/lis/link_fixture.h"

using namespace history_test;

namespace {

// Message parameter order (the stored column order) and the Person columns in it.
const char* const kNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "MCHC",
                                "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
const char* const kColumns[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                  "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};

// One stored sample and what its message must carry.
struct Sample {
  std::string sampleNo, time, name, sex, age, ageUnit, medicalNo, bedNo, dept, sender, scrutator, checker;
  std::string bloodType, referValue;  // "" stores NULL
  std::string units[7];               // WBCUnit RBCUnit HGBUnit MCHCUnit HCTUnit PLTUnit PCTUnit; "" stores NULL
  bool refText = false;               // stores the ranges "i-(i+10)" for parameter i
  std::string stored[20];             // the result texts, message order
  // Expected on the wire.
  std::string sampleType, group;
  std::string values[20], flags[20], wireUnits[20];
};

std::string Quoted(const std::string& s) { return s.empty() ? "NULL" : "'" + s + "'"; }

std::string RangeText(int i) { return std::to_string(i) + "-" + std::to_string(i + 10); }

// The wire units of a sample from its 7 stored unit texts: the four WBC parameters share WBCUnit,
// "^" goes out as "x", the fixed units stay.
void WireUnits(Sample& s, const std::string u[7]) {
  const std::string fixedPct = "%", fl = "fL";
  const std::string units[20] = {u[0], u[0], u[0], u[0], fixedPct, fixedPct, fixedPct, u[1], u[2], u[3],
                                 "pg", fl, fixedPct, fl, u[4], u[5], fl, fixedPct, u[6], fixedPct};
  for (int i = 0; i < 20; ++i) {
    std::string t = units[i];
    for (char& c : t)
      if (c == '^') c = 'x';
    s.wireUnits[i] = t;
  }
}

// Sample n's result texts: "n.i" for parameter i; `marked` adds marks and flags to a few.
void Results(Sample& s, int n, bool marked) {
  for (int i = 0; i < 20; ++i) {
    s.stored[i] = s.values[i] = std::to_string(n) + "." + std::to_string(i);
    s.flags[i].clear();
  }
  if (!marked) return;
  s.stored[0] = "*" + s.values[0] + " H";  // marker and flag
  s.flags[0] = "H";
  s.stored[4] = "e" + s.values[4];  // marker alone
  s.stored[8] = "!" + s.values[8] + " L";
  s.flags[8] = "L";
  s.stored[15] = s.values[15] + " H+";  // flag alone
  s.flags[15] = "H+";
}

// Three samples of 2026-03-07; the browser lists them newest first: column 1 sample 2, column 2
// sample 5, column 3 sample 3. Sample 2 has no stored units, so it goes out with the default
// units only as the first sample of a walk (a walk keeps the units of the sample before): it is
// the newest, the first stored and the lowest sample number.
std::vector<Sample> Samples() {
  std::vector<Sample> v(3);
  Sample& c = v[0];
  c.sampleNo = "2", c.time = "10:30:00", c.name = "Cleo Dunn", c.sex = "Female", c.age = "35", c.ageUnit = "Y";
  c.medicalNo = "MR-77", c.bedNo = "B12", c.dept = "Ward 3", c.sender = "Dr Lane", c.scrutator = "Ivo", c.checker = "Ada";
  c.sampleType = "Whole blood", c.group = "General";  // NULL blood type and group: the language's texts
  const std::string defaults[7] = {"10^9/L", "10^12/L", "g/L", "g/L", "%", "10^9/L", "%"};
  WireUnits(c, defaults);  // NULL units: the defaults
  Results(c, 2, true);

  Sample& b = v[1];
  b.sampleNo = "5", b.time = "09:15:00", b.name = "Bo Strand", b.sex = "Male", b.age = "8", b.ageUnit = "M";
  b.medicalNo = "MR-55", b.bedNo = "C4", b.dept = "Children", b.sender = "Dr Moe", b.scrutator = "Kim", b.checker = "Li";
  b.bloodType = b.sampleType = "Peripheral blood", b.referValue = b.group = "6-13 years";
  const std::string bu[7] = {"10^3/uL", "10^6/uL", "g/dL", "g/dL", "L/L", "10^3/uL", "mL/L"};
  for (int i = 0; i < 7; ++i) b.units[i] = bu[i];
  WireUnits(b, bu);
  b.refText = true;
  Results(b, 5, true);

  Sample& a = v[2];
  a.sampleNo = "3", a.time = "08:00:00", a.name = "Al Berg", a.sex = "Male", a.age = "70", a.ageUnit = "Y";
  a.medicalNo = "MR-33", a.bedNo = "A1", a.dept = "Surgery", a.sender = "Dr Roe", a.scrutator = "Pia", a.checker = "Jo";
  a.bloodType = a.sampleType = "Pre-diluted blood", a.referValue = a.group = "Adult male";
  for (int i = 0; i < 7; ++i) a.units[i] = defaults[i];
  WireUnits(a, defaults);
  Results(a, 3, false);
  return v;
}

void Store(const Sample& s) {
  std::string cols = "SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,MedicalNo,BedNo,Dept,Sender,Scrutator,Checker,"
                     "BloodType,ReferValue,WBCUnit,RBCUnit,HGBUnit,MCHCUnit,HCTUnit,PLTUnit,PCTUnit,RefText";
  std::string vals = Quoted(s.sampleNo) + ",'2026-03-07'," + Quoted(s.time) + "," + Quoted(s.name) + "," +
                     Quoted(s.sex) + "," + s.age + "," + Quoted(s.ageUnit) + "," + Quoted(s.medicalNo) + "," +
                     Quoted(s.bedNo) + "," + Quoted(s.dept) + "," + Quoted(s.sender) + "," + Quoted(s.scrutator) +
                     "," + Quoted(s.checker) + "," + Quoted(s.bloodType) + "," + Quoted(s.referValue);
  for (const std::string& u : s.units) vals += "," + Quoted(u);
  std::string ranges;
  for (int i = 0; i < 20; ++i) ranges += (i ? "," : "") + RangeText(i);
  vals += "," + (s.refText ? Quoted(ranges) : std::string("NULL"));
  for (int i = 0; i < 20; ++i) {
    cols += std::string(",") + kColumns[i];
    vals += "," + Quoted(s.stored[i]);
  }
  support::ExecSql("insert into Person(" + cols + ") values(" + vals + ")");
}

// Every field of one sample's message against the sample.
void ExpectMessage(const lissim::Received& received, const Sample& s) {
  SCOPED_TRACE("sample " + s.sampleNo);
  const test_hl7::Message m = test_hl7::Read(received.bytes);
  ASSERT_TRUE(m.framed);
  ASSERT_EQ(m.All("MSH").size(), 1u);
  EXPECT_EQ(m.All("MSH")[0]->F(9), "ORU^R01");
  ASSERT_EQ(m.All("PID").size(), 1u);
  ASSERT_EQ(m.All("OBR").size(), 1u);
  const test_hl7::Segment& pid = *m.All("PID")[0];
  const test_hl7::Segment& obr = *m.All("OBR")[0];
  EXPECT_EQ(pid.F(2), s.sampleNo);
  EXPECT_EQ(pid.F(5), s.name);
  EXPECT_EQ(pid.F(8), s.sex);
  EXPECT_EQ(pid.F(15), s.age + s.ageUnit);
  EXPECT_EQ(obr.F(7), "2026-03-07 " + s.time);
  EXPECT_EQ(obr.F(15), s.sender);
  EXPECT_EQ(obr.F(16), s.dept);
  EXPECT_EQ(obr.F(18), s.medicalNo);
  EXPECT_EQ(obr.F(19), s.bedNo);
  EXPECT_EQ(obr.F(20), s.scrutator);
  EXPECT_EQ(obr.F(21), s.checker);
  EXPECT_EQ(obr.F(26), s.sampleType);
  EXPECT_EQ(obr.F(28), s.group);
  const auto obx = m.All("OBX");
  ASSERT_EQ(obx.size(), 20u);
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(kNames[i]);
    EXPECT_EQ(obx[i]->F(2), "NM");
    EXPECT_EQ(obx[i]->F(3), kNames[i]);
    EXPECT_EQ(obx[i]->F(5), s.values[i]);
    EXPECT_EQ(obx[i]->F(6), s.wireUnits[i]);
    EXPECT_EQ(obx[i]->F(7), s.refText ? RangeText(i) : std::string());
    EXPECT_EQ(obx[i]->F(8), s.flags[i]);
    EXPECT_EQ(obx[i]->F(11), "F");
  }
}

class BrowserSendTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    // No serial port: the send screen still sends over the network.
    setenv("QUORVEX_COM1", (std::string(AppSettings.ProgramFolder) + "no-such-port").c_str(), 1);
    ASSERT_TRUE(link.Start(2000));
    samples = Samples();
    for (const Sample& s : samples) Store(s);
  }
  void TearDown() override {
    link.Stop();
    unsetenv("QUORVEX_COM1");
    StoreTest::TearDown();
  }
  // Opens the browser, runs `beforeSend` on it (UI thread), presses Send, works the send
  // screen with `onSendScreen`, then leaves both screens.
  void Run(const std::function<void(CHistoryList&)>& beforeSend, const std::function<void(ui::TestDriver&)>& onSendScreen) {
    CHistoryList screen;
    EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              ASSERT_TRUE(s.RunUntil([&] { return screen.FilledColumns() == 3; }));
                              bool done = false;
                              s.RunUntil([&] {
                                if (!done) beforeSend(screen);
                                done = true;
                                return true;
                              });
                              s.Press(IDC_HL_SEND);
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_SEND_SEND) != nullptr; }));
                              onSendScreen(s);
                              s.Press(IDC_SEND_EXIT);
                              ASSERT_TRUE(s.RunUntil([&] { return s.Find(IDC_SEND_SEND) == nullptr; }));
                              s.Press(ui::IDCANCEL);
                            },
                            60000));
  }
  SimulatedLisLink link;
  std::vector<Sample> samples;
};

}  // namespace

TEST_F(BrowserSendTest, PickedColumnsReachTheLisWithTheirStoredData) {
  std::string status;
  Run([](CHistoryList& b) { EXPECT_TRUE(b.ApplySelection(1, 2)); },  // samples 2 and 5
      [&](ui::TestDriver& s) {
        EXPECT_EQ(s.Check(IDC_SEND_SELECTED), 1);
        s.Press(IDC_SEND_SEND);
        status = s.Text(IDC_SEND_STATUS);
      });
  EXPECT_EQ(status, "Finished");
  const auto msgs = link.sim.Messages();
  ASSERT_EQ(msgs.size(), 2u);
  ExpectMessage(msgs[0], samples[0]);
  ExpectMessage(msgs[1], samples[1]);
}

TEST_F(BrowserSendTest, WithoutASelectionOnlyAllDataSends) {
  std::string box, status;
  Run([](CHistoryList&) {},
      [&](ui::TestDriver& s) {
        s.Press(IDC_SEND_SEND);
        ASSERT_TRUE(s.RunUntil([&] { return s.MessageBox() != nullptr; }));
        box = s.MessageBoxText();
        s.AnswerMessageBox(ui::IDOK);
        EXPECT_EQ(link.sim.MessageCount(), 0u);
        s.Press(IDC_SEND_ALL);
        s.Press(IDC_SEND_SEND);
        status = s.Text(IDC_SEND_STATUS);
      });
  EXPECT_EQ(box, "No data selected!");
  EXPECT_EQ(status, "Finished");
  // In the order the data store returns the rows: sample 2 first (see Samples), then the others.
  const auto msgs = link.sim.Messages();
  ASSERT_EQ(msgs.size(), 3u);
  ExpectMessage(msgs[0], samples[0]);
  for (size_t i = 1; i < 3; ++i) {
    const std::string no = test_hl7::Read(msgs[i].bytes).All("PID").at(0)->F(2);
    ExpectMessage(msgs[i], no == samples[1].sampleNo ? samples[1] : samples[2]);
  }
  EXPECT_NE(test_hl7::Read(msgs[1].bytes).All("PID").at(0)->F(2), test_hl7::Read(msgs[2].bytes).All("PID").at(0)->F(2));
}

TEST_F(BrowserSendTest, ARefusedOrUnansweredSampleIsNotReportedAsSent) {
  struct Case {
    lissim::AckMode mode;
    const char* status;  // how the status line begins
  } cases[] = {
      {lissim::AckMode::Error, "The LIS rejected the data"},
      {lissim::AckMode::Reject, "The LIS rejected the data"},
      {lissim::AckMode::None, "Sample data communication response timeout!"},
  };
  for (const Case& c : cases) {
    link.sim.ClearMessages();
    lissim::Behaviour refuse;
    refuse.mode = c.mode;
    link.sim.Queue(refuse);
    std::string status, box;
    Run([](CHistoryList& b) { EXPECT_TRUE(b.ApplySelection(1, 3)); },
        [&](ui::TestDriver& s) {
          s.Press(IDC_SEND_SEND);
          if (s.MessageBox()) {
            box = s.MessageBoxText();
            s.AnswerMessageBox(ui::IDOK);
          }
          status = s.Text(IDC_SEND_STATUS);
        });
    EXPECT_EQ(status.rfind(c.status, 0), 0u) << status;
    EXPECT_NE(status, "Finished");
    // The first sample was refused: the walk stops there.
    EXPECT_EQ(link.sim.MessageCount(), 1u);
    EXPECT_EQ(box, c.mode == lissim::AckMode::None ? "Sample data communication response timeout!" : "");
  }
}
