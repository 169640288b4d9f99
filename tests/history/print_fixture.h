#pragma once
// Printing from the result history: a few stored results written out field by field, a thermal
// printer that keeps the strip (and can hold a write until the test lets it go, to press
// Cancel at a chosen row), the simulator's reading of the strip, and the text of the page
// printer's PDF pages.
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "printing/thermal_printer.h"
#include "results_store.h"

namespace history_test {

// The 20 parameters in display order: name, Person column, place in the stored order (RefText),
// the unit column that replaces the default unit, and the default unit.
struct PrintParam {
  const char* abbrev;
  const char* column;
  int stored;
  const char* unitColumn;  // nullptr: always the default
  const char* defaultUnit;
};
extern const PrintParam kPrintParams[20];

// One stored result of the print fixture, sample k of date 2026-02-10.
struct PrintRow {
  std::string sampleNo, testDate, testTime, name, sex, ageText, bloodType, group;
  std::string medicalNo, bedNo, dept, sender, scrutator, checker;
  std::string cells[20];   // stored texts, display order, as the browser's grid shows them
  std::string values[20];  // as a report prints them
  std::string flags[20];
  std::string units[20];
  std::string ranges[20];
};
PrintRow PrintRowOf(int k, bool withWbc = true);
// Inserts the row (and, when asked, a raw record so the report gets histograms).
void StorePrintRow(const PrintRow& r, int k, bool raw);

// A thermal printer that keeps every byte; HoldAt makes the write that completes `trigger`
// wait until Release.
class StripPrinter : public ThermalOutput {
 public:
  size_t Send(const uint8_t* data, size_t len, int timeoutMs, bool* timedOut) override;
  void HoldAt(const std::string& trigger);
  bool Held();
  void Release();
  std::string Bytes();

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::string bytes_, trigger_;
  bool held_ = false, released_ = false;
};

// The bytes the driver sends for one row.
std::string ThermalRowBytes(const std::string& row, int n = 4, int finalCr = 1);
// The simulator's log of a strip, in sending order: "TEXT <row>" (trailing blanks dropped),
// "DC2 T ..." for a dot page, "ESC U n".
std::vector<std::string> StripLog(const std::string& bytes);
// The text rows of a log, without the "TEXT " and trailing blanks.
std::vector<std::string> TextRows(const std::vector<std::string>& log);
size_t CountPrefix(const std::vector<std::string>& log, const std::string& prefix);

std::string Pad(const std::string& s, size_t width);
std::string RTrim(const std::string& s);

// The text of each page of the PDFs in `dir` (pdftotext), in file-name order.
std::vector<std::string> PdfPages(const std::string& dir);

}  // namespace history_test
