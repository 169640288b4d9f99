// The skin bitmaps: every id the screens name is there, at its size, drawn the same way each
// time, with magenta exactly where the dialog must show through.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "resources/skin/skin_ids.h"
#include "resources/skin/skin_paint.h"

namespace {

using draw::Color;
using draw::kMagenta;
using skin::Kind;
using skin::SkinBitmap;

std::string TempFolder(const std::string& name) {
  auto dir = std::filesystem::temp_directory_path() / ("qx_skin_" + name + "_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  return dir.string();
}

bool IsOpaqueKind(Kind k) {
  return k == Kind::TitleBand || k == Kind::StripUpper || k == Kind::StripLower || k == Kind::Instrument ||
         k == Kind::Dormant;
}

TEST(SkinTable, IdsAreUniqueAndFilesDistinct) {
  std::set<int> ids;
  std::set<std::string> files;
  for (const SkinBitmap& e : skin::kSkinBitmaps) {
    EXPECT_TRUE(ids.insert(e.id).second) << "id " << e.id << " listed twice";
    EXPECT_TRUE(files.insert(e.file).second) << e.file;
    EXPECT_GT(e.width, 0);
    EXPECT_GT(e.height, 0);
  }
}

// Every bitmap id the screens pass to the skinned controls and paint as backgrounds.
TEST(SkinTable, EveryIdTheScreensUseIsListed) {
  const int used[] = {
      446, 448, 447, 469, 468, 467, 466, 465, 464, 472, 471, 470, 399, 400, 487, 403, 404, 486, 401, 402, 488,
      498, 500, 499, 453, 452, 451, 493, 495, 494, 437, 436, 435, 460, 459, 458, 426, 425, 430, 474, 476, 475,
      457, 456, 454, 455, 462, 461, 434, 433, 431, 432, 439, 438, 423, 424, 429, 427, 428, 489, 443, 442, 441,
      440, 445, 444, 410, 411, 412, 418, 419, 408, 409, 477, 478, 479, 481, 480, 484, 483,
      393, 394, 396, 397, 398, 420, 421, 422, 274, 414, 416, 449, 450, 463, 473, 491, 358,
      415, 527, 503, 528, 516, 117, 517, 531, 518, 530, 509};
  for (int id : used) EXPECT_NE(skin::FindSkinBitmap(id), nullptr) << "missing bitmap " << id;
  EXPECT_EQ(skin::FindSkinBitmap(12345), nullptr);
}

// Sizes that screens rely on (they size controls to them or stretch them from them).
TEST(SkinTable, FixedSizes) {
  struct Case { int id, w, h; };
  const Case cases[] = {
      {418, 108, 69}, {419, 108, 69}, {477, 32, 29}, {478, 32, 29}, {479, 120, 50}, {481, 120, 50},
      {480, 120, 50}, {491, 734, 25}, {416, 769, 12}, {414, 768, 35}, {358, 800, 600}, {415, 629, 53},
      {503, 629, 53}, {516, 629, 53}, {517, 629, 53}, {518, 629, 53}, {509, 629, 53}, {527, 778, 65},
      {528, 778, 65}, {117, 778, 65}, {530, 778, 65}, {531, 780, 65}, {397, 15, 15}, {398, 15, 15},
  };
  for (const Case& c : cases) {
    const SkinBitmap* e = skin::FindSkinBitmap(c.id);
    ASSERT_NE(e, nullptr) << c.id;
    EXPECT_EQ(e->width, c.w) << c.id;
    EXPECT_EQ(e->height, c.h) << c.id;
  }
}

TEST(SkinFiles, EveryEntryIsWrittenAtItsSize) {
  std::string dir = TempFolder("files");
  std::string error;
  ASSERT_TRUE(skin::WriteAll(dir, &error)) << error;
  for (const SkinBitmap& e : skin::kSkinBitmaps) {
    draw::Bitmap b = draw::Bitmap::LoadFile(dir + "/" + e.file, &error);
    ASSERT_FALSE(b.IsNull()) << e.file << ": " << error;
    EXPECT_EQ(b.Width(), e.width) << e.file;
    EXPECT_EQ(b.Height(), e.height) << e.file;
  }
  std::filesystem::remove_all(dir);
}

TEST(SkinFiles, UnwritableFolderIsReported) {
  std::string error;
  EXPECT_FALSE(skin::WriteAll("/proc/qx_no_such_place/skin", &error));
  EXPECT_FALSE(error.empty());
}

// The build writes the skin beside the program; when it is there it must match the table.
TEST(SkinFiles, ProgramFolderMatchesTable) {
  std::string dir = std::string(QUORVEX_PROGRAM_DIR) + "/" + skin::kSkinFolder;
  if (!std::filesystem::exists(dir)) GTEST_SKIP() << "skin not built into " << dir;
  for (const SkinBitmap& e : skin::kSkinBitmaps) {
    draw::Bitmap b = draw::Bitmap::LoadFile(dir + "/" + e.file);
    ASSERT_FALSE(b.IsNull()) << e.file;
    EXPECT_EQ(b.GetSize(), draw::Size(e.width, e.height)) << e.file;
  }
}

TEST(SkinLook, TransparentCornersAndSolidFaces) {
  for (const SkinBitmap& e : skin::kSkinBitmaps) {
    draw::Bitmap b = skin::Paint(e);
    ASSERT_EQ(b.GetSize(), draw::Size(e.width, e.height)) << e.id;
    int w = e.width, h = e.height;
    if (IsOpaqueKind(e.kind)) {
      // Copied without a key or stretched over whole bands: a magenta pixel would show.
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_NE(b.GetPixel(x, y), kMagenta) << e.id << " at " << x << "," << y;
      continue;
    }
    if (e.kind != Kind::Rail && e.kind != Kind::RailLeft && e.kind != Kind::RailRight) {
      // Rounded corners let the dialog show through; the middle is the face itself.
      for (auto [x, y] : {std::pair{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}})
        EXPECT_EQ(b.GetPixel(x, y), kMagenta) << e.id << " corner " << x << "," << y;
    } else {
      EXPECT_EQ(b.GetPixel(w / 2, 0), kMagenta) << e.id;
    }
    EXPECT_NE(b.GetPixel(w / 2, h / 2 + (e.kind == Kind::Spin ? 3 : 0)), kMagenta) << e.id;
  }
}

// Shapes have hard edges: every pixel is either the key itself or clearly not it, so a
// transparent copy leaves no pink fringe.
TEST(SkinLook, NoPinkFringe) {
  auto nearMagenta = [](Color c) {
    int r = draw::GetRValue(c), g = draw::GetGValue(c), b = draw::GetBValue(c);
    return c != kMagenta && r > 180 && b > 180 && g < 120;
  };
  for (const SkinBitmap& e : skin::kSkinBitmaps) {
    if (IsOpaqueKind(e.kind)) continue;
    draw::Bitmap b = skin::Paint(e);
    for (int y = 0; y < e.height; ++y)
      for (int x = 0; x < e.width; ++x) ASSERT_FALSE(nearMagenta(b.GetPixel(x, y))) << e.id << " at " << x << "," << y;
  }
}

TEST(SkinLook, StatesDifferAndDrawingRepeats) {
  // Normal, hover and disabled faces of one set must look different.
  const int sets[][3] = {{446, 448, 447}, {479, 481, 480}, {394, 393, 396}, {420, 421, 422}};
  for (auto& s : sets) {
    draw::Bitmap n = skin::Paint(*skin::FindSkinBitmap(s[0]));
    draw::Bitmap hv = skin::Paint(*skin::FindSkinBitmap(s[1]));
    draw::Bitmap d = skin::Paint(*skin::FindSkinBitmap(s[2]));
    int cx = n.Width() / 2, cy = n.Height() / 4;
    EXPECT_NE(n.GetPixel(cx, cy), hv.GetPixel(cx, cy)) << s[0];
    EXPECT_NE(n.GetPixel(cx, cy), d.GetPixel(cx, cy)) << s[0];
  }
  draw::Bitmap t = skin::Paint(*skin::FindSkinBitmap(397)), u = skin::Paint(*skin::FindSkinBitmap(398));
  int differ = 0;
  for (int y = 0; y < 15; ++y)
    for (int x = 0; x < 15; ++x) differ += t.GetPixel(x, y) != u.GetPixel(x, y);
  EXPECT_GT(differ, 8) << "the ticked mark must show a tick";

  for (int id : {446, 358, 415}) {
    draw::Bitmap a = skin::Paint(*skin::FindSkinBitmap(id)), b = skin::Paint(*skin::FindSkinBitmap(id));
    EXPECT_EQ(a.EncodeBmp(), b.EncodeBmp()) << id;
  }
}

// The rails beside a bottom button run square into the button and end rounded at the frame.
TEST(SkinLook, RailsMeetTheButtonWithASquareEnd) {
  struct Case { int id; bool squareLeft, squareRight; };
  for (const Case& k : {Case{450, false, true}, Case{449, true, false}, Case{473, false, false}}) {
    const SkinBitmap* e = skin::FindSkinBitmap(k.id);
    ASSERT_NE(e, nullptr) << k.id;
    draw::Bitmap b = skin::Paint(*e);
    const int top = e->height / 2 - 10;  // the bar's top row, where a rounded end leaves the key
    EXPECT_EQ(b.GetPixel(0, top) != kMagenta, k.squareLeft) << k.id;
    EXPECT_EQ(b.GetPixel(e->width - 1, top) != kMagenta, k.squareRight) << k.id;
    EXPECT_NE(b.GetPixel(0, e->height / 2), kMagenta) << k.id;
    EXPECT_NE(b.GetPixel(e->width - 1, e->height / 2), kMagenta) << k.id;
  }
}

TEST(SkinLook, ContactSheetIsSaved) {
  draw::Bitmap sheet = skin::ContactSheet();
  ASSERT_FALSE(sheet.IsNull());
  std::string error;
  EXPECT_TRUE(sheet.SavePng("skin_contact_sheet.png", &error)) << error;
}

}  // namespace
