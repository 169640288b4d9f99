#pragma once
// Opening a document or starting a helper program, the way the Windows shell's "open" verb
// did it, through one table of the helper programs the screens name:
//
//   name (any folder, any letter case)  Linux program (first one installed)        override
//   Keyboard.exe                        matchbox-keyboard (letters and a number pad,  QUORVEX_HELPER_KEYBOARD
//                                       window "Keyboard"), onboard, florence, xvkbd
//   *.chm help files                    xchm, kchmviewer, xdg-open  (with the file)  QUORVEX_HELPER_HELP
//   TouchKit.exe, xAuto4PtsCal.exe      xinput_calibrator                            QUORVEX_HELPER_TOUCH
//   Explorer.exe                        pcmanfm, thunar, nautilus, nemo, caja,       QUORVEX_HELPER_FILES
//                                       xdg-open  (with the home folder)
//   MERDO.EXE                           (native updater, see below)                  QUORVEX_HELPER_MERDO
//   Travenzo.exe                        (native updater, see below)                  QUORVEX_HELPER_TRAVENZO
//   any other *.exe                     (native program, see below)
//   any other file                      xdg-open  (with the file)
//
// An override variable holds a command line (words split at blanks); for help files the file
// is added as its last argument. Before the table, a program "X.exe" is looked for as a
// native program beside where it was named: the same folder, the name without ".exe" (any
// letter case), or with ".sh" in its place. So an installation puts "Travenzo" or
// "Keyboard" (a wrapper script, say) in the program folder to replace a table entry.
// When nothing fits — no such program installed, a document that does not exist, an empty
// name — the call fails with a message naming what was tried.
// Where the table knows the title the chosen program gives its window, the command carries it,
// so that a caller can find the program's window instead of starting it again.
#include <string>
#include <vector>

namespace sys {

struct ShellCommand {
  std::vector<std::string> argv;  // empty when nothing can open the file
  std::string error;              // why, when argv is empty
  std::string windowTitle;        // the title of the program's window, "" when not known
};

// Works out the command for a file (paths go through MapPath), without starting it.
ShellCommand ResolveShellOpen(const std::string& file, const std::string& parameters = std::string());

// Opens the file or starts the program. False with the reason when it cannot.
bool ShellOpen(const std::string& file, const std::string& parameters = std::string(),
               std::string* error = nullptr);

}  // namespace sys
