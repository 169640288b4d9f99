#pragma once
// A report on a worker thread. The job works on its own copies (report_snapshot.h) and touches
// no window; the screen learns of its start and end by WM_PRINT_PROGRESS (wParam 1, then 0),
// posted by handle so that a screen closed meanwhile is no danger, and enables its controls
// and removes its hint on the UI thread when 0 arrives.
#include <functional>

#include "platform/sys/thread.h"
#include "platform/ui/types.h"

// Runs `job` on `thread`, posting WM_PRINT_PROGRESS 1 to `screen` before it and 0 after it, on
// every way out of the job. False when the thread could not be started: nothing is posted and
// the caller undoes what it did for the job itself.
bool StartPrintJob(sys::Thread& thread, ui::WindowHandle screen, std::function<void()> job);
