#pragma once
// CVantoriumApp: the application object. InitInstance runs the whole start-up in its fixed
// order (single instance, help key, product information and settings, data store, start-up
// screen, printer port, board port check) and then the main menu modally; when the menu ends
// it returns false and ExitInstance switches the PC off when the shutdown asked for it.
// Every message box of the program is shown as the program's own box.
#include <memory>
#include <string>
#include <vector>

#include "platform/sys/single_instance.h"
#include "platform/ui/types.h"

namespace analyzer {
class CSerialPort;
}

class CVantoriumApp {
 public:
  CVantoriumApp();
  ~CVantoriumApp();

  // Always false: the program ends when the main menu ends (or at once when another copy
  // runs). Needs ui::Init first.
  bool InitInstance();
  int ExitInstance();
  // F1: the help of the language (raised when already open); then the framework's handling.
  bool PreTranslateMessage(ui::Message& msg);
  // Shows the prompt in the program's own box and returns the answer.
  int DoMessageBox(const std::string& prompt, unsigned type, unsigned helpId);
  // Deletes the previous run's lock, trace and (more than five) dump files.
  void CleanUpStartupFiles();
  // A termination signal (SIGTERM, SIGINT): every screen ends as on a quit, and ExitInstance
  // then saves what the Exit path saves (counters, reagent volumes, running time, the
  // shut-down row of the system log), never powering the PC off. UI thread.
  void EndOnSignal();
  // The display went away (its X server stopped): ends as on a termination signal.
  void EndOnDisplayLost();
  // The --seconds option's end: saved and booked as a clean end, as a signal's is.
  void EndOnTimedRun();
  bool EndedBySignal() const { return endedBySignal_; }

  // Where the single-instance lock file lives (empty: the session's runtime folder).
  std::string lockFolder;
  // The printer's port name.
  std::string printerPort = "COM3";
  // The pause between closing the start-up's connection and releasing the board port.
  int boardCheckWaitMs = 2000;
  // The steps InitInstance went through, in order (for the start-up log and tests).
  std::vector<std::string> steps;

 private:
  sys::SingleInstance instance_;
  std::unique_ptr<analyzer::CSerialPort> boardPort_;
  int helpKey_ = -1;
  bool endedBySignal_ = false;
};

// Installs the crash dump writer (cc_*.dmp in the program folder); before InitInstance.
bool InstallCrashDumpFilter();
