#include "label_check.h"

#include <cctype>
#include <cmath>
#include <map>

#include "controls/xp_check_button.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"

namespace {

// A control that shows text: where the text may go, how it is laid out and in which font.
struct LabelText {
  ui::Window* control = nullptr;
  std::string text;
  ui::Rect room;  // screen coordinates
  unsigned format = 0;
  draw::Font font;
  ui::Rect ink;  // the laid-out text, screen coordinates
};

std::string Describe(ui::Window* w) {
  return "control " + std::to_string(w->GetDlgCtrlID()) + " (" + w->ClassName() + " \"" + w->GetWindowText() + "\")";
}

std::string Size(const ui::Rect& r) { return std::to_string(r.Width()) + "x" + std::to_string(r.Height()); }

bool IsTextStatic(ui::Window* w) {
  auto* s = dynamic_cast<ui::Static*>(w);
  if (!s) return false;
  const uint32_t kind = w->GetStyle() & ui::SS_TYPEMASK;
  return kind == ui::SS_LEFT || kind == ui::SS_CENTER || kind == ui::SS_RIGHT || kind == ui::SS_SIMPLE ||
         kind == ui::SS_LEFTNOWORDWRAP;
}

// Where the control puts its text, as a static, a skinned check box or radio button lays it
// out; false for the other controls.
bool TextOf(ui::Window* w, LabelText& out) {
  out.control = w;
  out.text = w->GetWindowText();
  if (out.text.empty()) return false;
  const ui::Rect win = w->GetWindowRect();
  if (IsTextStatic(w)) {
    const uint32_t style = w->GetStyle();
    const uint32_t kind = style & ui::SS_TYPEMASK;
    out.room = win;
    if (style & ui::SS_SUNKEN) out.room = out.room.Inflate(-2, -2);
    if (style & ui::WS_BORDER) out.room = out.room.Inflate(-1, -1);
    out.format = kind == ui::SS_CENTER ? draw::kDtCenter : kind == ui::SS_RIGHT ? draw::kDtRight : draw::kDtLeft;
    if (kind != ui::SS_LEFTNOWORDWRAP && kind != ui::SS_SIMPLE) out.format |= draw::kDtWordBreak;
    if (style & ui::SS_CENTERIMAGE) out.format = (out.format & ~draw::kDtWordBreak) | draw::kDtSingleLine | draw::kDtVCenter;
    if (style & ui::SS_NOPREFIX) out.format |= draw::kDtNoPrefix;
    out.font = static_cast<ui::Static*>(w)->TextFont();
    return true;
  }
  ui::Rect text;
  if (auto* c = dynamic_cast<CXPCheckButton*>(w)) {
    text = c->textRect;
    out.font = c->labelFont;
  } else if (auto* r = dynamic_cast<CXPRadioButton*>(w)) {
    text = r->textRect;
    out.font = r->labelFont;
  } else {
    return false;
  }
  // The text starts after the mark; the rest of the control is its room.
  out.room = ui::Rect(win.left + text.left, win.top, win.right, win.bottom);
  out.format = draw::kDtLeft | draw::kDtWordBreak;
  return true;
}

// The lines `text` takes laid out word-wrapped in `width` in the font selected into `dc`.
int Lines(draw::DC& dc, const std::string& text, int width, unsigned prefix) {
  draw::Rect block(0, 0, width, 0), line(0, 0, width, 0);
  dc.DrawText(text, &block, draw::kDtWordBreak | draw::kDtCalcRect | prefix);
  dc.DrawText("X", &line, draw::kDtSingleLine | draw::kDtCalcRect);
  return line.Height() > 0 ? (block.Height() + line.Height() / 2) / line.Height() : 0;
}

// A caption ended by a colon with its value after it on the same line of the text ("Version: 1.0"):
// the wrapping must not put the value at the start of the next line, away from its caption. Each
// colon's line count is compared with the line count once the word after it is added: one more
// line means the word went to the start of the next one.
std::string CaptionBrokenFromValue(draw::DC& dc, const std::string& text, int width, unsigned prefix) {
  static const std::string kColons[] = {":", "\xEF\xBC\x9A"};  // and the full-width one
  for (const std::string& colon : kColons) {
    for (size_t at = text.find(colon); at != std::string::npos; at = text.find(colon, at + 1)) {
      const size_t caption = at + colon.size();
      // A value joined by a no-break space cannot be parted from its caption.
      const size_t value = text.find_first_not_of(' ', caption);
      if (value == caption || value == std::string::npos || text[value] == '\r' || text[value] == '\n') continue;
      const size_t end = std::min(text.find_first_of(" \r\n", value), text.size());
      const size_t paragraph = text.find_last_of("\r\n", at) == std::string::npos ? 0 : text.find_last_of("\r\n", at) + 1;
      const std::string before = text.substr(paragraph, caption - paragraph);
      const std::string with = text.substr(paragraph, end - paragraph);
      if (Lines(dc, with, width, prefix) > Lines(dc, before, width, prefix))
        return "\"" + text.substr(value, end - value) + "\" wraps to the line after its caption \"" +
               text.substr(paragraph, caption - paragraph) + "\"";
    }
  }
  return {};
}

// Whether the text fits its room; the laid-out text goes to `ink`.
std::string FitProblem(LabelText& l) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  dc.SelectFont(l.font);
  const int width = l.room.Width(), height = l.room.Height();
  const unsigned prefix = l.format & draw::kDtNoPrefix;
  std::string problem;
  if (l.format & draw::kDtWordBreak) {
    size_t pos = 0;
    while (problem.empty() && pos <= l.text.size()) {
      const size_t end = l.text.find_first_of(" \r\n", pos);
      const std::string word = l.text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
      if (!word.empty()) {
        draw::Rect r(0, 0, width, 0);
        dc.DrawText(word, &r, draw::kDtSingleLine | draw::kDtCalcRect | prefix);
        if (r.Width() > width)
          problem = "word \"" + word + "\" is " + std::to_string(r.Width()) + " px wide, room " + std::to_string(width);
      }
      if (end == std::string::npos) break;
      pos = end + 1;
    }
  }
  draw::Rect block(0, 0, width, 0);
  dc.DrawText(l.text, &block, (l.format & (draw::kDtWordBreak | draw::kDtSingleLine)) | draw::kDtCalcRect | prefix);
  const int w = std::min(block.Width(), width);
  int x = l.room.left;
  if (l.format & draw::kDtCenter) x += (width - w) / 2;
  else if (l.format & draw::kDtRight) x = l.room.right - w;
  int y = l.room.top;
  if (l.format & draw::kDtVCenter) y += (height - block.Height()) / 2;
  l.ink = ui::Rect::FromSize(x, y, w, std::min(block.Height(), l.room.bottom - y));
  // One line may stand a pixel taller than its control when the font's cell is the control's
  // height; a second line may not.
  draw::Rect line(0, 0, width, 0);
  dc.DrawText("X", &line, draw::kDtSingleLine | draw::kDtCalcRect);
  const int cell = l.font.height < 0 ? -l.font.height : l.font.height;
  const bool tooHigh = block.Height() > height && !(block.Height() == line.Height() && cell <= height);
  if (problem.empty() && (block.Width() > width || tooHigh))
    problem = "text block " + Size(block) + " in room " + Size(l.room);
  if (problem.empty() && (l.format & draw::kDtWordBreak)) problem = CaptionBrokenFromValue(dc, l.text, width, prefix);
  if (!problem.empty()) problem += " at " + std::to_string(cell) + " px";
  // A label squeezed below 11 px to fit is as unreadable as a clipped one.
  else if (cell < 11) problem = "text drawn at " + std::to_string(cell) + " px to fit, too small to read";
  return problem;
}

// The text in the picture: its background is the commonest colour of the text's box, its
// letters the colour that stands out most from it (the core of a stroke).
std::string ContrastProblem(const LabelText& l, const draw::Bitmap& shot) {
  // Text off the display is another check's finding; only what shows is measured.
  const ui::Rect box = l.ink;
  if (box.IsEmpty() || !(box.Intersect(ui::Rect(0, 0, shot.Width(), shot.Height())) == box)) return {};
  std::map<draw::Color, int> counts;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) ++counts[shot.GetPixel(x, y)];
  // One colour: nothing drawn there when the picture was taken (a live value that changed
  // since); there is no contrast to measure.
  if (counts.size() == 1) return {};
  draw::Color back = counts.begin()->first;
  for (const auto& [colour, n] : counts)
    if (n > counts[back]) back = colour;
  double best = 1.0;
  for (const auto& [colour, n] : counts) best = std::max(best, Contrast(colour, back));
  // Below 2:1 letters of a label's size blur into what is behind them (some of the screens'
  // own colour pairs sit between 2:1 and 3:1 and read).
  if (best >= 2.0) return {};
  char ratio[16];
  std::snprintf(ratio, sizeof ratio, "%.1f", best);
  return std::string("text contrast ") + ratio + ":1 against its background";
}

// The width of a blank between two words in `font`.
int BlankWidth(const draw::Font& font) {
  draw::Bitmap scratch = draw::Bitmap::Create(4, 4, draw::kWhite);
  draw::DC dc(scratch);
  dc.SelectFont(font);
  draw::Rect apart(0, 0, 0, 0), together(0, 0, 0, 0);
  dc.DrawText("x x", &apart, draw::kDtSingleLine | draw::kDtCalcRect | draw::kDtNoPrefix);
  dc.DrawText("xx", &together, draw::kDtSingleLine | draw::kDtCalcRect | draw::kDtNoPrefix);
  return apart.Width() - together.Width();
}

// A text of signs only, no letter or digit of any script.
bool IsSign(const std::string& text) {
  for (unsigned char c : text)
    if (std::isalnum(c) || c >= 0x80) return false;
  return true;
}

// A control whose face shows text or a value the operator reads.
bool ShowsText(ui::Window* w) {
  if (IsTextStatic(w)) return !w->GetWindowText().empty();
  if (auto* b = dynamic_cast<ui::Button*>(w)) return b->Kind() != ui::BS_GROUPBOX;
  return dynamic_cast<ui::Edit*>(w) || dynamic_cast<ui::ComboBox*>(w) || dynamic_cast<ui::ListBox*>(w);
}

void Collect(ui::Window* w, std::vector<ui::Window*>& out) {
  for (ui::Window* c : w->Children()) {
    if (!c->IsWindowVisible()) continue;
    out.push_back(c);
    Collect(c, out);
  }
}

}  // namespace

std::vector<std::string> CheckLabelSizes(ui::Window* screen) {
  std::vector<std::string> out;
  std::vector<ui::Window*> parents{screen};
  for (size_t i = 0; i < parents.size(); ++i) {
    std::vector<ui::Static*> labels;
    for (ui::Window* c : parents[i]->Children()) {
      if (!c->IsWindowVisible()) continue;
      parents.push_back(c);
      if (IsTextStatic(c) && !c->GetWindowText().empty()) labels.push_back(static_cast<ui::Static*>(c));
    }
    for (size_t a = 0; a < labels.size(); ++a)
      for (size_t b = a + 1; b < labels.size(); ++b) {
        const ui::Rect ra = labels[a]->GetWindowRect(), rb = labels[b]->GetWindowRect();
        if (ra.Height() != rb.Height() || (ra.top != rb.top && ra.left != rb.left)) continue;
        if (!(*labels[a]->GetFont() == *labels[b]->GetFont())) continue;
        const int ha = std::abs(labels[a]->TextFont().height), hb = std::abs(labels[b]->TextFont().height);
        if (ha != hb)
          out.push_back("labels " + Describe(labels[a]) + " and " + Describe(labels[b]) + " of one " +
                        (ra.top == rb.top ? "row" : "column") + " draw their texts at " + std::to_string(ha) +
                        " and " + std::to_string(hb) + " px");
      }
  }
  return out;
}

double Contrast(draw::Color a, draw::Color b) {
  auto luminance = [](draw::Color c) {
    auto lin = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(draw::GetRValue(c)) + 0.7152 * lin(draw::GetGValue(c)) + 0.0722 * lin(draw::GetBValue(c));
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<std::string> CheckLabels(ui::Window* screen, const draw::Bitmap* shot) {
  std::vector<std::string> out;
  std::vector<ui::Window*> controls;
  Collect(screen, controls);
  std::vector<LabelText> labels;
  for (ui::Window* c : controls) {
    LabelText l;
    if (!TextOf(c, l)) continue;
    const std::string p = FitProblem(l);
    if (!p.empty()) out.push_back(Describe(c) + ": " + p);
    // Greyed text of a disabled control is meant to read as unavailable.
    if (shot && c->IsWindowEnabled())
      if (const std::string q = ContrastProblem(l, *shot); !q.empty()) out.push_back(Describe(c) + ": " + q);
    labels.push_back(l);
  }
  // A label's text keeps a blank's width clear of any other control that shows text beside it
  // (closer, it reads as running into the control: into a radio's mark, an edit box's frame; a
  // sign set between two fields, as the "+" of a value and its offset, only two pixels), and
  // two labels' texts keep at least two pixels apart side by side (else they read as one word).
  for (const LabelText& l : labels)
    for (ui::Window* o : controls) {
      if (o == l.control || !ShowsText(o) || o->IsChild(l.control) || l.control->IsChild(o)) continue;
      ui::Rect other = o->GetWindowRect();
      ui::Rect ink = l.ink.Inflate(IsSign(l.text) ? 2 : BlankWidth(l.font), -1);
      bool label = false;
      for (const LabelText& m : labels)
        if (m.control == o) {
          // Two lines' cells may share a pixel row where rounding puts them; the letters do not.
          other = m.ink;
          ink = l.ink.Inflate(2, -1);
          label = true;
        }
      if (label && o < l.control) continue;  // each pair of labels once
      if (ink.Intersects(other))
        out.push_back("the text of " + Describe(l.control) + " runs into " + Describe(o));
    }
  return out;
}
