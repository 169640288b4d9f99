#pragma once
// What the test screen prints: the patient texts of the current sample read again from its
// Person row, the range flags of its values, and the report snapshot taken from both when a
// report starts (the print thread then reads nothing of the screen).
#include <cstdint>
#include <string>

#include "measurement/flagging.h"
#include "measurement/histograms.h"
#include "measurement/screen/sample_globals.h"
#include "printing/report_snapshot.h"

class CADOConn;

namespace measurement {

// The patient texts of `rec` from the Person row of (sampleNo, testDate): name, sex, age (the
// number and the unit word, empty for 0), blood type, medical number, bed, department, sender,
// scrutator, checker, all cleared first; the reference text is the row's ReferValue, or the
// name of `*group` in the language when the row has none (so no text of an earlier sample is
// left). A ReferValue naming a group in any language makes it `*group`. False without a row.
bool ReadSampleTexts(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, int language,
                     CurrentSampleRecord& rec, int* group);

// The snapshot of the sample on the test screen. `flags` are the range flags, `normal` the
// normal limits of its group (the reference column), `markers` the eight divider lines (fL).
ReportSnapshot SampleReportSnapshot(const CurrentSampleRecord& rec, const float values[20], const uint8_t marks[20],
                                    const std::string flags[20], const std::string units[20],
                                    const LimitPairs& normal, const HistogramBuffers& histograms,
                                    const std::string& warning, const float markers[8], int bloodMode,
                                    bool countMismatch);

}  // namespace measurement
