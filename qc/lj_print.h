#pragma once
// The L-J chart print-outs of the page on show (four parameters): on the built-in thermal
// printer, sent foot first, and on the default page printer. Both work on a copy of the chart
// data taken before printing starts, so the screen stays free to change its own.
#include <string>

#include "platform/sys/clock.h"
#include "qc/lj_chart_data.h"

namespace qc {

// The value rows of one parameter for the thermal print-out, newest pair first: each pair is
// (result row, date row) of up to five runs, oldest on the left; runs without a value are
// passed over.
struct ValueRowPair {
  std::string results, dates;
};
std::vector<ValueRowPair> ThermalValueRows(const LjChartData& d, int chartIndex, int language);

// The chart point of a value: column and row on the 325 x 150 dot chart (row 0 is T - 2L,
// row 150 T + 2L), clamped to 5..320 and 5..145; `cross` when the value lies within T +/- 2L.
struct ChartDot {
  int column, row;
  bool cross;
};
ChartDot ThermalChartDot(int runIndex, int runCount, float value, float target, float limit);

void PrintLjChartThermal(const LjChartData& d, int language, const sys::LocalTime& now);
// False when there is no default printer. `xb` prints the X-B chart (its title, no batch and
// no statistics table, every loaded result across the chart).
bool PrintLjChartPage(const LjChartData& d, int language, const sys::LocalTime& now, bool xb = false);

// The X-B thermal print-out of the chart screen `page` (of 25 results), foot first.
void PrintXbChartThermal(const LjChartData& d, int page, int language, const sys::LocalTime& now);

}  // namespace qc
