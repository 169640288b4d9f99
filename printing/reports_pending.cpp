// Bodies of the report entry points that are still being written.
#include "printing/histogram_print.h"
#include "printing/reports.h"

void PrintSampleReportThermal(const ReportSnapshot&, const ReportSettings&, const sys::LocalTime&) {}
PageReportOutcome PrintSampleReportPage(const ReportSnapshot&, const ReportSettings&, const sys::LocalTime&,
                                        const print::DeviceMode&) {
  return {};
}
int PrintHistoryThermal(const std::vector<ReportSnapshot>&, const ReportSettings&, const sys::LocalTime&,
                        const std::atomic<uint8_t>&) {
  return 0;
}
PageReportOutcome PrintHistoryPage(const std::vector<ReportSnapshot>&, const ReportSettings&, const sys::LocalTime&,
                                   const std::atomic<uint8_t>&, const print::DeviceMode&) {
  return {};
}
void PrintResultThermal(const ReportSnapshot&, const ReportSettings&, const sys::LocalTime&) {}
PageReportOutcome PrintResultPage(const ReportSnapshot&, const ReportSettings&, const sys::LocalTime&,
                                  const print::DeviceMode&) {
  return {};
}
void PrintSnapshotHistogramsThermal(const ReportSnapshot&, const ReportSettings&) {}
PrintedHistograms ComputePrintedHistograms(const float*, const float*, const float*, int, float, float, float, float) {
  return {};
}
std::string ThermalFlagsLine(const std::string& flags, int) { return flags; }
std::string PageFlagsLine(const std::string& flags, int) { return flags; }
void PrintHistogramsThermal(const float*, const float*, const float*, const std::string&, int, float, float, float,
                            float, int) {}
void PrintHistogramsGdi(const float*, const float*, const float*, int, RPrintHelper&, float, const std::string&, int,
                        int, float, float, float, float, int) {}
