#pragma once
// One stored result as the single-result view shows it: the header texts, the lead mark, value,
// mark and unit of each of the 20 rows (display order), the histogram flags, the blood mode and
// reference group, and the stored line positions. Read once from a Person row.
#include <string>

namespace db {
class Recordset;
}

namespace history {

// A stored value text taken apart for display: the lead mark of its row ("*", "e", "E", "!"),
// the value and the mark after the first blank. "- - -" stays whole.
struct ShownValue {
  std::string lead, value, mark;
};
ShownValue SplitShownValue(int displayRow, const std::string& stored);

struct ViewRow {
  std::string sampleNo, testDate, testTime, dateTime;
  std::string name, sex, age, bloodType, referValue;
  std::string medicalNo, bedNo, dept, sender, scrutator, checker;
  std::string warning, refText;
  ShownValue values[20];
  std::string units[20];
  int bloodMode = 0;
  int referenceGroup = 0;
  int abnormal = 0;
  float originalWbc = 0.0f;
  float wbcMarkers[2] = {};  // WMARKER2, WMARKER3 (fL; 0 = the library's)
  float pltMarkers[2] = {};  // PMARKER1, PMARKER2
  bool differentialEdited = false;  // LYM# entered by hand
  bool adjustEnabled = false;       // the WBC allows moving the lines
  bool wbcAdjustWithAbnormal = false;
  bool flags[6] = {};               // LF1 LF2 LF3 LF4 PF1 PF2 in the warning
  bool keptForComputation = false;  // a count the library could not compute, kept to compute later
};

// The default unit of each row before a row's own units replace them.
extern const char* const kDefaultUnits[20];

// Reads the current row. The reference group is taken from the row alone (a name that names no
// group reads as group 0), so no row inherits the group of the one shown before it.
ViewRow ReadViewRow(db::Recordset& rs, int language);

// The texts shown for stored sex, blood type and group names, and the age text.
std::string ShownSex(const std::string& stored, int language);
std::string ShownBloodType(const std::string& stored, bool isNull, int language);
std::string ShownGroup(const std::string& stored, bool isNull, int language);
std::string AgeText(bool hasAge, int age, const std::string& ageUnit, int language);

// Whether the stored WBC lets the operator move the WBC and PLT lines: above 0.2 in "10^9/L"
// or "10^3/uL", above 2.0 in any other unit.
bool ViewAdjustEnabled(const std::string& wbcText, const std::string& wbcUnit);

// The flag codes found in a warning text.
void WarningFlags(const std::string& warning, bool flags[6]);
extern const char* const kFlagCodes[6];

}  // namespace history
