#pragma once
// Filling a ReportSnapshot: the texts every caller derives the same way (value and range texts
// from numbers, result cells of the browser's grid, the stored patient texts of a Person row
// in the report's language) and the whole snapshot of a stored sample.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "printing/report_snapshot.h"

class CADOConn;

// "- - -" when the value is not reportable (`mark` nonzero), else the value with the
// parameter's decimals.
std::string ReportValueText(float value, uint8_t mark, int displayIndex);
// "low-high" with the parameter's decimals, or " " when the range is open on both sides
// (low below -999999, high above 999999).
std::string ReportRangeText(float low, float high, int displayIndex);
// The range flag of a value: "L-" below the pathology low, else "L" below the normal low; then
// "H+" above the pathology high, else "H" above the normal high; strict comparisons; empty for
// a value that is not reportable.
std::string ReportRangeFlag(float value, uint8_t mark, float normalLow, float normalHigh, float panicLow,
                            float panicHigh);

// A result cell as the browser shows it: the value, optionally a blank and a flag. A cell with
// a blank after its first character is split at blanks ("-" as value gives "- - -" and no
// flag); a leading '*', 'e', 'E' or '!' is dropped from the value.
void ParseResultCell(const std::string& cell, std::string* value, std::string* flag);
// The 20 reference texts of a RefText (stored order, separated by ","), in display order;
// missing ones are empty.
void RangeTextsFromRefText(const std::string& refText, std::string out[kReportParams]);

// Stored patient texts as a report prints them in `language`.
std::string ReportSexText(const std::string& stored, int language);
std::string ReportAgeText(int age, const std::string& ageUnit, bool unitNull, int language);
std::string ReportBloodTypeText(const std::string& stored, int language);
// A null ReferValue gives the language's name of the general group.
std::string ReportReferenceText(const std::string& stored, bool isNull, int language);
// 0 whole blood, 1 peripheral, 2 pre-diluted, 3 control, from a stored text in any language
// (the shared table of core/sample_names.h); 0 for anything else.
int BloodModeFromText(const std::string& text);

// The default unit texts of the 20 parameters (display order).
void DefaultReportUnits(std::string out[kReportParams]);

// One sample column of the results browser: its number, date and the 20 result cells.
struct StoredSampleColumn {
  std::string sampleNo, testDate;
  std::string results[kReportParams];  // display order, as the grid shows them
  bool notComputed = false;            // a kept count still waiting for the library
};

enum class StoredSnapshot { Loaded, NoRow, QueryFailed };
// The snapshot of a stored sample: the Person row of (sampleNo, testDate) gives the patient
// texts (in the language), units, reference texts, flags text and markers; the cells give the
// values and flags; the raw data file pair gives the histograms when it has the sample. A
// sample without a row gives NoRow and leaves `out` empty of it.
StoredSnapshot LoadStoredSnapshot(CADOConn& conn, const StoredSampleColumn& column, int language,
                                  ReportSnapshot* out);
// The snapshots of the picked columns, in order, as the browser's reports take them: a column
// without a sample number ends the list, one without a WBC result or without a stored row is
// left out (it gets no report and no page). `cancel` (when given) is looked at before each.
std::vector<ReportSnapshot> LoadHistorySnapshots(CADOConn& conn, const std::vector<StoredSampleColumn>& columns,
                                                 int language, const std::atomic<uint8_t>* cancel = nullptr);
