// The IP-address field and the date-time picker: controls made of numeric fields.
#include <algorithm>
#include <cstdio>

#include "platform/ui/controls/controls.h"
#include "platform/ui/keys.h"

namespace ui {

namespace {
void PaintFields(draw::DC& dc, Window* w, const std::vector<std::string>& texts, const std::vector<std::string>& seps,
                 int focusedField, bool focused, const draw::Brush* brush, std::vector<Rect>* rects) {
  const Rect rc = w->GetClientRect();
  if (brush) dc.FillRect(rc, *brush);
  Draw3dFrame(dc, rc, true);
  draw::Font old = dc.SelectFont(*w->GetFont());
  dc.SetBkMode(draw::BkMode::Transparent);
  const draw::TextMetrics tm = dc.GetTextMetrics();
  const Color ink = w->IsWindowEnabled() ? dc.GetTextColor() : SysColor(COLOR_GRAYTEXT);
  const int y = (rc.Height() - tm.height) / 2;
  int x = 4;
  if (rects) rects->clear();
  for (size_t i = 0; i < texts.size(); ++i) {
    const int fw = std::max(dc.GetTextExtent(texts[i].empty() ? "0" : texts[i]).cx, dc.GetTextExtent("00").cx) + 2;
    const Rect fr(x, y, x + fw, y + tm.height);
    if (rects) rects->push_back(fr);
    if (focused && static_cast<int>(i) == focusedField) {
      dc.FillSolidRect(fr, SysColor(COLOR_HIGHLIGHT));
      dc.SetTextColor(SysColor(COLOR_HIGHLIGHTTEXT));
    } else {
      dc.SetTextColor(ink);
    }
    Rect tr = fr;
    dc.DrawText(texts[i], &tr, draw::kDtCenter | draw::kDtSingleLine | draw::kDtNoPrefix);
    x = fr.right;
    if (i < seps.size()) {
      dc.SetTextColor(ink);
      const int sw = dc.GetTextExtent(seps[i]).cx;
      dc.TextOut(x + 1, y, seps[i]);
      x += sw + 2;
    }
  }
  dc.SelectFont(old);
}

std::vector<Rect> FieldRects(Window* w, const std::vector<std::string>& texts, const std::vector<std::string>& seps) {
  static thread_local draw::DC dc(draw::Bitmap::Create(1, 1));
  std::vector<Rect> rects;
  const Rect rc = w->GetClientRect();
  // Paint into a scratch bitmap of the same size to learn the field positions.
  draw::Bitmap scratch = draw::Bitmap::Create(std::max(1, rc.Width()), std::max(1, rc.Height()));
  draw::DC sdc(scratch);
  PaintFields(sdc, w, texts, seps, -1, false, nullptr, &rects);
  return rects;
}
}  // namespace

// --- IpAddress ------------------------------------------------------------------------------

void IpAddress::TakeOverState(Window& from) {
  if (auto* ip = dynamic_cast<IpAddress*>(&from)) {
    for (int i = 0; i < 4; ++i) fields_[i] = ip->fields_[i];
  }
}

void IpAddress::SyncText() {
  std::string t;
  if (!IsBlank()) {
    for (int i = 0; i < 4; ++i) t += (i ? "." : "") + (fields_[i].empty() ? std::string("0") : fields_[i]);
  }
  Window::OnSetText(t);
}

void IpAddress::SetAddress(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
  if (ForwardToUiThread([&] { SetAddress(b0, b1, b2, b3); })) return;
  const uint8_t b[4] = {b0, b1, b2, b3};
  for (int i = 0; i < 4; ++i) fields_[i] = std::to_string(b[i]);
  SyncText();
  Invalidate(true);
}

int IpAddress::GetAddress(uint8_t& b0, uint8_t& b1, uint8_t& b2, uint8_t& b3) const {
  uint8_t* b[4] = {&b0, &b1, &b2, &b3};
  int n = 0;
  for (int i = 0; i < 4; ++i) {
    *b[i] = fields_[i].empty() ? 0 : static_cast<uint8_t>(std::min(255, std::stoi(fields_[i])));
    n += !fields_[i].empty();
  }
  return n;
}

void IpAddress::ClearAddress() {
  if (ForwardToUiThread([&] { ClearAddress(); })) return;
  for (auto& f : fields_) f.clear();
  SyncText();
  Invalidate(true);
}

bool IpAddress::IsBlank() const {
  for (auto& f : fields_) {
    if (!f.empty()) return false;
  }
  return true;
}

void IpAddress::FieldChanged(int field) {
  SyncText();
  Invalidate(true);
  IpFieldNotify n;
  n.hdr.from = this;
  n.hdr.idFrom = GetDlgCtrlID();
  n.hdr.code = IPN_FIELDCHANGED;
  n.field = field;
  n.value = fields_[field].empty() ? -1 : std::stoi(fields_[field]);
  if (GetParent()) GetParent()->SendMessage(WM_NOTIFY, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&n));
  NotifyParent(EN_CHANGE);
}

LResult IpAddress::WindowProc(uint32_t msg, WParam w, LParam l) {
  if (msg == WM_SETTEXT) {
    // "a.b.c.d"; anything else leaves the fields blank.
    unsigned a, b, c, d;
    char extra;
    const char* t = l ? reinterpret_cast<const char*>(l) : "";
    if (std::sscanf(t, "%u.%u.%u.%u%c", &a, &b, &c, &d, &extra) == 4 && a < 256 && b < 256 && c < 256 && d < 256) {
      SetAddress(static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c), static_cast<uint8_t>(d));
    } else {
      ClearAddress();
    }
    return 1;
  }
  return Window::WindowProc(msg, w, l);
}

void IpAddress::OnChar(unsigned ch, unsigned, unsigned) {
  if (ch >= '0' && ch <= '9') {
    std::string& f = fields_[field_];
    if (f.size() >= 3) {
      if (field_ == 3) return;
      ++field_;
      fields_[field_].clear();
    }
    std::string& g = fields_[field_];
    g += static_cast<char>(ch);
    if (std::stoi(g) > 255) g = "255";
    if (g == "0" || (g.size() > 1 && g[0] == '0')) g = std::to_string(std::stoi(g));
    FieldChanged(field_);
    if (g.size() == 3 && field_ < 3) ++field_;
  } else if (ch == '.' || ch == ' ') {
    if (!fields_[field_].empty() && field_ < 3) ++field_;
    Invalidate(false);
  } else if (ch == 8) {
    if (fields_[field_].empty() && field_ > 0) --field_;
    if (!fields_[field_].empty()) {
      fields_[field_].pop_back();
      FieldChanged(field_);
    }
  }
}

void IpAddress::OnKeyDown(unsigned vk, unsigned, unsigned) {
  if (vk == VK_LEFT && field_ > 0) --field_;
  else if (vk == VK_RIGHT && field_ < 3) ++field_;
  else if (vk == VK_HOME) field_ = 0;
  else if (vk == VK_END) field_ = 3;
  else if (vk == VK_DELETE && !fields_[field_].empty()) {
    fields_[field_].clear();
    FieldChanged(field_);
  }
  Invalidate(false);
}

void IpAddress::OnLButtonDown(unsigned, Point pt) {
  if (GetFocus() != this) SetFocus();
  std::vector<std::string> t(fields_, fields_ + 4);
  auto rects = FieldRects(this, t, {".", ".", "."});
  for (int i = 0; i < 4 && i < static_cast<int>(rects.size()); ++i) {
    if (pt.x < rects[static_cast<size_t>(i)].right + 3) {
      field_ = i;
      break;
    }
    field_ = 3;
  }
  Invalidate(false);
}

void IpAddress::OnSetFocus(Window*) {
  focused_ = true;
  Invalidate(false);
}

void IpAddress::OnKillFocus(Window*) {
  focused_ = false;
  Invalidate(false);
}

void IpAddress::OnPaint(draw::DC& dc) {
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_EDIT);
  std::vector<std::string> t(fields_, fields_ + 4);
  PaintFields(dc, this, t, {".", ".", "."}, field_, focused_, brush, nullptr);
}

// --- DateTimePicker -------------------------------------------------------------------------

namespace {
int DaysIn(int year, int month) {
  static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
  return d[(month - 1 + 12) % 12];
}
}  // namespace

void DateTimePicker::TakeOverState(Window& from) {
  if (auto* d = dynamic_cast<DateTimePicker*>(&from)) time_ = d->time_;
}

int DateTimePicker::OnCreate() {
  time_ = sys::Clock::Now();
  time_.millisecond = 0;
  SyncText();
  return 0;
}

void DateTimePicker::SyncText() {
  char buf[32];
  if (TimeFormat()) std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", time_.hour, time_.minute, time_.second);
  else std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", time_.year, time_.month, time_.day);
  Window::OnSetText(buf);
}

void DateTimePicker::SetTime(const sys::LocalTime& t) {
  if (ForwardToUiThread([&] { SetTime(t); })) return;
  time_ = t;
  time_.day = std::clamp(time_.day, 1, DaysIn(time_.year, time_.month));
  SyncText();
  Invalidate(true);
}

void DateTimePicker::Notify() {
  SyncText();
  Invalidate(true);
  DateTimeNotify n;
  n.hdr.from = this;
  n.hdr.idFrom = GetDlgCtrlID();
  n.hdr.code = DTN_DATETIMECHANGE;
  n.time = time_;
  if (GetParent()) GetParent()->SendMessage(WM_NOTIFY, static_cast<WParam>(GetDlgCtrlID()), reinterpret_cast<LParam>(&n));
}

void DateTimePicker::SetField(int field, int value) {
  if (TimeFormat()) {
    if (field == 0) time_.hour = (value % 24 + 24) % 24;
    if (field == 1) time_.minute = (value % 60 + 60) % 60;
    if (field == 2) time_.second = (value % 60 + 60) % 60;
  } else {
    if (field == 0) time_.year = std::clamp(value, 1601, 9999);
    if (field == 1) time_.month = ((value - 1) % 12 + 12) % 12 + 1;
    if (field == 2) {
      const int n = DaysIn(time_.year, time_.month);
      time_.day = ((value - 1) % n + n) % n + 1;
    }
    time_.day = std::clamp(time_.day, 1, DaysIn(time_.year, time_.month));
  }
}

void DateTimePicker::StepField(int delta) {
  int v;
  if (TimeFormat()) v = field_ == 0 ? time_.hour : field_ == 1 ? time_.minute : time_.second;
  else v = field_ == 0 ? time_.year : field_ == 1 ? time_.month : time_.day;
  SetField(field_, v + delta);
  typed_ = -1;
  Notify();
}

void DateTimePicker::OnChar(unsigned ch, unsigned, unsigned) {
  if (ch < '0' || ch > '9') return;
  const int digit = static_cast<int>(ch - '0');
  const int width = (!TimeFormat() && field_ == 0) ? 4 : 2;
  typed_ = typed_ < 0 ? digit : typed_ * 10 + digit;
  int digits = 1;
  for (int t = typed_; t >= 10; t /= 10) ++digits;
  if (!TimeFormat() && field_ == 0 && digits < 4) {
    Invalidate(false);  // a year is taken once all four digits are in
    return;
  }
  SetField(field_, typed_);
  Notify();
  if (digits >= width) {
    typed_ = -1;
    if (field_ < 2) ++field_;
  }
}

void DateTimePicker::OnKeyDown(unsigned vk, unsigned, unsigned) {
  if (vk == VK_UP) StepField(1);
  else if (vk == VK_DOWN) StepField(-1);
  else if (vk == VK_LEFT && field_ > 0) { --field_; typed_ = -1; Invalidate(false); }
  else if (vk == VK_RIGHT && field_ < 2) { ++field_; typed_ = -1; Invalidate(false); }
  else if (vk == VK_HOME || vk == VK_END) { field_ = vk == VK_HOME ? 0 : 2; typed_ = -1; Invalidate(false); }
}

void DateTimePicker::OnLButtonDown(unsigned, Point pt) {
  if (GetFocus() != this) SetFocus();
  const Rect rc = GetClientRect();
  if (GetStyle() & DTS_UPDOWN && pt.x >= rc.right - 16) {
    StepField(pt.y < rc.Height() / 2 ? 1 : -1);
    return;
  }
  char a[8], b[8], c[8];
  if (TimeFormat()) {
    std::snprintf(a, sizeof a, "%02d", time_.hour);
    std::snprintf(b, sizeof b, "%02d", time_.minute);
    std::snprintf(c, sizeof c, "%02d", time_.second);
  } else {
    std::snprintf(a, sizeof a, "%04d", time_.year);
    std::snprintf(b, sizeof b, "%02d", time_.month);
    std::snprintf(c, sizeof c, "%02d", time_.day);
  }
  const std::string sep = TimeFormat() ? ":" : "-";
  auto rects = FieldRects(this, {a, b, c}, {sep, sep});
  field_ = 2;
  for (int i = 0; i < 3 && i < static_cast<int>(rects.size()); ++i) {
    if (pt.x < rects[static_cast<size_t>(i)].right + 2) {
      field_ = i;
      break;
    }
  }
  typed_ = -1;
  Invalidate(false);
}

void DateTimePicker::OnSetFocus(Window*) {
  focused_ = true;
  typed_ = -1;
  Invalidate(false);
}

void DateTimePicker::OnKillFocus(Window*) {
  focused_ = false;
  typed_ = -1;
  Invalidate(false);
}

void DateTimePicker::OnPaint(draw::DC& dc) {
  const draw::Brush* brush = QueryCtlColor(dc, CTLCOLOR_EDIT);
  char a[8], b[8], c[8];
  if (TimeFormat()) {
    std::snprintf(a, sizeof a, "%02d", time_.hour);
    std::snprintf(b, sizeof b, "%02d", time_.minute);
    std::snprintf(c, sizeof c, "%02d", time_.second);
  } else {
    std::snprintf(a, sizeof a, "%04d", time_.year);
    std::snprintf(b, sizeof b, "%02d", time_.month);
    std::snprintf(c, sizeof c, "%02d", time_.day);
  }
  const std::string sep = TimeFormat() ? ":" : "-";
  PaintFields(dc, this, {a, b, c}, {sep, sep}, field_, focused_, brush, nullptr);
  if (GetStyle() & DTS_UPDOWN) {
    const Rect rc = GetClientRect();
    const Rect up(rc.right - 16, 0, rc.right, rc.Height() / 2), down(rc.right - 16, rc.Height() / 2, rc.right, rc.bottom);
    dc.FillSolidRect(up, SysColor(COLOR_BTNFACE));
    dc.FillSolidRect(down, SysColor(COLOR_BTNFACE));
    Draw3dFrame(dc, up, false);
    Draw3dFrame(dc, down, false);
  }
}

}  // namespace ui
