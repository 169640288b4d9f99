// The window gets only the parts of a frame that changed since the last one shown.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/ui/detail/frame_diff.h"

namespace {

struct Frame {
  int w, h, stride;  // stride in pixels, wider than w to catch row arithmetic on the width
  std::vector<uint32_t> px;
  Frame(int w_, int h_) : w(w_), h(h_), stride(w_ + 3), px(static_cast<size_t>(stride * h_), 0xFF000000u) {}
  void Set(int x, int y, uint32_t v) { px[static_cast<size_t>(y * stride + x)] = v; }
  std::vector<ui::Rect> Show(ui::detail::FrameHistory& h) {
    return h.Update(reinterpret_cast<const uint8_t*>(px.data()), w, this->h, stride * 4);
  }
};

bool Same(const ui::Rect& a, const ui::Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(FrameHistory, FirstFrameIsWholeThenOnlyWhatChanged) {
  ui::detail::FrameHistory history;
  Frame f(40, 30);
  auto first = f.Show(history);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_TRUE(Same(first[0], ui::Rect(0, 0, 40, 30)));
  EXPECT_TRUE(f.Show(history).empty()) << "an unchanged frame sends nothing";

  struct Case {
    const char* what;
    std::vector<std::pair<int, int>> pixels;
    std::vector<ui::Rect> expected;
  };
  const Case cases[] = {
      {"one pixel", {{7, 5}}, {ui::Rect(7, 5, 8, 6)}},
      {"a label: two rows, columns 3..9", {{3, 10}, {9, 11}}, {ui::Rect(3, 10, 10, 12)}},
      {"two places apart: two bands", {{0, 0}, {39, 29}}, {ui::Rect(0, 0, 1, 1), ui::Rect(39, 29, 40, 30)}},
      {"last column of last row", {{39, 29}}, {ui::Rect(39, 29, 40, 30)}},
  };
  uint32_t colour = 0xFF102030u;
  for (const Case& c : cases) {
    for (auto [x, y] : c.pixels) f.Set(x, y, colour);
    auto got = f.Show(history);
    ASSERT_EQ(got.size(), c.expected.size()) << c.what;
    for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(Same(got[i], c.expected[i])) << c.what << " rect " << i;
    EXPECT_TRUE(f.Show(history).empty()) << c.what << ": shown once";
    colour += 0x010101u;
  }
}

TEST(FrameHistory, ResetOrNewSizeSendsTheWholeFrame) {
  ui::detail::FrameHistory history;
  Frame f(16, 8);
  f.Show(history);
  history.Reset();
  auto again = f.Show(history);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_TRUE(Same(again[0], ui::Rect(0, 0, 16, 8)));

  Frame g(20, 8);
  auto resized = g.Show(history);
  ASSERT_EQ(resized.size(), 1u);
  EXPECT_TRUE(Same(resized[0], ui::Rect(0, 0, 20, 8)));
}

}  // namespace
