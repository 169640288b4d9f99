// Where the on-screen keyboard comes up when the screen's keyboard button lies where the keyboard
// would go: a place that leaves the field and the button free comes first, so that the operator
// can take the keyboard away again with a second tap (the normal ranges at 640x480 have their
// first fields at the top and the keyboard button in the bottom row).
#include <gtest/gtest.h>

#include "core/onscreen_keyboard.h"

namespace {

TEST(OnScreenKeyboardPlaceButton, LeavesTheKeyboardButtonFreeWhenAPlaceDoes) {
  // The 397 x 104 keyboard centred across 640 x 480 lies at x 121..518, at the bottom y 376..480,
  // at the top y 0..104 (800 x 600: x 201..598, bottom y 496..600).
  const draw::Size kbd(397, 104);
  const draw::Rect noButton;
  struct Case {
    const char* what;
    draw::Size display;
    draw::Rect field, button;
    draw::Point expected;
  } cases[] = {
      {"field at the top, button under the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       draw::Rect(428, 425, 468, 449),
       {121, 0}},
      {"field at the top, button beside the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       draw::Rect(12, 372, 92, 400),
       {121, 376}},
      {"field at the top, button one row into the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       draw::Rect(300, 350, 340, 377),
       {121, 0}},
      {"field at the top, button ending just above the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       draw::Rect(300, 350, 340, 376),
       {121, 376}},
      {"no field, button under the bottom place", {640, 480}, draw::Rect(), draw::Rect(428, 425, 468, 449), {121, 0}},
      {"no field, no button", {640, 480}, draw::Rect(), noButton, {121, 376}},
      // Neither place leaves both free: the field comes first.
      {"field at the bottom, button under the top place",
       {640, 480},
       draw::Rect(100, 400, 300, 420),
       draw::Rect(300, 20, 340, 40),
       {121, 0}},
      {"field at the top, button under both places",
       {640, 480},
       draw::Rect(184, 60, 244, 80),
       draw::Rect(300, 0, 340, 480),
       {121, 376}},
      {"800 x 600, field at the top, button in the bottom row",
       {800, 600},
       draw::Rect(230, 140, 305, 170),
       draw::Rect(535, 531, 585, 561),
       {201, 0}},
  };
  for (const Case& c : cases) {
    const draw::Point at = OnScreenKeyboardPlace(c.display, kbd, c.field, c.button);
    EXPECT_EQ(at.x, c.expected.x) << c.what;
    EXPECT_EQ(at.y, c.expected.y) << c.what;
  }
}

}  // namespace
