#include "controls/caption_fit.h"

#include <cstdlib>

namespace {

constexpr int kSmallestHeight = 8;

// The extent of `text` in the font selected into `dc`, laid out by `format` in a box `width` wide.
ui::Rect Measure(draw::DC& dc, const std::string& text, int width, unsigned format) {
  ui::Rect r(0, 0, width, 0);
  dc.DrawText(text, &r, format | draw::kDtCalcRect);
  return r;
}

}  // namespace

ui::Rect CaptionRoom(const ui::Rect& button) {
  const int h = button.Height();
  return button.Inflate(-(3 + h / 16), -(1 + h / 24));
}

bool CaptionFits(draw::DC& dc, const std::string& text, const draw::Font& font, const ui::Rect& room) {
  if (text.empty()) return true;
  if (room.Width() <= 0 || room.Height() <= 0) return false;
  const int saved = dc.SaveDC();
  dc.SelectFont(font);
  bool fits = true;
  size_t pos = 0;
  while (fits && pos <= text.size()) {
    const size_t end = text.find_first_of(" \r\n", pos);
    const std::string word = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (!word.empty() && Measure(dc, word, room.Width(), draw::kDtSingleLine).Width() > room.Width()) fits = false;
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  if (fits) {
    const ui::Rect block = Measure(dc, text, room.Width(), draw::kDtCenter | draw::kDtWordBreak);
    fits = block.Width() <= room.Width() && block.Height() <= room.Height();
  }
  dc.RestoreDC(saved);
  return fits;
}

draw::Font FitCaptionFont(draw::DC& dc, const std::string& text, const draw::Font& nominal, const ui::Rect& room) {
  draw::Font font = nominal;
  const int sign = nominal.height < 0 ? -1 : 1;
  while (!CaptionFits(dc, text, font, room) && std::abs(font.height) > kSmallestHeight) font.height -= sign;
  return font;
}
