#pragma once
// The names a result row carries for its blood mode and its reference group. Person stores both
// as display texts in whichever language was in force when the row was written; this one table
// gives every writer its text and turns any of them back into the code. Nothing else in the
// program keeps its own list of these names.
#include <string>

inline constexpr int kBloodModeCount = 4;       // 0 whole, 1 peripheral, 2 pre-diluted, 3 control
inline constexpr int kReferenceGroupCount = 10;  // the Kind of the limit tables

// The name of a blood mode (0..3) or a group (0..9) in a language (0..4; others English). Codes
// out of range give the name of code 0.
const char* BloodModeText(int code, int language);
const char* ReferenceGroupText(int kind, int language);

// The code of a stored text, compared exactly (letter case and blanks count); 0 for an
// unknown or empty text.
int BloodTypeCodeFromText(std::string text);
int ReferenceGroupCodeFromText(std::string text);

// The code of a known text, or `fallback` for a text that names none (also the older French
// spelling "Général" of group 0 counts as known).
int ReferenceGroupCodeOr(const std::string& text, int fallback);
int BloodTypeCodeOr(const std::string& text, int fallback);
