#pragma once
// The soak reminder: after each sample the measuring screens remind the operator to run the
// concentrated-cleanser soak once the samples or the days since the last soak reach their
// limits. The box is always shown by the user-interface thread: a call from another thread
// (the printing threads run the check too) hands it over and returns.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/sys/clock.h"

namespace analyzer {

// Reads "%d-%d-%d %d:%d:%d" (no leading zeros needed); false for a text that is not a real
// date and time of that form.
bool ParseSoakStartDate(const std::string& text, sys::LocalTime* out);
// The start of a soak interval as SysSetting keeps it: "%d-%d-%d %d:%d:%d".
std::string SoakStartDateText(const sys::LocalTime& t);
// Whole days from `start` to `now`, rounded at the half second as the reminder counts them.
int64_t ElapsedSoakDays(const sys::LocalTime& start, const sys::LocalTime& now);

std::string SoakReminderText(int language);

// What shows the box; called on the user-interface thread. Default: the program's message box
// with the warning icon.
void SetSoakReminderPresenter(std::function<void(const std::string& text)> presenter);
// Shows the reminder (on the user-interface thread, or handed to it).
void ShowSoakReminder();

// The day check: shows the reminder and returns 1 when `days` whole days have passed since
// `startDate`, samples were counted since the soak and the user is not a Factory user. An
// unreadable start date counts as a limit not reached.
int CheckSoakReminder(const std::string& startDate, int days);

// After each sample, when the reminder is on: the sample limit, else the day check. Returns
// whether the reminder was shown.
bool CheckSoakAfterSample();
// Counting at the end of a sample's count (AA 11 FF): one more when the reminder is on; the
// store text "update SysSetting set DeviceTestTimes = %d", or "" when nothing was counted.
std::string CountSoakSample();

// New limits of the reminder, in force from its next check: the samples counted since the last
// soak and the start of the day period are left as they are.
void SetSoakLimits(int sampleLimit, int dayLimit);

}  // namespace analyzer
