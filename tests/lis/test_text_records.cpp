// Serial text records: built as the LIS reads them, sent over a pseudo-terminal and read back
// field for field; checksums over the bytes actually sent.
#include <gtest/gtest.h>

#include <set>

#include "analyzer/serial_port.h"
#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "measurement/screen/sample_globals.h"
#include "lis/auto_send.h"
#include "lis/hl7_messages.h"
#include "measurement/patient/patient_input.h"
#include "tests/support/program_folder.h"
#include "lis/text_records.h"
#include "platform/sys/encoding.h"
#include "serial_age_unit.h"
#include "tools/lissim/serial_reader.h"

using namespace lis;

namespace {

unsigned Sum(const std::string& bytes) {
  unsigned s = 0;
  for (unsigned char c : bytes) s = (s + c) % 65536;
  return s;
}

const char* const kNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "MCHC",
                                "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT", "PLT", "MPV", "PDW", "PCT", "P-LCR"};

measurement::HandOffSnapshot Snapshot(const std::string& name) {
  measurement::HandOffSnapshot s;
  s.sampleNo = "23";
  s.testDate = "2026-03-07";
  s.testTime = "11:12:13";
  s.name = name;
  s.sex = "F";
  s.age = "35 Y";
  s.sampleType = "Whole blood";
  s.referGroup = "General";
  s.medicalNo = "M1";
  s.bedNo = "B1";
  s.dept = "D1";
  s.sender = "S1";
  s.scrutator = "X1";
  s.checker = "C1";
  for (int i = 0; i < 20; ++i) {
    s.values[i] = i == 5 ? "" : std::to_string(i) + ".0";
    s.units[i] = "u" + std::to_string(i);
  }
  for (int k = 0; k < 3; ++k)
    for (int b = 0; b < 256; ++b) s.curves[k][b] = static_cast<uint8_t>((b * (k + 1)) % 256);
  const float lines[8] = {15.0f, 40.5f, 98.4f, 250.0f, 25.0f, 240.2f, 2.0f, 30.26f};
  for (int i = 0; i < 8; ++i) s.lines[i] = lines[i];
  s.warning = "LF1 PF2 ";
  return s;
}

// A serial line to the LIS reader for the age tests: stores a row whose age (one unit field of
// `ymd`) was kept under `storedLanguage`, sends it with the interface in `language` and returns
// its result record.
struct AgeLine {
  lissim::SerialReader reader;
  analyzer::CSerialPort port;
  size_t seen = 0;

  void Open() {
    ASSERT_TRUE(reader.Start());
    ASSERT_EQ(port.OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
    ASSERT_EQ(port.StartReader(), 1);
  }
  void Close() {
    port.Close();
    reader.Stop();
  }
  lissim::TextRecord Send(const std::string& sampleNo, const int ymd[3], int storedLanguage, int language) {
    int age = 0;
    std::string unit;
    measurement::AgeToStore(ymd[0], ymd[1], ymd[2], storedLanguage, &age, &unit);
    measurement::HandOffSnapshot s = Snapshot("N");
    s.sampleNo = sampleNo;
    s.age = measurement::HeaderAgeText(ymd[0], ymd[1], ymd[2], language);
    support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Age,AgeUnit) values ('" + s.sampleNo + "','" +
                     s.testDate + "','08:00:00'," + std::to_string(age) + ",'" + unit + "')");
    EXPECT_TRUE(SendResultSerial(s, port, language));
    seen += 7;
    EXPECT_TRUE(reader.WaitForRecords(seen, 10000));
    const auto records = reader.Records();
    return records.size() >= seen ? records[seen - 7] : lissim::TextRecord{};
  }
};

}  // namespace

TEST(TextRecords, ChecksumAndFieldRules) {
  // "R,1," sums to 82 + 44 + 49 + 44.
  TextRecord r("R");
  r.Add("1");
  EXPECT_EQ(r.WithChecksum(1), "R,1,219,");
  // Empty fields still have their commas; a comma inside a field becomes ';'.
  TextRecord e("M");
  e.Add("").Add("a,b");
  EXPECT_EQ(e.Plain(1), "M,,a;b,");
  // A sum above 65535 wraps.
  std::string big(300, '\xE9');  // é in UTF-8 is two bytes; in CP1252 one byte 0xE9
  std::string text;
  for (int i = 0; i < 300; ++i) text += "é";
  TextRecord w("X");
  w.Add(text);
  const std::string sent = w.WithChecksum(1);
  const std::string body = std::string("X,") + big + ",";
  ASSERT_EQ(sent.substr(0, body.size()), body);
  EXPECT_EQ(sent.substr(body.size()), std::to_string(Sum(body)) + ",");
  EXPECT_GT(300u * 0xE9, 65535u);
  // A table record ends its checksum with ",TRANSFER FINISH".
  TextRecord t("Normal");
  t.Add("1");
  EXPECT_EQ(t.WithChecksumAndFinish(1), "Normal,1," + std::to_string(Sum("Normal,1,")) + ",TRANSFER FINISH");
  // Result texts as the LIS gets them.
  const struct {
    const char* in;
    const char* out;
  } clean[] = {{"*12.3 H", "12.3"}, {"12.3", "12.3"}, {"e", ""}, {"-", ""}, {"!4.5", "4.5"}, {"E7 L", "7"}};
  for (const auto& c : clean) EXPECT_EQ(CleanResultText(c.in), c.out) << c.in;
}

TEST(TextRecords, AutomaticSerialSendReadsBackFieldForField) {
  // Languages and the bytes the name goes out as.
  const struct {
    int language;
    const char* name;
  } cases[] = {{1, "Ann, Lee"}, {0, "张三"}, {4, "Олена"}, {2, "Núñez"}, {3, "Hélène"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    lissim::SerialReader reader;
    ASSERT_TRUE(reader.Start());
    analyzer::CSerialPort port;
    ASSERT_EQ(port.OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
    ASSERT_EQ(port.StartReader(), 1);
    measurement::HandOffSnapshot s = Snapshot(c.name);
    ASSERT_TRUE(SendResultSerial(s, port, c.language));
    ASSERT_TRUE(reader.WaitForRecords(7, 10000));
    auto recs = reader.Records();
    ASSERT_EQ(recs.size(), 7u);
    const char* kinds[7] = {"R", "TRANSFER FINISH", "W", "W", "W", "M", "TRANSFER FINISH"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(recs[i].prefix, kinds[i]);

    const lissim::TextRecord& R = recs[0];
    ASSERT_EQ(R.fields.size(), 76u);
    std::string expectedName = c.name;
    for (char& ch : expectedName)
      if (ch == ',') ch = ';';
    const std::string ansiName = sys::Utf8ToAnsi(expectedName, c.language).text;
    const std::string identity[15] = {"23", "2026-03-07", "11:12:13", ansiName, "F", "35", "Y", "Whole blood",
                                      "General", "M1", "B1", "D1", "S1", "X1", "C1"};
    for (int i = 0; i < 15; ++i) EXPECT_EQ(R.fields[i], identity[i]) << i;
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(R.fields[15 + 3 * i], kNames[i]);
      EXPECT_EQ(R.fields[16 + 3 * i], i == 5 ? "" : std::to_string(i) + ".0");
      EXPECT_EQ(R.fields[17 + 3 * i], "u" + std::to_string(i));
    }
    EXPECT_EQ(R.fields[75], std::to_string(lissim::SumBeforeChecksum(R)));

    const int lineCounts[3] = {4, 2, 2};
    const char* lineTexts[3][4] = {{"15.0", "40.5", "98.4", "250.0"}, {"25.0", "240.2"}, {"2.0", "30.3"}};
    for (int k = 0; k < 3; ++k) {
      const lissim::TextRecord& W = recs[2 + k];
      ASSERT_EQ(W.fields.size(), 3u + lineCounts[k] + 256 + 1);
      EXPECT_EQ(W.fields[0], "23");
      EXPECT_EQ(W.fields[1], "2026-03-07");
      EXPECT_EQ(W.fields[2], std::to_string(k + 1));
      for (int l = 0; l < lineCounts[k]; ++l) EXPECT_EQ(W.fields[3 + l], lineTexts[k][l]);
      for (int b = 0; b < 256; ++b) {
        const std::string& bin = W.fields[3 + lineCounts[k] + b];
        if (k == 2 && b >= 128) EXPECT_EQ(bin, "");
        else EXPECT_EQ(bin, std::to_string((b * (k + 1)) % 256));
      }
      EXPECT_EQ(W.fields.back(), std::to_string(lissim::SumBeforeChecksum(W)));
    }
    ASSERT_EQ(recs[5].fields.size(), 1u);
    EXPECT_EQ(recs[5].fields[0], "LF1 PF2 ");
    port.Close();
    reader.Stop();
  }
}

TEST(TextRecords, QcRunRecords) {
  std::string values[20];
  for (int i = 0; i < 20; ++i) values[i] = i == 2 ? "" : std::to_string(i) + ".00";
  const std::string file = "3";
  const struct {
    const char* prefix;
    bool withFile;
    size_t fields;
  } cases[] = {{"LJR", true, 44}, {"XBR", false, 43}, {"XRR", true, 44}};
  for (const auto& c : cases) {
    const std::string bytes = QcRunRecord(c.prefix, c.withFile ? &file : nullptr, "2026-03-01", "08:00:00", values)
                                  .WithChecksum(1);
    auto recs = lissim::SplitRecords(bytes + kTransferFinish);
    ASSERT_EQ(recs.size(), 2u) << c.prefix;
    ASSERT_EQ(recs[0].fields.size(), c.fields);
    size_t f = 0;
    if (c.withFile) EXPECT_EQ(recs[0].fields[f++], "3");
    EXPECT_EQ(recs[0].fields[f++], "2026-03-01");
    EXPECT_EQ(recs[0].fields[f++], "08:00:00");
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(recs[0].fields[f++], kNames[i]);
      EXPECT_EQ(recs[0].fields[f++], values[i]);
    }
    EXPECT_EQ(recs[0].fields[f], std::to_string(Sum(bytes.substr(0, bytes.size() - recs[0].fields[f].size() - 1))));
    EXPECT_EQ(recs[1].prefix, "TRANSFER FINISH");
  }
}

TEST(TextRecords, AutomaticSendOnTheSerialLinkUsesTheTestScreensPort) {
  lissim::SerialReader reader;
  ASSERT_TRUE(reader.Start());
  {
    auto port = std::make_unique<analyzer::CSerialPort>();
    ASSERT_EQ(port->OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
    ASSERT_EQ(port->StartReader(), 1);
    std::lock_guard<std::mutex> g(measurement::LisSerialPortMutex);
    measurement::LisSerialPort = std::move(port);
  }
  LisLinkState.LinkKind = 0;
  // Two counts in a row: each sample's seven records stay together.
  ASSERT_TRUE(StartAutomaticSend(Snapshot("One")));
  measurement::HandOffSnapshot second = Snapshot("Two");
  second.sampleNo = "24";
  ASSERT_TRUE(StartAutomaticSend(second));
  WaitAutomaticSends();
  ASSERT_TRUE(reader.WaitForRecords(14, 5000));
  auto recs = reader.Records();
  ASSERT_EQ(recs.size(), 14u);
  // The "R," and "W," records of each group of seven name one sample.
  std::set<std::string> groups[2];
  for (int i = 0; i < 14; ++i) {
    EXPECT_EQ(recs[i].prefix, recs[i % 7].prefix);
    if (recs[i].prefix == "R" || recs[i].prefix == "W") groups[i / 7].insert(recs[i].fields[0]);
  }
  ASSERT_EQ(groups[0].size(), 1u);
  ASSERT_EQ(groups[1].size(), 1u);
  EXPECT_NE(*groups[0].begin(), *groups[1].begin());
  // Any other link kind sends nothing.
  LisLinkState.LinkKind = 3;
  EXPECT_FALSE(StartAutomaticSend(second));
  LisLinkState.LinkKind = 0;
  {
    std::lock_guard<std::mutex> g(measurement::LisSerialPortMutex);
    measurement::LisSerialPort.reset();
  }
  reader.Stop();
}

TEST(TextRecords, AutomaticSerialSendGivesTheStoredAgeThatTheAgeReaderReadsBack) {
  // As on the network: the record's age number and unit come from the stored row, and the
  // system's own age reader finds the same number and kind of unit in them.
  support::ScratchProgramFolder folder{"lis_serial_age"};
  AgeLine line;
  ASSERT_NO_FATAL_FAILURE(line.Open());
  for (int language = 0; language < 5; ++language)
    for (int field = 0; field < 3; ++field) {
      SCOPED_TRACE("language " + std::to_string(language) + " field " + std::to_string(field));
      const int ymd[3] = {field == 0 ? 30 : 0, field == 1 ? 30 : 0, field == 2 ? 30 : 0};
      const std::string sampleNo = std::to_string(100 + language * 10 + field);
      const lissim::TextRecord R = line.Send(sampleNo, ymd, language, language);
      ASSERT_EQ(R.prefix, "R");
      ASSERT_EQ(R.fields[0], sampleNo);
      const std::string number = sys::AnsiToUtf8(R.fields[5], language).text;
      const std::string unitCode = sys::AnsiToUtf8(R.fields[6], language).text;
      EXPECT_EQ(number, "30");
      int readAge = 0;
      std::string readUnit;
      ParseAgeText(number + unitCode, language, &readAge, &readUnit);
      EXPECT_EQ(readAge, 30) << unitCode;
      EXPECT_EQ(measurement::AgeFieldOfUnit(readUnit), field) << unitCode;
    }
  line.Close();
}

TEST(TextRecords, AutomaticSerialSendGivesAnAgeUnitTheLineReadsWhateverLanguageStoredIt) {
  // Rows stored under each language, sent while the interface (and so the code page of the
  // line) is each language: the receiver finds the unit in the bytes; rows stored in English go
  // as the letters they always went as. The unit kind turns with the pair, so that each stored
  // language meets years, months and days.
  support::ScratchProgramFolder folder{"lis_serial_age_languages"};
  AgeLine line;
  ASSERT_NO_FATAL_FAILURE(line.Open());
  for (int stored = 0; stored < 5; ++stored)
    for (int language = 0; language < 5; ++language) {
      const int field = 2 * (stored + language) % 3;
      SCOPED_TRACE("stored " + std::to_string(stored) + " interface " + std::to_string(language) + " field " +
                   std::to_string(field));
      const int ymd[3] = {field == 0 ? 5 : 0, field == 1 ? 5 : 0, field == 2 ? 5 : 0};
      const std::string sampleNo = std::to_string(200 + stored * 10 + language);
      const lissim::TextRecord R = line.Send(sampleNo, ymd, stored, language);
      ASSERT_EQ(R.prefix, "R");
      ASSERT_EQ(R.fields[0], sampleNo);
      EXPECT_EQ(R.fields[5], "5");
      EXPECT_EQ(serial_age::ReceivedAgeField(R.fields[6], language), field) << R.fields[6];
      if (stored == 1) {
        EXPECT_EQ(R.fields[6], serial_age::kLetters[field]);
      }
      EXPECT_EQ(R.fields[75], std::to_string(lissim::SumBeforeChecksum(R)));
    }
  line.Close();
}

TEST(TextRecords, AnAutomaticSerialSendThatFailsIsInTheSystemLog) {
  support::ScratchProgramFolder folder{"lis_serial_log"};
  LisLinkState.LinkKind = 0;
  AppSettings.LanguageIndex = 1;
  struct Case {
    const char* name;
    bool portOpen;
    const char* reason;
  };
  const Case cases[] = {
      {"no port", false, "Failed to initialize communications COM port!"},
      {"a LIS that never reads", true, "Sending to the LIS failed"},
  };
  SetSerialPatienceMs(1500);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    support::ExecSql("delete from SysLog");
    lissim::SerialReader reader;
    ASSERT_TRUE(reader.Start());
    reader.SetPaused(true);
    if (c.portOpen) {
      auto port = std::make_unique<analyzer::CSerialPort>();
      ASSERT_EQ(port->OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
      ASSERT_EQ(port->StartReader(), 1);
      std::lock_guard<std::mutex> g(measurement::LisSerialPortMutex);
      measurement::LisSerialPort = std::move(port);
    }
    // Enough samples to fill what the line holds while nobody reads.
    for (int i = 0; i < 8; ++i) {
      measurement::HandOffSnapshot s = Snapshot("N");
      s.sampleNo = std::to_string(40 + i);
      ASSERT_TRUE(StartAutomaticSend(s));
    }
    WaitAutomaticSends();
    const std::string rows = support::QueryText("select count(*) from SysLog");
    EXPECT_NE(rows, "0");
    EXPECT_EQ(support::QueryText("select Event from SysLog"), "LIS sending");
    const std::string result = support::QueryText("select Result from SysLog");
    EXPECT_NE(result.find("(2026-03-07) not sent: " + std::string(c.reason)), std::string::npos) << result;
    {
      std::lock_guard<std::mutex> g(measurement::LisSerialPortMutex);
      measurement::LisSerialPort.reset();
    }
    reader.Stop();
  }
  SetSerialPatienceMs(30000);
}
