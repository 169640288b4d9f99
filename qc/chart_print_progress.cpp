#include "qc/chart_print_progress.h"

namespace qc {

void ChartPrintProgress(bool done, PrintHintHolder& hint, std::thread& printThread,
                        const std::function<void(bool)>& enableButtons) {
  if (done) {
    hint.Hide();
    if (printThread.joinable()) printThread.join();
  }
  enableButtons(done);
}

}  // namespace qc
