// The pictures beside the program: the start-up and shutdown backgrounds at the names and sizes
// the screens load (the 640x480 and 800x600 screens, Chinese edition and the others) and the
// About logo, with a plain lower band where the screen writes its progress text and bar.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "resources/skin/skin_pictures.h"

namespace {

TEST(StartupPictures, WrittenUnderTheNamesTheScreensLoadAtTheirSizes) {
  const auto dir = std::filesystem::temp_directory_path() / ("qx_pictures_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::string error;
  ASSERT_TRUE(skin::WritePictures(dir.string(), &error)) << error;
  struct Case {
    const char* file;
    int w, h;
  };
  const Case cases[] = {{"Picture/bg_ONOFF.bmp", 640, 480},     {"Picture/bg_ONOFF2.bmp", 800, 600},
                        {"Picture/bg_ONOFF_EN.bmp", 640, 480},  {"Picture/bg_ONOFF_EN2.bmp", 800, 600},
                        {"ProduceInfo/Logo.bmp", 96, 36}};
  for (const Case& c : cases) {
    const draw::Bitmap b = draw::Bitmap::LoadFile((dir / c.file).string(), &error);
    ASSERT_FALSE(b.IsNull()) << c.file << ": " << error;
    EXPECT_EQ(b.GetSize(), draw::Size(c.w, c.h)) << c.file;
  }
  std::filesystem::remove_all(dir);
  EXPECT_FALSE(skin::WritePictures("/proc/qx_no_such_place", &error));
  EXPECT_FALSE(error.empty());
}

TEST(StartupPictures, TheTextAndProgressBandHoldsNoArtwork) {
  // The progress text sits at about 70 % of the height and the bar at about 80 %: from there
  // down every row is one colour, so nothing of the artwork runs behind them.
  for (bool chinese : {true, false}) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{800, 600}}) {
      const draw::Bitmap b = skin::PaintStartupPicture(w, h, chinese);
      ASSERT_FALSE(b.IsNull());
      for (int y = h * 65 / 100; y < h; ++y) {
        const draw::Color first = b.GetPixel(0, y);
        for (int x = 1; x < w; ++x)
          ASSERT_EQ(b.GetPixel(x, y), first) << w << "x" << h << (chinese ? " Chinese" : "") << " row " << y << " x " << x;
      }
    }
  }
}

}  // namespace
