#pragma once
// The hidden settings page's values: the switches (intermediate results on the test screen,
// the soak reminder, histogram divider moves), the reagent consumption coefficients of
// Setting.ini [ReagentCalcCoef], the correction amount of the hardware reagent alarm with the
// remaining correction volumes that follow it, and the two printer test pages.
//
// Save checks every input first: a coefficient or a correction amount that is not a number,
// and a correction amount below 0, are refused and nothing is saved.
#include <string>

#include "analyzer/reagent.h"
#include "platform/sys/clock.h"

class CADOConn;

namespace service {

struct HiddenInputs {
  std::string dil, lys, cle;  // the coefficient fields
  std::string revise;         // the correction amount field (mL)
};

struct HiddenSaveResult {
  bool saved = false;
  std::string message;        // why it was refused, or "Data saved!"
  float dil = 1, lys = 1, cle = 1;  // the coefficients as saved (out-of-range ones are 1.0)
};

// The update of the correction amount `v` against the volumes' current amount: raised, the
// remainders whose countdown is off become v; lowered, remainders above v are cut to v and
// their countdown flag is cleared. Empty when v equals the current amount. Changes `vols`.
std::string ReviseUpdateSql(float v, analyzer::ReagentVolumes& vols);

// The largest correction amount (mL): what the field shows with two decimals and a float keeps
// to the hundredth.
inline constexpr double kMaxReviseVol = 9999.99;

// Checks and saves; `ini` is the settings file. An amount below 0 or above kMaxReviseVol (also
// one beyond a double) is refused with the range named.
HiddenSaveResult SaveHiddenSettings(const HiddenInputs& in, CADOConn* conn, const std::string& ini, int language);

// The coefficients as the page shows them at open: from the settings file, range rule applied.
analyzer::ReagentCoefficients ReadShownCoefficients(const std::string& ini);
// General notation with up to 6 significant digits (1.0 shows as 1).
std::string CoefficientText(float value);

// The switches. Each returns the new state.
bool ToggleMidResults();
bool ToggleSoakTips(CADOConn* conn, const sys::LocalTime& now);
bool ToggleHistogramAdjust(CADOConn* conn);
// The histogram switch as stored.
bool HistogramAdjustOn(CADOConn* conn);

// The two test pages. The outside page is printed on a thread of its own that gets only the
// values it prints (no pointer to the page); returns at once.
struct TestPageText {
  std::string productName;
  std::string dateLine;     // "Print date:%.2d/%.2d/%4d %.2d:%.2d"
  std::string welcome;      // "Welcome to use the product!"
  int language = 1;
  int pageHeaderMm = 0;     // PrintPgHeader
};
TestPageText MakeTestPageText(int language, const sys::LocalTime& now);
void StartOutsidePrinterTest(const TestPageText& text);
// The first line's number on the outside page for a header, a page height and a line height.
int OutsideFirstLine(int pageHeaderMm, int pageHeight, int lineHeight);
void PrintInsidePrinterTest(const TestPageText& text);

}  // namespace service
