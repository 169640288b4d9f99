#pragma once
// Every screen of the program opened offscreen in the five languages on the three display sizes
// (640x480 at layout scale 1.0, 800x600 and 1024x768 at 1.25), in a program folder of the test's own (fresh
// data store, the built algorithm library, the board simulator on a pseudo-terminal), and
// looked over the way an operator would: each skinned button's caption fits its button, no
// control lies outside its screen or off the display, and labels, check boxes and radio buttons fit
// their text (label_check.h). Screenshots go to png/sweep/ when a check fails, or for
// every screen when QUORVEX_SWEEP_PNG is set.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app_settings.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/test_driver.h"
#include "tests/support/program_folder.h"
#include "tools/boardsim/simulator.h"

namespace ui {
class Window;
}

// A display the program supports: its size, layout scale and large-screen flag.
struct SweepDisplay {
  int width, height;
  float scale;
  int large;
  const char* name;
};
inline constexpr SweepDisplay kSweepDisplays[3] = {
    {640, 480, 1.0f, 0, "640"}, {800, 600, 1.25f, 1, "800"}, {1024, 768, 1.25f, 1, "1024"}};
inline constexpr const char* kSweepLanguages[5] = {"zh", "en", "es", "fr", "ua"};

class ScreenSweep : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the offscreen display and the look of one language on one display size.
  void Show(const SweepDisplay& display, int language);
  // Opens a screen with `open` (run on the UI thread; it returns when the screen ends),
  // answers the message boxes that come up with their first button, checks the screen with the
  // common checks and `more` (given the screen and its screenshot), and ends it.
  // `where` names the case in failure messages and screenshot names.
  void Sweep(const std::string& where, const std::function<void()>& open,
             const std::function<void(ui::TestDriver&, ui::Window*, const draw::Bitmap&)>& more = {});
  // Every variant (five languages, three sizes) of the screen registered as `name`.
  void SweepRegistered(const std::string& name);

  // A problem found on a screen; failures are reported, and the screenshot is kept.
  void Finding(const std::string& where, const std::string& what);

  ui::TestDriver d;
  std::unique_ptr<support::ScratchProgramFolder> program_;
  std::unique_ptr<boardsim::Simulator> sim_;
  AppSettingsValues saved_;
  bool started_ = false;
  int findings_ = 0;
};

// The common checks of one screen: every visible skinned push button's caption, at the font
// the button drew it in, fits inside the button clear of its rim (three pixels at the sides,
// one at top and bottom) with no word broken; the screen and every visible control lie on the
// display, and every visible control inside the screen.
// One line per problem.
// With the screen's picture, the letters of its labels are checked against their background.
std::vector<std::string> CheckScreen(ui::Window* screen, const draw::Bitmap* shot = nullptr);
