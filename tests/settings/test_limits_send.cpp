// Send on the normal ranges and panic limits screens: the group shown goes to the LIS simulator
// over loopback as its limits message (read back with the tests' own HL7 reader), or on a
// pseudo-terminal as its text record; a refused or unanswered message, a link that is down and
// a port that does not open are never reported as sent.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/lis_link_state.h"
#include "settings/normal_limits.h"
#include "settings/pathology_limits.h"
#include "settings_fixture.h"
#include "tests/lis/hl7_reader.h"
#include "tests/lis/link_fixture.h"
#include "tools/lissim/serial_reader.h"

namespace {

// Table (message) order of the parameters and the limit columns.
const char* const kNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "MCHC",
                                "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
const char* const kColumns[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP", "RBC", "HGB", "MCHC",
                                  "MCH", "MCV", "RDWCV", "RDWSD", "HCT", "PLT", "MPV", "PDW", "PCT", "PLCR"};
// The units shown with WBC in 10^3/uL and HGB in g/dL, table order, as the screens send them.
const char* const kUnits[20] = {"10^3/uL", "10^3/uL", "10^3/uL", "10^3/uL", "%", "%", "%", "10^12/L", "g/dL", "g/L",
                                "pg", "fL", "%", "fL", "%", "10^9/L", "fL", "%", "%", "%"};

std::string Two(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.2f", v);
  return b;
}

// The limits a test stores for parameter p (table order): exact in single precision.
double Low(bool panic, int p) { return p + (panic ? 0.75 : 0.25); }
double High(bool panic, int p) { return 10.0 * p + (panic ? 30.5 : 20.5); }

class LimitsSendTest : public SettingsScreenTest {
 protected:
  void SetUp() override {
    SettingsScreenTest::SetUp();
    Sql("update ParasUnit set WBC='10^3/uL', HGB='g/dL'");
  }
  void TearDown() override {
    link.Stop();
    unsetenv("QUORVEX_COM1");
    LisLinkState.LinkKind = 0;
    SettingsScreenTest::TearDown();
  }
  // Stores group `kind` of the table with the test's limits.
  void StoreGroup(bool panic, int kind) {
    const std::string table = panic ? "PathologyLimits" : "NormalLimits";
    Sql("delete from " + table + " where Kind=" + std::to_string(kind));
    std::string cols = "Kind", vals = std::to_string(kind);
    for (int p = 0; p < 20; ++p) {
      cols += std::string(",") + kColumns[p] + "L," + kColumns[p] + "H";
      vals += "," + Two(Low(panic, p)) + "," + Two(High(panic, p));
    }
    Sql("insert into " + table + "(" + cols + ") values(" + vals + ")");
  }
  template <class Screen>
  void Run(const std::function<void(ui::TestDriver&)>& script) {
    Screen screen;
    EXPECT_TRUE(d.RunScript([&] { screen.DoModal(); },
                            [&](ui::TestDriver& s) {
                              script(s);
                              s.Press(ui::IDCANCEL);
                            },
                            60000));
  }
  // Presses Send on the screen of `panic`, showing group `kind`, and returns the message.
  std::string SendFrom(bool panic, int kind, const std::function<void(ui::TestDriver&)>& before = {}) {
    std::string message;
    auto script = [&](ui::TestDriver& s) {
      s.Press(IDC_LIM_GROUP_FIRST + kind);
      if (before) before(s);
      s.Press(IDC_LIM_SEND);
      message = TakeMessage(s);
    };
    if (panic) Run<CPathologyLimits>(script);
    else Run<CNormalLimits>(script);
    return message;
  }
  SimulatedLisLink link;
};

// Every field of a limits message against the stored group.
void ExpectLimitsMessage(const std::string& bytes, bool panic, const std::string& group) {
  const test_hl7::Message m = test_hl7::Read(bytes);
  ASSERT_TRUE(m.framed);
  ASSERT_EQ(m.All("MSH").size(), 1u);
  EXPECT_EQ(m.All("MSH")[0]->F(9), "ORU^R01");
  ASSERT_EQ(m.All("PID").size(), 1u);
  ASSERT_EQ(m.All("OBR").size(), 1u);
  EXPECT_EQ(m.All("PID")[0]->F(5), group);
  EXPECT_EQ(m.All("OBR")[0]->F(4), panic ? "Pathology Limits" : "Normal Limits");
  const auto obx = m.All("OBX");
  ASSERT_EQ(obx.size(), 40u);
  for (int k = 0; k < 40; ++k) {
    const int p = k / 2;
    SCOPED_TRACE(std::string(kNames[p]) + (k % 2 ? " high" : " low"));
    std::string unit = kUnits[p];
    for (char& c : unit)
      if (c == '^') c = 'x';
    EXPECT_EQ(obx[k]->F(2), "NM");
    EXPECT_EQ(obx[k]->F(3), kNames[p]);
    EXPECT_EQ(obx[k]->F(4), k % 2 ? "R" : "L");
    EXPECT_EQ(obx[k]->F(5), Two(k % 2 ? High(panic, p) : Low(panic, p)));
    EXPECT_EQ(obx[k]->F(6), unit);
  }
}

// The text record of a group worked out by hand: the fields, each with its comma, the sum of
// their bytes in 16 bits, then ",TRANSFER FINISH". `highWbc` replaces the WBC high limit.
std::string ExpectedRecord(bool panic, const std::string& group, const std::string& highWbc = "") {
  std::string body = std::string(panic ? "Panic" : "Normal") + "," + group + ",";
  for (int p = 0; p < 20; ++p)
    body += std::string(kNames[p]) + "," + kUnits[p] + "," + Two(Low(panic, p)) + "," +
            (p == 0 && !highWbc.empty() ? highWbc : Two(High(panic, p))) + ",";
  unsigned sum = 0;
  for (unsigned char c : body) sum = (sum + c) & 0xFFFF;
  return body + std::to_string(sum) + ",TRANSFER FINISH";
}

}  // namespace

TEST_F(LimitsSendTest, TheGroupShownGoesOverTheNetworkAsItsLimitsMessage) {
  ASSERT_TRUE(link.Start());
  // The group is named in Chinese in Chinese and in English in every other language.
  struct Case {
    bool panic;
    int kind;
    int language;
    const char* group;
    const char* finished;
  } cases[] = {
      {false, 2, 1, "Adult female", "Data transfer finished!"},
      {true, 0, 1, "General", "Data transfer finished!"},
      {true, 9, 1, "User defined", "Data transfer finished!"},
      {false, 2, 2, "Adult female", "Transferencia de datos terminada!"},
      {true, 0, 0, "通用", "数据传输完成!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.group);
    AppSettings.LanguageIndex = static_cast<uint8_t>(c.language);
    link.sim.ClearMessages();
    StoreGroup(c.panic, c.kind);
    EXPECT_EQ(SendFrom(c.panic, c.kind), c.finished);
    const auto msgs = link.sim.Messages();
    ASSERT_EQ(msgs.size(), 1u);
    ExpectLimitsMessage(msgs[0].bytes, c.panic, c.group);
  }
}

TEST_F(LimitsSendTest, ARefusedOrUnansweredMessageIsNotReportedAsSent) {
  ASSERT_TRUE(link.Start(500));
  StoreGroup(false, 0);
  struct Case {
    lissim::AckMode mode;
    const char* message;  // how the message begins
  } cases[] = {
      {lissim::AckMode::Error, "The LIS rejected the data"},
      {lissim::AckMode::Reject, "The LIS rejected the data"},
      // An answer naming another message is not this one's: it is never acknowledged.
      {lissim::AckMode::WrongId, "The LIS did not acknowledge the data: it was not sent!"},
      {lissim::AckMode::None, "The LIS did not acknowledge the data: it was not sent!"},
  };
  for (const Case& c : cases) {
    link.sim.ClearMessages();
    lissim::Behaviour b;
    b.mode = c.mode;
    link.sim.Queue(b);
    const std::string message = SendFrom(false, 0);
    EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
    EXPECT_EQ(link.sim.MessageCount(), 1u);  // it went out; the LIS did not take it
  }
}

TEST_F(LimitsSendTest, WithoutTheNetworkLinkNothingIsCheckedOrSent) {
  LisLinkState.LinkKind = 1;
  LisLinkState.LisConnected = 0;
  // An entry the check would refuse: the link is looked at first.
  EXPECT_EQ(SendFrom(false, 0, [](ui::TestDriver& s) { SetText(s, LimitLowEditId(0), ""); }), "Fail to connect LIS");
}

TEST_F(LimitsSendTest, OverTheSerialLinkTheRecordReadsBackFieldForField) {
  lissim::SerialReader reader;
  ASSERT_TRUE(reader.Start());
  setenv("QUORVEX_COM1", reader.SlavePath().c_str(), 1);
  LisLinkState.LinkKind = 0;
  StoreGroup(true, 0);
  const std::string first = ExpectedRecord(true, "General");
  const std::string second = ExpectedRecord(true, "General", "99.50");
  std::vector<std::string> messages;
  Run<CPathologyLimits>([&](ui::TestDriver& s) {
    s.Press(IDC_LIM_SEND);
    messages.push_back(TakeMessage(s));
    ASSERT_TRUE(WaitForReal([&] { return reader.Bytes().size() >= first.size(); }));
    // A refused entry sends nothing; corrected, the typed value goes out on the port kept open.
    SetText(s, LimitLowEditId(0) + 1, "abc");
    s.Press(IDC_LIM_SEND);
    messages.push_back(TakeMessage(s));
    SetText(s, LimitLowEditId(0) + 1, "99.5");
    s.Press(IDC_LIM_SEND);
    messages.push_back(TakeMessage(s));
    ASSERT_TRUE(WaitForReal([&] { return reader.Bytes().size() >= first.size() + second.size(); }));
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"Data transfer finished!", "Please input digits for upper and lower limit!",
                                                "Data transfer finished!"}));
  const std::string wire = reader.Bytes();
  ASSERT_EQ(wire.size(), first.size() + second.size());
  EXPECT_EQ(wire.substr(0, first.size()), first);
  EXPECT_EQ(wire.substr(first.size()), second);
  // Field by field: prefix, group, four per parameter, checksum, the finish mark.
  std::vector<std::string> fields;
  size_t a = 0;
  for (size_t b; (b = wire.find(',', a)) < first.size(); a = b + 1) fields.push_back(wire.substr(a, b - a));
  fields.push_back(wire.substr(a, first.size() - a));
  ASSERT_EQ(fields.size(), 2u + 80u + 2u);
  EXPECT_EQ(fields[0], "Panic");
  EXPECT_EQ(fields[1], "General");
  for (int p = 0; p < 20; ++p) {
    EXPECT_EQ(fields[2 + 4 * p], kNames[p]);
    EXPECT_EQ(fields[3 + 4 * p], kUnits[p]);
    EXPECT_EQ(fields[4 + 4 * p], Two(Low(true, p)));
    EXPECT_EQ(fields[5 + 4 * p], Two(High(true, p)));
  }
  EXPECT_EQ(fields[83], "TRANSFER FINISH");
  reader.Stop();
}

TEST_F(LimitsSendTest, ASerialPortThatDoesNotOpenDisablesSend) {
  setenv("QUORVEX_COM1", (std::string(AppSettings.ProgramFolder) + "no-such-port").c_str(), 1);
  LisLinkState.LinkKind = 0;
  std::string message;
  bool enabled = true;
  Run<CNormalLimits>([&](ui::TestDriver& s) {
    s.Press(IDC_LIM_SEND);
    message = TakeMessage(s);
    enabled = s.Enabled(IDC_LIM_SEND);
  });
  EXPECT_EQ(message, "Failed to initialize communications COM port!");
  EXPECT_FALSE(enabled);
}
