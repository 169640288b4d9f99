// The drop-down list cell and the numeric cell.
#include "controls/grid/grid_cell_types.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "controls/grid/grid_ctrl.h"
#include "controls/grid/in_place_list.h"
#include "controls/grid/in_place_num_edit.h"
#include "platform/ui/app.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/styles.h"

// --- drop-down list cell -------------------------------------------------------------------

draw::Size CGridCellCombo::GetCellExtent(GridTextMeasurer* measurer) const {
  draw::Size s = CGridCell::GetCellExtent(measurer);
  s.cx += ui::GetSystemMetrics(ui::SM_CXVSCROLL);
  s.cy = std::max(s.cy, ui::GetSystemMetrics(ui::SM_CYHSCROLL));
  return s;
}

bool CGridCellCombo::Draw(draw::DC& dc, int row, int col, draw::Rect rect, bool eraseBackground) {
  CGridCtrl* grid = GetGrid();
  const int bar = ui::GetSystemMetrics(ui::SM_CYHSCROLL), barW = ui::GetSystemMetrics(ui::SM_CXVSCROLL);
  if (grid && grid->IsCellEditable(row, col) && !IsEditing() && rect.Width() > bar && rect.Height() > bar) {
    // The drop-down button at the right of the cell.
    const draw::Rect button(rect.right - barW, rect.top, rect.right, rect.top + bar);
    dc.FillSolidRect(button, ui::SysColor(ui::COLOR_BTNFACE));
    dc.FrameRect(button, draw::Brush::Solid(ui::SysColor(ui::COLOR_BTNSHADOW)));
    const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    const draw::Point arrow[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
    const draw::Brush oldBrush = dc.SelectBrush(draw::Brush::Solid(ui::SysColor(ui::COLOR_BTNTEXT)));
    const draw::Pen oldPen = dc.SelectPen(draw::Pen::Solid(ui::SysColor(ui::COLOR_BTNTEXT)));
    dc.Polygon(arrow, 3);
    dc.SelectBrush(oldBrush);
    dc.SelectPen(oldPen);
    rect.right = button.left - 1;
  }
  // While editing the list shows the text; the cell shows none.
  const std::string text = GetText();
  if (IsEditing()) CGridCell::SetText("");
  const bool ok = CGridCell::Draw(dc, row, col, rect, eraseBackground);
  if (IsEditing()) CGridCell::SetText(text);
  return ok;
}

bool CGridCellCombo::Edit(int row, int col, const draw::Rect& rect, draw::Point, unsigned id, unsigned firstChar) {
  if (IsEditing()) {
    if (GetEditWnd()) GetEditWnd()->SendChar(firstChar);
    return true;
  }
  CGridCtrl* grid = GetGrid();
  if (!grid || !grid->IsWindow()) return false;
  auto* list = new CInPlaceList();
  if (!list->Start(grid, draw::Rect(rect.left, rect.top, rect.right + 1, rect.bottom + 1), style_, id, row, col,
                   options_, GetText(), firstChar, rect.Height() + 1)) {
    delete list;
    return false;
  }
  SetEditor(list);
  return true;
}

CellEditorHandle* CGridCellCombo::GetEditWnd() const {
  return style_ == kDropDownList ? nullptr : CGridCell::GetEditWnd();
}

// --- numeric cell ----------------------------------------------------------------------------

const GridNumberFormat& UserNumberFormat() {
  static const GridNumberFormat format;
  return format;
}

namespace {

std::string Grouped(const std::string& digits, const GridNumberFormat& f) {
  if (f.grouping <= 0 || f.thousandSep.empty()) return digits;
  std::string out;
  const int n = static_cast<int>(digits.size());
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % f.grouping == 0) out += f.thousandSep;
    out += digits[i];
  }
  return out;
}

// The number in the format: grouped digits, the decimal part, sign or currency placement.
std::string FormatNumber(double value, bool currency, int digits, const GridNumberFormat& f) {
  // Rounded half away from zero at `digits` places, as the desktop formats numbers.
  long double scale = 1;
  for (int i = 0; i < digits; ++i) scale *= 10;
  const long double scaled = std::roundl(std::fabs(static_cast<long double>(value)) * scale);
  char buf[80];
  std::snprintf(buf, sizeof buf, "%.0Lf", scaled);
  std::string s = buf;
  if (static_cast<int>(s.size()) <= digits) s.insert(0, static_cast<size_t>(digits + 1 - static_cast<int>(s.size())), '0');
  std::string whole = s.substr(0, s.size() - static_cast<size_t>(digits));
  std::string frac = s.substr(s.size() - static_cast<size_t>(digits));
  if (!f.leadingZero && whole == "0" && !frac.empty()) whole.clear();
  std::string body = Grouped(whole, f);
  if (!frac.empty()) body += f.decimalSep + frac;
  const bool negative = value < 0 && scaled != 0;
  if (!currency) {
    if (!negative) return body;
    switch (f.negativeOrder) {
      case 0: return "(" + body + ")";
      case 2: return f.negativeSign + " " + body;
      case 3: return body + f.negativeSign;
      case 4: return body + " " + f.negativeSign;
      default: return f.negativeSign + body;
    }
  }
  const std::string& c = f.currencySymbol;
  if (!negative) {
    switch (f.currencyPositiveOrder) {
      case 1: return body + c;
      case 2: return c + " " + body;
      case 3: return body + " " + c;
      default: return c + body;
    }
  }
  switch (f.currencyNegativeOrder) {
    case 1: return f.negativeSign + c + body;
    case 3: return c + body + f.negativeSign;
    case 4: return "(" + body + c + ")";
    case 5: return f.negativeSign + body + c;
    default: return "(" + c + body + ")";
  }
}

}  // namespace

std::optional<std::pair<double, std::string>> CGridCellNumeric::ParseAndFormat(const std::string& input,
                                                                               unsigned flags,
                                                                               const GridNumberFormat& f) {
  const bool currency = flags & kCurrency, real = flags & kReal, negatives = flags & kNegative;
  std::string allowed = "0123456789";
  const std::string& dec = f.decimalSep;
  std::string text = input;
  if (negatives) {
    allowed += f.negativeSign;
    const int pattern = currency ? f.currencyNegativeOrder : f.negativeOrder;
    const bool parens = currency ? (pattern == 0 || pattern == 4 || pattern == 14 || pattern == 15) : pattern == 0;
    if (parens) allowed += "()";
  }
  if (real || currency) {
    if (!dec.empty() && dec != ".") {
      std::string swapped;
      for (size_t i = 0; i < text.size();) {
        if (text.compare(i, dec.size(), dec) == 0) {
          swapped += '.';
          i += dec.size();
        } else {
          swapped += text[i++];
        }
      }
      text = swapped;
    }
    allowed += '.';
  } else {
    const size_t p = text.find('.');
    if (p != std::string::npos) text.resize(p);
  }
  for (size_t i = text.size(); i-- > 0;)
    if (allowed.find(text[i]) == std::string::npos) text.erase(i, 1);
  if (negatives) {
    bool neg = false;
    std::string kept;
    for (char ch : text) {
      if (ch == '(' || ch == ')' || f.negativeSign.find(ch) != std::string::npos) neg = true;
      else kept += ch;
    }
    if (neg) text = "-" + kept;
  }
  if (text.empty() || text == "-") return std::nullopt;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  // Too many digits read as infinity, which no cell can show as a number: refused.
  if (!end || *end != '\0' || !std::isfinite(value)) return std::nullopt;
  std::string formatted = FormatNumber(value, currency, real || currency ? f.digits : 0, f);
  return std::make_pair(value, formatted);
}

void CGridCellNumeric::SetText(const std::string& text) {
  if (auto parsed = ParseAndFormat(text, flags_, Format())) {
    value_ = parsed->first;
    CGridCell::SetText(parsed->second);
  }
}

int CGridCellNumeric::SetFlags(unsigned flags) {
  if ((flags & kReal) && (flags & kCurrency)) return -1;
  const unsigned old = flags_;
  flags_ = flags;
  return static_cast<int>(old);
}

void CGridCellNumeric::SetNumber(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9f", value);
  SetText(buf);
  SetState(GetState() | GVIS_MODIFIED);
}

bool CGridCellNumeric::Edit(int row, int col, const draw::Rect& rect, draw::Point, unsigned id, unsigned firstChar) {
  if (IsEditing()) {
    if (GetEditWnd()) GetEditWnd()->SendChar(firstChar);
    return true;
  }
  CGridCtrl* grid = GetGrid();
  if (!grid || !grid->IsWindow()) return false;
  auto* edit = new CInPlaceNumEdit();
  if (!edit->StartNumber(grid, rect, id, row, col, firstChar, flags_, value_, Format())) {
    delete edit;
    return false;
  }
  SetEditor(edit);
  return true;
}
