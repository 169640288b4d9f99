#include "measurement/result_intake.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "core/value_format.h"

namespace measurement {

CountValues ComputeCountValues(const CountInputs& inputs, const HistogramBuffers& histograms) {
  auto in = std::make_unique<AlgorithmInput>();
  auto out = std::make_unique<AlgorithmResult>();
  FillAlgorithmInput(*in, inputs, histograms);
  CountValues v;
  v.status = CallAlgorithmMain(*out, *in);
  if (v.status == ZentilStatus::Computed) {
    v.wbc = out->WBC;
    v.rbc = out->RBC;
    v.plt = out->PLT;
  }
  return v;
}

void FormatCountValues(const CountValues& v, std::string* wbc, std::string* rbc, std::string* plt) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.2f", v.wbc);
  *wbc = buf;
  std::snprintf(buf, sizeof buf, "%.2f", v.rbc);
  *rbc = buf;
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(v.plt + 0.5f));
  *plt = buf;
}

void MeanOfTwoCounts(const CountHistograms& c1, const CountHistograms& c2, HistogramBuffers& out) {
  for (size_t i = 0; i < kWbcChannels; ++i) out.wbc[i] = static_cast<float>(unsigned(c1.wbc[i]) + c2.wbc[i]) * 0.5f;
  for (size_t i = 0; i < kRbcChannels; ++i) out.rbc[i] = static_cast<float>(unsigned(c1.rbc[i]) + c2.rbc[i]) * 0.5f;
  for (size_t i = 0; i < kPltChannels; ++i) out.plt[i] = static_cast<float>(unsigned(c1.plt[i]) + c2.plt[i]) * 0.5f;
}

namespace {

struct ChannelView {
  float* buffer;
  const uint16_t* one;
  const uint16_t* two;
  size_t n;
};

}  // namespace

void CombineThreeCounts(const CountHistograms& c1, const CountHistograms& c2, const QuickValues& q,
                        HistogramBuffers& b, bool stars[3]) {
  const ChannelView views[3] = {{b.wbc, c1.wbc, c2.wbc, kWbcChannels},
                                {b.rbc, c1.rbc, c2.rbc, kRbcChannels},
                                {b.plt, c1.plt, c2.plt, kPltChannels}};
  for (int ch = 0; ch < 3; ++ch) {
    const ChannelView& v = views[ch];
    const float q1 = q.at(ch, 1), q2 = q.at(ch, 2), q3 = q.at(ch, 3);
    if (!IsValidParamValue(q1) || !IsValidParamValue(q2) || !IsValidParamValue(q3)) {
      // A quick value the library could not compute chooses no pair: the first two counts, with
      // the channel marked as not shown to agree.
      stars[ch] = true;
      for (size_t i = 0; i < v.n; ++i) v.buffer[i] = static_cast<float>(unsigned(v.one[i]) + v.two[i]) * 0.5f;
      continue;
    }
    const float d32 = std::fabs(q3 - q2), d31 = std::fabs(q3 - q1), d21 = std::fabs(q2 - q1);
    float m = d32;
    if (d31 < m) m = d31;
    if (d21 < m) m = d21;
    bool any = false;
    if (d32 == m) {
      any = true;
      if (PairDisagrees(ch, 0, q)) stars[ch] = true;
      for (size_t i = 0; i < v.n; ++i) v.buffer[i] = (v.two[i] + v.buffer[i]) * 0.5f;
    }
    if (d31 == m) {
      any = true;
      if (PairDisagrees(ch, 1, q)) stars[ch] = true;
      for (size_t i = 0; i < v.n; ++i) v.buffer[i] = (v.one[i] + v.buffer[i]) * 0.5f;
    }
    if (d21 == m) {
      any = true;
      if (PairDisagrees(ch, 2, q)) stars[ch] = true;
      for (size_t i = 0; i < v.n; ++i) v.buffer[i] = static_cast<float>(unsigned(v.one[i]) + v.two[i]) * 0.5f;
    }
    if (!any) {
      // Differences that compare with nothing (NaN): the first two counts are what the sample
      // was meant to be computed from.
      for (size_t i = 0; i < v.n; ++i) v.buffer[i] = static_cast<float>(unsigned(v.one[i]) + v.two[i]) * 0.5f;
    }
  }
}

SampleValues TakeResult(const AlgorithmResult& r, ZentilStatus status, const std::string* units) {
  SampleValues s;
  s.computed = status == ZentilStatus::Computed;
  const float source[20] = {r.WBC,  r.LymCount, r.MidCount, r.GraCount, r.LymPercent, r.MidPercent, r.GraPercent,
                            r.RBC,  r.HGB,      r.HCT,      r.MCV,      r.MCH,        r.MCHC,       r.RDWSD,
                            r.RDWCV, r.PLT,     r.MPV,      r.PDW,      r.PCT,        r.PLCR};
  for (int i = 0; i < 20; ++i) s.values[i] = s.computed ? source[i] : kInvalidParamValue;
  s.originalWbc = s.values[0];

  const double wbcWidth = 1.5625, rbcWidth = 0.9765625, pltWidth = 0.234375;
  s.markers[0] = 15.0f;
  for (int k = 0; k < 3; ++k) s.markers[1 + k] = static_cast<float>((r.WbcLines[1 + k] + 1) * wbcWidth);  // line 0 is the fixed left end
  s.markers[4] = 25.0f;
  s.markers[5] = static_cast<float>((r.RbcUpper + 1) * rbcWidth);
  s.markers[6] = 2.0f;
  s.markers[7] = static_cast<float>((r.PltUpper + 1) * pltWidth);
  s.wbcMarkers[0] = s.markers[1];
  s.wbcMarkers[1] = s.markers[2];
  s.savedMarkers[0] = s.markers[1];
  s.savedMarkers[1] = s.markers[2];
  s.savedMarkers[2] = s.markers[6];
  s.savedMarkers[3] = s.markers[7];

  for (int i = 0; i < 20; ++i) s.marks[i] = s.values[i] == kInvalidParamValue ? 1 : 0;
  if (s.computed) {
    static const int kOverLimitIndex[5] = {0, 7, 8, 9, 15};  // WBC, RBC, HGB, HCT, PLT
    for (int k = 0; k < 5; ++k)
      if (r.OverLimit[k] == 1) s.marks[kOverLimitIndex[k]] = 1;
  }
  for (int i = 0; i < 20; ++i) s.incomplete = s.incomplete || s.marks[i] == 1;
  s.manualDiffAllowed = s.computed && s.values[0] > 0.2f && (s.marks[1] == 1 || s.marks[2] == 1);

  if (units != nullptr) ConvertUnit(s.values, units, 0);
  return s;
}

}  // namespace measurement
