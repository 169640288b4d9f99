#pragma once
// Printing and sending stored results from the browser and the view. Each action hands over a
// snapshot of what the operator selected (the sample keys and the values as shown), never the
// screen's own grid or members, so a job that runs on after the screen changed still prints
// and sends what was chosen. The report and LIS entry points are reached only from here.
#include <string>
#include <vector>

namespace ui {
class Window;
}

namespace history {

// One selected result as shown: its key and the texts of the browser's 23 grid rows (sample
// number, date, time, then the 20 values in the browser's order); the view fills the same.
struct ResultSnapshot {
  std::string sampleNo, testDate, testTime;
  std::vector<std::string> texts;
};

enum class OutputKind { Print, Send };

// Prints / sends the results. For now both tell the operator that the function is not
// available yet and return false; true once the job was handed over.
bool PrintResults(ui::Window* owner, const std::vector<ResultSnapshot>& results);
bool SendResults(ui::Window* owner, const std::vector<ResultSnapshot>& results);

}  // namespace history
