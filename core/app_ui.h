#pragma once
// What the application object sets up on the user-interface thread: database errors shown in
// the program's message box (also those raised on worker threads), and F1 help.

// Engine errors go to a plain OK box (the message box the application installed in the
// framework); a worker thread's errors are handed to the user-interface thread and shown there.
// Call on the user-interface thread after ui::Init.
void InstallDbErrorReporting();

// Opens the help of the current language, or raises the help window when it is already open.
// True when the help was raised or its viewer started.
bool OpenHelp();

// F1 pressed anywhere in the program opens the help (then the key goes on as usual).
// Returns a token for RemoveHelpKey.
int InstallHelpKey();
void RemoveHelpKey(int token);
