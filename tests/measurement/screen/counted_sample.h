#pragma once
// Steps shared by the tests that work on a counted sample: wait for the screen, count one
// sample on the board simulator, touch a divider line, leave.
#include "measurement/screen/sample_test_screen.h"
#include "screen_fixture.h"

class CountedSampleTest : public TestScreenTest {
 protected:
  // Waits until the board has put the screen into sample mode and it shows "Ready".
  static bool WaitReady(ui::TestDriver& s, measurement::CSampleTest& screen);
  // Presses the count key and waits until the result is in and the screen is ready again.
  bool CountOne(ui::TestDriver& s, measurement::CSampleTest& screen);
  // Touches line `line` of chart `chart` (0 WBC, 1 RBC, 2 PLT) where it is drawn.
  static void TouchLine(ui::TestDriver& s, measurement::CSampleTest& screen, int chart, int line);
  // The position (fL) of line `line` of chart `chart`.
  static double LinePosition(ui::TestDriver& s, measurement::CSampleTest& screen, int chart, int line);
  // Dark (text) pixels on the screen inside control `id` of the window on top.
  static int InkIn(ui::TestDriver& s, int id);
  static void Leave(ui::TestDriver& s, measurement::CSampleTest& screen);
};
