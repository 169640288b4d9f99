#pragma once
// What a sample report prints, copied once when printing starts. Every caller fills one (the
// test screen from its result, the results browser and the single-result view from the stored
// row and their grid), then hands it to a report; the report never reads a screen or a shared
// record, so a print thread and the screens that go on working never touch the same strings.
//
// All per-parameter arrays are in display order: WBC, LYM#, MID#, GRA#, LYM%, MID%, GRA%, RBC,
// HGB, HCT, MCV, MCH, MCHC, RDW-SD, RDW-CV, PLT, MPV, PDW, PCT, P-LCR.
#include <cstdint>
#include <string>

inline constexpr int kReportParams = 20;
inline constexpr int kReportWbcChannels = 256, kReportRbcChannels = 256, kReportPltChannels = 128;

// The raw histograms of the sample (one count per channel) with the flag codes and the divider
// lines the operator kept; the print-outs re-run the algorithm library on them.
struct ReportHistograms {
  bool present = false;  // false: the sample has no raw data; the report prints no histograms
  float wbc[kReportWbcChannels] = {};
  float rbc[kReportRbcChannels] = {};
  float plt[kReportPltChannels] = {};
  // WMARKER2, WMARKER3, PMARKER1, PMARKER2 in fL; 0 or less: the library's line.
  float markers[4] = {0, 0, 0, 0};
};

// Report settings taken when printing starts.
struct ReportSettings {
  int language = 1;          // 0 Chinese, 1 English, 2 Spanish, 3 French, 4 Ukrainian
  int printFormat = 0;       // SysSetting PrintFormat (meaning per printer, see the reports)
  std::string unitName;      // SysSetting UnitName: the laboratory's name, the report's top line
  int pageHeaderLength = 20; // mm, 20 to 70: the page reports' top offset
  bool ntPlatform = true;    // row steps of the half-page layouts
  // Which parameters get a row: the default print template, display order.
  uint8_t printItems[kReportParams] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
};

struct ReportSnapshot {
  // Identity. sampleNo is the number as text ("%d"); testDate "YYYY-MM-DD"; testTime "HH:MM:SS".
  std::string sampleNo, testDate, testTime;
  // A repeated count of WBC, RBC or PLT disagreed: the sample number is printed starred.
  bool countMismatch = false;
  // Patient fields as they are printed (texts already in the report's language where a
  // conversion applies; see the fill helpers in report_fill.h).
  std::string name, sex, age, bloodTypeText, referenceText, medicalNo, bedNo, dept, sender, scrutator, checker;
  int bloodMode = 0;          // 0 whole blood, 1 peripheral blood, 2 pre-diluted (library constants)
  int referenceGroup = 0;     // 0 to 9

  // The 20 parameters: the printed value ("- - -" for a value that is not reportable), its
  // flag ("", "L", "L-", "H", "H+"), its unit and its reference range text (" " when open).
  std::string valueTexts[kReportParams];
  std::string flagTexts[kReportParams];
  std::string unitTexts[kReportParams];
  std::string rangeTexts[kReportParams];

  std::string warning;        // the raised histogram flag codes, each followed by a blank
  ReportHistograms histograms;
  // The sample was counted while the algorithm library could not be used and its result has not
  // been computed since: every value is "- - -", and the report says so in a line of its own.
  bool notComputed = false;
};
