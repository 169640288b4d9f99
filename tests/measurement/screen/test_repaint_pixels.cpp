// The test screen after a count, at 800x600: a full repaint gives the same pixels as the paints
// that showed the result, and those pixels match the regression guard recorded from the drawing
// code before its speed-up (text layout, copies, fills and composing).
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fed_test_screen.h"
#include "platform/ui/test_driver.h"

namespace {

namespace fs = std::filesystem;

std::uint64_t PixelHash(const draw::Bitmap& b) {
  std::uint64_t h = 0xCBF29CE484222325ull;
  for (int y = 0; y < b.Height(); ++y) {
    const std::uint8_t* row = b.Data() + static_cast<std::ptrdiff_t>(y) * b.Stride();
    for (int i = 0; i < b.Width() * 4; ++i) h = (h ^ row[i]) * 0x100000001B3ull;
  }
  return h;
}

std::string Hex(std::uint64_t v) {
  char text[20];
  std::snprintf(text, sizeof text, "%016" PRIx64, v);
  return text;
}

const std::string kGuard = std::string(QUORVEX_TEST_DATA_DIR) + "/regression_guard_test_screen_pixels.txt";

}  // namespace

TEST(RepaintPixels, FullRepaintAfterACountMatchesTheShownScreenAndTheGuard) {
  const fs::path folder = fs::temp_directory_path() / ("quorvex_repaint_pixels_" + std::to_string(getpid()));
  fs::remove_all(folder);
  bench_rig::StartStore(folder, std::string(QUORVEX_PROGRAM_DIR) + "/libZentil.so");
  ASSERT_TRUE(ui::TestDriver::Start(800, 600));
  RegisterSkinBitmaps(AppSettings.ProgramFolder);
  ui::SetMessageBoxHandler([](ui::Window*, const std::string&, const std::string&, unsigned) { return ui::IDOK; });
  ui::TestDriver d;
  std::string shown, repainted, again;
  {
    measurement::CSampleTest screen(nullptr);
    screen.CreateModeless();
    d.Settle();
    bench_rig::Board board{screen.cycle()};
    board.Feed(board.sampleMode);
    // Two samples of different profiles, so the second result replaces texts of the first.
    for (uint32_t sample : {1u, 2u}) {
      const bench_rig::CountFrames count = bench_rig::MakeCount(sample, sample);
      board.UpToLastByte(count, count);
      board.LastByte(count);
      ASSERT_NE(screen.hasResult(), 0);
      board.EndOfCycle();
      d.Settle();
    }
    // The result is on the screen, with the decimals of its unit.
    EXPECT_NE(d.Text(measurement::kValueIds[0]).find('.'), std::string::npos) << d.Text(measurement::kValueIds[0]);
    shown = Hex(PixelHash(d.Screen()));
    screen.InvalidateRect(nullptr, true);
    repainted = Hex(PixelHash(d.Screen()));
    screen.InvalidateRect(nullptr, true);
    again = Hex(PixelHash(d.Screen()));
    screen.DestroyWindow();
  }
  ui::SetMessageBoxHandler({});
  ui::TestDriver::Stop();
  measurement::SetZentilLibraryPath("");
  sys::SetProgramDir("");
  fs::remove_all(folder);

  EXPECT_EQ(repainted, shown);
  EXPECT_EQ(again, shown);
  // QUORVEX_RECORD_REGRESSION_GUARD=1 rewrites the guard. It was recorded once, from the drawing
  // code before text layout, copies, fills and composing were made faster.
  if (std::getenv("QUORVEX_RECORD_REGRESSION_GUARD") != nullptr)
    std::ofstream(kGuard) << "# Regression guard: FNV-1a of the test screen's pixels after two counts, "
                             "recorded before the repaint speed-up\n"
                          << shown << "\n";
  std::ifstream in(kGuard);
  ASSERT_TRUE(in.good()) << kGuard;
  std::string line, recorded;
  while (std::getline(in, line))
    if (!line.empty() && line[0] != '#') recorded = line;
  EXPECT_EQ(shown, recorded);
}
