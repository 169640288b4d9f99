// Bodies of the report entry points that are still being written.
#include "printing/histogram_print.h"
#include "printing/reports.h"

PageReportOutcome PrintSampleReportPage(const ReportSnapshot&, const ReportSettings&, const sys::LocalTime&,
                                        const print::DeviceMode&) {
  return {};
}
PageReportOutcome PrintHistoryPage(const std::vector<ReportSnapshot>&, const ReportSettings&, const sys::LocalTime&,
                                   const std::atomic<uint8_t>&, const print::DeviceMode&) {
  return {};
}
PageReportOutcome PrintResultPage(const ReportSnapshot&, const ReportSettings&, const sys::LocalTime&,
                                  const print::DeviceMode&) {
  return {};
}
