// Where the on-screen keyboard comes up when the screen's buttons lie where the keyboard would go:
// a place that leaves the field and every button free comes first, so that the operator can take
// the keyboard away again with a second tap and a tap on OK or Save never lands on a key (the
// normal ranges at 640x480 have their first fields at the top and the keyboard button in the
// bottom row; the patient profile fills the display, its field and keyboard button at the top and
// its button row at the bottom).
#include <gtest/gtest.h>

#include <vector>

#include "core/onscreen_keyboard.h"

namespace {

TEST(OnScreenKeyboardPlaceButton, LeavesTheKeyboardButtonFreeWhenAPlaceDoes) {
  // The 397 x 104 keyboard centred across 640 x 480 lies at x 121..518, at the bottom y 376..480,
  // at the top y 0..104 (800 x 600: x 201..598, bottom y 496..600).
  const draw::Size kbd(397, 104);
  struct Case {
    const char* what;
    draw::Size display;
    draw::Rect field;
    std::vector<draw::Rect> buttons;
    draw::Point expected;
  } cases[] = {
      {"field at the top, button under the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       {draw::Rect(428, 425, 468, 449)},
       {121, 0}},
      {"field at the top, button beside the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       {draw::Rect(12, 372, 92, 400)},
       {121, 376}},
      {"field at the top, button one row into the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       {draw::Rect(300, 350, 340, 377)},
       {121, 0}},
      {"field at the top, button ending just above the bottom place",
       {640, 480},
       draw::Rect(184, 112, 244, 136),
       {draw::Rect(300, 350, 340, 376)},
       {121, 376}},
      {"no field, button under the bottom place", {640, 480}, draw::Rect(), {draw::Rect(428, 425, 468, 449)}, {121, 0}},
      {"no field, no button", {640, 480}, draw::Rect(), {}, {121, 376}},
      // Neither the bottom nor the top leaves both free; rows 40..400 do from y 296 up.
      {"field at the bottom, button under the top place",
       {640, 480},
       draw::Rect(100, 400, 300, 420),
       {draw::Rect(300, 20, 340, 40)},
       {121, 296}},
      // A button down the whole display is under every place: the field comes first.
      {"field at the top, button under both places",
       {640, 480},
       draw::Rect(184, 60, 244, 80),
       {draw::Rect(300, 0, 340, 480)},
       {121, 376}},
      // The field and the keyboard button at the top, a row of four buttons at y 400..432: the
      // lowest place clear of both, centred, ends on the row's top edge (400 - 104 = 296).
      {"field and key at the top, a button row at the bottom",
       {640, 480},
       draw::Rect(100, 20, 300, 44),
       {draw::Rect(420, 20, 456, 44), draw::Rect(20, 400, 140, 432), draw::Rect(170, 400, 290, 432),
        draw::Rect(330, 400, 450, 432), draw::Rect(480, 400, 600, 432)},
       {121, 296}},
      // The field at the top right: the keyboard against the left edge (x 0..397) at the top
      // leaves it and OK/Cancel at the bottom free, where the centred top place covers the field.
      {"field at the top right, OK and Cancel at the bottom",
       {640, 480},
       draw::Rect(432, 76, 592, 104),
       {draw::Rect(160, 388, 280, 428), draw::Rect(360, 388, 480, 428), draw::Rect(544, 392, 584, 418)},
       {0, 0}},
      // Buttons down the display at x 200 and 450: centred (121..518) covers both, against the left
      // edge (0..397) or the right (243..640) one; the first of those, at the bottom.
      {"every place covers a button: the fewest",
       {640, 480},
       draw::Rect(),
       {draw::Rect(200, 0, 210, 480), draw::Rect(450, 0, 460, 480)},
       {0, 376}},
      {"800 x 600, field at the top, button in the bottom row",
       {800, 600},
       draw::Rect(230, 140, 305, 170),
       {draw::Rect(535, 531, 585, 561)},
       {201, 0}},
  };
  for (const Case& c : cases) {
    const draw::Point at = OnScreenKeyboardPlace(c.display, kbd, c.field, c.buttons);
    EXPECT_EQ(at.x, c.expected.x) << c.what;
    EXPECT_EQ(at.y, c.expected.y) << c.what;
  }
}

}  // namespace
