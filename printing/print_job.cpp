#include "printing/print_job.h"

#include "platform/ui/app.h"
#include "printing/print_hint_dlg.h"

bool StartPrintJob(sys::Thread& thread, ui::WindowHandle screen, std::function<void()> job) {
  return thread.Start([screen, job = std::move(job)] {
    ui::PostMessageTo(screen, WM_PRINT_PROGRESS, 1, 0);
    // The end is posted however the job leaves, so the screen always gets its controls back.
    struct PostEnd {
      ui::WindowHandle screen;
      ~PostEnd() { ui::PostMessageTo(screen, WM_PRINT_PROGRESS, 0, 0); }
    } end{screen};
    try {
      job();
    } catch (...) {
    }
  });
}
