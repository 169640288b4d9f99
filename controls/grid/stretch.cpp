#include "controls/grid/stretch.h"

#include <cstdlib>

namespace grid {

void StretchSizes(std::vector<int>& sizes, int first, int target) {
  const int n = static_cast<int>(sizes.size());
  if (first < 0) first = 0;
  if (first >= n) return;
  int count = 0;
  long long total = 0;
  for (int i = 0; i < n; ++i) total += sizes[i];
  for (int i = first; i < n; ++i)
    if (sizes[i] > 0) ++count;
  if (count == 0) return;
  const long long difference = static_cast<long long>(target) - total;
  const long long share = difference / count;
  const long long remainder = std::llabs(difference) % count;
  auto apply = [](int& size, long long delta) {
    long long v = size + delta;
    // Shrinking more than a size holds stops at one pixel: never negative (or wrapped round
    // to a huge unsigned width), and a shown row or column is not hidden by a stretch.
    size = v < 1 ? 1 : static_cast<int>(v);
  };
  for (int i = first; i < n; ++i)
    if (sizes[i] > 0) apply(sizes[i], share);
  for (int i = first, k = 0; i < n && k < remainder; ++i, ++k) {
    if (sizes[i] > 0) apply(sizes[i], difference > 0 ? 1 : -1);
  }
}

}  // namespace grid
