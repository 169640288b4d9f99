#include "controls/grid/stretch.h"

#include <algorithm>
#include <climits>
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
    size = v < 1 ? 1 : v > INT_MAX ? INT_MAX : static_cast<int>(v);
  };
  for (int i = first; i < n; ++i)
    if (sizes[i] > 0) apply(sizes[i], share);
  for (int i = first, k = 0; i < n && k < remainder; ++i, ++k) {
    if (sizes[i] > 0) apply(sizes[i], difference > 0 ? 1 : -1);
  }
  // Where the one-pixel floor held some sizes up, take what is still too much from the
  // sizes that have room left, so the whole still fits when it can.
  long long excess = -static_cast<long long>(target);
  for (int i = 0; i < n; ++i) excess += sizes[i];
  while (excess > 0) {
    int roomy = 0;
    for (int i = first; i < n; ++i)
      if (sizes[i] > 1) ++roomy;
    if (roomy == 0) break;
    const long long each = std::max<long long>(1, excess / roomy);
    for (int i = first; i < n && excess > 0; ++i) {
      if (sizes[i] <= 1) continue;
      const long long take = std::min<long long>({each, sizes[i] - 1LL, excess});
      sizes[i] -= static_cast<int>(take);
      excess -= take;
    }
  }
}

}  // namespace grid
