// The gallery program starts, draws the demonstration dialog and ends by itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

TEST(Gallery, ShowsTheDemonstrationAndSavesTheScreen) {
  const std::string exe = std::string(QUORVEX_PROGRAM_DIR) + "/gallery";
  if (!std::filesystem::exists(exe)) GTEST_SKIP() << "the gallery is not built";
  const std::string png = ::testing::TempDir() + "gallery_screen.png";
  std::filesystem::remove(png);
  const std::string cmd = exe + " --offscreen --lang 0 --seconds 1 --screenshot " + png + " > /dev/null";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(std::filesystem::exists(png));
  EXPECT_GT(std::filesystem::file_size(png), 1000u);
}
