#pragma once
// Mean and coefficient of variation of WBC, RBC, HGB, MCV and PLT over the selected results.
#include <string>
#include <vector>

namespace history {

// The five parameters and their grid rows in the browser.
inline constexpr int kStatCount = 5;
extern const int kStatGridRows[kStatCount];  // WBC 3, RBC 10, HGB 11, MCV 13, PLT 18

struct StatTexts {
  std::string mean[kStatCount];  // "%.2f", empty without a counted value
  std::string cv[kStatCount];    // "%.1f", empty with fewer than two values or a mean of 0 or less
};

// `columns` holds, per selected result, the texts of the 23 grid rows. A value counts when,
// after dropping its mark (the part from the first blank on) and one leading indicator ("*",
// "e", "E", "!"), it is a number; empty cells, "- - -" and other texts are left out.
StatTexts ComputeStatistics(const std::vector<std::vector<std::string>>& columns);

// The value a stored text stands for; false when it holds none.
bool StatValue(const std::string& stored, double* value);

}  // namespace history
