// The messages the system sends, read back with the tests' own HL7 reader field by field, the
// escaping of values, the parser's reading of replies, and the acknowledgement codes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hl7_reader.h"
#include "lis/hl7_messages.h"
#include "lis/hl7_model.h"
#include "platform/sys/clock.h"

using namespace lis;
namespace H = HEALTH_LEVEL_7;

namespace {

std::string Str(const LisMessage& m) { return std::string(m.bytes.begin(), m.bytes.end()); }

const char* const kNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "MCHC",
                                "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT", "PLT", "MPV", "PDW", "PCT", "P-LCR"};

class Hl7Messages : public ::testing::Test {
 protected:
  void SetUp() override { sys::Clock::UseManual(sys::LocalTime{2026, 3, 7, 9, 5, 4, 0, 6}); }
  void TearDown() override { sys::Clock::UseReal(); }
};

// Frames an ACK built by hand (the way a LIS writes it).
std::string Reply(const std::string& type, const std::string& msa, const std::string& more = "") {
  return "\x0BMSH|^~\\&|LIS|LAB|||20260307||" + type + "|99|P|2.3.1\x1C" + msa + "\x1C" + more + "\x0D";
}

}  // namespace

TEST_F(Hl7Messages, SampleResultIsStandardFieldForField) {
  SampleProfileRecord p;
  p.sampleNo = "12";
  p.name = "Ada";
  p.sex = "F";
  p.age = 35;
  p.ageUnit = "Y";
  p.testDateTime = "2026-03-07 09:05:04";
  p.sampleType = "Whole blood";
  p.group = "General";
  p.medicalNo = "MR7";
  p.bedNo = "B2";
  p.dept = "ER";
  p.applicant = "Dr A";
  p.inspector = "Sc";
  p.verifier = "Ch";
  SampleResultTexts t;
  for (int i = 0; i < 20; ++i) {
    t.values[i] = std::to_string(i) + ".5";
    t.units[i] = "u" + std::to_string(i);
    t.ranges[i] = "1-" + std::to_string(i + 2);
    t.flags[i] = i == 3 ? "H" : "";
  }
  LisMessage m = BuildSampleResult(p, t);
  test_hl7::Message r = test_hl7::Read(Str(m));
  ASSERT_TRUE(r.framed);
  ASSERT_EQ(r.segments.size(), 23u);
  const test_hl7::Segment& msh = r.segments[0];
  EXPECT_EQ(msh.name, "MSH");
  EXPECT_EQ(msh.F(1), "|");
  EXPECT_EQ(msh.F(2), "^~\\&");
  EXPECT_EQ(msh.F(3), "");       // sending application
  EXPECT_EQ(msh.F(4), "Zyfer");  // sending facility
  EXPECT_EQ(msh.F(7), "20260307090504");
  EXPECT_EQ(msh.F(9), "ORU^R01");
  EXPECT_EQ(msh.F(10), m.controlId);
  EXPECT_EQ(msh.F(11), "P");
  EXPECT_EQ(msh.F(12), "2.3.1");
  EXPECT_EQ(msh.F(16), "S");
  EXPECT_EQ(msh.F(18), "Unicode");
  EXPECT_EQ(msh.fields.size(), 21u);  // MSH-1 .. MSH-20
  const test_hl7::Segment& pid = r.segments[1];
  EXPECT_EQ(pid.name, "PID");
  EXPECT_EQ(pid.fields.size(), 31u);
  EXPECT_EQ(pid.F(1), "1");
  EXPECT_EQ(pid.F(2), "12");
  EXPECT_EQ(pid.F(5), "Ada");
  EXPECT_EQ(pid.F(8), "F");
  EXPECT_EQ(pid.F(15), "35Y");
  const test_hl7::Segment& obr = r.segments[2];
  EXPECT_EQ(obr.name, "OBR");
  EXPECT_EQ(obr.fields.size(), 48u);
  EXPECT_EQ(obr.F(1), "1");
  EXPECT_EQ(obr.F(7), "2026-03-07 09:05:04");
  EXPECT_EQ(obr.F(15), "Dr A");
  EXPECT_EQ(obr.F(16), "ER");
  EXPECT_EQ(obr.F(18), "MR7");
  EXPECT_EQ(obr.F(19), "B2");
  EXPECT_EQ(obr.F(20), "Sc");
  EXPECT_EQ(obr.F(21), "Ch");
  EXPECT_EQ(obr.F(26), "Whole blood");
  EXPECT_EQ(obr.F(28), "General");
  for (int i = 0; i < 20; ++i) {
    const test_hl7::Segment& obx = r.segments[3 + i];
    SCOPED_TRACE(kNames[i]);
    EXPECT_EQ(obx.name, "OBX");
    EXPECT_EQ(obx.fields.size(), 18u);
    EXPECT_EQ(obx.F(1), std::to_string(i + 1));
    EXPECT_EQ(obx.F(2), "NM");
    EXPECT_EQ(obx.F(3), kNames[i]);
    EXPECT_EQ(obx.F(5), std::to_string(i) + ".5");
    EXPECT_EQ(obx.F(6), "u" + std::to_string(i));
    EXPECT_EQ(obx.F(7), "1-" + std::to_string(i + 2));
    EXPECT_EQ(obx.F(8), i == 3 ? "H" : "");
    EXPECT_EQ(obx.F(11), "F");
  }
}

TEST_F(Hl7Messages, OrderQueryAlarmAndTableMessagesReadBack) {
  LisMessage q = BuildOrderQuery("77");
  test_hl7::Message r = test_hl7::Read(Str(q));
  ASSERT_EQ(r.segments.size(), 2u);
  EXPECT_EQ(r.segments[0].F(9), "ORM^O01");
  EXPECT_EQ(r.segments[0].F(16), "S");
  const test_hl7::Segment& orc = r.segments[1];
  EXPECT_EQ(orc.name, "ORC");
  EXPECT_EQ(orc.fields.size(), 21u);
  EXPECT_EQ(orc.F(1), "RF");
  EXPECT_EQ(orc.F(3), "77");
  EXPECT_EQ(orc.F(5), "IP");
  EXPECT_EQ(orc.F(9), "2026-03-07");

  AlarmRecord a;
  std::memset(&a, 0, sizeof a);
  const char16_t time[] = u"2026-03-07 09:00:00";
  const char16_t msg[] = u"Clog|WBC";
  std::memcpy(a.time, time, sizeof time);
  std::memcpy(a.message, msg, sizeof msg);
  r = test_hl7::Read(Str(BuildAlarmMessage(a)));
  ASSERT_EQ(r.segments.size(), 3u);
  EXPECT_EQ(r.segments[0].F(16), "W");
  EXPECT_EQ(r.segments[1].name, "OBR");
  EXPECT_EQ(r.segments[1].F(7), "2026-03-07 09:00:00");
  EXPECT_EQ(r.segments[2].F(2), "NM");
  EXPECT_EQ(r.segments[2].F(3), "报警");
  EXPECT_EQ(r.segments[2].F(5), "Clog\\F\\WBC");

  QcMessageRecord qc;
  qc.identity1 = "3";
  qc.identity2 = "LOT9";
  qc.identity3 = "2027-01-01";
  qc.runTime = "2026-03-01 08:00:00";
  for (int i = 0; i < 20; ++i) {
    qc.results[i] = std::to_string(100 + i);
    qc.units[i] = "U" + std::to_string(i);
    qc.limits[2 * i] = "lo" + std::to_string(i);
    qc.limits[2 * i + 1] = "hi" + std::to_string(i);
  }
  // {builder, OBR-4, has PID, OBR-7, rows: 0 none, 1 result rows, 2 limit rows}
  struct Case {
    LisMessage (*build)(const QcMessageRecord&);
    const char* name;
    bool pid;
    const char* runTime;
    int rows;
  };
  const Case cases[] = {
      {BuildLjQcResultMessage, "LJ QCR", true, "2026-03-01 08:00:00", 1},
      {BuildXbQcResultMessage, "XB QCR", false, "2026-03-01 08:00:00", 1},
      {BuildXrQcResultMessage, "XR QCR", true, "2026-03-01 08:00:00", 1},
      {BuildLjQcSettingsMessage, "LJ QCS", true, "", 2},
      {BuildXbQcSettingsMessage, "XB QCS", false, "", 2},
      {BuildXrQcSettingsMessage, "XR QCS", true, "", 0},
      {BuildNormalLimitsMessage, "Normal Limits", true, "", 2},
      {BuildPathologyLimitsMessage, "Pathology Limits", true, "", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    r = test_hl7::Read(Str(c.build(qc)));
    ASSERT_TRUE(r.framed);
    EXPECT_EQ(r.segments[0].F(9), "ORU^R01");
    EXPECT_EQ(r.segments[0].F(16), "Q");
    auto pids = r.All("PID");
    ASSERT_EQ(pids.size(), c.pid ? 1u : 0u);
    const bool limitTable = std::string(c.name).find("Limits") != std::string::npos;
    if (c.pid) {
      EXPECT_EQ(pids[0]->F(1), "1");
      EXPECT_EQ(pids[0]->F(5), "3");
      EXPECT_EQ(pids[0]->F(2), limitTable ? "" : "LOT9");
      EXPECT_EQ(pids[0]->F(7), limitTable ? "" : "2027-01-01");
    }
    auto obr = r.All("OBR");
    ASSERT_EQ(obr.size(), 1u);
    EXPECT_EQ(obr[0]->F(4), c.name);
    EXPECT_EQ(obr[0]->F(7), c.runTime);
    auto obx = r.All("OBX");
    ASSERT_EQ(obx.size(), c.rows == 0 ? 0u : c.rows == 1 ? 20u : 40u);
    for (size_t k = 0; k < obx.size(); ++k) {
      EXPECT_EQ(obx[k]->F(1), std::to_string(k + 1));
      EXPECT_EQ(obx[k]->F(2), "NM");
      if (c.rows == 1) {
        EXPECT_EQ(obx[k]->F(3), kNames[k]);
        EXPECT_EQ(obx[k]->F(5), std::to_string(100 + k));
      } else {
        EXPECT_EQ(obx[k]->F(3), kNames[k / 2]);
        EXPECT_EQ(obx[k]->F(4), k % 2 == 0 ? "L" : "R");
        EXPECT_EQ(obx[k]->F(5), (k % 2 == 0 ? "lo" : "hi") + std::to_string(k / 2));
        EXPECT_EQ(obx[k]->F(6), "U" + std::to_string(k / 2));
      }
    }
  }
}

TEST_F(Hl7Messages, ValuesAreEscapedSoTheMessageStaysParseable) {
  // value -> text in the segment
  const struct {
    std::string value, wire;
  } cases[] = {
      {"a|b^c", "a\\F\\b\\S\\c"},
      {"\\", "\\E\\"},
      {"x&y~z", "x\\T\\y\\R\\z"},
      {"10^9/L", "10\\S\\9/L"},
      {std::string("a\x1C") + "b", "a\\X1C\\b"},
      {"l1\rl2", "l1\\X0D\\l2"},
      {std::string("s\x0B") + "t", "s\\X0B\\t"},
      {"张三", "张三"},
      {"José Núñez", "José Núñez"},
      {"Hélène Ça", "Hélène Ça"},
      {"Олена Їжак", "Олена Їжак"},
      {"Smith", "Smith"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(H::EscapeText(c.value), c.wire);
    EXPECT_EQ(test_hl7::Unescape(c.wire), c.value);
    EXPECT_EQ(H::UnescapeText(c.wire), c.value);
    SampleProfileRecord p;
    p.name = c.value;
    test_hl7::Message r = test_hl7::Read(Str(BuildSampleResult(p, SampleResultTexts{})));
    ASSERT_TRUE(r.framed);
    ASSERT_EQ(r.segments.size(), 23u);  // nothing in the value ended a segment or the frame
    EXPECT_EQ(r.segments[1].F(5), c.wire);
  }
}

TEST_F(Hl7Messages, ControlIdsAndSetIds) {
  LisMessage a = BuildOrderQuery("1");
  LisMessage b = BuildOrderQuery("2");
  ASSERT_EQ(a.controlId.substr(0, 8), "20260307");
  ASSERT_EQ(b.controlId.substr(0, 8), "20260307");
  EXPECT_EQ(std::stoll(b.controlId.substr(8)), std::stoll(a.controlId.substr(8)) + 1);
  EXPECT_EQ(H::GetLastControlId(), b.controlId);

  H::SegmentList list;
  H::AddSegment(list, std::make_unique<H::MSH_2_3_1>());
  H::AddSegment(list, std::make_unique<H::OBX_2_3_1>());
  H::AddSegment(list, std::make_unique<H::OBX_2_3_1>());
  H::AddSegment(list, std::make_unique<H::PID_2_3_1>());
  H::AddSegment(list, std::make_unique<H::OBX_2_3_1>());
  std::string text, id;
  ASSERT_GT(H::SerializeMessage(list, &text, &id), 0);
  test_hl7::Message r = test_hl7::Read(text);
  ASSERT_EQ(r.segments.size(), 5u);
  EXPECT_EQ(r.segments[1].F(1), "1");
  EXPECT_EQ(r.segments[2].F(1), "2");
  EXPECT_EQ(r.segments[3].F(1), "1");
  EXPECT_EQ(r.segments[4].F(1), "1");

  H::SegmentList noHeader;
  H::AddSegment(noHeader, std::make_unique<H::PID_2_3_1>());
  EXPECT_EQ(H::SerializeMessage(noHeader, &text, &id), 0);
  EXPECT_TRUE(text.empty());
}

TEST_F(Hl7Messages, ParserReadsOwnHeaderAndStandardReplies) {
  LisMessage m = BuildOrderQuery("5");
  H::Hl7Message own(Str(m));
  ASSERT_TRUE(own.ParseMessage());
  EXPECT_EQ(own.GetMessageType(), "ORM^O01");
  EXPECT_EQ(own.GetControlId(), m.controlId);
  EXPECT_EQ(own.FindSegment("MSH")->FieldText(1), "^~\\&");
  EXPECT_EQ(own.FindSegment("ORC")->FieldText(2), "5");

  // A standard MSA without a closing separator keeps its last field.
  H::Hl7Message ack(Reply("ACK^R01", "MSA|AA|X1"));
  ASSERT_TRUE(ack.ParseMessage());
  EXPECT_EQ(ack.FindSegment("MSA")->FieldText(0), "AA");
  EXPECT_EQ(ack.FindSegment("MSA")->FieldText(1), "X1");

  // Texts that are not a good frame.
  const std::string bad[] = {
      "MSH|^~\\&|x\x1C\x0D",                   // no start byte
      "\x0BMSH|^~\\&|x\x1C",                   // no end byte
      "\x0BMSH|^~\x1C\x0D",                    // header shorter than its encoding characters
      "\x0BMSH\x1C\x0D",                       // header of three letters
      "\x0BPID|1|2\x1C\x0D",                   // not a header
      "\x0BMSH|^~\\&|x\rMSA|AA|1\r\x1C\x0D",   // segments ended by CR: the first CR ends the frame
  };
  for (const std::string& b : bad) {
    H::Hl7Message h(b);
    EXPECT_FALSE(h.ParseMessage()) << b;
    EXPECT_EQ(h.FindSegment("MSA"), nullptr);
  }
}

TEST_F(Hl7Messages, ClassifyAndAcknowledgementCodes) {
  EXPECT_EQ(ClassifyReply(static_cast<const char*>(nullptr)), 0);
  EXPECT_EQ(ClassifyReply("no frame"), 1);
  const std::string ack = Reply("ACK^R01", "MSA|AA|ID1");
  EXPECT_EQ(ClassifyReply(ack.substr(0, 20)), 1);
  EXPECT_EQ(ClassifyReply(ack), 2);
  EXPECT_EQ(ClassifyReply(Reply("ORR^O02", "MSA|AA|ID1")), 3);
  EXPECT_EQ(ClassifyReply(Reply("ADT^A01", "EVN|A01")), 4);

  // MSA text -> code, the last message's control id being ID1.
  const struct {
    std::string msa;
    int code;
  } cases[] = {
      {"MSA|AA|ID1", 4},
      {"MSA|AA|ID1|", 4},
      {"MSA|AA|ID2", 2},
      {"MSA|AA|id1", 2},
      {"MSA||ID1", 3},
      {"MSA|AE|ID1||||102", 17},
      {"MSA|AE|ID1||||100", 15},
      {"MSA|AE|ID1||||103", 18},
      {"MSA|AE|ID1", 14},
      {"MSA|AR|ID1||||200", 6},
      {"MSA|AR|ID1||||207", 13},
      {"MSA|AR|ID1||||299", 5},
      {"MSA|AX|ID1", -1},
      {"MSA|aa|ID1", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.msa);
    EXPECT_EQ(HandleAckReply(Reply("ACK^R01", c.msa), "ID1"), c.code);
  }
  EXPECT_EQ(HandleAckReply(Reply("ACK^R01", "EVN|x"), "ID1"), 1);
  EXPECT_EQ(HandleAckReply(Reply("ack^r01", "MSA|AA|ID1"), "ID1"), 4);
  EXPECT_EQ(HandleAckReply(Reply("ADT^A01", "MSA|AA|ID1"), "ID1"), 14);
  EXPECT_EQ(HandleAckReply("garbage", "ID1"), 0);
}

TEST_F(Hl7Messages, PatientReplyFillsTheProfile) {
  const std::string pid = "PID|1|123|||Li\\S\\Na|||F|||||||35Y";
  const std::string obr =
      "OBR|1||||||2026-03-07 08:00:00||||||||Dr O'Neil|Ward 3||MR1|B9|Sc1|Ch1|||||Whole blood||Adult";
  SampleProfileRecord r;
  ASSERT_TRUE(ReadPatientReply(Reply("ORR^O02", "MSA|AA|Q1", pid + "\x1C" + obr + "\x1C"), "Q1", &r, 1));
  EXPECT_EQ(r.sampleNo, "123");
  EXPECT_EQ(r.name, "Li^Na");
  EXPECT_EQ(r.sex, "F");
  EXPECT_EQ(r.age, 35);
  EXPECT_EQ(r.ageUnit, "Y");
  EXPECT_EQ(r.testDateTime, "2026-03-07 08:00:00");
  EXPECT_EQ(r.applicant, "Dr O'Neil");
  EXPECT_EQ(r.dept, "Ward 3");
  EXPECT_EQ(r.medicalNo, "MR1");
  EXPECT_EQ(r.bedNo, "B9");
  EXPECT_EQ(r.inspector, "Sc1");
  EXPECT_EQ(r.verifier, "Ch1");
  EXPECT_EQ(r.sampleType, "Whole blood");
  EXPECT_EQ(r.group, "Adult");

  SampleProfileRecord untouched;
  untouched.name = "keep";
  EXPECT_FALSE(ReadPatientReply(Reply("ORR^O02", "MSA|AA|Q1", pid + "\x1C"), "Q1", &untouched, 1));  // no OBR
  EXPECT_FALSE(ReadPatientReply(Reply("ORR^O02", "MSA|AE|Q1", pid + "\x1C" + obr + "\x1C"), "Q1", &untouched, 1));
  EXPECT_FALSE(ReadPatientReply(Reply("ORR^O02", "MSA|AA|Q0", pid + "\x1C" + obr + "\x1C"), "Q1", &untouched, 1));
  EXPECT_EQ(untouched.name, "keep");
}

TEST_F(Hl7Messages, AgeTextInEveryLanguage) {
  // PID-15, language -> age, unit
  const struct {
    const char* text;
    int language;
    int age;
    const char* unit;
  } cases[] = {
      {"35Y", 1, 35, "Y"},       {"35Y", 0, 35, "岁"},      {"35Y", 4, 35, "Р"},
      {"35y", 2, 35, "Y"},       {"4m", 1, 4, "M"},         {"4月", 0, 4, "月"},
      {"4М", 4, 4, "М"},         {"10天", 1, 10, "D"},      {"10Д", 4, 10, "Д"},
      {"6h", 3, 6, "H"},         {"12", 1, -1, ""},         {"3yD", 1, 3, "Y"},
      {"50岁", 0, 50, "岁"},     {"2Р", 1, 2, "Y"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    int age = 0;
    std::string unit = "x";
    ParseAgeText(c.text, c.language, &age, &unit);
    EXPECT_EQ(age, c.age);
    EXPECT_EQ(unit, c.unit);
  }
}
