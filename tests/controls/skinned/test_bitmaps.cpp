// The picture loader, the device-independent bitmap (reading, checking, writing, palettes),
// the bitmap strip and the number entry dialog.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "controls/dib_bitmap.h"
#include "controls/picture.h"
#include "controls/small_widgets.h"
#include "fixture.h"

namespace {

std::string TempPath(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("qx_controls_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

void Put16(std::vector<uint8_t>& o, uint32_t v) {
  o.push_back(static_cast<uint8_t>(v));
  o.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& o, uint32_t v) {
  Put16(o, v & 0xFFFF);
  Put16(o, v >> 16);
}

// A bottom-up BMP file with the given depth, colour table entries and (aligned) pixel rows.
std::vector<uint8_t> MakeBmp(int w, int h, int bits, uint32_t clrUsed, int tableEntries, uint32_t headerSize = 40,
                             int rowsToStore = -1) {
  const int row = ((w * bits + 31) / 32) * 4;
  const int rows = rowsToStore < 0 ? h : rowsToStore;
  std::vector<uint8_t> o;
  const uint32_t off = 14 + 40 + static_cast<uint32_t>(tableEntries) * 4;
  Put16(o, 0x4D42);
  Put32(o, off + static_cast<uint32_t>(row * rows));
  Put32(o, 0);
  Put32(o, off);
  Put32(o, headerSize);
  Put32(o, static_cast<uint32_t>(w));
  Put32(o, static_cast<uint32_t>(h));
  Put16(o, 1);
  Put16(o, static_cast<uint32_t>(bits));
  Put32(o, 0);
  Put32(o, 0);
  Put32(o, 0);
  Put32(o, 0);
  Put32(o, clrUsed);
  Put32(o, 0);
  for (int i = 0; i < tableEntries; ++i) Put32(o, static_cast<uint32_t>(i * 0x010101));
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < row; ++x) o.push_back(static_cast<uint8_t>(x < (w * bits + 7) / 8 ? (x * 7 + y * 13 + 1) : 0));
  return o;
}

}  // namespace

TEST_F(SkinnedTest, PictureSizesDrawingAndReportedFailures) {
  const std::string path = TempPath("square.bmp");
  ASSERT_TRUE(draw::Bitmap::Create(96, 96, draw::RGB(200, 10, 10)).SaveBmp(path));
  CPicture pic;
  draw::Bitmap target = draw::Bitmap::Create(50, 50, draw::kWhite);
  draw::DC dc(target);
  // Drawing before anything is loaded fails quietly.
  EXPECT_FALSE(pic.Draw(&dc, 0, 0, 50, 50));
  EXPECT_EQ(d.MessageBox(), nullptr);
  ASSERT_TRUE(pic.Load(path));
  EXPECT_EQ(pic.HimetricWidth(), 2540);
  EXPECT_EQ(pic.width, 96);
  EXPECT_EQ(pic.height, 96);
  EXPECT_GT(pic.fileSize, 96u * 96u * 3u);
  EXPECT_TRUE(pic.Draw(&dc, 0, 0, 50, 50));
  dc.Flush();
  EXPECT_EQ(target.GetPixel(25, 25), draw::RGB(200, 10, 10));
  EXPECT_FALSE(pic.Draw(nullptr, 0, 0, 5, 5));

  // A missing file: the system's reason in a box titled "CPicture Error".
  std::string text, title;
  bool loaded = true;
  d.RunScript([&] { loaded = pic.Load(TempPath("missing.bmp")); },
              [&](ui::TestDriver& s) {
                text = s.MessageBoxText();
                if (ui::Window* box = s.MessageBox()) title = box->GetWindowText();
                s.AnswerMessageBox(ui::IDOK);
              });
  EXPECT_FALSE(loaded);
  EXPECT_NE(text.find("No such file"), std::string::npos) << text;
  EXPECT_EQ(title, "CPicture Error");
  EXPECT_FALSE(pic.IsLoaded());
  EXPECT_EQ(pic.width, 0);
}

TEST_F(SkinnedTest, DibReadsPalettesByDepth) {
  struct Case {
    int bits;
    uint32_t clrUsed;
    int table;
    size_t paletteEntries;  // 0: no palette
  };
  const Case cases[] = {{24, 0, 0, 0}, {8, 0, 256, 256}, {8, 16, 16, 16}, {4, 0, 16, 16}, {1, 0, 2, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    CDIBitmap dib;
    ASSERT_TRUE(dib.Read(MakeBmp(5, 3, c.bits, c.clrUsed, c.table))) << dib.lastError;
    EXPECT_EQ(dib.GetWidth(), 5);
    EXPECT_EQ(dib.GetHeight(), 3);
    EXPECT_EQ(dib.GetBitCount(), c.bits);
    if (c.paletteEntries == 0) {
      EXPECT_EQ(dib.GetPalette(), nullptr);
    } else {
      ASSERT_NE(dib.GetPalette(), nullptr);
      EXPECT_EQ(dib.GetPalette()->entries.size(), c.paletteEntries);
      EXPECT_EQ(dib.GetPalette()->entries[1].red, 1);
    }
  }
}

TEST_F(SkinnedTest, DibRefusesFilesWhoseHeadersDoNotHold) {
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    const char* error;  // start of the error text
  };
  std::vector<uint8_t> notBm = MakeBmp(4, 4, 24, 0, 0);
  notBm[0] = 'X';
  std::vector<uint8_t> truncated = MakeBmp(4, 4, 24, 0, 0);
  truncated.resize(truncated.size() - 20);
  std::vector<uint8_t> hugeHeight = MakeBmp(4, 4, 24, 0, 0);
  hugeHeight[22] = 0xFF;
  hugeHeight[23] = 0xFF;
  hugeHeight[24] = 0x0F;
  std::vector<uint8_t> badOffset = MakeBmp(4, 4, 24, 0, 0);
  badOffset[10] = 0xF0;
  badOffset[11] = 0xFF;
  const Case cases[] = {
      {"not a bitmap file", notBm, "Error:Unexpected file type, not a DIB"},
      {"old core header", MakeBmp(4, 4, 24, 0, 0, 12), "Error:OS2 PM BMP Format not supported"},
      {"pixels cut short", truncated, "Error:"},
      {"height beyond the file", hugeHeight, "Error:"},
      {"pixel offset beyond the file", badOffset, "Error:"},
      {"empty", {}, "Error:Unexpected file type, not a DIB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CDIBitmap dib;
    EXPECT_FALSE(dib.Read(c.file));
    EXPECT_EQ(dib.lastError.rfind(c.error, 0), 0u) << dib.lastError;
    EXPECT_EQ(dib.GetInfo(), nullptr);
  }
}

TEST_F(SkinnedTest, DibWritesBackTheRowsItRead) {
  // Widths whose rows need padding: the pixels written are the pixels read.
  struct Case {
    int w, bits, table;
  };
  for (const Case& c : {Case{3, 24, 0}, Case{10, 1, 2}, Case{5, 4, 16}, Case{7, 8, 256}}) {
    SCOPED_TRACE(c.bits);
    const std::vector<uint8_t> file = MakeBmp(c.w, 4, c.bits, 0, c.table);
    CDIBitmap dib;
    ASSERT_TRUE(dib.Read(file));
    std::vector<uint8_t> out;
    ASSERT_TRUE(dib.Write(out));
    ASSERT_EQ(out.size(), file.size());
    EXPECT_TRUE(std::equal(out.begin() + 54, out.end(), file.begin() + 54));
    CDIBitmap again;
    EXPECT_TRUE(again.Read(out)) << again.lastError;
  }
  // From a bitmap: 24 bits, drawn back the same.
  draw::Bitmap src = draw::Bitmap::Create(3, 2, draw::RGB(10, 20, 30));
  src.SetPixel(2, 1, draw::RGB(250, 0, 5));
  CDIBitmap dib;
  ASSERT_TRUE(dib.CreateFromBitmap(src));
  EXPECT_EQ(dib.GetBitCount(), 24);
  const std::string path = TempPath("copy.bmp");
  ASSERT_TRUE(dib.Save(path));
  CDIBitmap loaded;
  ASSERT_TRUE(loaded.Load(path));
  draw::Bitmap target = draw::Bitmap::Create(3, 2, draw::kWhite);
  draw::DC dc(target);
  loaded.Draw(&dc, 0, 0);
  dc.Flush();
  EXPECT_EQ(target.GetPixel(0, 0), draw::RGB(10, 20, 30));
  EXPECT_EQ(target.GetPixel(2, 1), draw::RGB(250, 0, 5));
}

TEST_F(SkinnedTest, StripFrameOneIsTheRightHalfWithoutItsKeyColour) {
  draw::Bitmap strip = draw::Bitmap::Create(20, 10, draw::RGB(200, 0, 0));
  for (int y = 0; y < 10; ++y)
    for (int x = 10; x < 20; ++x) strip.SetPixel(x, y, draw::RGB(0, 0, 200));
  strip.SetPixel(15, 5, draw::RGB(0, 255, 0));
  const std::string path = TempPath("strip.bmp");
  ASSERT_TRUE(strip.SaveBmp(path));
  CKbcBmp view;
  ASSERT_TRUE(view.LoadStrip(path));
  EXPECT_EQ(view.frameWidth, 10);
  draw::Bitmap target = draw::Bitmap::Create(12, 12, draw::kWhite);
  draw::DC dc(target);
  view.DrawFrame(&dc, 1, 1, 1, draw::RGB(0, 255, 0));
  dc.Flush();
  EXPECT_EQ(target.GetPixel(2, 2), draw::RGB(0, 0, 200));
  EXPECT_EQ(target.GetPixel(6, 6), draw::kWhite);  // the key colour left out
  EXPECT_EQ(target.GetPixel(11, 11), draw::kWhite);
}

TEST_F(SkinnedTest, NumberEntryReturnsTheTypedValue) {
  CPLT dlg;
  int result = 0;
  d.RunScript([&] { result = dlg.DoModal(); },
              [&](ui::TestDriver& s) {
                s.Press(IDC_PLT_VALUE);
                s.Type("12.5");
                s.Press(ui::IDOK);
              });
  EXPECT_EQ(result, ui::IDOK);
  EXPECT_DOUBLE_EQ(dlg.value, 12.5);
}
