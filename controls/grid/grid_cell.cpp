#include "controls/grid/grid_cell.h"

#include <algorithm>

#include "controls/grid/grid_ctrl.h"

const CGridDefaultCell* CGridCellBase::GetDefaultCell() const {
  const CGridCtrl* grid = GetGrid();
  if (!grid) return nullptr;
  return grid->GetDefaultCell(IsFixedRow(), IsFixedCol());
}

CGridCellBase& CGridCellBase::operator=(const CGridCellBase& other) {
  if (this == &other) return *this;
  SetGrid(other.GetGrid());
  SetText(other.GetText());
  SetImage(other.GetImage());
  SetData(other.GetData());
  SetState(other.GetState());
  SetFormat(other.GetFormat());
  SetTextClr(other.GetTextClr());
  SetBackClr(other.GetBackClr());
  SetFont(other.IsDefaultFont() ? nullptr : other.GetFont());
  SetMargin(other.GetMargin());
  return *this;
}

draw::Size CGridCellBase::GetTextExtent(const std::string& text, GridTextMeasurer* measurer) const {
  const CGridDefaultCell* def = GetDefaultCell();
  if (text.empty() || !measurer) {
    return def ? draw::Size(def->GetWidth(), def->GetHeight()) : draw::Size();
  }
  const draw::Font* fontPtr = GetFont();
  const draw::Font font = fontPtr ? *fontPtr : draw::Font();
  const unsigned format = GetFormat();
  draw::Size size;
  if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
    // Laid out in a box as wide as its widest line, nothing wraps: each line stands alone.
    size_t start = 0;
    while (true) {
      size_t end = text.find('\n', start);
      std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      draw::Size e = measurer->LineExtent(font, line.empty() ? std::string(" ") : line);
      if (line.empty()) e.cx = 0;
      size.cx = std::max(size.cx, e.cx);
      size.cy += e.cy;
      if (end == std::string::npos) break;
      start = end + 1;
    }
  } else {
    size = measurer->LineExtent(font, text);
  }
  const int margin = GetMargin();
  size.cx += measurer->Overhang(font);
  size.cx += 4 * margin;
  size.cy += 2 * margin;
  if (font.escapement == 900 || font.escapement == -900) {
    draw::Size turned(size.cy, size.cx + 4 * margin);
    size = turned;
  }
  return size;
}

void CGridCell::SetFont(const draw::Font* font) {
  if (!font) {
    font_.reset();
    return;
  }
  if (!font_) font_ = std::make_unique<draw::Font>();
  *font_ = *font;
}

unsigned CGridCell::GetFormat() const {
  if (format_ != static_cast<unsigned>(-1)) return format_;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFormat() : 0;
}

const draw::Font* CGridCell::GetFont() const {
  if (font_) return font_.get();
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetFont() : nullptr;
}

int CGridCell::GetMargin() const {
  if (margin_ != -1) return margin_;
  const CGridDefaultCell* def = GetDefaultCell();
  return def ? def->GetMargin() : 0;
}

void CGridCell::Reset() {
  CGridCellBase::Reset();
  text_.clear();
  image_ = -1;
  format_ = static_cast<unsigned>(-1);
  margin_ = -1;
  editing_ = false;
  grid_ = nullptr;
  editor_ = nullptr;
  textColour_ = CLR_DEFAULT;
  backColour_ = CLR_DEFAULT;
  font_.reset();
}

bool CGridCell::Edit(int row, int col, const draw::Rect& rect, draw::Point point, unsigned id,
                     unsigned firstChar) {
  if (!editing_) {
    const unsigned format = GetFormat();
    const int align = (format & DT_RIGHT) ? 2 : (format & DT_CENTER) ? 1 : 0;
    if (grid_) editor_ = grid_->CreateInPlaceEditor(row, col, rect, id, GetText(), firstChar, align);
    // Without an editor nothing could ever end the edit, so the cell is not marked editing.
    editing_ = editor_ != nullptr;
  } else if (editor_) {
    editor_->SendChar(firstChar);
  }
  return true;
}

void CGridCell::EndEdit() {
  if (editor_) editor_->EndEdit();
}

CGridDefaultCell::CGridDefaultCell() {
  draw::Font font;  // the message-box font of the desktop
  SetFont(&font, nullptr);
}

void CGridDefaultCell::SetFont(const draw::Font* font) {
  SetFont(font, GetGrid() ? GetGrid()->GetTextMeasurer() : nullptr);
}

void CGridDefaultCell::SetFont(const draw::Font* font, GridTextMeasurer* measurer) {
  if (!font) return;
  font_ = *font;
  if (!measurer) {
    ownMargin_ = 3;
    width_ = 40;
    height_ = 16;
    return;
  }
  ownMargin_ = measurer->LineExtent(font_, " ").cx;
  const draw::Size ref = measurer->LineExtent(font_, " XXXXXXXXXXXX ");
  width_ = ref.cx;
  height_ = ref.cy * 3 / 2;
}
