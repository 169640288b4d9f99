#pragma once
// The process-wide result of the last sample, read by printing and the LIS senders on their own
// threads. The test screen publishes a result once it is processed and leaves it unchanged
// until the next count starts, so the readers need no lock.
#include <cstdint>
#include <string>

#include "measurement/histograms.h"

namespace measurement {

struct RunResult;

extern float CurrentResult[20];       // screen order, configured units
extern uint8_t ParameterMarks[20];    // 1 = not reportable
extern float MarkerPositions[8];      // fL
extern HistogramBuffers SampleHistograms;  // the final histograms of the sample
extern std::string MarkTexts[20];     // "", "L", "L-", "H", "H+"
extern std::string Warning;           // "LF1 PF2 " ...
extern std::string RefText;
extern std::string RangeTexts[20];    // table order

// Copies a processed result and its histograms into the globals above.
void PublishRunResult(const RunResult& result, const HistogramBuffers& histograms);

}  // namespace measurement
