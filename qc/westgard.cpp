#include "qc/westgard.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/app_settings.h"
#include "core/value_format.h"
#include "qc/qc_names.h"

namespace qc {
namespace {

// A number as the run table and the settings show it (six significant digits, "%g"), in units
// of 1e-9 as an integer. The boundaries "exactly k SD" are decimal: 7.3 is exactly 3 SD from 7.0
// with SD 0.1, which neither single nor double precision can say.
using Fixed = long long;
constexpr int kFixedDecimals = 9;
constexpr Fixed kFixedMax = 1000000000000000000LL;  // 3 x this still fits

Fixed ToFixed(double v) {
  if (!std::isfinite(v)) return v < 0 ? -kFixedMax : kFixedMax;
  char text[40];
  std::snprintf(text, sizeof text, "%.6g", v);
  const char* p = text;
  const bool negative = *p == '-';
  if (negative) ++p;
  Fixed digits = 0;
  int exponent = 0;  // the value is digits x 10^exponent
  bool fraction = false;
  for (; *p && *p != 'e'; ++p) {
    if (*p == '.') {
      fraction = true;
      continue;
    }
    digits = digits * 10 + (*p - '0');
    if (fraction) --exponent;
  }
  if (*p == 'e') exponent += std::atoi(p + 1);
  exponent += kFixedDecimals;
  for (; exponent > 0; --exponent) {
    if (digits > kFixedMax / 10) return negative ? -kFixedMax : kFixedMax;
    digits *= 10;
  }
  for (; exponent < 0; ++exponent) digits = (digits + 5) / 10;
  return negative ? -digits : digits;
}

// The newest `n` runs as deviations from the target; empty when there are fewer or the
// parameter cannot be judged.
std::vector<Fixed> Newest(const std::vector<double>& runs, size_t n, double target, double sd) {
  if (target == 0.0 || sd == 0.0 || runs.size() < n) return {};
  std::vector<Fixed> d;
  const Fixed t = ToFixed(target);
  for (size_t i = runs.size() - n; i < runs.size(); ++i) d.push_back(ToFixed(runs[i]) - t);
  return d;
}

Fixed Abs(Fixed v) { return v < 0 ? -v : v; }

}  // namespace

bool BreaksOut3SD(const std::vector<double>& runs, double target, double sd) {
  const std::vector<Fixed> d = Newest(runs, 1, target, sd);
  return !d.empty() && Abs(d[0]) > 3 * ToFixed(sd);
}

bool Breaks2Out2SD(const std::vector<double>& runs, double target, double sd) {
  const std::vector<Fixed> d = Newest(runs, 2, target, sd);
  if (d.empty()) return false;
  const Fixed two = 2 * ToFixed(sd);
  for (Fixed x : d)
    if (!(Abs(x) > two)) return false;
  return true;
}

bool Breaks5SideSDTo2SD(const std::vector<double>& runs, double target, double sd) {
  const std::vector<Fixed> d = Newest(runs, 5, target, sd);
  if (d.empty()) return false;
  const Fixed one = ToFixed(sd), two = 2 * one;
  int high = 0, low = 0;
  for (Fixed x : d) {
    if (x > one && x <= two) ++high;
    else if (x < -one && x >= -two) ++low;
  }
  return high == 5 || low == 5;
}

bool Breaks7Side(const std::vector<double>& runs, double target, double sd) {
  const std::vector<Fixed> d = Newest(runs, 7, target, sd);
  if (d.empty()) return false;
  int high = 0, low = 0;
  for (Fixed x : d) {
    if (x > 0) ++high;
    else if (x < 0) ++low;
  }
  return high == 7 || low == 7;
}

std::vector<RuleBreak> JudgeNewestRun(const JudgeSettings& s, const std::vector<std::array<double, 20>>& runs) {
  using Check = bool (*)(const std::vector<double>&, double, double);
  static const Check kChecks[4] = {BreaksOut3SD, Breaks2Out2SD, Breaks5SideSDTo2SD, Breaks7Side};
  std::vector<RuleBreak> out;
  if (runs.empty()) return out;
  for (int rule = 0; rule < 4; ++rule) {
    if (s.rules[rule] != 1) continue;
    for (int p = 0; p < 20; ++p) {
      if (s.chosen[p] != 1) continue;
      // A new run without a usable value says nothing about this parameter.
      if (!UsableRunValue(runs.back()[p])) continue;
      std::vector<double> seq;
      for (const auto& r : runs)
        if (UsableRunValue(r[p])) seq.push_back(r[p]);
      if (kChecks[rule](seq, s.targets[p], s.sds[p])) out.push_back({rule, p});
    }
  }
  return out;
}

std::string RuleBreakMessage(const RuleBreak& b, int language) {
  static const char* const kTexts[4][5] = {
      {"项目%s失控:一次超出3SD", "Item %s is out of control:Once exceed 3SD", "El item %s esta fuera de control:Sobrepasa 3SD",
       "L'item %s est hors controle:Si superieur une fois 3DS", "Параметр %s поза контролем:Одного разу результат вийшов за 3SD"},
      {"项目%s失控:连续两次超出2SD", "Item %s is out of control:Consecutive twice exceed 2SD",
       "El item %s esta fuera de control:Sobrepasa 2SD,dos veces consecutivamente",
       "L'item %s est hors controle:Si superieur deux fois 2DS successivement",
       "Параметр %s поза контролем:Двічі вихід за 2SD"},
      {"项目%s失控:5次连续处于一侧的SD到2SD之间",
       "Item %s is out of control:Consecutive 5 times at the same side of bias between 1SD and 2SD",
       "El item %s esta fuera de control:Cinco veces consecutivamente,entre 1SD y 2SD,del mismo lado",
       "L'item %s est hors controle:Superieur cinq fois successivement situe entre 1SD et 2SD du meme cote",
       "Параметр %s поза контролем:5 разів перевищення лінійності між 1 SD та 2SD"},
      {"项目%s失控:7次连续偏向横轴一侧", "Item %s is out of control:Consecutive 7 times at the same side of bias",
       "El item %s esta fuera de control:7 veces consecutivamente,localizados en el mismo lado",
       "L'item %s est hors controle:7 fois successivement situe du meme cote",
       "Параметр %s поза контролем:7 разів вихід за базову лінію"},
  };
  const char* const* t = kTexts[b.rule & 3];
  std::string out = PickText(language, t[0], t[1], t[2], t[3], t[4]);
  const size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, kDisplayNames[b.param]);
  return out;
}

}  // namespace qc
