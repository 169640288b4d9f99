#include "history/history_stat.h"

#include <cmath>
#include <cstdlib>

#include "core/utilies.h"
#include "core/value_format.h"

namespace history {

const int kStatGridRows[kStatCount] = {3, 10, 11, 13, 18};

bool StatValue(const std::string& stored, double* value) {
  std::string t = stored;
  const size_t blank = t.find(' ', 1);
  if (t.size() > 1 && blank != std::string::npos) t = t.substr(0, blank);
  if (!t.empty() && (t[0] == '*' || t[0] == 'e' || t[0] == 'E' || t[0] == '!')) t.erase(0, 1);
  if (t.empty() || !CUtilies::IsNumericText(t)) return false;
  *value = std::atof(t.c_str());
  return true;
}

StatTexts ComputeStatistics(const std::vector<std::vector<std::string>>& columns) {
  StatTexts out;
  for (int p = 0; p < kStatCount; ++p) {
    std::vector<double> values;
    for (const std::vector<std::string>& col : columns) {
      const size_t row = static_cast<size_t>(kStatGridRows[p]);
      double v = 0.0;
      if (row < col.size() && StatValue(col[row], &v)) values.push_back(v);
    }
    if (values.empty()) continue;
    double sum = 0.0;
    for (double v : values) sum += v;
    const double mean = sum / static_cast<double>(values.size());
    out.mean[p] = StrPrintf("%.2f", mean);
    if (values.size() < 2 || mean <= 0.0) continue;
    double squares = 0.0;
    for (double v : values) squares += (v - mean) * (v - mean);
    const double sd = std::sqrt(squares / static_cast<double>(values.size() - 1));
    out.cv[p] = StrPrintf("%.1f", sd / mean * 100.0);
  }
  return out;
}

}  // namespace history
