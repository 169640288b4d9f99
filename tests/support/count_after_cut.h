#pragma once
// A count's result processing as the program runs it when a count ends: the board simulator's
// two counts of a sample (its own seeds, so no two samples share histograms), the built
// algorithm library, then the raw record and the Person row. The durable-path tests count with
// it after the program has started again on what a cut left. The including test program links
// measurement and the board simulator; the algorithm library is set by the caller
// (measurement::SetZentilLibraryPath).
#include <algorithm>
#include <iterator>
#include <string>

#include "core/ado_conn.h"
#include "measurement/raw_files.h"
#include "measurement/run_result.h"
#include "tools/boardsim/blood_profile.h"

namespace support {

struct CountedSample {
  bool stored = false;
  std::string testDate;
  measurement::HistogramBuffers histograms;  // what the count stored as the sample's record
  float wbcMean100 = 0;                      // the mean of the two counts in WBC bin 100
};

// Counts sample `sampleNo` on `conn` into the raw files of `folder` (ending in '/').
inline CountedSample CountSample(CADOConn& conn, const std::string& folder, int sampleNo) {
  static const std::string kUnits[20] = {"10^9/L", "10^9/L", "10^9/L", "10^9/L", "%",  "%",      "%",
                                         "10^12/L", "g/L",   "%",      "fL",     "pg", "g/L",    "fL",
                                         "%",      "10^9/L", "fL",     "fL",     "%",  "%"};
  measurement::RunInputs in;
  uint16_t blank = 0, sample = 0;
  CountedSample c;
  const boardsim::BloodProfile& p = boardsim::ProfileData(boardsim::Profile::Normal);
  for (int k = 0; k < 2; ++k) {
    const boardsim::CountData d = boardsim::GenerateCount(p, 5.0f, false, 100 * sampleNo + k, true);
    std::copy(std::begin(d.wbc), std::begin(d.wbc) + measurement::kWbcChannels, in.counts[k].wbc);
    std::copy(std::begin(d.rbc), std::begin(d.rbc) + measurement::kRbcChannels, in.counts[k].rbc);
    std::copy(std::begin(d.plt), std::begin(d.plt) + measurement::kPltChannels, in.counts[k].plt);
    blank = d.hgbBlank;
    sample = d.hgbSample;
    for (size_t i = 0; i < measurement::kWbcChannels; ++i) c.histograms.wbc[i] = d.wbc[i];
  }
  in.count.hgbBlank = &blank;
  in.count.hgbSample = &sample;
  in.sampleNo = std::to_string(sampleNo);
  in.bloodModeText = "Whole blood";
  for (int i = 0; i < 20; ++i) in.units[i] = kUnits[i];
  in.folder = folder;
  c.wbcMean100 = (in.counts[0].wbc[100] + in.counts[1].wbc[100]) * 0.5f;
  measurement::XbQcState xb = measurement::LoadXbQcState(conn);
  const measurement::RunResult r = measurement::ProcessRunResult(conn, in, c.histograms, xb);
  c.stored = r.Stored();
  c.testDate = r.testDate;
  return c;
}

// The same on a connection of its own, closed before it returns.
inline CountedSample CountSample(const std::string& folder, int sampleNo) {
  CADOConn conn;
  CountedSample c = CountSample(conn, folder, sampleNo);
  conn.Disconnect();
  return c;
}

// Whether the raw record of the sample holds exactly what its count stored.
inline bool HasItsOwnRecord(const std::string& folder, const std::string& testDate, int sampleNo,
                            const CountedSample& counted) {
  measurement::HistogramBuffers back;
  if (!measurement::ReadTestDataRecord(folder, measurement::TestDataKey(testDate, std::to_string(sampleNo)), &back))
    return false;
  const measurement::HistogramBuffers& a = counted.histograms;
  return std::equal(std::begin(a.wbc), std::end(a.wbc), std::begin(back.wbc)) &&
         std::equal(std::begin(a.rbc), std::end(a.rbc), std::begin(back.rbc)) &&
         std::equal(std::begin(a.plt), std::end(a.plt), std::begin(back.plt)) && back.wbc[100] == counted.wbcMean100;
}

}  // namespace support
