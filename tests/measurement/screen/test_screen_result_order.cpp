// The order in which a finished count reaches the operator and the disk: the frame with the
// result is presented before the raw record and the row are written, the store follows within the
// same call (raw data file, its index, then the row), and a store that fails leaves the values
// on the screen with the message that the result was not saved.
#include <cerrno>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "core/ado_conn.h"
#include "counted_sample.h"
#include "measurement/raw_files.h"
#include "measurement/screen/sample_test_screen.h"
#include "platform/db/connection.h"
#include "platform/sys/clock.h"
#include "platform/ui/app.h"
#include "tests/support/io_faults.h"

using namespace measurement;

namespace {

// The Person column of each value on the screen, in the screen's order (WBC LYM# MID# GRA# LYM%
// MID% GRA% RBC HGB HCT MCV MCH MCHC RDW-SD RDW-CV PLT MPV PDW PCT P-LCR).
const char* const kColumnOfShown[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP",  "GRAP",
                                        "RBC", "HGB",  "HCT",  "MCV",  "MCH",  "MCHC",  "RDWSD",
                                        "RDWCV", "PLT", "MPV", "PDW",  "PCT",  "PLCR"};
// The unit columns and the screen row whose unit each holds.
const std::pair<const char*, int> kUnitColumnRows[7] = {{"WBCUnit", 0}, {"RBCUnit", 7},  {"HGBUnit", 8},
                                                        {"MCHCUnit", 12}, {"HCTUnit", 9}, {"PLTUnit", 15},
                                                        {"PCTUnit", 18}};

using Columns = std::map<std::string, std::string>;

Columns RowOf(const std::string& sql) {
  Columns out;
  db::Connection c;
  if (!c.Open(DatabasePath())) return out;
  auto rs = c.OpenRecordset(sql);
  if (!rs->IsOpen() || rs->IsEOF()) return out;
  for (int i = 0; i < rs->FieldCount(); ++i) out[rs->FieldName(i)] = rs->Field(i).IsNull() ? "<null>" : rs->Field(i).AsText();
  return out;
}

// Decimals of a shown value ("12.34" -> 2, "123" -> 0).
int DecimalsOf(const std::string& shown) {
  const size_t dot = shown.find('.');
  return dot == std::string::npos ? 0 : static_cast<int>(shown.size() - dot - 1);
}

std::string Fixed(double v, int decimals) {
  char b[64];
  std::snprintf(b, sizeof b, "%.*f", decimals, v);
  return b;
}

// What the screen shows of the result, read on the UI thread.
struct Shown {
  std::string values[20], marks[20], indicators[20], units[20], flags[6], message;
  bool anyValue() const {
    for (const std::string& v : values)
      if (!v.empty()) return true;
    return false;
  }
};

Shown ReadShown(CSampleTest& screen) {
  Shown s;
  for (int i = 0; i < 20; ++i) {
    s.values[i] = screen.GetDlgItemText(kValueIds[i]);
    s.marks[i] = screen.GetDlgItemText(kMarkIds[i]);
    s.units[i] = screen.GetDlgItemText(kUnitIds[i]);
    if (kIndicatorIds[i] != 0) s.indicators[i] = screen.GetDlgItemText(kIndicatorIds[i]);
  }
  for (int k = 0; k < 6; ++k) s.flags[k] = screen.GetDlgItemText(kFlagIds[k]);
  s.message = screen.GetDlgItemText(IDC_MESSAGE);
  return s;
}

class ScreenResultOrder : public CountedSampleTest {
 protected:
  // One count with the present listener watching: `atFrame` is what the screen held when the
  // first frame with the new result went to the display, `stepsAtFrame` the durable operations
  // made by then (counted from the key press), `after` what it shows once the count is done.
  struct Run {
    bool counted = false, framed = false;
    Shown atFrame, after;
    size_t stepsAtFrame = 0;
    std::vector<support::IoStep> steps;  // from the key press to the end of the count
    std::string timeBefore, timeAfter;   // the clock around the count, "HH:MM:SS"
    double lines[3][3] = {};             // divider line positions (fL) per chart
    boardsim::CountData board;           // the board's last count (both counts are equal)
  };
  Run CountWatched(const std::vector<support::IoFaults::Rule>& faults) {
    CSampleTest screen(nullptr);
    Run run;
    int before = 0;
    bool watching = false;
    support::IoFaults io;
    EXPECT_TRUE(d.RunScript(
        [&] {
          ui::SetPresentListener([&] {
            if (!watching || run.framed || screen.hasResult() <= before) return;
            run.framed = true;
            run.atFrame = ReadShown(screen);
            run.stepsAtFrame = io.Steps().size();
          });
          screen.DoModal();
          ui::SetPresentListener({});
        },
        [&](ui::TestDriver& s) {
          ASSERT_TRUE(WaitReady(s, screen));
          s.Advance(3100);
          s.RunUntil([&] {
            before = screen.hasResult();
            run.timeBefore = StoredTimeText(sys::Clock::Now());
            io.Clear();
            for (const support::IoFaults::Rule& r : faults) io.Add(r);
            watching = true;
            return true;
          });
          sim.PressCountKey();
          run.counted = s.RunUntil(
              [&] { return screen.hasResult() > before && screen.cycle().state() == CycleState::Idle && screen.ready(); },
              15000);
          s.RunUntil([&] {
            watching = false;
            run.after = ReadShown(screen);
            run.timeAfter = StoredTimeText(sys::Clock::Now());
            run.steps = io.Steps();
            io.Clear();
            return true;
          });
          for (int c = 0; c < 3; ++c)
            for (int l = 0; l < (c == 0 ? 3 : 2); ++l) run.lines[c][l] = LinePosition(s, screen, c, l);
          sim.WithModel([&](boardsim::BoardModel& m) { run.board = m.lastCount(); });
          Leave(s, screen);
        }));
    return run;
  }
  // Whether the operation is on `file` (or, for the store, on its write-ahead log or journal).
  static bool Touches(const support::IoStep& s, const char* file) {
    const std::string base = s.path.substr(s.path.find_last_of('/') + 1);
    return base == file || base.rfind(std::string(file) + "-", 0) == 0;
  }
  // Whether operation i writes the note of the count in progress: its temporary file, its rename,
  // and the flush of the folder that makes the rename durable.
  static bool WritesCountNote(const std::vector<support::IoStep>& steps, size_t i) {
    auto note = [&](size_t k) {
      return steps[k].path.substr(steps[k].path.find_last_of('/') + 1).rfind(kCountNoteFile, 0) == 0;
    };
    return note(i) || (i > 0 && steps[i].op == sys::IoOp::Sync && steps[i - 1].op == sys::IoOp::Rename && note(i - 1));
  }
  // Index of the first write to a file whose path ends in `file`, or -1.
  static long FirstWrite(const std::vector<support::IoStep>& steps, const char* file) {
    for (size_t i = 0; i < steps.size(); ++i)
      if (steps[i].op == sys::IoOp::Write && Touches(steps[i], file)) return static_cast<long>(i);
    return -1;
  }
};

// A count stored as usual: the frame that first shows the result goes out before the raw files
// or the store are written, and it shows the values the count ends with. When the call has
// returned, the raw record and the row are both there, and every column of the row holds what
// the screen shows (or, for the columns not shown, what the count's rule puts there).
TEST_F(ScreenResultOrder, ResultIsPresentedFirstThenItsRawRecordAndRowAreStored) {
  Sql("delete from Person");
  const Run run = CountWatched({});
  ASSERT_TRUE(run.counted);
  ASSERT_TRUE(run.framed);
  ASSERT_TRUE(run.after.anyValue());
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(kColumnOfShown[i]);
    EXPECT_EQ(run.atFrame.values[i], run.after.values[i]);
    EXPECT_EQ(run.atFrame.marks[i], run.after.marks[i]);
    EXPECT_NE(run.after.values[i], "");
  }
  for (int k = 0; k < 6; ++k) EXPECT_EQ(run.atFrame.flags[k], run.after.flags[k]);
  // Nothing of the raw record or the store's row was written before the frame; after it the raw
  // data, its index and then the row. The one flush before the frame is the note of the count in
  // progress, written at the count key, seconds before the board's data.
  bool noteWritten = false;
  for (size_t i = 0; i < run.stepsAtFrame && i < run.steps.size(); ++i) {
    EXPECT_FALSE(Touches(run.steps[i], "TD.dat") || Touches(run.steps[i], "TDI.dat"))
        << support::IoOpName(run.steps[i].op) << " of " << run.steps[i].path << " before the frame";
    if (WritesCountNote(run.steps, i)) {
      noteWritten = true;
      continue;
    }
    EXPECT_FALSE(run.steps[i].op == sys::IoOp::Sync) << "a flush of " << run.steps[i].path << " before the frame";
  }
  EXPECT_TRUE(noteWritten);
  const long td = FirstWrite(run.steps, "TD.dat"), tdi = FirstWrite(run.steps, "TDI.dat"),
             row = FirstWrite(run.steps, "Vantorium.mdb");
  EXPECT_GE(td, static_cast<long>(run.stepsAtFrame));
  EXPECT_GT(tdi, td);
  EXPECT_GT(row, tdi);

  // The raw record of sample 1 today: the mean of the board's two counts, which are equal here.
  HistogramBuffers raw;
  ASSERT_TRUE(ReadTestDataRecord(AppSettings.ProgramFolder, TestDataKey(Today(), "1"), &raw));
  const std::pair<const float*, const std::vector<uint16_t>*> channels[3] = {
      {raw.wbc, &run.board.wbc}, {raw.rbc, &run.board.rbc}, {raw.plt, &run.board.plt}};
  for (const auto& [stored, sent] : channels) {
    ASSERT_FALSE(sent->empty());
    for (size_t i = 0; i < sent->size(); ++i) ASSERT_EQ(stored[i], static_cast<float>((*sent)[i])) << "bin " << i;
  }

  // Every column of the row.
  Columns row1 = RowOf("select * from Person where SampleNo='1' and TestDate='" + Today() + "'");
  ASSERT_FALSE(row1.empty());
  const Columns limits = RowOf("select * from NormalLimits where Kind=0");
  ASSERT_FALSE(limits.empty());
  Columns expected;
  expected["SampleNo"] = "1";
  expected["TestDate"] = Today();
  expected["BloodType"] = "Whole blood";
  expected["ReferValue"] = "General";
  for (const char* c : {"Name", "Sex", "AgeUnit", "MedicalNo", "BedNo", "Dept", "Sender", "Scrutator", "Checker"})
    expected[c] = "";
  expected["Age"] = "0";
  expected["Abnormal"] = "0";  // the column's default: the count does not set it
  // Only a count the algorithm library could not compute keeps its inputs for later.
  expected["CountInputs"] = "<null>";
  std::string warning, refText;
  for (int k = 0; k < 6; ++k)
    if (!run.after.flags[k].empty()) warning += run.after.flags[k] + " ";
  expected["Warning"] = warning;
  for (int i = 0; i < 20; ++i) {
    const std::string& v = run.after.values[i];
    expected[kColumnOfShown[i]] = v == "- - -" ? v
                                               : run.after.indicators[i] + v +
                                                     (run.after.marks[i].empty() ? "" : " " + run.after.marks[i]);
  }
  for (const auto& [column, screenRow] : kUnitColumnRows) expected[column] = run.after.units[screenRow];
  // The reference ranges of the General group, each with its value's decimals, in table order.
  static const char* const kTableOrder[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP",  "GRAP",
                                              "RBC", "HGB",  "MCHC", "MCH",  "MCV",  "RDWCV", "RDWSD",
                                              "HCT", "PLT",  "MPV",  "PDW",  "PCT",  "PLCR"};
  for (const char* column : kTableOrder) {
    int shown = 0;
    while (std::string(kColumnOfShown[shown]) != column) ++shown;
    const double lo = std::stod(limits.at(std::string(column) + "L")), hi = std::stod(limits.at(std::string(column) + "H"));
    const int dec = DecimalsOf(run.after.values[shown]);
    refText += ((lo < -999999 && hi > 999999) || lo == hi ? std::string(" ") : Fixed(lo, dec) + "-" + Fixed(hi, dec)) + ",";
  }
  expected["RefText"] = refText;
  for (const auto& [column, value] : expected) {
    SCOPED_TRACE(column);
    ASSERT_EQ(row1.count(column), 1u);
    EXPECT_EQ(row1[column], value);
    row1.erase(column);
  }
  // The time of the count, between the clock before the key press and after the result.
  ASSERT_EQ(row1.count("TestTime"), 1u);
  EXPECT_EQ(row1["TestTime"].size(), 8u);
  EXPECT_LE(run.timeBefore, row1["TestTime"]);
  EXPECT_LE(row1["TestTime"], run.timeAfter);
  row1.erase("TestTime");
  // The divider lines the charts show, and the WBC before any later adjustment (the shown WBC).
  const std::pair<const char*, double> lines[4] = {{"WMARKER2", run.lines[0][1]}, {"WMARKER3", run.lines[0][2]},
                                                   {"PMARKER1", run.lines[2][0]}, {"PMARKER2", run.lines[2][1]}};
  for (const auto& [column, position] : lines) {
    SCOPED_TRACE(column);
    ASSERT_EQ(row1.count(column), 1u);
    EXPECT_NEAR(std::stod(row1[column]), position, 1e-3 * std::max(1.0, std::fabs(position)));
    row1.erase(column);
  }
  ASSERT_EQ(row1.count("OriginalWbc"), 1u);
  EXPECT_NEAR(std::stod(row1["OriginalWbc"]), std::stod(run.after.values[0]), 0.5 * std::pow(10.0, -DecimalsOf(run.after.values[0])));
  row1.erase("OriginalWbc");
  // Columns the count does not write.
  for (const auto& [column, value] : row1) ADD_FAILURE() << "column " << column << " = " << value << " not checked";
}

// A store that fails (the data store, the raw data file or its index) leaves the result on the
// screen with its values, says it was not saved, and writes no row.
TEST_F(ScreenResultOrder, ResultWhoseStoreFailsIsStillShownAndSaidNotSaved) {
  struct Case {
    const char* name;
    support::IoFaults::Rule rule;
  } cases[] = {
      // Each case counts sample 1 of today again, and the index gets a record only for a key it
      // does not hold yet: the index fails first, while none of the three has stored the key.
      {"raw index full", {sys::IoOp::Write, "TDI.dat", 1, support::IoFaults::Error(ENOSPC), -1}},
      {"raw data file I/O error", {sys::IoOp::Write, "TD.dat", 1, support::IoFaults::Error(EIO), -1}},
      {"data store full", {sys::IoOp::Write, "Vantorium.mdb", 1, support::IoFaults::Error(ENOSPC), -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sql("delete from Person");
    const Run run = CountWatched({c.rule});
    ASSERT_TRUE(run.counted);
    ASSERT_TRUE(run.framed);
    for (int i = 0; i < 20; ++i) {
      SCOPED_TRACE(kColumnOfShown[i]);
      EXPECT_NE(run.after.values[i], "");
      EXPECT_EQ(run.after.values[i], run.atFrame.values[i]);
      EXPECT_EQ(run.after.marks[i], run.atFrame.marks[i]);
    }
    EXPECT_EQ(run.after.message, "The result could not be saved; it is not printed or sent");
    EXPECT_EQ(Scalar("select count(*) from Person where WBC is not null"), "0");
  }
}

}  // namespace
