#pragma once
// The Levey-Jennings QC tables: the settings row of a QC file (LJQCSet) and its stored runs
// (LJQCRunResult), with the copy a run leaves in the X-R file of the same number
// (XRQCRunResult). One place reads and writes them; the screens ask here.
//
// Arrays of 20 are in the store order of the tables (WBC LYMA MONA GRAA LYMP MONP GRAP RBC HGB
// MCHC MCH MCV RDWCV RDWSD HCT PLT MPV PDW PCT PLCR) unless a name says otherwise.
#include <array>
#include <string>
#include <vector>

#include "core/ado_conn.h"

namespace qc {

inline constexpr int kQcFileCount = 20;
// Values a run stores in place of a number.
inline constexpr float kInvalidRunValue = -1.0f;
inline constexpr float kNotChosenRunValue = -2.0f;

// Result-table column of each store position.
extern const char* const kRunColumns[20];
// Settings-table stem of each store position (targets "<stem>RV", limits "<stem>LV").
extern const char* const kSetStems[20];
// The four rule switches, in their column order.
enum Rule { RuleOut3SD = 0, Rule2Out2SD = 1, Rule5SideSDTo2SD = 2, Rule7Side = 3 };
extern const char* const kRuleColumns[4];

// The settings row of an L-J QC file.
struct LjFileSettings {
  int fileNo = 0;
  std::string batchNo, expDate;
  std::array<float, 20> targets{}, limits{};  // store order; 0 = not set
  std::array<int, 4> rules{};                 // on only when exactly 1
  std::array<int, 20> chosen{};               // Q1..Q20, store order; on only when exactly 1
  LjFileSettings() { chosen.fill(1); }
};

// Reads the row of `fileNo`; false when the file has none (or the query failed).
bool ReadLjFileSettings(CADOConn& conn, int fileNo, LjFileSettings* out);
// The full insert of a settings row by position: targets and limits with "%f" (`twoDecimals`
// writes them "%.2f").
std::string LjSettingsInsertSql(const LjFileSettings& s, bool twoDecimals = false);
// The update of batch, expiry date and the 40 values.
std::string LjSettingsUpdateSql(const LjFileSettings& s);
// The update of the twenty Q flags, and of the four rule switches.
std::string LjChoiceUpdateSql(int fileNo, const std::array<int, 20>& chosen);
std::string LjRulesUpdateSql(int fileNo, const std::array<int, 4>& rules);

// One stored run of a file.
struct LjRun {
  std::string date, time;
  std::array<float, 20> values{};  // store order; -1 invalid, -2 not under QC
  std::array<std::string, 7> units;  // WBC, RBC, HGB, MCHC, HCT, PLT, PCT
};

// The runs of a file, oldest first. With `from`/`to` ("YYYY-MM-DD") only the runs of those days.
std::vector<LjRun> ReadLjRuns(CADOConn& conn, int fileNo, const std::string& from = "", const std::string& to = "");
// The results of an X-R file, oldest first (same columns, read by name).
std::vector<LjRun> ReadXrRuns(CADOConn& conn, int fileNo);
// Every X-B result, oldest first (same value and unit columns, no file).
std::vector<LjRun> ReadXbRuns(CADOConn& conn);
// The newest `n` stored runs, newest first.
std::vector<LjRun> ReadNewestLjRuns(CADOConn& conn, int fileNo, int n);
int CountRuns(CADOConn& conn, const char* table, int fileNo);

// The insert of a run into "LJQCRunResult" or "XRQCRunResult".
std::string RunInsertSql(const char* table, int fileNo, const LjRun& run);

// Deletes one run of a file by its date and time; `withXrCopy` also removes the copy the run
// left in the X-R file of the same number. 1 when every statement ran.
int DeleteLjRun(CADOConn& conn, int fileNo, const std::string& date, const std::string& time, bool withXrCopy);
// Deletes every run of the file's oldest test date.
int TrimOldestLjDay(CADOConn& conn, int fileNo);

// Run-table text of the file's ordering, chronological because dates and times have fixed widths.
inline constexpr const char* kRunOrder = " order by TestDate asc, TestTime asc";

}  // namespace qc
