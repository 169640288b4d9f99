#include "measurement/result_globals.h"

#include "measurement/run_result.h"

namespace measurement {

float CurrentResult[20] = {};
uint8_t ParameterMarks[20] = {};
float MarkerPositions[8] = {15.0f, 0.0f, 0.0f, 0.0f, 25.0f, 0.0f, 2.0f, 0.0f};
HistogramBuffers SampleHistograms;
std::string MarkTexts[20];
std::string Warning;
std::string RefText;
std::string RangeTexts[20];

void PublishRunResult(const RunResult& r, const HistogramBuffers& h) {
  for (int i = 0; i < 20; ++i) {
    CurrentResult[i] = r.values.values[i];
    ParameterMarks[i] = r.values.marks[i];
    MarkTexts[i] = r.markTexts[i];
    RangeTexts[i] = r.rangeTexts[i];
  }
  for (int i = 0; i < 8; ++i) MarkerPositions[i] = r.values.markers[i];
  SampleHistograms = h;
  Warning = r.flags.warning;
  RefText = r.refText;
}

}  // namespace measurement
