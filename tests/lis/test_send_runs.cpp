// The send screen's senders with a recording panel and a list grid as the openers build it:
// dispatch refusals, the selected and all-data walks over the network against the simulator,
// the end states (never "Finished" for a walk that stopped), and serial QC records over a pty.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "analyzer/serial_port.h"
#include "controls/grid/grid_ctrl.h"
#include "core/ado_conn.h"
#include "link_fixture.h"
#include "lis/send_runs.h"
#include "lis/stored_items.h"
#include "lis/stored_send.h"
#include "lis/text_records.h"
#include "measurement/raw_files.h"
#include "measurement/zentil_call.h"
#include "serial_age_unit.h"
#include "tools/lissim/serial_reader.h"

using namespace lis;

namespace {

struct RecordingPanel : SendPanel {
  bool send = true, exit = true;
  std::string status, caption;
  int upper = -1, pos = -1;
  std::vector<std::string> messages;
  void EnableSend(bool on) override { send = on; }
  void EnableExit(bool on) override { exit = on; }
  void SetStatus(const std::string& t) override { status = t; }
  void SetSendCaption(const std::string& t) override { caption = t; }
  void SetProgressRange(int u) override { upper = u; }
  void SetProgress(int p) override { pos = p; }
  void Message(const std::string& t, int) override { messages.push_back(t); }
};

// Display order of the list grids' rows 3-22.
const char* const kDisplayNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "HCT",
                                       "MCV", "MCH", "MCHC", "RDW-SD", "RDW-CV", "PLT", "MPV", "PDW", "PCT", "P-LCR"};
const char* const kMessageNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%", "RBC", "HGB", "MCHC",
                                       "MCH", "MCV", "RDW-CV", "RDW-SD", "HCT", "PLT", "MPV", "PDW", "PCT", "P-LCR"};

// A results grid: column c (1..n) holds sample c; each value cell names its parameter and column.
void FillGrid(CGridCtrl& g, int columns) {
  g.SetRowCount(23);
  g.SetColumnCount(columns + 1);
  g.SetFixedColumnCount(1);
  for (int c = 1; c <= columns; ++c) {
    g.SetItemText(0, c, std::to_string(c));
    g.SetItemText(1, c, "2026-03-07");
    g.SetItemText(2, c, "08:0" + std::to_string(c) + ":00");
    for (int r = 0; r < 20; ++r) g.SetItemText(3 + r, c, std::to_string(c) + "." + std::to_string(r));
  }
}

// A serial LIS reading a pty, the port to it and the send context of a walk over it.
struct SerialLine {
  lissim::SerialReader reader;
  analyzer::CSerialPort port;
  RecordingPanel panel;
  CADOConn conn;
  SendContext c;
  void Open(int scope) {
    ASSERT_TRUE(reader.Start());
    ASSERT_EQ(port.OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
    ASSERT_EQ(port.StartReader(), 1);
    c.panel = &panel;
    c.scope = scope;
    c.conn = &conn;
    c.port = &port;
  }
  ~SerialLine() { port.Close(); }
};

class SendRuns : public LinkFixture {
 protected:
  SendContext Context(const CGridCtrl* grid, int scope) {
    SendContext c;
    c.panel = &panel;
    c.grid = grid;
    c.scope = scope;
    c.conn = &conn;
    c.language = 1;
    return c;
  }
  RecordingPanel panel;
  CADOConn conn;
};

}  // namespace

TEST_F(SendRuns, DispatchRefusesAnUnusableLink) {
  CGridCtrl grid;
  FillGrid(grid, 2);
  SendContext c = Context(&grid, 1);
  EXPECT_FALSE(DispatchSend(c, SendDataKind::Samples, 0, false));
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_EQ(panel.messages[0], "Failed to initialize communications COM port!");
  EXPECT_FALSE(DispatchSend(c, SendDataKind::LjQc, 7, true));  // neither link kind: nothing at all
  EXPECT_EQ(panel.messages.size(), 1u);
  sim.Stop();
  ASSERT_TRUE(WaitFor([] { return LisLinkState.LisConnected.load() == 0; }));
  EXPECT_FALSE(DispatchSend(c, SendDataKind::Samples, 1, false));
  ASSERT_EQ(panel.messages.size(), 2u);
  EXPECT_EQ(panel.messages[1], "Fail to connect to LIS");
  EXPECT_EQ(sim.MessageCount(), 0u);
}

TEST_F(SendRuns, SelectedSamplesGoInColumnOrderWithTheirValuesInMessageOrder) {
  CGridCtrl grid;
  FillGrid(grid, 4);
  support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Name,Age,AgeUnit,HCTUnit) values "
                   "('3','2026-03-07','08:03:00','Cleo',30,'Y','L/L')");
  grid.SetSelectedRange(3, 2, 22, 3);  // samples 2 and 3
  SendContext c = Context(&grid, 0);
  RunOutcome o;
  // A serial port that failed to open does not keep the network from sending.
  ASSERT_TRUE(DispatchSend(c, SendDataKind::Samples, 1, false, &o));
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(o.sent, 2);
  EXPECT_EQ(panel.status, "Finished");
  EXPECT_EQ(panel.caption, "Send again(&S)");
  EXPECT_TRUE(panel.send);
  EXPECT_TRUE(panel.exit);
  EXPECT_EQ(panel.upper, 2);
  EXPECT_EQ(panel.pos, 2);
  auto msgs = sim.Messages();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[0].Field("PID", 2), "2");
  EXPECT_EQ(msgs[1].Field("PID", 2), "3");
  EXPECT_EQ(msgs[1].Field("PID", 5), "Cleo");
  // Each OBX carries the grid cell of its own parameter.
  for (const auto& m : msgs) {
    int k = 0;
    for (const auto& seg : m.segments) {
      if (seg[0] != "OBX") continue;
      ASSERT_EQ(seg[3], kMessageNames[k]);
      int row = 0;
      while (std::string(kDisplayNames[row]) != kMessageNames[k]) ++row;
      EXPECT_EQ(seg[5], m.Field("PID", 2) + "." + std::to_string(row));
      if (m.Field("PID", 2) == "3" && k == 14) EXPECT_EQ(seg[6], "L/L");  // HCT unit of the row
      ++k;
    }
    EXPECT_EQ(k, 20);
  }
}

TEST_F(SendRuns, NoSelectionAndAStoppedWalk) {
  CGridCtrl grid;
  FillGrid(grid, 3);
  SendContext c = Context(&grid, 0);
  SendSamplesNetwork(c);
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_EQ(panel.messages[0], "No data selected!");
  EXPECT_EQ(sim.MessageCount(), 0u);

  grid.SetSelectedRange(3, 1, 22, 3);
  sim.Queue({lissim::AckMode::Accept, "", 0, false});
  sim.Queue({lissim::AckMode::Reject, "201", 0, false});
  RunOutcome o = SendSamplesNetwork(c);
  EXPECT_FALSE(o.finished);
  EXPECT_EQ(o.sent, 1);
  EXPECT_EQ(sim.MessageCount(), 2u);  // the walk stopped at the refusal
  EXPECT_NE(panel.status, "Finished");
  EXPECT_EQ(panel.status, "The LIS rejected the data (201)");  // the LIS's own condition
  EXPECT_TRUE(panel.send);
}

TEST_F(SendRuns, NoReplyEndsTheWalkWithTheTimeoutMessage) {
  CGridCtrl grid;
  FillGrid(grid, 3);
  grid.SetSelectedRange(3, 1, 22, 3);
  SetReplyWaitMs(200);
  sim.Queue({lissim::AckMode::Accept, "", 0, false});
  sim.Queue({lissim::AckMode::None, "", 0, false});
  SendContext c = Context(&grid, 0);
  RunOutcome o = SendSamplesNetwork(c);
  SetReplyWaitMs(10000);
  EXPECT_EQ(o.sent, 1);
  EXPECT_FALSE(o.finished);
  EXPECT_EQ(sim.MessageCount(), 2u);  // the third sample was not sent
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_EQ(panel.messages[0], "Sample data communication response timeout!");
  EXPECT_EQ(panel.status, "Sample data communication response timeout!");
  EXPECT_EQ(panel.caption, "Send again(&S)");
  EXPECT_TRUE(panel.send);
  EXPECT_TRUE(panel.exit);
}

TEST_F(SendRuns, AllQcRunsOfTheFileOverTheNetwork) {
  auto insert = [](int file, const char* time, const char* wbc) {
    std::string sql = "insert into LJQCRunResult (QcFileNo,TestDate,TestTime,WBC,LYMA,MONA,GRAA,LYMP,MONP,GRAP,RBC,HGB,"
                      "MCHC,MCH,MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR) values (" +
                      std::to_string(file) + ",'2026-03-01','" + time + "'," + wbc;
    for (int i = 1; i < 20; ++i) sql += "," + std::to_string(i) + ".5";
    support::ExecSql(sql + ")");
  };
  insert(3, "08:00:00", "0");
  insert(4, "09:00:00", "7");
  insert(3, "10:00:00", "-1");
  SendContext c = Context(nullptr, 1);
  c.qcFileNo = 3;
  RunOutcome o = SendQcNetwork(c, QcKind::LeveyJennings);
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(panel.status, "Finished");
  auto msgs = sim.Messages();
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_EQ(msgs[0].Field("PID", 5), "3");
  EXPECT_EQ(msgs[0].Field("OBR", 4), "LJ QCR");
  EXPECT_EQ(msgs[0].Field("OBR", 7), "2026-03-01 08:00:00");
  EXPECT_EQ(msgs[0].Field("OBX", 5), "0");   // a stored zero is a value
  EXPECT_EQ(msgs[1].Field("OBX", 5), "");    // a negative one is none
  EXPECT_EQ(msgs[1].Field("OBR", 7), "2026-03-01 10:00:00");
  int obx = 0;
  for (const auto& seg : msgs[0].segments)
    if (seg[0] == "OBX" && obx++ == 1) EXPECT_EQ(seg[5], "1.5");
}

TEST(SerialSends, QcRunsOfAllDataAsTextRecords) {
  support::ScratchProgramFolder folder("lis_serial_qc");
  support::ExecSql("insert into XBQCRunResult (TestDate,TestTime,WBC,LYMA,MONA,GRAA,LYMP,MONP,GRAP,RBC,HGB,MCHC,MCH,"
                   "MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR) values ('2026-03-02','07:00:00',0,-2,3.456,4,5,6,7,8,9,"
                   "10,11,12,13,14,15,16,17,18,19,20)");
  SerialLine line;
  ASSERT_NO_FATAL_FAILURE(line.Open(1));
  lissim::SerialReader& reader = line.reader;
  RecordingPanel& panel = line.panel;
  SendContext& c = line.c;
  RunOutcome o = SendQcSerial(c, QcKind::XB);
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(panel.status, "Finished");
  ASSERT_TRUE(reader.WaitForRecords(2, 5000));
  auto recs = reader.Records();
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].prefix, "XBR");
  ASSERT_EQ(recs[0].fields.size(), 43u);
  EXPECT_EQ(recs[0].fields[0], "2026-03-02");
  EXPECT_EQ(recs[0].fields[1], "07:00:00");
  EXPECT_EQ(recs[0].fields[2], "WBC");
  EXPECT_EQ(recs[0].fields[3], "0.00");
  EXPECT_EQ(recs[0].fields[5], "");      // LYM# stored negative
  EXPECT_EQ(recs[0].fields[7], "3.46");  // MID#
  EXPECT_EQ(recs[0].fields[41], "20.00");
  EXPECT_EQ(recs[0].fields[42], std::to_string(lissim::SumBeforeChecksum(recs[0])));
  EXPECT_EQ(recs[1].prefix, "TRANSFER FINISH");
}

TEST(SerialSends, StoredSamplesOfAllDataNeedTheAlgorithmLibrary) {
  support::ScratchProgramFolder folder("lis_serial_samples");
  support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,WBC,LYMA,RBC,HGB,MCHC,MCH,MCV,"
                   "RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR,MONA,GRAA,LYMP,MONP,GRAP,WBCUnit) values ('5','2026-03-07',"
                   "'08:00:00','Bo',NULL,12,'Y','*7.20 H','- - -','4.5','135','330','29','88','12','40','40','250',"
                   "'9','16','0.2','30','0.5','4','20','7','73','x10^9/L')");
  SerialLine line;
  ASSERT_NO_FATAL_FAILURE(line.Open(1));
  lissim::SerialReader& reader = line.reader;
  RecordingPanel& panel = line.panel;
  SendContext& c = line.c;
  // No library in the program folder: the operator is told and nothing goes out.
  measurement::SetZentilLibraryPath(folder.file("libZentil.so"));
  RunOutcome o = SendSamplesSerial(c);
  EXPECT_FALSE(o.finished);
  ASSERT_EQ(panel.messages.size(), 1u);
  EXPECT_EQ(panel.messages[0], "Load Zentil.dll failed!");
  EXPECT_TRUE(panel.exit);
  // With the library: the "R," record, and (no raw data kept for the sample) no "W," or "M,".
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  o = SendSamplesSerial(c);
  measurement::SetZentilLibraryPath("");
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(panel.status, "Finished");
  ASSERT_TRUE(reader.WaitForRecords(3, 5000));
  auto recs = reader.Records();
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_EQ(recs[0].prefix, "R");
  ASSERT_EQ(recs[0].fields.size(), 76u);
  EXPECT_EQ(recs[0].fields[0], "5");
  EXPECT_EQ(recs[0].fields[3], "Bo");
  EXPECT_EQ(recs[0].fields[4], "");             // NULL sex: an empty field
  EXPECT_EQ(recs[0].fields[7], "Whole blood");  // NULL blood type
  EXPECT_EQ(recs[0].fields[8], "General");      // NULL group
  EXPECT_EQ(recs[0].fields[15], "WBC");
  EXPECT_EQ(recs[0].fields[16], "7.20");        // marker and flag taken off
  EXPECT_EQ(recs[0].fields[17], "x10^9/L");     // the row's own unit
  EXPECT_EQ(recs[0].fields[19], "");            // LYM# not reportable
  EXPECT_EQ(recs[0].fields[20], "x10^9/L");
  EXPECT_EQ(recs[0].fields[75], std::to_string(lissim::SumBeforeChecksum(recs[0])));
  EXPECT_EQ(recs[1].prefix, "TRANSFER FINISH");
  EXPECT_EQ(recs[2].prefix, "TRANSFER FINISH");
}

TEST(SerialSends, StoredAgesOfEveryLanguageGoWithAUnitTheLineReads) {
  // Years, months and days stored under each language, sent from the send screen in each
  // interface language (the code page of the line): the receiver finds the unit in the bytes,
  // and rows stored in English go as the letters they always went as.
  support::ScratchProgramFolder folder("lis_serial_send_ages");
  const char* const stored[5][3] = {{"岁", "月", "天"}, {"Y", "M", "D"}, {"A", "M", "D"}, {"A", "M", "J"},
                                    {"Р", "М", "Д"}};
  for (int l = 0; l < 5; ++l)
    for (int field = 0; field < 3; ++field)
      support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Age,AgeUnit,WBC,LYMA,RBC,HGB,MCHC,MCH,MCV,"
                       "RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR,MONA,GRAA,LYMP,MONP,GRAP) values ('" +
                       std::to_string(100 + l * 10 + field) + "','2026-03-07','08:00:00',7,'" + stored[l][field] +
                       "','7.2','2.1','4.5','135','330','29','88','12','40','40','250','9','16','0.2','30','0.5','4',"
                       "'20','7','73')");
  lissim::SerialReader reader;
  ASSERT_TRUE(reader.Start());
  analyzer::CSerialPort port;
  ASSERT_EQ(port.OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
  ASSERT_EQ(port.StartReader(), 1);
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  size_t seen = 0;
  for (int language = 0; language < 5; ++language) {
    SCOPED_TRACE("interface " + std::to_string(language));
    RecordingPanel panel;
    CADOConn conn;
    SendContext c;
    c.panel = &panel;
    c.scope = 1;
    c.conn = &conn;
    c.port = &port;
    c.language = language;
    const RunOutcome o = SendSamplesSerial(c);
    EXPECT_TRUE(o.finished);
    EXPECT_EQ(o.items, 15);
    seen += 17;  // 15 "R," records and two "TRANSFER FINISH" (no raw data: no histograms)
    ASSERT_TRUE(reader.WaitForRecords(seen, 10000));
    const auto recs = reader.Records();
    int rows = 0;
    for (size_t i = seen - 17; i < seen; ++i) {
      if (recs[i].prefix != "R") continue;
      ++rows;
      const int no = std::atoi(recs[i].fields[0].c_str());
      const int l = (no - 100) / 10, field = no % 10;
      SCOPED_TRACE("stored " + std::to_string(l) + " field " + std::to_string(field));
      EXPECT_EQ(recs[i].fields[5], "7");
      EXPECT_EQ(serial_age::ReceivedAgeField(recs[i].fields[6], language), field) << recs[i].fields[6];
      if (l == 1) {
        EXPECT_EQ(recs[i].fields[6], serial_age::kLetters[field]);
      }
      EXPECT_EQ(recs[i].fields[75], std::to_string(lissim::SumBeforeChecksum(recs[i])));
    }
    EXPECT_EQ(rows, 15);
  }
  measurement::SetZentilLibraryPath("");
  port.Close();
}

TEST(SerialSends, HistogramRecordsFromTheSamplesRawData) {
  support::ScratchProgramFolder folder("lis_serial_hist");
  support::ExecSql("insert into Person (SampleNo,TestDate,TestTime,Name,WBC,LYMA,MONA,GRAA,LYMP,MONP,GRAP,RBC,HGB,MCHC,"
                   "MCH,MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR,Warning,WMARKER2,WMARKER3,PMARKER1,PMARKER2) values "
                   "('6','2026-03-07','08:00:00','Cy','7.2','2','0.5','4.7','28','7','65','4.5','135','330','29',"
                   "'88','12','40','40','250','9','16','0.2','30','LF2 ',40.5,98.25,2.5,30.0)");
  measurement::HistogramBuffers h;
  for (int i = 0; i < 256; ++i) {
    h.wbc[i] = static_cast<float>(i > 20 && i < 200 ? 50 + (i % 40) : 0);
    h.rbc[i] = static_cast<float>(i > 30 && i < 220 ? 100 - std::abs(i - 90) / 2 : 0);
  }
  for (int i = 0; i < 128; ++i) h.plt[i] = static_cast<float>(i > 5 && i < 100 ? 40 - std::abs(i - 30) / 3 : 0);
  ASSERT_EQ(measurement::WriteTestDataRecord(folder.folder(), measurement::TestDataKey("2026-03-07", "6"), h),
            measurement::TestDataWrite::Written);
  SerialLine line;
  ASSERT_NO_FATAL_FAILURE(line.Open(1));
  lissim::SerialReader& reader = line.reader;
  RecordingPanel& panel = line.panel;
  SendContext& c = line.c;
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  RunOutcome o = SendSamplesSerial(c);
  measurement::SetZentilLibraryPath("");
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(panel.upper, 2);
  EXPECT_EQ(panel.pos, 2);
  ASSERT_TRUE(reader.WaitForRecords(7, 5000));
  auto recs = reader.Records();
  ASSERT_EQ(recs.size(), 7u);
  const char* kinds[7] = {"R", "TRANSFER FINISH", "W", "W", "W", "M", "TRANSFER FINISH"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(recs[i].prefix, kinds[i]);
  const lissim::TextRecord& wbc = recs[2];
  ASSERT_EQ(wbc.fields.size(), 3u + 4 + 256 + 1);
  EXPECT_EQ(wbc.fields[0], "6");
  EXPECT_EQ(wbc.fields[2], "1");
  EXPECT_EQ(wbc.fields[3], "15.0");
  EXPECT_EQ(wbc.fields[4], "40.5");
  EXPECT_EQ(wbc.fields[5], "98.2");  // 98.25 as "%.1f" of a single-precision number
  int nonZero = 0;
  for (int b = 0; b < 256; ++b) nonZero += wbc.fields[7 + b] != "0";
  EXPECT_GT(nonZero, 0);
  EXPECT_EQ(wbc.fields.back(), std::to_string(lissim::SumBeforeChecksum(wbc)));
  const lissim::TextRecord& rbc = recs[3];
  ASSERT_EQ(rbc.fields.size(), 3u + 2 + 256 + 1);
  EXPECT_EQ(rbc.fields[3], "25.0");
  const lissim::TextRecord& plt = recs[4];
  ASSERT_EQ(plt.fields.size(), 3u + 2 + 256 + 1);
  EXPECT_EQ(plt.fields[3], "2.5");
  EXPECT_EQ(plt.fields[4], "30.0");
  for (int b = 128; b < 256; ++b) EXPECT_EQ(plt.fields[5 + b], "");
  EXPECT_EQ(recs[5].fields[0], "LF2 ");
}

TEST_F(SendRuns, AnEmptySampleNumberEndsTheListAndAnEmptyFirstValueIsPassedOver) {
  CGridCtrl grid;
  FillGrid(grid, 4);
  grid.SetItemText(3, 1, "");  // sample 1 without values
  grid.SetItemText(0, 3, "");  // the list ends at column 3
  grid.SetSelectedRange(3, 1, 22, 4);
  SendContext c = Context(&grid, 0);
  RunOutcome o = SendSamplesNetwork(c);
  EXPECT_TRUE(o.finished);
  EXPECT_EQ(o.sent, 1);
  EXPECT_EQ(panel.status, "Finished");
  auto msgs = sim.Messages();
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_EQ(msgs[0].Field("PID", 2), "2");
}

TEST(SerialSends, ALisThatStopsReadingLosesNoRecordAndIsNeverFinished) {
  support::ScratchProgramFolder folder("lis_serial_stall");
  // Long records, so that the walk outruns what the line holds while the LIS does not read.
  const int runs = 70;
  for (int i = 0; i < runs; ++i) {
    char time[16];
    std::snprintf(time, sizeof time, "07:%02d:%02d", i / 60, i % 60);
    std::string sql = "insert into XBQCRunResult (TestDate,TestTime,WBC,LYMA,MONA,GRAA,LYMP,MONP,GRAP,RBC,HGB,MCHC,MCH,"
                      "MCV,RDWCV,RDWSD,HCT,PLT,MPV,PDW,PCT,PLCR) values ('2026-03-02','" + std::string(time) + "'";
    for (int k = 0; k < 20; ++k) sql += "," + std::to_string(100000000 + i * 100 + k);
    support::ExecSql(sql + ")");
  }
  struct Case {
    const char* name;
    int resumeAfterMs;  // when the LIS reads again; -1 not during the walk
    bool finished;
  };
  const Case cases[] = {
      {"reads throughout", 0, true},
      {"stops reading for longer than a write may take", 9000, true},
      {"never reads again", -1, false},
  };
  SetSerialPatienceMs(2500);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    lissim::SerialReader reader;
    ASSERT_TRUE(reader.Start());
    reader.SetPaused(c.resumeAfterMs != 0);
    analyzer::CSerialPort port;
    ASSERT_EQ(port.OpenDevice(nullptr, reader.SlavePath(), 1, 115200, L'N', 8, 1, 9, 512), 1);
    ASSERT_EQ(port.StartReader(), 1);
    std::thread resume;
    if (c.resumeAfterMs > 0)
      resume = std::thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(c.resumeAfterMs));
        reader.SetPaused(false);
      });
    RecordingPanel panel;
    CADOConn conn;
    SendContext ctx;
    ctx.panel = &panel;
    ctx.scope = 1;
    ctx.conn = &conn;
    ctx.port = &port;
    RunOutcome o = SendQcSerial(ctx, QcKind::XB);
    if (resume.joinable()) resume.join();
    reader.SetPaused(false);
    EXPECT_EQ(o.finished, c.finished);
    // Whatever reached the LIS is whole and in order: the runs from the first on, each with
    // its own time and a checksum that holds.
    const size_t expected = c.finished ? runs + 1 : 0;
    if (c.finished) ASSERT_TRUE(reader.WaitForRecords(expected, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto recs = reader.Records();
    size_t whole = 0;
    for (const auto& r : recs) {
      if (r.prefix != "XBR" || r.fields.size() != 43u) break;
      char time[16];
      std::snprintf(time, sizeof time, "07:%02zu:%02zu", whole / 60, whole % 60);
      if (r.fields[1] != time || r.fields[42] != std::to_string(lissim::SumBeforeChecksum(r))) break;
      ++whole;
    }
    if (c.finished) {
      EXPECT_EQ(whole, static_cast<size_t>(runs));
      ASSERT_EQ(recs.size(), expected);
      EXPECT_EQ(recs.back().prefix, "TRANSFER FINISH");
      EXPECT_EQ(panel.status, "Finished");
    } else {
      // The operator is told from which run on nothing went.
      ASSERT_LT(whole, static_cast<size_t>(runs));
      char time[16];
      std::snprintf(time, sizeof time, "07:%02zu:%02zu", whole / 60, whole % 60);
      EXPECT_EQ(o.notSent, std::string("2026-03-02 ") + time);
      EXPECT_EQ(panel.status, "The LIS took no more data; not sent from: 2026-03-02 " + std::string(time));
    }
    port.Close();
    reader.Stop();
  }
  SetSerialPatienceMs(30000);
}

namespace {

// A stored normal sample (values "n.0" .. "n.19") or a kept count: every value "- - -" and the
// count's inputs naming the row's own TestTime, to be computed when its view opens.
void StoreSample(const std::string& no, bool kept) {
  std::string columns = "SampleNo,TestDate,TestTime,Name,CountInputs", values;
  values = "'" + no + "','2026-03-07','08:0" + no + ":00','P" + no + "',";
  values += kept ? "'time=08:0" + no + ":00 mode=0 wbct=50 hgb=3400/1200 f=1,1,1,1,1,1 stars=000'" : "NULL";
  for (int i = 0; i < 20; ++i) {
    columns += std::string(",") + kParamColumns[i];
    values += ",'" + (kept ? std::string("- - -") : no + "." + std::to_string(i)) + "'";
  }
  support::ExecSql("insert into Person (" + columns + ") values (" + values + ")");
}

// The list grid of samples 1..3 as the browser shows them: the kept sample 2 with "- - -".
void FillKeptGrid(CGridCtrl& grid) {
  FillGrid(grid, 3);
  for (int r = 0; r < 20; ++r) grid.SetItemText(3 + r, 2, "- - -");
  grid.SetSelectedRange(3, 1, 22, 3);
}

const char* const kLeftOutNotice = "Result not computed yet, not sent: 2";

}  // namespace

// A kept count has no values: it never goes out as a final result with empty OBX values. It is
// left out with a notice naming it (warning box, status, system log), is not counted as sent,
// and the samples around it still go, from the selection and from all data.
TEST_F(SendRuns, AKeptCountIsLeftOutOfANetworkSendWithANotice) {
  for (const char* no : {"1", "2", "3"}) StoreSample(no, std::string(no) == "2");
  for (int scope : {0, 1}) {
    SCOPED_TRACE(scope);
    support::ExecSql("delete from SysLog");
    sim.ClearMessages();
    panel = RecordingPanel{};
    CGridCtrl grid;
    FillKeptGrid(grid);
    RunOutcome o;
    ASSERT_TRUE(DispatchSend(Context(&grid, scope), SendDataKind::Samples, 1, false, &o));
    EXPECT_EQ(o.sent, 2);
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.notComputed, std::vector<std::string>{"2"});
    auto msgs = sim.Messages();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].Field("PID", 2), "1");
    EXPECT_EQ(msgs[1].Field("PID", 2), "3");
    ASSERT_EQ(panel.messages.size(), 1u);
    EXPECT_EQ(panel.messages[0], kLeftOutNotice);
    EXPECT_EQ(panel.status, kLeftOutNotice);
    EXPECT_TRUE(panel.send);
    EXPECT_TRUE(panel.exit);
    EXPECT_EQ(support::QueryText("select Event from SysLog"), "LIS sending");
    EXPECT_EQ(support::QueryText("select Result from SysLog"), kLeftOutNotice);
  }
  // The walk without a screen says which rows it left out and is not complete.
  BatchResult b = SendStoredSamples(conn, {{"2", "2026-03-07"}, {"3", "2026-03-07"}}, 1);
  EXPECT_EQ(b.delivered, 1);
  EXPECT_EQ(b.notComputed, std::vector<std::string>{"2"});
  EXPECT_FALSE(b.complete());
}

// Over the serial line neither the kept count's empty "R," record nor histograms made now from
// its raw record go out; the other sample's records do.
TEST(SerialSends, AKeptCountIsLeftOutOfTheRecordsAndTheHistogramPass) {
  support::ScratchProgramFolder folder("lis_serial_kept");
  for (const char* no : {"1", "2", "3"}) StoreSample(no, std::string(no) == "2");
  measurement::HistogramBuffers h;
  for (int i = 0; i < 256; ++i) h.wbc[i] = h.rbc[i] = static_cast<float>(i > 20 && i < 200 ? 60 : 0);
  for (int i = 0; i < 128; ++i) h.plt[i] = static_cast<float>(i > 5 && i < 100 ? 30 : 0);
  ASSERT_EQ(measurement::WriteTestDataRecord(folder.folder(), measurement::TestDataKey("2026-03-07", "2"), h),
            measurement::TestDataWrite::Written);
  measurement::SetZentilLibraryPath(support::BuiltZentilPath());
  for (int scope : {0, 1}) {
    SCOPED_TRACE(scope);
    support::ExecSql("delete from SysLog");
    SerialLine line;
    ASSERT_NO_FATAL_FAILURE(line.Open(scope));
    CGridCtrl grid;
    FillKeptGrid(grid);
    line.c.grid = &grid;
    RunOutcome o = SendSamplesSerial(line.c);
    const lissim::SerialReader& reader = line.reader;
    const RecordingPanel& panel = line.panel;
    EXPECT_FALSE(o.finished);
    EXPECT_EQ(o.sent, 2);
    EXPECT_EQ(o.notComputed, std::vector<std::string>{"2"});
    ASSERT_EQ(panel.messages.size(), 1u);
    EXPECT_EQ(panel.messages[0], kLeftOutNotice);
    EXPECT_EQ(panel.status, kLeftOutNotice);
    EXPECT_EQ(support::QueryText("select Result from SysLog"), kLeftOutNotice);
    // "R," of 1 and 3, the end of pass 1, no histograms (only sample 2 has a raw record), the end.
    ASSERT_TRUE(reader.WaitForRecords(4, 5000));
    EXPECT_FALSE(reader.WaitForRecords(5, 300));
    auto recs = reader.Records();
    ASSERT_EQ(recs.size(), 4u);
    const char* kinds[4] = {"R", "R", "TRANSFER FINISH", "TRANSFER FINISH"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(recs[i].prefix, kinds[i]);
    EXPECT_EQ(recs[0].fields[0], "1");
    EXPECT_EQ(recs[1].fields[0], "3");
  }
  measurement::SetZentilLibraryPath("");
}
