#pragma once
// The rules of the system settings screen that need no window: the lists it offers, the checks of
// what the operator typed, and the clock fields.
#include <string>
#include <vector>

#include "platform/sys/clock.h"
#include "settings/sys_setting_row.h"

namespace settings {

// The "Printout" entries for a printer kind (0 built-in, 1 page printer) and a language.
std::vector<std::string> PrintFormatEntries(int printerKind, int language);
// The format index a list can show: with the built-in printer outside Chinese an index of 2 or
// more becomes 1; an index outside the list becomes 1 (or 0 for an empty list).
int ShownFormatIndex(int printerKind, int language, int index);

// The language list: five entries with the Chinese edition, else four starting with English.
std::vector<std::string> LanguageEntries(bool chineseEdition);
int LanguageOfEntry(int entry, bool chineseEdition);
int EntryOfLanguage(int language, bool chineseEdition);

// What the operator typed into the checked fields of the screen.
struct SystemSettingsInput {
  std::string cleanFrequency;
  std::string standbyMinutes;
  std::string pageHeader;  // checked only with the page printer
  int printerKind = 0;
  // Year, month, day, hour, minute, second as typed.
  std::string clock[6];
};

// Checks in the screen's order (clean frequency, stand-by time, page header with the page
// printer, then the date and time). Returns the message of the first failure, "" when all pass;
// then `values` takes the three numbers (the page header only with the page printer) and `when`
// the date and time.
std::string CheckSystemSettingsInput(const SystemSettingsInput& in, int language, SystemSettingsValues* values,
                                     sys::LocalTime* when);

// The six clock field texts of a moment: "%d" for the year, "%.2d" for the others.
void ClockFieldTexts(const sys::LocalTime& t, std::string out[6]);

}  // namespace settings
