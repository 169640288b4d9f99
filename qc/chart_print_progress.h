#pragma once
// What a QC chart screen does when its print-out reports progress.
#include <functional>
#include <thread>

#include "printing/print_hint_dlg.h"

namespace qc {

// When the print-out is `done` the hint goes and the print thread is joined; the screen's
// buttons are enabled exactly when it is done (disabled while it prints).
void ChartPrintProgress(bool done, PrintHintHolder& hint, std::thread& printThread,
                        const std::function<void(bool)>& enableButtons);

}  // namespace qc
