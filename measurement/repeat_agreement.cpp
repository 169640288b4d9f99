#include "measurement/repeat_agreement.h"

#include <algorithm>

#include "core/value_format.h"

namespace measurement {
namespace {

// The rules are kept in single precision, as the counts were always compared.
bool Disagree(int channel, float a, float b, float base) {
  // An uncomputed value (the library could not be used) cannot show that the counts agree, and
  // a result is never kept as agreeing when that was not judged: it counts as disagreeing, so a
  // third count is taken and the channel keeps the disagreement indicator.
  if (!IsValidParamValue(a) || !IsValidParamValue(b)) return true;
  const float d = std::fabs(b - a);
  const float r = d / base;  // base 0: infinite (or NaN for d 0, which compares false)
  if (channel != CountPlt) return r >= 0.08f && d >= 0.2f;
  const float lo = std::min(a, b), hi = std::max(a, b);
  if (lo <= 20.0f) return d > 25.0f;
  if (hi <= 50.0f) return d > 10.0f;
  if (hi <= 100.0f) return r >= 0.2f;
  return r >= 0.15f;
}

}  // namespace

CountHistograms RoundCount(const HistogramBuffers& b) {
  CountHistograms c;
  auto round = [](float v) -> uint16_t {
    if (!(v > 0.0f)) return 0;
    if (v >= 65535.0f) return 65535;
    return static_cast<uint16_t>(v + 0.5f);
  };
  for (size_t i = 0; i < kWbcChannels; ++i) c.wbc[i] = round(b.wbc[i]);
  for (size_t i = 0; i < kRbcChannels; ++i) c.rbc[i] = round(b.rbc[i]);
  for (size_t i = 0; i < kPltChannels; ++i) c.plt[i] = round(b.plt[i]);
  return c;
}

bool FirstCountsDisagree(int channel, float c1, float c2) { return Disagree(channel, c1, c2, c1); }

DisagreementMarks CheckFirstTwoCounts(const QuickValues& q) {
  DisagreementMarks m;
  for (int ch = 0; ch < 3; ++ch) m.channel[ch] = FirstCountsDisagree(ch, q.at(ch, 1), q.at(ch, 2));
  return m;
}

bool PairDisagrees(int channel, int pair, const QuickValues& q) {
  const float c1 = q.at(channel, 1), c2 = q.at(channel, 2), c3 = q.at(channel, 3);
  // Base of the ratio per channel (WBC, RBC, PLT) and pair (0, 1, 2).
  static const int kBaseCount[3][3] = {{2, 1, 1}, {2, 1, 2}, {3, 1, 1}};
  if (channel < 0 || channel > 2 || pair < 0 || pair > 2) return false;
  const float base = q.at(channel, kBaseCount[channel][pair]);
  switch (pair) {
    case 0: return Disagree(channel, c2, c3, base);
    case 1: return Disagree(channel, c1, c3, base);
    default: return Disagree(channel, c1, c2, base);
  }
}

}  // namespace measurement
