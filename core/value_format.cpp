#include "core/value_format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

std::array<int32_t, kUnitDecimalCount> UnitDecimals{};

namespace {

constexpr int kSlotOfDisplay[20] = {0, 0, 0, 0, 1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 12, 13};

std::string ToChars(double v, std::chars_format fmt, int precision) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, fmt, precision);
  if (r.ec != std::errc()) return std::string();
  return std::string(buf, r.ptr);
}

// Display indexes of the parameters ConvertUnit touches.
enum { kWBC = 0, kLYMA = 1, kMIDA = 2, kGRAA = 3, kLYMP = 4, kMIDP = 5, kGRAP = 6, kRBC = 7,
       kHGB = 8, kHCT = 9, kMCH = 11, kMCHC = 12, kPLT = 15, kPCT = 18 };

bool Is(const std::string& s, const char* a, const char* b = nullptr) {
  return s == a || (b != nullptr && s == b);
}

}  // namespace

int DecimalSlotOfDisplayIndex(int displayIndex) {
  if (displayIndex < 0 || displayIndex >= 20) return -1;
  return kSlotOfDisplay[displayIndex];
}

std::string FormatValue(float value, int displayIndex, int plain) {
  // %g: six significant digits, shortest of fixed and scientific.
  if (plain != 0) return ToChars(value, std::chars_format::general, 6);
  int slot = DecimalSlotOfDisplayIndex(displayIndex);
  int d = slot < 0 ? 0 : UnitDecimals[slot];
  if (d < 0 || d > 3) d = 2;
  return ToChars(value, std::chars_format::fixed, d);
}

float RoundToDecimals(float value, int decimals) {
  if (!IsValidParamValue(value)) return value;
  double f = std::pow(10.0, std::abs(decimals));
  if (decimals < 0) f = 1.0 / f;
  // Half away from zero on both sides: -1.255 and 1.255 round to the same magnitude.
  double scaled = static_cast<double>(value) * f;
  double cut = scaled >= 0 ? std::trunc(scaled + 0.5) : std::trunc(scaled - 0.5);
  return static_cast<float>(cut / f);
}

const char* BaseUnitOfSlot(int slot) {
  static const char* const kBase[kUnitSlotCount] = {"10^9/L", "10^12/L", "g/L", "%", "g/L", "10^9/L", "%"};
  return (slot >= 0 && slot < kUnitSlotCount) ? kBase[slot] : "";
}

double UnitScaleFromBase(int slot, const std::string& u) {
  if (u.empty() || u == BaseUnitOfSlot(slot)) return 1.0;
  switch (slot) {
    case kUnitWBC:
      if (Is(u, "10^3/uL")) return 1.0;
      if (Is(u, "10^2/uL", "10^2/mm^3")) return 10.0;
      break;
    case kUnitRBC:
      if (Is(u, "10^6/uL")) return 1.0;
      if (Is(u, "10^4/uL", "10^4/mm^3")) return 100.0;
      break;
    case kUnitHGB:
    case kUnitMCHC:
      if (u == "g/dL") return 0.1;
      if (u == "mg/dL") return 100.0;
      if (u == "mmol/L") return 1.0 / 16.11;
      break;
    case kUnitHCT:
      if (u == "L/L") return 0.01;
      break;
    case kUnitPLT:
      if (Is(u, "10^3/uL")) return 1.0;
      if (Is(u, "10^4/uL", "10^4/mm^3")) return 0.1;
      break;
    case kUnitPCT:
      if (u == "mL/L") return 10.0;
      break;
    default: break;
  }
  return 0.0;
}

std::array<int32_t, kUnitDecimalCount> DefaultUnitDecimals(const UnitTextSet& u) {
  std::array<int32_t, kUnitDecimalCount> d{};
  d.fill(1);
  d[0] = Is(u[kUnitWBC], "10^2/uL", "10^2/mm^3") ? 1 : 2;
  d[2] = Is(u[kUnitRBC], "10^4/uL", "10^4/mm^3") ? 0 : 2;
  d[3] = Is(u[kUnitHGB], "g/dL", "mmol/L") ? 1 : 0;
  d[4] = u[kUnitHCT] == "L/L" ? 3 : 1;
  d[7] = Is(u[kUnitMCHC], "g/dL", "mmol/L") ? 1 : 0;
  d[10] = Is(u[kUnitPLT], "10^4/uL", "10^4/mm^3") ? 1 : 0;
  d[12] = u[kUnitPCT] == "mL/L" ? 2 : 3;
  return d;
}

void ConvertUnit(float* v, const std::string* units, int mode) {
  auto valid = [&](int i) { return IsValidParamValue(v[i]); };

  // 1. Units. An invalid value is never multiplied: it would stop being recognisable as invalid.
  if (valid(kWBC) && Is(units[kWBC], "10^2/uL", "10^2/mm^3"))
    for (int i = kWBC; i <= kGRAA; ++i)
      if (valid(i)) v[i] *= 10.0f;
  if (valid(kRBC) && Is(units[kRBC], "10^4/uL", "10^4/mm^3")) v[kRBC] *= 100.0f;
  for (int i : {kHGB, kMCHC}) {
    if (!valid(i)) continue;
    if (units[i] == "g/dL") v[i] /= 10.0f;
    else if (units[i] == "mg/dL") v[i] *= 100.0f;
    else if (units[i] == "mmol/L") v[i] = static_cast<float>(v[i] / 16.11);
  }
  if (valid(kMCH) && units[kMCH] == "fmol") v[kMCH] = static_cast<float>(v[kMCH] / 65.59136);
  if (valid(kHCT) && units[kHCT] == "L/L") v[kHCT] /= 100.0f;
  if (valid(kPLT) && Is(units[kPLT], "10^4/uL", "10^4/mm^3")) v[kPLT] /= 10.0f;
  if (valid(kPCT) && units[kPCT] == "mL/L") v[kPCT] *= 10.0f;

  // 2. Rounding.
  for (int i = 0; i < 20; ++i) {
    if (!valid(i)) continue;
    int d;
    if (mode == 0) {
      d = UnitDecimals[kSlotOfDisplay[i]];
    } else {
      switch (i) {
        case kWBC: case kLYMA: case kMIDA: case kGRAA: case kRBC: d = 2; break;
        case kHGB: case kMCHC: d = Is(units[i], "g/dL", "mmol/L") ? 1 : 0; break;
        case kPLT: d = Is(units[i], "10^4/uL", "10^4/mm^3") ? 1 : 0; break;
        case kPCT: d = 3; break;
        default: d = 1; break;
      }
    }
    v[i] = RoundToDecimals(v[i], d);
  }

  // 3. The granulocytes are what is left of the WBC once lymphocytes and mid cells are taken
  // away; with any operand invalid there is nothing sound to compute, and the value as the
  // library gave it stays.
  if (valid(kWBC) && valid(kLYMA)) {
    if (valid(kMIDA)) v[kGRAA] = v[kWBC] - v[kLYMA] - v[kMIDA];
    if (valid(kLYMP) && valid(kMIDP)) v[kGRAP] = 100.0f - v[kLYMP] - v[kMIDP];
  }
}

std::string StrPrintf(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  va_list ap2;
  va_copy(ap2, ap);
  char small[256];
  int n = std::vsnprintf(small, sizeof small, fmt, ap);
  va_end(ap);
  std::string out;
  if (n < 0) {
    va_end(ap2);
    return out;
  }
  if (n < static_cast<int>(sizeof small)) {
    out.assign(small, n);
  } else {
    out.resize(n + 1);
    std::vsnprintf(out.data(), n + 1, fmt, ap2);
    out.resize(n);
  }
  va_end(ap2);
  return out;
}
