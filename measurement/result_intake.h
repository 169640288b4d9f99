#pragma once
// From the counts of a sample to its values: quick values of one count, the final histograms
// (mean of two counts, or the best-agreeing pair after a third count), and the intake of the
// library's result into the values, marks and marker positions of the sample.
#include <cstdint>
#include <string>

#include "algorithm/ZentilRecords.h"
#include "measurement/histograms.h"
#include "measurement/repeat_agreement.h"
#include "measurement/zentil_call.h"

namespace measurement {

// Quick WBC, RBC and PLT of one count through the library. A library that cannot be used
// gives invalid values (-100000.0), never zeros.
struct CountValues {
  float wbc = -100000.0f, rbc = -100000.0f, plt = -100000.0f;
  ZentilStatus status = ZentilStatus::Computed;
};
CountValues ComputeCountValues(const CountInputs& inputs, const HistogramBuffers& histograms);
// The engineering display texts of a count's quick values: WBC and RBC "%.2f", PLT "%d" of
// PLT + 0.5 cut to an integer.
void FormatCountValues(const CountValues& v, std::string* wbc, std::string* rbc, std::string* plt);

// Every bin becomes (count 1 + count 2) x 0.5, the two bins added as unsigned integers.
void MeanOfTwoCounts(const CountHistograms& c1, const CountHistograms& c2, HistogramBuffers& out);

// After a third count: `buffers` holds count 3 on entry. For each channel the pairs whose
// quick-value difference is smallest are combined in the order (3,2), (3,1), (1,2), each
// checked again; a check that fails raises the channel's disagreement in `stars`. A channel with
// a quick value the library could not compute takes counts 1 and 2 and raises its disagreement.
void CombineThreeCounts(const CountHistograms& c1, const CountHistograms& c2, const QuickValues& q,
                        HistogramBuffers& buffers, bool stars[3]);

// The values of a sample as the screens, printing and the LIS read them.
struct SampleValues {
  float values[20] = {};         // screen order, in the configured units
  uint8_t marks[20] = {};        // 1 = not reportable
  float markers[8] = {};         // fL: WBC 0-3, RBC 4-5, PLT 6-7
  float originalWbc = 0.0f;      // WBC as computed, before unit conversion and line moves
  float wbcMarkers[2] = {};
  float savedMarkers[4] = {};
  bool incomplete = false;       // some value is not reportable: kept out of X-B QC
  bool manualDiffAllowed = false;
  bool computed = false;         // false when the library could not be used
};

// The values of a result record, converted into `units` (20 unit texts, screen order). A status
// other than Computed gives every value invalid and marked, so nothing is shown, stored or
// passed on as a number.
SampleValues TakeResult(const AlgorithmResult& result, ZentilStatus status, const std::string* units);

}  // namespace measurement
