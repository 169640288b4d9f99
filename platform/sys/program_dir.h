#pragma once
// The program folder: the folder of the running executable, always ending in '/'.
// Setting.ini, the database, the help files and the crash dumps live there. Tests point it
// at a temporary folder of their own with SetProgramDir.
#include <string>

namespace sys {

// The program folder, ending in '/'. Found from /proc/self/exe on first use; "./" when that
// cannot be read (never empty).
std::string ProgramDir();

// Overrides the program folder (a trailing '/' is added when missing); an empty text goes
// back to the folder of the executable.
void SetProgramDir(const std::string& dir);

// ProgramDir() + name, with the name mapped as MapPath does (backslashes, letter case).
std::string ProgramFile(const std::string& name);

}  // namespace sys
