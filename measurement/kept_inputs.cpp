#include "measurement/kept_inputs.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <strings.h>

#include "analyzer/algorithm_input.h"

namespace measurement {
namespace {

// The screen-order positions of the six factors (see analyzer::PickAlgorithmFactors).
constexpr int kFactorScreenIndex[6] = {0, 8, 7, 10, 15, 16};

bool ReadLong(const std::string& s, long lo, long hi, long* out) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  const long v = std::strtol(s.c_str(), nullptr, 10);
  if (v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool ReadFloat(const std::string& s, float* out) {
  if (s.empty()) return false;
  errno = 0;
  char* end = nullptr;
  const float v = std::strtof(s.c_str(), &end);
  // A subnormal value is written like any other; the reader says ERANGE for it but gives it
  // exactly. A text that underflows to nothing is not one the writer makes.
  const bool subnormal = errno == ERANGE && std::fpclassify(v) == FP_SUBNORMAL;
  if ((errno != 0 && !subnormal) || end != s.c_str() + s.size() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

bool IsTimeText(const std::string& t) {
  if (t.size() != 8 || t[2] != ':' || t[5] != ':') return false;
  for (size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

}  // namespace

CountInputs KeptInputs::ToCountInputs() const {
  CountInputs c;
  c.bloodMode = bloodMode;
  c.wbcTimeTenths = wbcTimeTenths;
  for (int i = 0; i < 6; ++i) c.calibration[kFactorScreenIndex[i]] = factors[i];
  if (hasHgb) {
    c.hgbBlank = &hgbBlank;
    c.hgbSample = &hgbSample;
  }
  return c;
}

KeptInputs KeepInputs(const CountInputs& count, const bool stars[3], const std::string& testTime) {
  KeptInputs k;
  k.testTime = testTime;
  k.bloodMode = count.bloodMode;
  k.wbcTimeTenths = count.wbcTimeTenths;
  analyzer::PickAlgorithmFactors(count.calibration, k.factors);
  k.hasHgb = count.hgbBlank != nullptr && count.hgbSample != nullptr;
  if (k.hasHgb) {
    k.hgbBlank = *count.hgbBlank;
    k.hgbSample = *count.hgbSample;
  }
  for (int i = 0; i < 3; ++i) k.stars[i] = stars[i];
  return k;
}

std::string KeptInputsText(const KeptInputs& k) {
  char buf[64];
  std::string s = "time=" + k.testTime + " mode=" + std::to_string(k.bloodMode) +
                  " wbct=" + std::to_string(k.wbcTimeTenths) + " hgb=";
  s += k.hasHgb ? std::to_string(k.hgbBlank) + "/" + std::to_string(k.hgbSample) : std::string("-");
  s += " f=";
  for (int i = 0; i < 6; ++i) {
    // Nine significant digits read back to the same single-precision value.
    std::snprintf(buf, sizeof buf, "%s%.9g", i == 0 ? "" : ",", static_cast<double>(k.factors[i]));
    s += buf;
  }
  s += " stars=";
  for (bool b : k.stars) s += b ? '1' : '0';
  return s;
}

std::optional<KeptInputs> ParseKeptInputs(const std::string& text) {
  KeptInputs k;
  std::istringstream in(text);
  std::string word;
  bool seen[6] = {};
  static const char* const kKeys[6] = {"time", "mode", "wbct", "hgb", "f", "stars"};
  while (in >> word) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos) return std::nullopt;
    const std::string key = word.substr(0, eq), value = word.substr(eq + 1);
    int which = -1;
    for (int i = 0; i < 6; ++i)
      if (key == kKeys[i]) which = i;
    if (which < 0 || seen[which]) return std::nullopt;
    seen[which] = true;
    long v = 0;
    switch (which) {
      case 0:
        if (!IsTimeText(value)) return std::nullopt;
        k.testTime = value;
        break;
      case 1:
        if (!ReadLong(value, 0, 2, &v)) return std::nullopt;
        k.bloodMode = static_cast<int>(v);
        break;
      case 2:
        if (!ReadLong(value, 0, 255, &v)) return std::nullopt;
        k.wbcTimeTenths = static_cast<uint8_t>(v);
        break;
      case 3: {
        if (value == "-") {
          k.hasHgb = false;
          break;
        }
        const size_t slash = value.find('/');
        long blank = 0, sample = 0;
        if (slash == std::string::npos || !ReadLong(value.substr(0, slash), 0, 65535, &blank) ||
            !ReadLong(value.substr(slash + 1), 0, 65535, &sample))
          return std::nullopt;
        k.hasHgb = true;
        k.hgbBlank = static_cast<uint16_t>(blank);
        k.hgbSample = static_cast<uint16_t>(sample);
        break;
      }
      case 4: {
        std::istringstream list(value);
        std::string item;
        int n = 0;
        while (std::getline(list, item, ',')) {
          if (n >= 6 || !ReadFloat(item, &k.factors[n])) return std::nullopt;
          ++n;
        }
        if (n != 6 || value.back() == ',') return std::nullopt;
        break;
      }
      case 5:
        if (value.size() != 3) return std::nullopt;
        for (int i = 0; i < 3; ++i) {
          if (value[i] != '0' && value[i] != '1') return std::nullopt;
          k.stars[i] = value[i] == '1';
        }
        break;
    }
  }
  for (bool s : seen)
    if (!s) return std::nullopt;
  return k;
}

std::optional<KeptInputs> KeptInputsOfRow(const std::string storedTexts[20], const std::string& testTime,
                                          const std::string& keptText) {
  for (int i = 0; i < 20; ++i)
    if (strcasecmp(storedTexts[i].c_str(), "- - -") != 0) return std::nullopt;
  std::optional<KeptInputs> k = ParseKeptInputs(keptText);
  if (!k || k->testTime != testTime) return std::nullopt;
  return k;
}

}  // namespace measurement
