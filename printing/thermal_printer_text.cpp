// Text printing: splitting into printer rows, glyphs for the characters above code 128.
#include <cstring>

#include "core/app_settings.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"
#include "printing/thermal_printer.h"
#include "printing/thermal_printer_state.h"
#include "printing/utf8_chars.h"

using namespace thermal_detail;

namespace {

constexpr uint8_t kFirstGlyphCode = 34;
constexpr int8_t kPrinterColumns = 48;

bool IsTrailingSpace(char32_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int Columns(char32_t c) { return c > 128 ? 2 : 1; }

}  // namespace

namespace {

// Cuts text into pieces of whole characters, at least one a piece: character i joins the piece
// while admit(used so far, its cost) allows it.
template <typename Cost, typename Admit>
void SplitChars(const std::string& text, std::vector<std::string>* pieces, Cost cost, Admit admit) {
  pieces->clear();
  const std::u32string chars = DecodeUtf8(text);
  size_t start = 0;
  while (start < chars.size()) {
    size_t i = start;
    int used = 0;
    while (i < chars.size()) {
      const int c = cost(chars[i]);
      if (i != start && !admit(used, c)) break;
      used += c;
      ++i;
    }
    pieces->push_back(EncodeUtf8(chars.substr(start, i - start)));
    start = i;
  }
}

}  // namespace

void SplitTextToWidth(const std::string& text, std::vector<std::string>* pieces, int8_t width) {
  SplitChars(text, pieces, Columns, [width](int used, int) { return used < width - 1; });
}

void SplitTextToDots(const std::string& text, int spacing, int headDots, std::vector<std::string>* pieces) {
  SplitChars(
      text, pieces, [spacing](char32_t c) { return (c > 128 ? kPrinterGlyphDots : kPrinterCharDots) + spacing; },
      [headDots](int used, int w) { return used + w <= headDots; });
}

void PrinterRenderGlyph(char32_t c, int language, uint8_t glyph[32]) {
  std::memset(glyph, 0, 32);
  // A one-bit bitmap, as the printer's glyphs are one bit a dot: text on it is not smoothed.
  draw::Bitmap bmp = draw::Bitmap::CreateMonochrome(16, 16);
  if (!bmp) return;
  {
    draw::DC dc(bmp);
    dc.FillSolidRect(draw::Rect(0, 0, 16, 16), draw::kWhite);
    dc.SelectFont(draw::Font(language == 0 ? "黑体" : "Arial", -13, draw::kFontWeightBold));
    dc.SetTextColor(draw::kBlack);
    dc.SetBkMode(draw::BkMode::Transparent);
    draw::Rect r(0, 0, 16, 16);
    dc.DrawText(EncodeUtf8(std::u32string(1, c)), &r, draw::kDtTop | draw::kDtLeft | draw::kDtNoPrefix);
    dc.Flush();
  }
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if ((bmp.GetPixel(x, y) & 0xFFFFFF) != draw::kWhite) glyph[2 * y + x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
    }
  }
}

void PrinterPrintText(const std::string& text, uint8_t n, uint8_t d, int finalCr) {
  PrinterSendDc2G(1);
  PrinterSendDc2F(0);
  Send({kESC, 'A', n});

  std::u32string chars = DecodeUtf8(text);
  size_t end = chars.size();
  while (end > 0 && IsTrailingSpace(chars[end - 1])) --end;
  if (end > 0) chars.resize(end);

  std::vector<std::string> pieces;
  SplitTextToWidth(EncodeUtf8(chars), &pieces, kPrinterColumns);

  const int language = AppSettings.LanguageIndex;
  uint8_t code = kFirstGlyphCode;
  for (size_t k = pieces.size(); k-- > 0;) {
    if (k + 1 != pieces.size()) PrinterCarriageReturn();
    for (char32_t c : DecodeUtf8(pieces[k])) {
      if (c > 128) {
        uint8_t glyph[32];
        PrinterRenderGlyph(c, language, glyph);
        PrinterDefineGlyph(code, glyph);
        PrinterPrintGlyph(code, d);
        if (d) PrinterSendEscSmallW(0);
        ++code;  // wraps after 255 like the printer's byte
      } else {
        if (d) PrinterSendEscSmallW(1);
        const uint8_t b = static_cast<uint8_t>(c & 0xFF);
        PrinterWrite(&b, 1);
        if (d) PrinterSendEscSmallW(0);
      }
    }
  }
  if (finalCr) PrinterCarriageReturn();
}
