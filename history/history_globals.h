#pragma once
// The result history's process-wide state: the date of the result opened from the browser, the
// texts of the result the view shows (read by its actions and print-outs), the normal limits of
// its group, and the print selections.
#include <atomic>
#include <cstdint>
#include <string>

namespace history {

extern std::string HistorySelectedTestDate;

// Display order (WBC, LYM#, ... P-LCR).
extern std::string ShownResultValues[20];
extern std::string ShownResultMarks[20];
extern std::string ShownResultUnits[20];

struct ShownTexts {
  std::string sampleNo, dateTime, name, sex, age, bloodType, referenceGroup;
  std::string medicalNo, bedNo, dept, sender, scrutator, checker, warning, refText, unitName;
};
extern ShownTexts ShownResultTexts;

extern float NormalLimitPairs[40];
extern uint8_t PrintItemFlags[20];
extern uint8_t PrintItemSelection[20];
extern std::atomic<uint8_t> PrintCancelFlag;
// The browser's Print button: 0, its next press starts a job; 1, it asks the running job to stop.
extern int PrintPressCount;

}  // namespace history
