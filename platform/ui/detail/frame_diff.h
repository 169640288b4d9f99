#pragma once
// Which parts of a composed frame changed since the last one shown: the window gets only those
// rectangles, so a label that changes costs a label's worth of copying, not a screen's.
#include <cstdint>
#include <vector>

#include "platform/ui/types.h"

namespace ui::detail {

// The frame last handed to the display, kept to compare the next one against.
class FrameHistory {
 public:
  // Compares `pixels` (32-bit, `stride` bytes a row) with the previous frame and keeps it as the
  // new previous one. Returns the changed rectangles: runs of changed rows, each as wide as the
  // changed columns within it. A first frame, or one of another size, is changed everywhere.
  std::vector<Rect> Update(const uint8_t* pixels, int width, int height, int stride);
  // Forgets the previous frame: the next one is changed everywhere (window exposed or resized).
  void Reset() { width_ = height_ = 0; }

 private:
  std::vector<uint32_t> last_;
  int width_ = 0, height_ = 0;
};

}  // namespace ui::detail
