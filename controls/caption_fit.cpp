#include "controls/caption_fit.h"

#include <cstdlib>

#include "platform/ui/controls/controls.h"

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

bool TextFits(draw::DC& dc, const std::string& text, const draw::Font& font, const ui::Rect& room, unsigned format) {
  if (text.empty()) return true;
  if (room.Width() <= 0 || room.Height() <= 0) return false;
  const unsigned layout = format & (draw::kDtWordBreak | draw::kDtSingleLine | draw::kDtNoPrefix | draw::kDtExpandTabs);
  const int saved = dc.SaveDC();
  dc.SelectFont(font);
  bool fits = true;
  size_t pos = 0;
  while (fits && (layout & draw::kDtWordBreak) && pos <= text.size()) {
    const size_t end = text.find_first_of(" \r\n", pos);
    const std::string word = text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    const unsigned one = draw::kDtSingleLine | (layout & draw::kDtNoPrefix);
    if (!word.empty() && Measure(dc, word, room.Width(), one).Width() > room.Width()) fits = false;
    if (end == std::string::npos) break;
    pos = end + 1;
  }
  if (fits) {
    const ui::Rect block = Measure(dc, text, room.Width(), layout);
    // One line fits a room as high as the font's cell; the rounding of the line's ascent and
    // descent may make it a pixel taller than that.
    const bool oneLine = block.Height() == Measure(dc, "X", room.Width(), draw::kDtSingleLine).Height();
    fits = block.Width() <= room.Width() &&
           (block.Height() <= room.Height() || (oneLine && std::abs(font.height) <= room.Height()));
  }
  dc.RestoreDC(saved);
  return fits;
}

bool CaptionFits(draw::DC& dc, const std::string& text, const draw::Font& font, const ui::Rect& room) {
  return TextFits(dc, text, font, room, draw::kDtCenter | draw::kDtWordBreak);
}

draw::Font FitTextFont(draw::DC& dc, const std::string& text, const draw::Font& nominal, const ui::Rect& room,
                       unsigned format) {
  draw::Font font = nominal;
  const int sign = nominal.height < 0 ? -1 : 1;
  while (!TextFits(dc, text, font, room, format) && std::abs(font.height) > kSmallestHeight) font.height -= sign;
  return font;
}

draw::Font FitCaptionFont(draw::DC& dc, const std::string& text, const draw::Font& nominal, const ui::Rect& room) {
  return FitTextFont(dc, text, nominal, room, draw::kDtCenter | draw::kDtWordBreak);
}

void InstallLabelTextFitting() { ui::SetStaticTextFitter(FitTextFont); }
