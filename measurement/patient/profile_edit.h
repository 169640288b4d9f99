#pragma once
// What the test screen's Profile button does once the patient-information screen has closed:
// carries the operator's choices into the test screen's state (the next sample number, the
// header texts, the patient group) and, when the group of the shown result changed, re-marks
// the result on the screen and in its Person row.
//
// The test screen copies its state into a ProfileScreenState, runs CPersonInfo, fills a
// ProfileOutcome from it (ProfileOutcomeOf), calls ApplyProfileOutcome and takes the state back.
#include <string>
#include <vector>

class CADOConn;
class CPersonInfo;

namespace measurement {

// The patient texts the test screen shows and stores for its sample.
struct ProfileHeader {
  std::string name, sex, age, referValue, medicalNo, bedNo, dept, sender, scrutator, checker;
};

// The part of the test screen's state the Profile button works on.
struct ProfileScreenState {
  std::string shownSampleNo;     // the sample-number control
  std::string sampleNoText;      // the sample number of the next or shown count
  int nextSampleNo = 0;
  bool sampleNumberEntered = false;
  bool hasResult = false;        // the shown result belongs to the shown sample
  bool retestRequested = false;
  int groupIndex = 0;
  ProfileHeader header;          // also what the header controls show (name, sex, age)
  bool longName = false;
  // Indicators before the stored values of the shown result (screen order): "*" for
  // disagreeing counts, "e"/"E" for a differential entered by hand, "!" after a line move.
  std::string indicators[20];
};

// What the patient screen hands back.
struct ProfileOutcome {
  int result = 0;                // DoModal: 0, 1, 2; below 0 a failed run
  std::string callerSampleNo;
  int patientGroupIndex = 0;
  bool retestConfirmed = false;
  bool summaryValid = false;
  std::string summaryName, summarySex, summaryAge, summaryGroup;
  std::string name, sex;
  int years = 0, months = 0, days = 0;
  std::string groupText, medicalNo, bedNo, dept, applicant, inspector, verifier;
  bool regrouped = false;        // the patient screen re-flagged the caller's sample
};
// (Defined with the dialog.)
ProfileOutcome ProfileOutcomeOf(const CPersonInfo& dlg, int result);

// What the handler did, for the screen to follow up.
struct ProfileApplied {
  bool clearResultDisplay = false;
  bool numberChosen = false;     // another number was chosen for the next count (no result is shown)
  bool remarked = false;         // the marks of the shown result changed (refresh the mark controls)
  bool rowWritten = false;
  bool failed = false;           // a statement failed (the data layer showed the engine's text)
  std::vector<std::string> sql;  // the statements run, in order
};

// Applies the outcome. `testDate` is the test screen's date of the stored rows.
ProfileApplied ApplyProfileOutcome(CADOConn& conn, ProfileScreenState& s, const ProfileOutcome& o,
                                   const std::string& testDate, int language);

// A name longer than 10 characters (not bytes) does not fit the test screen's header: its
// tooltip shows it whole.
bool IsLongName(const std::string& name);

// The indicators of a fresh result: "*" before WBC, RBC and PLT whose repeated counts still
// disagree (stars: WBC, RBC, PLT), nothing elsewhere.
void ResultIndicators(const bool stars[3], std::string out[20]);

// The value texts of the shown result as the result saving writes them, re-marked for the
// group: marks go into MarkTexts, the 20 texts (table order) into `textsTableOrder`.
void RemarkShownResult(CADOConn& conn, int groupIndex, const std::string indicators[20],
                       std::string textsTableOrder[20], std::string* refText);

}  // namespace measurement
