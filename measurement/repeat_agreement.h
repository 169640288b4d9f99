#pragma once
// Whether repeated counts of one sample agree. After the second count the quick WBC, RBC and
// PLT values of counts 1 and 2 decide whether a third count is needed; after a third count the
// pair of counts whose histograms are combined is checked again, and a pair that still
// disagrees marks the channel's value with the disagreement indicator.
#include <cmath>

#include "measurement/histograms.h"

namespace measurement {

// Quick values of counts 1, 2 and 3 per channel: values[channel][count - 1].
struct QuickValues {
  float values[3][3] = {};
  float at(int channel, int count) const { return values[channel][count - 1]; }
};

// Counts 1 and 2 of a channel: relative differences are taken against count 1.
bool FirstCountsDisagree(int channel, float c1, float c2);

struct DisagreementMarks {
  bool channel[3] = {false, false, false};
  bool any() const { return channel[0] || channel[1] || channel[2]; }
};
// The marks after the second count; any mark orders a third count.
DisagreementMarks CheckFirstTwoCounts(const QuickValues& q);

// Pairs after a third count: 0 (count 2, count 3), 1 (count 1, count 3), 2 (count 1, count 2).
// The base of the ratio depends on the channel and the pair.
bool PairDisagrees(int channel, int pair, const QuickValues& q);

}  // namespace measurement
