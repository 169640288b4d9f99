#include "controls/caption_fit.h"

#include <algorithm>
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

std::vector<ui::Window*> SizeGroup(ui::Window* control, const std::function<bool(ui::Window*)>& kin) {
  std::vector<ui::Window*> group{control};
  ui::Window* parent = control->GetParent();
  if (!parent) return group;
  for (size_t i = 0; i < group.size(); ++i) {
    const ui::Rect mine = group[i]->GetWindowRect();
    for (ui::Window* c : parent->Children()) {
      if (!c->IsWindowVisible() || c->GetWindowText().empty() || !kin(c)) continue;
      if (std::find(group.begin(), group.end(), c) != group.end()) continue;
      const ui::Rect r = c->GetWindowRect();
      if (r.Height() == mine.Height() && (r.top == mine.top || r.left == mine.left)) group.push_back(c);
    }
  }
  return group;
}

namespace {

bool IsTextLabel(ui::Window* w) {
  if (!dynamic_cast<ui::Static*>(w)) return false;
  const uint32_t kind = w->GetStyle() & ui::SS_TYPEMASK;
  return kind == ui::SS_LEFT || kind == ui::SS_CENTER || kind == ui::SS_RIGHT || kind == ui::SS_SIMPLE ||
         kind == ui::SS_LEFTNOWORDWRAP;
}

}  // namespace

std::vector<ui::Window*> LabelGroup(ui::Window* label) {
  // A label set in another font (a heading, a large value) is not of the group.
  const draw::Font font = *label->GetFont();
  return SizeGroup(label, [&](ui::Window* w) { return IsTextLabel(w) && *w->GetFont() == font; });
}

draw::Font GroupTextFont(draw::DC& dc, ui::Static& label) {
  draw::Font font = label.OwnTextFont(dc);
  if (label.GetWindowText().empty()) return font;
  const std::vector<ui::Window*> group = LabelGroup(&label);
  for (ui::Window* w : group) {
    const draw::Font own = static_cast<ui::Static*>(w)->OwnTextFont(dc);
    if (std::abs(own.height) < std::abs(font.height)) font.height = own.height;
  }
  // A label drawn at another size than its group's now (a text of the group changed) draws again.
  for (ui::Window* w : group)
    if (w != &label && std::abs(static_cast<ui::Static*>(w)->TextFont().height) != std::abs(font.height))
      w->Invalidate(false);
  return font;
}

void InstallLabelTextFitting() { ui::SetStaticTextFitter(FitTextFont, GroupTextFont); }
