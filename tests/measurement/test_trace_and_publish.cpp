// Trace records of damaged frames and the published result.
#include <gtest/gtest.h>

#include "core/value_format.h"
#include "measurement/result_globals.h"
#include "measurement/run_result.h"
#include "analyzer/serial_trace.h"
#include "measurement/trace_records.h"
#include "platform/sys/clock.h"
#include "program_folder.h"
#include "tests/support/io_faults.h"

using namespace measurement;

TEST(TraceRecords, RecordsStartWithALineBreak) {
  MeasurementFolder folder(false);
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 5, 3, 0, 3});
  const uint8_t bytes[] = {0x7E, 0x0A};
  EXPECT_TRUE(TraceBytes(bytes, 2, "checksum.txt", 1));
  EXPECT_TRUE(TraceText("TestChksum=5a", "checksum.txt", 0));
  sys::Clock::UseReal();
  EXPECT_EQ(FileBytes(folder.file("checksum.txt")),
            "\r\nR 2026-12-09 08:05:03 7e 0a \r\nS 2026-12-09 08:05:03 TestChksum=5a");
  EXPECT_FALSE(TraceText("x", "no/such/folder/checksum.txt", 1));
}

TEST(TraceRecords, ATraceTheDiskRefusesIsReportedAndLeavesNoPartOfItself) {
  // The frame traces and the serial log append through the same file layer.
  MeasurementFolder folder(false);
  sys::Clock::UseManual(sys::LocalTime{2026, 12, 9, 8, 5, 3, 0, 3});
  const uint8_t bytes[] = {0x7E, 0x0A};
  struct Case {
    const char* name;
    const char* file;
    std::function<bool()> trace;
  } cases[] = {
      {"frame trace", "checksum.txt", [&] { return TraceBytes(bytes, 2, "checksum.txt", 1); }},
      {"serial log", "SerialData.txt", [] { return analyzer::AppendSerialLog("7e 0a", "SerialData.txt", 1); }},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.trace()) << c.name;
    const std::string before = FileBytes(folder.file(c.file));
    struct Fault {
      const char* name;
      sys::IoOp op;
      std::vector<sys::IoFault> given;  // to the first matching operations in turn
    } faults[] = {
        {"cannot open", sys::IoOp::Open, {support::IoFaults::Error(EACCES)}},
        {"full disk", sys::IoOp::Write, {support::IoFaults::Error(ENOSPC)}},
        {"I/O error", sys::IoOp::Write, {support::IoFaults::Error(EIO)}},
        {"short write, then full disk", sys::IoOp::Write, {support::IoFaults::Short(4), support::IoFaults::Error(ENOSPC)}},
    };
    for (const Fault& f : faults) {
      support::IoFaults seam;
      for (size_t i = 0; i < f.given.size(); ++i) seam.Add({f.op, c.file, static_cast<int>(i) + 1, f.given[i]});
      EXPECT_FALSE(c.trace()) << c.name << ": " << f.name;
      EXPECT_EQ(FileBytes(folder.file(c.file)), before) << c.name << ": " << f.name;
    }
  }
  sys::Clock::UseReal();
}

TEST(PublishedResult, CopiesValuesTextsAndHistograms) {
  RunResult r;
  r.values.values[0] = 6.5f;
  r.values.marks[9] = 1;
  r.values.markers[7] = 30.0f;
  r.markTexts[0] = "H";
  r.rangeTexts[3] = "2.0-7.0";
  r.flags.warning = "PF1 ";
  HistogramBuffers h;
  h.plt[5] = 42.0f;
  PublishRunResult(r, h);
  EXPECT_EQ(CurrentResult[0], 6.5f);
  EXPECT_EQ(ParameterMarks[9], 1);
  EXPECT_EQ(MarkerPositions[7], 30.0f);
  EXPECT_EQ(MarkTexts[0], "H");
  EXPECT_EQ(RangeTexts[3], "2.0-7.0");
  EXPECT_EQ(Warning, "PF1 ");
  EXPECT_EQ(SampleHistograms.plt[5], 42.0f);
}
