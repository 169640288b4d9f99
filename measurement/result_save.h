#pragma once
// Saving a sample's result: the Person row (update when the sample already has a row for the
// day, else insert), the X-B QC row, and the hand-off to printing and the LIS.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "printing/report_snapshot.h"

class CADOConn;

namespace measurement {

// The columns the test screen writes into the sample's Person row.
struct PersonRow {
  std::string sampleNo, testDate, testTime;
  std::string bloodType;        // the blood mode's text
  std::string referValue;       // the patient group's text (insert only)
  // The group the marks and the range text came from, as the count read the row (inner unset:
  // the row's group was Null). The update writes it back with them, so that a group stored
  // in between (the LIS's patient data) never stands beside another group's marks. Unset: the
  // update leaves the row's group as it is.
  std::optional<std::optional<std::string>> referValueAsRead;
  std::string values[20];       // stored value texts, table order
  std::string warning;
  std::string units[7];         // WBC, RBC, HGB, MCHC, HCT, PLT, PCT
  std::string refText;
  float originalWbc = 0.0f;
  float markers[4] = {};        // WMARKER2, WMARKER3, PMARKER1, PMARKER2 (fL)
  // The count's inputs kept for a later computation (measurement/kept_inputs.h): unset leaves
  // the column out of the statement (a store from before it still takes the row), empty writes
  // Null.
  std::optional<std::string> keptInputs;
};

// "update Person set TestDate=... where SampleNo='..' and TestDate='..'"; keeps the patient
// columns.
std::string PersonUpdateSql(const PersonRow& row);
// "insert into Person (SampleNo, ...) values (...)" with empty patient texts and Age 0.
std::string PersonInsertSql(const PersonRow& row);

// Whether the sample already has a row on the date. `ok` false when the query failed.
bool SampleExistsToday(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* ok = nullptr);

enum class SaveStatus { Inserted, Updated, Failed };
// Runs the update or the insert. A failure (already reported by the data layer) gives Failed and
// the engine's text in *error.
SaveStatus SavePersonRow(CADOConn& conn, const PersonRow& row, std::string* error = nullptr);

// X-B QC of the screen's run.
struct XbQcState {
  int sampleNum = 0;     // results of one screen run that feed X-B QC
  bool isOn = false;
  int resultCount = 0;   // rows stored when the screen opened
  int addedCount = 0;    // rows added since
};
// Reads XBQCSet (SampleNum, IsOn) and counts XBQCRunResult.
XbQcState LoadXbQcState(CADOConn& conn);
// The followed parameters of XBQCSet (columns 42 to 61, table order), in screen order.
bool LoadXbFollowed(CADOConn& conn, uint8_t followedScreenOrder[20]);
std::string XbQcInsertSql(const std::string& date, const std::string& time, const float valuesTableOrder[20],
                          const std::string units[7]);
// Deletes the oldest row by date and time (then by insertion).
inline constexpr const char* kXbQcTrimSql =
    "delete from XBQCRunResult where rowid = (select rowid from XBQCRunResult order by TestDate, TestTime, rowid "
    "limit 1)";

enum class XbQcOutcome { Added, Off, Incomplete, Full, Failed };
// Adds the result (screen order, converted) when X-B QC is on and the result is complete, while
// fewer than sampleNum rows were added by this screen; keeps at most 2000 rows.
XbQcOutcome AddXbQcRow(CADOConn& conn, XbQcState& state, const float valuesScreenOrder[20], bool incomplete,
                       const std::string& date, const std::string& time, const std::string units[7]);

// ---- Hand-off of a stored result to printing and the LIS.
enum class HandOffKind { Print, Send };
// Entry points the printing and LIS subsystems install; they return true when they took the job.
// Each gets the report snapshot of the result, taken when the result was handed on, so that it
// never reads the screen's records while the next count fills them.
using HandOffEntry = std::function<bool(const ReportSnapshot& sample)>;
void SetHandOffEntry(HandOffKind kind, HandOffEntry entry);

// A copy of everything the LIS sends of one stored result, taken when the result is handed
// on, so a sending thread never reads the screen's records while the next count fills them.
struct HandOffSnapshot {
  std::string sampleNo, testDate, testTime;
  std::string name, sex, age;  // age as shown: number, a blank, unit ("35 Y")
  std::string sampleType, referGroup, medicalNo, bedNo, dept, sender, scrutator, checker;
  std::string values[20];      // table order: formatted value, "" when not reportable
  std::string units[20];       // table order, as shown
  std::string ranges[20];      // table order
  std::string flags[20];       // table order ("H", "L", ...)
  uint8_t curves[3][256] = {};  // WBC, RBC, PLT display histograms (PLT uses 128 bins)
  float lines[8] = {};          // fL: WBC 4, RBC 2, PLT 2
  std::string warning;          // the raised histogram flag codes, each followed by a blank
};
// The LIS's automatic sending takes the snapshot; installed by the LIS link.
using SendHandOffEntry = std::function<bool(const HandOffSnapshot& snapshot)>;
void SetSendHandOffEntry(SendHandOffEntry entry);
// Where notices for the operator go (the test screen shows them in its message line).
using HandOffNotice = std::function<void(const std::string& text)>;
void SetHandOffNotice(HandOffNotice notice);

// Gives a text to the installed notice hook (nothing without one).
void NoticeHandOff(const std::string& text);

// "The result could not be saved; it is not printed or sent." in the language.
std::string NotSavedText(int language);
// "No result: the algorithm library could not be used." in the language.
std::string NotComputedText(int language);

// Hands a result on. `stored` false (the row could not be written, or nothing was computed)
// hands nothing on and gives the notice instead. Returns whether the entry took it.
bool HandOff(HandOffKind kind, bool stored, int language, const ReportSnapshot& sample,
             const HandOffSnapshot* snapshot = nullptr);

}  // namespace measurement
