#pragma once
// The operator texts of the test screen in the five languages (0 Chinese, 1 English,
// 2 Spanish, 3 French, 4 Ukrainian), picked by the language index.
#include <string>

namespace measurement {

// Blood mode names: 0 whole blood, 1 peripheral blood, 2 pre-diluted.
std::string BloodModeName(int mode, int language);

enum class ScreenText {
  Ready,
  Testing,
  FinishTesting,
  AddingDiluent,
  TestTimeOut,
  TestInProgress,     // Exit, Service refused during a count
  RinseInProgress,    // Exit, Service refused during a rinse
  NoSample,           // ReTest before any count
  TestUnfinished,     // ReTest during a count
  RetestQuestion,
  PredilutedQuestion,
  SampleTestEvent,    // the SysLog event of the screen
  ProfileWindowTitle, // the patient-information screen's title
  Restoring,          // the stand-by pop-up
  TemperatureLow,
  TemperatureHigh,
  ApertureClogged,
  AirBubble,
  RinseFinished,
  RinseQuestion,
  PortFailed,         // the board port did not open
  LisPortFailed,
  NotAvailable,       // a screen that is not part of the program yet
  RinseWindowTitle,
  MainWindowSuffix,   // " Auto Hematology Analyzer" after the product name
  HighBlankValue,     // the start-up background is too high
  NoSampleNoLeft,     // Yes on the highest sample number: no count
  ResultNotSaved,     // the mark of a result that was not kept, beside a lesser warning
  StoreNotWritable,   // the data store could not be opened or refused the last result
  StoreNotWritableMark,
  NoAnswer,           // a step of the count passed its deadline without the board's answer
  RinseNoAnswer,      // the automatic rinse passed its longest time without its end
};
std::string TestScreenText(ScreenText which, int language);
// "The report of sample 12 was not printed" in the language.
std::string ReportNotPrintedText(const std::string& sampleNo, int language);

// Captions of the buttons and header labels: control id -> text; empty for other ids or a
// language outside 0..4 (the template's texts then stay).
std::string CaptionText(int controlId, int language);

// The mechanical fault reports: the warning-line text of DD 60/62 (by command and byte 3),
// the box and the logged text of the faults that stop the screen, and those of the fault
// codes 1 to 5 of the other DD frames. Empty when the frame has no such text.
std::string StepFaultText(int command, int code, int language);
std::string FaultBoxText(int command, int language);      // DD 61, 63, 90, 91
std::string FaultLogText(int command);                    // the same, English, no "!"
std::string FaultCodeBoxText(int code, int language);     // codes 1..5
std::string FaultCodeLogText(int code);

}  // namespace measurement
