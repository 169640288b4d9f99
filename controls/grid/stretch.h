#pragma once
// Sharing out a difference in size over rows or columns, as stretching a grid to its window
// does. Kept apart from the grid so the arithmetic is plain to test.
#include <vector>

namespace grid {

// Spreads (target - sum of sizes) over the non-hidden sizes from index `first` on: each gets
// the same share (truncated toward zero); the remainder goes one pixel each to the first
// entries of the walk (hidden ones count in the walk but are never changed). A shown size
// never goes below 1 however far the target lies below the sum (what the floor held back is
// taken from the sizes that still have room); hidden (0) sizes stay hidden.
void StretchSizes(std::vector<int>& sizes, int first, int target);

}  // namespace grid
