// The icons the screens name by number: drawn at their size with see-through surroundings,
// written beside the program, and served by the resource store from the file or the drawing.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "controls/skin_loader.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/resources.h"
#include "resources/skin/skin_ids.h"
#include "resources/skin/skin_paint.h"

namespace {

int Alpha(const draw::Bitmap& b, int x, int y) {
  return static_cast<int>(reinterpret_cast<const uint32_t*>(b.Data() + static_cast<size_t>(y) * b.Stride())[x] >> 24);
}

// application window, key pad, print hint, busy pop-up
constexpr int kIconIds[] = {128, 278, 492, 502};

TEST(SkinIcons, EachIconIsDrawnAtItsSizeOverTransparency) {
  std::string seen[4];
  for (int n = 0; n < 4; ++n) {
    const skin::SkinIcon* icon = skin::FindSkinIcon(kIconIds[n]);
    ASSERT_NE(icon, nullptr) << kIconIds[n];
    EXPECT_EQ(icon->size, 32) << icon->id;
    const draw::Bitmap b = skin::PaintIcon(*icon);
    ASSERT_EQ(b.GetSize(), draw::Size(32, 32)) << icon->id;
    ASSERT_TRUE(b.HasAlpha()) << icon->id;
    EXPECT_EQ(Alpha(b, 0, 0), 0) << icon->id;
    EXPECT_EQ(Alpha(b, 16, 20), 255) << icon->id;
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) opaque += Alpha(b, x, y) == 255;
    EXPECT_GT(opaque, 200) << icon->id << ": a picture, not a speck";
    const auto bytes = b.EncodeBmp();
    seen[n].assign(bytes.begin(), bytes.end());
    for (int m = 0; m < n; ++m) EXPECT_NE(seen[n], seen[m]) << kIconIds[n] << " looks like " << kIconIds[m];
  }
  EXPECT_EQ(skin::FindSkinIcon(446), nullptr);  // a bitmap, not an icon
}

class SkinIconStore : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("qx_skin_icons_" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    ui::Resources::Clear();
  }
  void TearDown() override {
    ui::Resources::Clear();
    std::filesystem::remove_all(folder_);
  }
  std::filesystem::path folder_;
};

TEST_F(SkinIconStore, WithoutFilesTheIconsAreDrawn) {
  RegisterSkinBitmaps("/nonexistent/");
  for (int id : kIconIds) {
    const draw::Bitmap b = ui::Resources::LoadIcon(id);
    ASSERT_FALSE(b.IsNull()) << id;
    EXPECT_EQ(b.GetSize(), draw::Size(32, 32)) << id;
  }
  EXPECT_TRUE(ui::Resources::LoadIcon(446).IsNull());
}

TEST_F(SkinIconStore, FilesAreReadUnreadableOnesDrawnAndKnownIdsKept) {
  std::string error;
  const std::filesystem::path skinDir = folder_ / skin::kSkinFolder;
  ASSERT_TRUE(skin::WriteAll(skinDir.string(), &error)) << error;
  // A replaced picture on disk, a damaged file, and an icon a screen put in the store itself.
  ASSERT_TRUE(draw::Bitmap::Create(20, 20, draw::RGB(10, 200, 30))
                  .SavePng((skinDir / skin::FindSkinIcon(278)->file).string()));
  if (std::FILE* f = std::fopen((skinDir / skin::FindSkinIcon(502)->file).string().c_str(), "wb")) {
    std::fputs("not a picture", f);
    std::fclose(f);
  }
  ui::Resources::AddIcon(492, draw::Bitmap::Create(8, 8));

  EXPECT_EQ(RegisterSkinIcons(folder_.string()), 3);
  struct Case { int id, size; };
  for (const Case& c : {Case{128, 32}, Case{278, 20}, Case{492, 8}, Case{502, 32}}) {
    const draw::Bitmap b = ui::Resources::LoadIcon(c.id);
    ASSERT_FALSE(b.IsNull()) << c.id;
    EXPECT_EQ(b.Width(), c.size) << c.id;
  }
  EXPECT_EQ(ui::Resources::LoadIcon(278).GetPixel(5, 5), draw::RGB(10, 200, 30));
  // The written file keeps the see-through surroundings.
  const draw::Bitmap app = ui::Resources::LoadIcon(128);
  ASSERT_TRUE(app.HasAlpha());
  EXPECT_EQ(Alpha(app, 0, 0), 0);
  EXPECT_EQ(Alpha(app, 16, 20), 255);
  EXPECT_EQ(RegisterSkinIcons(folder_.string()), 0);  // all there now
}

}  // namespace
