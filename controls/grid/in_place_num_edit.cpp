#include "controls/grid/in_place_num_edit.h"

#include <algorithm>
#include <cstdio>

#include "platform/ui/keys.h"

std::string CInPlaceNumEdit::EditText(double value, const GridNumberFormat& f) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.9f", value);
  std::string t = buf;
  if (t.find('.') != std::string::npos) {
    while (!t.empty() && t.back() == '0') t.pop_back();
    if (!t.empty() && t.back() == '.') t.pop_back();
  }
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) t.erase(0, 1);
  if (!f.leadingZero && t.size() > 1 && t[0] == '0' && t[1] == '.') t.erase(0, 1);
  const size_t dot = t.find('.');
  if (dot != std::string::npos) t.replace(dot, 1, f.decimalSep);
  if (negative) {
    if (f.negativeOrder == 0) t = "(" + t + ")";
    else if (f.negativeOrder <= 2) t = f.negativeSign + t;
    else t += f.negativeSign;
  }
  return t;
}

bool CInPlaceNumEdit::Acceptable(const std::string& text, unsigned flags, const GridNumberFormat& f) {
  const bool decimals = flags & (CGridCellNumeric::kReal | CGridCellNumeric::kCurrency);
  const bool negatives = flags & CGridCellNumeric::kNegative;
  const std::string& sign = f.negativeSign;
  const int pattern = f.negativeOrder;
  int decimalsSeen = 0, signs = 0, opens = 0, closes = 0;
  for (size_t i = 0; i < text.size();) {
    if (text[i] >= '0' && text[i] <= '9') {
      ++i;
      continue;
    }
    if (decimals && text.compare(i, f.decimalSep.size(), f.decimalSep) == 0) {
      if (++decimalsSeen > 1) return false;
      i += f.decimalSep.size();
      continue;
    }
    if (negatives && !sign.empty() && text.compare(i, sign.size(), sign) == 0) {
      ++signs;
      if (pattern <= 2 && i != 0) return false;  // sign only in front
      if (pattern >= 3 && i + sign.size() != text.size()) return false;  // only at the end
      i += sign.size();
      continue;
    }
    if (negatives && pattern == 0 && text[i] == '(') {
      if (i != 0 || ++opens > 1) return false;
      ++i;
      continue;
    }
    if (negatives && pattern == 0 && text[i] == ')') {
      if (++closes > 1) return false;
      ++i;
      continue;
    }
    return false;
  }
  if (signs > 1 || (signs > 0 && (opens + closes) > 0)) return false;
  return true;
}

bool CInPlaceNumEdit::StartNumber(ui::Window* parent, const draw::Rect& rect, unsigned id, int row, int col,
                                  unsigned firstChar, unsigned flags, double value, const GridNumberFormat& format) {
  cellFlags_ = flags;
  format_ = format;
  const std::string text = EditText(value, format);
  lastGoodText_ = text;
  if (!Start(parent, rect, 0, id, row, col, text, firstChar)) return false;
  // Wide enough for the text and six spaces, not past the parent's right edge.
  if (auto dc = GetDC()) {
    dc->SelectFont(*GetFont());
    draw::Rect r = GetRectInParent();
    const int right = std::min(r.left + dc->GetTextExtent(text + "      ").cx, parent->GetClientRect().right);
    if (right > r.right) {
      r.right = right;
      MoveWindow(r, true);
    }
  }
  return true;
}

void CInPlaceNumEdit::OnChar(unsigned ch, unsigned repeat, unsigned flags) {
  if (ch == ui::VK_TAB || ch == ui::VK_RETURN) {
    CInPlaceEdit::OnChar(ch, repeat, flags);
    return;
  }
  if (ch == ui::VK_ESCAPE) {
    restoring_ = true;
    CInPlaceEdit::OnChar(ch, repeat, flags);
    return;
  }
  int s = 0, e = 0;
  GetSel(s, e);
  CInPlaceEdit::OnChar(ch, repeat, flags);
  if (!IsWindow() || restoring_) return;
  const std::string now = GetWindowText();
  if (Acceptable(now, cellFlags_, format_)) {
    lastGoodText_ = now;
    return;
  }
  restoring_ = true;
  SetWindowText(lastGoodText_);
  SetSel(s, e);
  restoring_ = false;
}

void CInPlaceNumEdit::OnKillFocus(ui::Window* next) {
  if (IsWindow() && GetWindowText().empty()) SetWindowText("0");
  CInPlaceEdit::OnKillFocus(next);
}
