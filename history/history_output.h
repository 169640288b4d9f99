#pragma once
// Printing and sending stored results from the browser and the view. Printing hands over a
// snapshot of what the operator selected (the sample keys and the values as shown), never the
// screen's own grid or members, so a job that runs on after the screen changed still prints
// what was chosen. Sending opens the LIS send screen modally on the browser's grid, which
// cannot change while that screen is open. The report and LIS entry points are reached only
// from here.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sys/clock.h"
#include "printing/report_fill.h"
#include "printing/report_snapshot.h"

class CADOConn;
class CGridCtrl;

namespace ui {
class Window;
}

namespace history {

// One selected result as shown: its key and the texts of the browser's 23 grid rows (sample
// number, date, time, then the 20 values in the browser's order); the view fills the same.
struct ResultSnapshot {
  std::string sampleNo, testDate, testTime;
  std::vector<std::string> texts;
};

// The system settings the reports follow, read the way the test screen reads them: the printer
// (0 the built-in thermal printer, any other value the page printer), the print format, the
// laboratory's name and the page header length.
struct PrintSetup {
  int printer = 0;
  int printFormat = 1;
  std::string unitName;
  int pageHeaderLength = 20;
};
PrintSetup ReadPrintSetup(CADOConn& conn);

// The report settings of a job: the setup, the print template's parameters (display order)
// and the language of the moment.
ReportSettings HistoryReportSettings(const PrintSetup& setup, const uint8_t printItems[kReportParams], int language);

// What a print job takes along, copied on the UI thread when Print is pressed; the job reads
// nothing else of the screen.
struct PrintOrder {
  int printer = 0;
  ReportSettings settings;
  sys::LocalTime printTime;
};

// The browser's selected columns as the reports read them (number, date, the 20 result cells).
std::vector<StoredSampleColumn> PrintColumns(const std::vector<ResultSnapshot>& chosen);

// Before the browser prints, on the UI thread: each picked column that holds a kept count is
// computed (RecomputeKeptResult) and then takes its stored result; one that cannot be computed
// now is printed as it stands, marked as not computed. Returns how many were computed.
int ComputeKeptColumns(CADOConn& conn, const std::string& folder, std::vector<StoredSampleColumn>& columns,
                       int language);

// The browser's job, run on the print thread: the stored samples of `columns` are read through
// the job's own connection, then one report per sample goes to the printer of the order, in
// the order of the columns. `cancel` is looked at before each sample and at the reports' own
// points; a cancelled thermal run still closes the printer's report mode.
void PrintStoredResults(const std::vector<StoredSampleColumn>& columns, const PrintOrder& order,
                        const std::atomic<uint8_t>& cancel);
// The view's job: the shown result on the printer of the order.
void PrintShownResult(const ReportSnapshot& result, const PrintOrder& order);

// Opens the LIS send screen for sample results on the browser's grid (one sample per column:
// row 0 the sample number, row 1 the test date, rows 3-22 the values as shown). There the
// operator sends the picked columns or every stored sample, and the screen reports how the
// sending went. Returns the screen's result.
int SendResults(const CGridCtrl& grid);

}  // namespace history
