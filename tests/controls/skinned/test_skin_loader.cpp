// Skin bitmaps registered by id: files beside the program first, the generator's drawing when
// a file is missing, ids already in the store left alone.
#include <filesystem>
#include <fstream>

#include "fixture.h"
#include "resources/skin/skin_ids.h"

TEST_F(SkinnedTest, SkinFilesAreRegisteredByIdWithTheGeneratorAsFallback) {
  const auto folder = std::filesystem::temp_directory_path() / ("qx_skin_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / skin::kSkinFolder);
  const skin::SkinBitmap* face = skin::FindSkinBitmap(446);
  ASSERT_NE(face, nullptr);
  ASSERT_TRUE(draw::Bitmap::Create(face->width, face->height, draw::RGB(10, 200, 30))
                  .SaveBmp((folder / skin::kSkinFolder / face->file).string()));
  ui::Resources::Clear();
  ui::Resources::AddBitmap(448, draw::Bitmap::Create(4, 4, draw::RGB(1, 2, 3)));
  const int registered = RegisterSkinBitmaps(folder.string() + "/");
  EXPECT_EQ(registered, static_cast<int>(skin::kSkinBitmapCount) - 1);
  // The file's pixels, not the generator's.
  EXPECT_EQ(LoadSkinBitmap(446, "x").GetPixel(5, 5), draw::RGB(10, 200, 30));
  // Already registered: untouched.
  EXPECT_EQ(LoadSkinBitmap(448, "x").Width(), 4);
  // No file: drawn at the table's size.
  const draw::Bitmap drawn = LoadSkinBitmap(479, "x");
  EXPECT_EQ(drawn.Width(), skin::FindSkinBitmap(479)->width);
  EXPECT_EQ(drawn.Height(), skin::FindSkinBitmap(479)->height);
  EXPECT_TRUE(SkinLoadFailures().empty());
  // An id nobody registered fails, and says so.
  EXPECT_TRUE(LoadSkinBitmap(12345, "Load it Error!").IsNull());
  EXPECT_EQ(SkinLoadFailures().back(), "12345: Load it Error!");
  std::filesystem::remove_all(folder);
}

// A skin file is read when a screen first shows it, not at registration (a program registers
// far more skins than any screen shows); one that cannot be read then is drawn by the generator.
TEST_F(SkinnedTest, SkinFilesAreReadWhenFirstShownAndAnUnreadableOneIsDrawn) {
  const auto folder = std::filesystem::temp_directory_path() / ("qx_skin_lazy_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / skin::kSkinFolder);
  const skin::SkinBitmap* face = skin::FindSkinBitmap(446);
  const skin::SkinBitmap* broken = skin::FindSkinBitmap(479);
  ASSERT_NE(face, nullptr);
  ASSERT_NE(broken, nullptr);
  const std::string facePath = (folder / skin::kSkinFolder / face->file).string();
  ASSERT_TRUE(draw::Bitmap::Create(face->width, face->height, draw::RGB(10, 200, 30)).SaveBmp(facePath));
  std::ofstream(folder / skin::kSkinFolder / broken->file) << "not a bitmap";
  ui::Resources::Clear();
  RegisterSkinBitmaps(folder.string() + "/");
  // Changed after registration: the picture shown is the file as it is when first shown.
  ASSERT_TRUE(draw::Bitmap::Create(face->width, face->height, draw::RGB(200, 10, 30)).SaveBmp(facePath));
  EXPECT_EQ(LoadSkinBitmap(446, "x").GetPixel(5, 5), draw::RGB(200, 10, 30));
  const draw::Bitmap drawn = LoadSkinBitmap(479, "x");
  EXPECT_EQ(drawn.Width(), broken->width);
  EXPECT_EQ(drawn.Height(), broken->height);
  EXPECT_TRUE(SkinLoadFailures().empty());
  std::filesystem::remove_all(folder);
}
