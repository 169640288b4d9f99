#pragma once
// The sample reports. Each takes snapshots (report_snapshot.h) and the settings read when
// printing started, prints, and returns; none of them touches a window, so the screens run
// them on a worker thread (print_job.h) and do their own enabling and hint on the UI thread.
//
// Thermal reports go out through the thermal driver (thermal_printer.h), last row first. Page
// reports draw one page per sample through RPrintHelper on the default page printer; the
// dot-matrix paper they choose for a listed printer applies to their own job only.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/print/device_mode.h"
#include "platform/print/page_device.h"
#include "platform/sys/clock.h"
#include "printing/report_snapshot.h"

// What a page job did.
struct PageReportOutcome {
  bool printed = false;     // a document was produced (pages counted in job.pages)
  bool noPrinter = false;   // no default printer, or no page device for it: nothing printed
  bool cancelled = false;   // a history job stopped at the cancel flag
  int reports = 0;          // samples drawn
  print::JobResult job;     // where the document went
  print::DeviceMode mode;   // the printer and paper the job used
  std::vector<uint8_t> pdf; // the document as it was produced
};

// ---- the sample just counted (the test screen's Print button and the count's automatic print)

// The thermal report: identity block, the selected parameters, histograms by print format,
// the print date. Sends ESC 'U' 1 ... ESC 'U' 0 around it.
void PrintSampleReportThermal(const ReportSnapshot& sample, const ReportSettings& settings,
                              const sys::LocalTime& printTime);
// The page report on the default page printer (`base` holds the printer and paper of the
// application; the report works on its own copy).
PageReportOutcome PrintSampleReportPage(const ReportSnapshot& sample, const ReportSettings& settings,
                                        const sys::LocalTime& printTime,
                                        const print::DeviceMode& base = print::ApplicationDeviceMode());

// ---- stored samples picked in the results browser (one report per snapshot, in order)

// Thermal: one report per sample; `cancel` is looked at before each sample, after its footer,
// after its histograms and after its column header. Sends ESC 'U' 1 and ESC 'U' 0 around the
// run in every case. Returns how many reports were started.
int PrintHistoryThermal(const std::vector<ReportSnapshot>& samples, const ReportSettings& settings,
                        const sys::LocalTime& printTime, const std::atomic<uint8_t>& cancel);
// Page printer: one page per sample, full-page layout for PrintFormat 0 and 1, half page for 2
// and 3; `cancel` is looked at before each sample.
PageReportOutcome PrintHistoryPage(const std::vector<ReportSnapshot>& samples, const ReportSettings& settings,
                                   const sys::LocalTime& printTime, const std::atomic<uint8_t>& cancel,
                                   const print::DeviceMode& base = print::ApplicationDeviceMode());

// ---- the result shown in the single-result view

void PrintResultThermal(const ReportSnapshot& sample, const ReportSettings& settings, const sys::LocalTime& printTime);
PageReportOutcome PrintResultPage(const ReportSnapshot& sample, const ReportSettings& settings,
                                  const sys::LocalTime& printTime,
                                  const print::DeviceMode& base = print::ApplicationDeviceMode());

// ---- histogram print-outs alone (the stored sample's curves, as in the reports)

void PrintSnapshotHistogramsThermal(const ReportSnapshot& sample, const ReportSettings& settings);

// The line a report of a result that was not computed carries (ReportSnapshot::notComputed).
std::string NotComputedReportLine(int language);

// ---- page set-up shared by the page reports

// True for the dot-matrix printers that get their own paper (name compared without case).
bool IsDotMatrixPrinter(const std::string& name);
// The settings of a page job on `printerName`: `base` with, for a dot-matrix printer, the
// user-defined paper of 210.0 x 279.0 mm (139.5 mm long for the half-page formats).
print::DeviceMode PageReportMode(const print::DeviceMode& base, const std::string& printerName, bool halfPage);
// `base` with the dot-matrix printers' continuous paper: user-defined, 210.0 mm wide and
// 279.0 mm long (139.5 mm for a half page).
print::DeviceMode DotMatrixPaperMode(const print::DeviceMode& base, bool halfPage);
