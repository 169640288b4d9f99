#include "measurement/control_agreement.h"

#include <algorithm>
#include <cmath>

#include "core/value_format.h"

namespace measurement {
namespace {

// d / q1 >= limit, with a first count of 0 taken as an infinite ratio (d 0 is no difference).
bool RatioAtLeast(float d, float q1, float limit) {
  if (q1 > 0.0f) return d / q1 >= limit;
  return d > 0.0f;
}

}  // namespace

bool ControlCountsDisagree(int channel, float q1, float q2) {
  if (!IsValidParamValue(q1) || !IsValidParamValue(q2)) return false;
  const float d = std::fabs(q2 - q1);
  if (channel != CountPlt) return RatioAtLeast(d, q1, 0.08f) && d >= 0.2f;
  const float lo = std::min(q1, q2), hi = std::max(q1, q2);
  if (!(lo > 20.0f)) return false;
  if (hi <= 50.0f) return d > 10.0f;
  if (hi <= 100.0f) return RatioAtLeast(d, q1, 0.2f);
  return RatioAtLeast(d, q1, 0.15f);
}

DisagreementMarks CompareControlCounts(const QuickValues& q) {
  DisagreementMarks m;
  for (int ch = 0; ch < 3; ++ch) m.channel[ch] = ControlCountsDisagree(ch, q.at(ch, 1), q.at(ch, 2));
  return m;
}

}  // namespace measurement
