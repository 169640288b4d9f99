#pragma once
// Printing and sending stored results from the browser and the view. Printing hands over a
// snapshot of what the operator selected (the sample keys and the values as shown), never the
// screen's own grid or members, so a job that runs on after the screen changed still prints
// what was chosen. Sending opens the LIS send screen modally on the browser's grid, which
// cannot change while that screen is open. The report and LIS entry points are reached only
// from here.
#include <string>
#include <vector>

class CGridCtrl;

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

// Prints the results. For now it tells the operator that the function is not available yet
// and returns false; true once the job was handed over.
bool PrintResults(ui::Window* owner, const std::vector<ResultSnapshot>& results);

// Opens the LIS send screen for sample results on the browser's grid (one sample per column:
// row 0 the sample number, row 1 the test date, rows 3-22 the values as shown). There the
// operator sends the picked columns or every stored sample, and the screen reports how the
// sending went. Returns the screen's result.
int SendResults(const CGridCtrl& grid);

}  // namespace history
