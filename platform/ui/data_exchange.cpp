#include "platform/ui/data_exchange.h"

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "platform/ui/dialog.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_class.h"

namespace ui {

namespace {
const char* kEnterInteger = "Please enter an integer.";
const char* kEnterNumber = "Please enter a number.";

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}
}  // namespace

bool ParseInteger(const std::string& text, long long& out) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(t.c_str(), &end, 10);
  if (errno == ERANGE || !end || *end != '\0') return false;
  out = v;
  return true;
}

bool ParseReal(const std::string& text, double& out) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  // Always the C locale: a decimal point, never a comma.
  std::istringstream in(t);
  in.imbue(std::locale::classic());
  double v = 0;
  in >> v;
  if (in.fail()) return false;
  char extra;
  if (in >> extra) return false;
  if (!std::isfinite(v)) return false;
  out = v;
  return true;
}

std::string FormatReal(double v, int digits) {
  std::ostringstream o;
  o.imbue(std::locale::classic());
  o.precision(digits);
  o << v;
  return o.str();
}

Window* DataExchange::PrepareControl(int id) {
  last_ = dialog_ ? dialog_->GetDlgItem(id) : nullptr;
  return last_;
}

void DataExchange::Fail(const std::string& prompt) {
  if (failed_) return;
  failed_ = true;
  MessageBox(dialog_, prompt, "", MB_OK | MB_ICONEXCLAMATION);
  if (last_ && last_->IsWindow()) {
    last_->SetFocus();
    if (last_->ClassName() == kClassEdit) last_->SendMessage(EM_SETSEL, 0, -1);
  }
}

void ExchangeControl(DataExchange& dx, int id, Window& control) {
  if (control.IsWindow() || !dx.GetDialog()) return;
  control.SubclassDlgItem(id, dx.GetDialog());
}

namespace {

template <class T>
void ExchangeInteger(DataExchange& dx, int id, T& value, long long lo, long long hi, bool rangePrompt) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (!dx.SaveAndValidate()) {
    w->SetWindowText(std::to_string(static_cast<long long>(value)));
    return;
  }
  long long v = 0;
  if (!ParseInteger(w->GetWindowText(), v)) {
    dx.Fail(kEnterInteger);
    return;
  }
  if (v < lo || v > hi) {
    if (rangePrompt) {
      dx.Fail("Please enter an integer between " + std::to_string(lo) + " and " + std::to_string(hi) + ".");
    } else {
      dx.Fail(kEnterInteger);
    }
    return;
  }
  value = static_cast<T>(v);
}

}  // namespace

void ExchangeText(DataExchange& dx, int id, std::string& value) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (dx.SaveAndValidate()) value = w->GetWindowText(); else w->SetWindowText(value);
}

void ExchangeText(DataExchange& dx, int id, int& value) {
  ExchangeInteger(dx, id, value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), false);
}
void ExchangeText(DataExchange& dx, int id, unsigned& value) {
  ExchangeInteger(dx, id, value, 0, std::numeric_limits<unsigned>::max(), false);
}
void ExchangeText(DataExchange& dx, int id, long& value) {
  ExchangeInteger(dx, id, value, std::numeric_limits<long>::min(), std::numeric_limits<long>::max(), false);
}
void ExchangeText(DataExchange& dx, int id, int16_t& value) { ExchangeInteger(dx, id, value, -32768, 32767, true); }
void ExchangeText(DataExchange& dx, int id, uint8_t& value) { ExchangeInteger(dx, id, value, 0, 255, true); }

void ExchangeText(DataExchange& dx, int id, float& value) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (!dx.SaveAndValidate()) {
    w->SetWindowText(FormatReal(value, 6));
    return;
  }
  double v = 0;
  if (!ParseReal(w->GetWindowText(), v) || std::fabs(v) > std::numeric_limits<float>::max()) {
    dx.Fail(kEnterNumber);
    return;
  }
  value = static_cast<float>(v);
}

void ExchangeText(DataExchange& dx, int id, double& value) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (!dx.SaveAndValidate()) {
    w->SetWindowText(FormatReal(value, 15));
    return;
  }
  double v = 0;
  if (!ParseReal(w->GetWindowText(), v)) {
    dx.Fail(kEnterNumber);
    return;
  }
  value = v;
}

void ExchangeCheck(DataExchange& dx, int id, int& value) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (dx.SaveAndValidate()) value = static_cast<int>(w->SendMessage(BM_GETCHECK));
  else w->SendMessage(BM_SETCHECK, static_cast<WParam>(value));
}

void ExchangeRadio(DataExchange& dx, int firstId, int& value) {
  if (dx.Failed()) return;
  Dialog* d = dx.GetDialog();
  Window* first = dx.PrepareControl(firstId);
  if (!d || !first) return;
  const auto& kids = d->Children();
  size_t i = 0;
  while (i < kids.size() && kids[i] != first) ++i;
  int index = 0;
  if (dx.SaveAndValidate()) value = -1;
  for (size_t j = i; j < kids.size(); ++j) {
    Window* w = kids[j];
    if (j > i && (w->GetStyle() & WS_GROUP)) break;
    if (w->ClassName() != kClassButton) continue;
    const uint32_t t = w->GetStyle() & BS_TYPEMASK;
    if (t != BS_RADIOBUTTON && t != BS_AUTORADIOBUTTON) continue;
    if (dx.SaveAndValidate()) {
      if (w->SendMessage(BM_GETCHECK) == BST_CHECKED) value = index;
    } else {
      w->SendMessage(BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED);
    }
    ++index;
  }
}

void ExchangeComboIndex(DataExchange& dx, int id, int& index) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (dx.SaveAndValidate()) index = static_cast<int>(w->SendMessage(CB_GETCURSEL));
  else w->SendMessage(CB_SETCURSEL, static_cast<WParam>(index));
}

void ExchangeComboText(DataExchange& dx, int id, std::string& value) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (dx.SaveAndValidate()) {
    value = w->GetWindowText();
  } else {
    const LResult i = w->SendMessage(CB_FINDSTRINGEXACT, static_cast<WParam>(-1), reinterpret_cast<LParam>(value.c_str()));
    if (i >= 0) w->SendMessage(CB_SETCURSEL, static_cast<WParam>(i)); else w->SetWindowText(value);
  }
}

void ExchangeListIndex(DataExchange& dx, int id, int& index) {
  if (dx.Failed()) return;
  Window* w = dx.PrepareControl(id);
  if (!w) return;
  if (dx.SaveAndValidate()) index = static_cast<int>(w->SendMessage(LB_GETCURSEL));
  else w->SendMessage(LB_SETCURSEL, static_cast<WParam>(index));
}

void ValidateMaxChars(DataExchange& dx, const std::string& value, int maxChars) {
  if (!dx.SaveAndValidate() || dx.Failed()) {
    if (!dx.SaveAndValidate() && !dx.Failed()) {
      // Towards the controls: the limit becomes the edit's length limit.
      // (The control of the preceding exchange is the one meant.)
    }
    return;
  }
  // Characters, not bytes: count UTF-8 lead bytes.
  int n = 0;
  for (unsigned char ch : value) n += (ch & 0xC0) != 0x80;
  if (n > maxChars) dx.Fail("Please enter no more than " + std::to_string(maxChars) + " characters.");
}

namespace {
template <class T>
void RangeCheck(DataExchange& dx, T v, T lo, T hi, bool integer) {
  if (!dx.SaveAndValidate() || dx.Failed()) return;
  if (v >= lo && v <= hi) return;
  if (integer) {
    dx.Fail("Please enter an integer between " + std::to_string(static_cast<long long>(lo)) + " and " +
            std::to_string(static_cast<long long>(hi)) + ".");
  } else {
    dx.Fail("Please enter a number between " + FormatReal(static_cast<double>(lo), 15) + " and " +
            FormatReal(static_cast<double>(hi), 15) + ".");
  }
}
}  // namespace

void ValidateRange(DataExchange& dx, int v, int lo, int hi) { RangeCheck(dx, v, lo, hi, true); }
void ValidateRange(DataExchange& dx, long v, long lo, long hi) { RangeCheck(dx, v, lo, hi, true); }
void ValidateRange(DataExchange& dx, unsigned v, unsigned lo, unsigned hi) { RangeCheck(dx, v, lo, hi, true); }
void ValidateRange(DataExchange& dx, uint8_t v, uint8_t lo, uint8_t hi) { RangeCheck(dx, v, lo, hi, true); }
void ValidateRange(DataExchange& dx, float v, float lo, float hi) {
  RangeCheck(dx, static_cast<double>(v), static_cast<double>(lo), static_cast<double>(hi), false);
}
void ValidateRange(DataExchange& dx, double v, double lo, double hi) { RangeCheck(dx, v, lo, hi, false); }

}  // namespace ui
