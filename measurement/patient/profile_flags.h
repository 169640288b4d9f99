#pragma once
// The bytes and messages that couple the test screen and the patient-information screen. Plain
// bytes, written and read on the user-interface thread.
#include <cstdint>

#include "platform/ui/messages.h"

namespace measurement {

// The test screen is writing a finished test's result; the patient screen refuses to save.
extern uint8_t ResultPending;
// The patient screen saved another sample during a count; the test screen waits 2 s before
// writing its result. Cleared 3800 ms later, or when the analyzer is idle again.
extern uint8_t ProfileSaveHold;
// The patient screen re-flagged the test screen's current sample for a new group.
extern uint8_t ProfileRegrouped;
// A question of the patient screen is open: the test screen drops the board bytes it receives
// and skips its stand-by check.
extern uint8_t DiscardBoardInput;

// Test screen -> patient screen: the analyzer is idle again; the sample number may be edited.
inline constexpr uint32_t WM_PROFILE_IDLE = ui::WM_USER + 1008;
// Test screen -> patient screen: a count starts. wParam the blood mode; lParam points to the
// sample number as a zero-terminated UTF-8 text for the length of the call (send it).
inline constexpr uint32_t WM_PROFILE_COUNT_STARTED = ui::WM_USER + 1009;
// Patient screen -> its parent: operator activity (wParam 0, lParam the dialog).
inline constexpr uint32_t WM_PROFILE_ACTIVITY = ui::WM_USER + 1010;
// LIS hand-over -> the window titled as the patient screen: a sample profile arrived.
inline constexpr uint32_t WM_LIS_PROFILE = ui::WM_USER + 1011;

}  // namespace measurement
