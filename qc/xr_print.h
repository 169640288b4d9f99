#pragma once
// The X-R chart print-outs of the two parameters on show: on the built-in thermal printer
// (sent foot first) and on the default page printer. Both work on a copy of the chart data.
#include <string>
#include <vector>

#include "platform/sys/clock.h"
#include "qc/xr_stats.h"

namespace qc {

struct XrPrintData {
  XrStats stats;
  int fileNo = 0, groups = 0;
  int upper = 0;  // chart order; the lower parameter is upper + 1
  std::string batch, expiry, unitName;
};

// The table lines of one chart for the thermal print-out, sent in this order: per five groups
// from the newest, the value line then the date line; entries padded to 7, 8, 9, 10, 11
// characters by their place in the line, oldest on the left.
std::vector<std::string> XrThermalTableLines(const std::vector<float>& values, const std::vector<std::string>& dates,
                                             int language);

void PrintXrChartThermal(const XrPrintData& d, int language, const sys::LocalTime& now);
// False when there is no default printer.
bool PrintXrChartPage(const XrPrintData& d, int language, const sys::LocalTime& now);

}  // namespace qc
