#pragma once
// The print-outs of the two manual calibration screens: the factors (engineer) or percents
// (user) of one blood type with their dates, on the built-in thermal printer or on the default
// page printer. They print a copy of what the screen last took or filled, never the screen
// itself, so the page job can run on a thread of its own.
#include <string>
#include <vector>

#include "platform/sys/clock.h"

namespace calibration {

struct CalibrationPrintout {
  bool percents = false;             // the user screen's print-out: "(%)" head, "Type:" label
  int bloodType = 0;
  int language = 1;
  std::vector<std::string> values;   // WBC, RBC, HGB, MCV, PLT[, MPV]
  std::vector<std::string> dates;
  sys::LocalTime now;
};

// "Print date: %.2d/%.2d/%4d" (month, day, year) and its other languages.
std::string PrintDateText(int language, const sys::LocalTime& t);
// An item line: name padded to 8, value to 17, date to 14 (a longer text shifts what follows).
std::string ItemLine(const std::string& name, const std::string& value, const std::string& date);

// The thermal lines in the order they are sent (foot first: the last one sent is read at the
// top of the paper). "" marks a separator.
std::vector<std::string> ThermalLines(const CalibrationPrintout& p);
// Sends the whole thermal job.
void PrintThermal(const CalibrationPrintout& p);
// Prints on the default page printer; false when there is none. The engineer's print-out
// (factors) puts a dot-matrix printer on continuous paper of 210 x 279 mm first.
bool PrintPage(const CalibrationPrintout& p);

}  // namespace calibration
