#include "platform/ui/detail/frame_diff.h"

#include <algorithm>
#include <cstring>

namespace ui::detail {

std::vector<Rect> FrameHistory::Update(const uint8_t* pixels, int width, int height, int stride) {
  std::vector<Rect> changed;
  if (width <= 0 || height <= 0) return changed;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  const bool fresh = width != width_ || height != height_;
  if (fresh) {
    last_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    width_ = width;
    height_ = height;
  }
  int bandTop = -1, bandLeft = width, bandRight = 0;
  auto closeBand = [&](int bottom) {
    if (bandTop >= 0) changed.push_back(Rect(bandLeft, bandTop, bandRight, bottom));
    bandTop = -1;
    bandLeft = width;
    bandRight = 0;
  };
  for (int y = 0; y < height; ++y) {
    const auto* cur = reinterpret_cast<const uint32_t*>(pixels + static_cast<size_t>(y) * static_cast<size_t>(stride));
    uint32_t* old = last_.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
    if (!fresh && std::memcmp(cur, old, rowBytes) == 0) {
      closeBand(y);
      continue;
    }
    int left = 0, right = width;
    if (!fresh) {
      while (left < width && cur[left] == old[left]) ++left;
      while (right > left && cur[right - 1] == old[right - 1]) --right;
    }
    std::memcpy(old, cur, rowBytes);
    if (bandTop < 0) bandTop = y;
    bandLeft = std::min(bandLeft, left);
    bandRight = std::max(bandRight, right);
  }
  closeBand(height);
  return changed;
}

}  // namespace ui::detail
