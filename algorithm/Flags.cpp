// Flag rules: histogram flags, suspect and over-range marks, clinical rule flags, invalidation of
// values that cannot be trusted, and the marker characters. They run after the four channels.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "algorithm/Internal.h"
#include "algorithm/Numeric.h"

namespace zentil {
namespace {

// The auxiliary buffer is cleared only for a length the caller can plausibly own; a negative
// length (huge when taken unsigned) or one beyond this bound is not trusted with a clear.
constexpr std::uint32_t kMaxAuxBufferLength = 16u * 1024u * 1024u;

struct Rules {
  AlgorithmResult& r;
  const AlgorithmInput& in;
  const FlagAlgorithmPara& para;

  float P(int i) const { return para.Threshold[i]; }

  void Suspect(std::initializer_list<int> slots) {
    for (int s : slots) r.SlotSuspect[s] = 1;
  }
  void WbcSlotsSuspect() {
    for (int s = 1; s <= 10; ++s) r.SlotSuspect[s] = 1;
  }
  void DiffSuspect() {
    for (std::uint8_t& b : r.DiffSuspect) b = 1;
  }
  void RbcSet() { Suspect({SlotHCT, SlotMCV, SlotMCH, SlotMCHC, SlotRDWSD, SlotRDWCV}); }
  void PltSet() { Suspect({SlotMPV, SlotPCT, SlotPDW, SlotPLCR, SlotPLCC}); }

  void InvalidateAux() {
    for (float& v : r.AuxWbc) v = kInvalid;
  }
  void InvalidateDiff() {
    r.GraPercent = r.LymPercent = r.MidPercent = kInvalid;
    r.GraCount = r.LymCount = r.MidCount = kInvalid;
  }
  void InvalidateRbcIndices() { r.MCV = r.MCH = r.MCHC = r.RDWCV = r.RDWSD = kInvalid; }
  void InvalidatePltIndices() { r.MPV = r.PCT = r.PDW = r.PLCR = r.PLCC = kInvalid; }

  void Run();
  void LowAndBlank();
  void Limits();
  void HgbHctCheck();
  void AuxFit();
  void WbcHistogram();
  void WbcThresholds();
  void RbcHistogram();
  void RbcTwoPeaks();
  void RbcThresholds();
  void PltHistogram();
  void PltThresholds();
  void PltScore();
  void ClearFlagsOfInvalid();
  void Markers();
};

float MaxOver(const float* v, int first, int last) {
  if (last < first) return 0.0f;
  float m;
  FindMaximumF32(m, v + first, last - first + 1);
  return m;
}
int FirstMaxAt(const float* v, int first, int last) {
  float m;
  return first + FindMaximumF32(m, v + first, last - first + 1);
}
float Mean5(const float* g, int centre) {
  float s = 0.0f;
  for (int k = centre - 2; k <= centre + 2; ++k)
    if (k >= 0 && k <= 255) s += g[k];
  return s / 5.0f;
}

void Rules::LowAndBlank() {
  if (r.WbcPulseSum < 200.0f) InvalidateDiff();
  if (r.RbcPulseSum < 200.0f) Suspect({SlotHCT, SlotMCV, SlotMCHC, SlotRDWSD, SlotRDWCV});
  if (in.UserPltUpper == 0 && r.PltPulseSum < 200.0f) PltSet();

  r.WbcLow = 0;
  if (r.WBC >= 0.0f && r.WBC <= 0.1f && r.AuxWbcValue < 1.0f) {
    r.WbcLow = 1;
    InvalidateAux();
    InvalidateDiff();
  }
  if (r.WBC >= 0.0f && r.WBC < 0.2f) std::memset(r.WbcCurve, 0, sizeof(r.WbcCurve));

  r.RbcLow = 0;
  if (r.RBC <= 0.01f || (r.RBC <= 0.05f && r.HGB <= 2.0f && r.HCT <= 0.5f)) {
    r.RbcLow = 1;
    InvalidateRbcIndices();
  }
  if (r.RBC < 0.03f) std::memset(r.RbcCurve, 0, sizeof(r.RbcCurve));

  r.PltLow = 0;
  if (r.PLT >= 0.0f && r.PLT <= 1.0f) {
    r.PltLow = 1;
    InvalidatePltIndices();
  }
  if (r.PLT >= 0.0f && r.PLT < 5.0f) std::memset(r.PltCurve, 0, sizeof(r.PltCurve));

  r.BlankSample = 0;
  if (r.WBC >= 0.0f && r.RBC >= 0.0f && r.HGB >= 0.0f && r.PLT >= 0.0f && r.RBC <= 0.05f &&
      r.HGB <= 2.0f && r.HCT <= 0.5f && r.WBC <= 1.0f && r.AuxWbcValue <= 1.0f && r.PLT <= 50.0f) {
    r.BlankSample = 1;
    InvalidateAux();
    InvalidateDiff();
    InvalidateRbcIndices();
    InvalidatePltIndices();
    std::memset(r.WbcCurve, 0, sizeof(r.WbcCurve));
    std::memset(r.RbcCurve, 0, sizeof(r.RbcCurve));
    std::memset(r.PltCurve, 0, sizeof(r.PltCurve));
  }
}

void Rules::Limits() {
  // Over the reportable range: the value stays, marked.
  std::memset(r.OverRange, 0, sizeof(r.OverRange));
  if (r.WBC > 100.0f) {
    r.OverRange[0] = 1;
    Suspect({SlotWBC});
    WbcSlotsSuspect();
  }
  if (r.RBC > 8.0f) {
    r.OverRange[1] = 1;
    Suspect({SlotRBC});
    RbcSet();
  }
  if (r.HGB > 250.0f) {
    r.OverRange[2] = 1;
    Suspect({SlotHGB, SlotMCH, SlotMCHC});
  }
  if (r.HCT > 67.0f) {
    r.OverRange[3] = 1;
    Suspect({SlotHCT, SlotMCV, SlotMCHC});
  }
  if (r.PLT > 1000.0f) {
    r.OverRange[4] = 1;
    Suspect({SlotPLT});
    PltSet();
  }

  // Over the measuring limit: the value cannot be reported.
  std::memset(r.OverLimit, 0, sizeof(r.OverLimit));
  if (r.WBC > 999.99f) {
    r.WBC = kInvalid;
    r.OverLimit[0] = 1;
    InvalidateAux();
    InvalidateDiff();
    Suspect({SlotRBC, SlotHGB, SlotPLT});
    RbcSet();
    PltSet();
  }
  if (r.RBC > 99.99f) {
    r.RBC = r.HCT = kInvalid;
    r.OverLimit[1] = 1;
    InvalidateRbcIndices();
    Suspect({SlotPLT});
    PltSet();
  }
  if (r.HGB > 300.0f) {
    r.MCH = r.MCHC = kInvalid;
    r.OverLimit[2] = 1;
  }
  if (r.HCT > 100.0f) {
    r.MCV = r.MCHC = kInvalid;
    r.OverLimit[3] = 1;
  }
  if (r.PLT > 9999.9f) {
    r.OverLimit[4] = 1;
    r.PLT = kInvalid;
    InvalidatePltIndices();
  }
  // A very high WBC disturbs the HGB reading.
  if (r.WBC > 100.0f && r.SlotSuspect[SlotWBC]) Suspect({SlotHGB, SlotMCH, SlotMCHC});
}

void Rules::HgbHctCheck() {
  r.HgbHctDisagree = 0;
  if (!(r.HGB > 0.0f)) return;
  r.HgbHctExpected = 0.3f * r.HGB;
  const float d = 0.3f * r.HGB - r.HCT;
  r.HgbHctDifference = d;
  if (std::fabs(d) > 5.0f) {
    r.HgbHctDisagree = 1;
    Suspect({SlotRBC, SlotPLT});
    RbcSet();
    PltSet();
  }
}

void Rules::AuxFit() {
  r.AuxFitRejected = 0;
  if (in.AuxDataFlag == 0) {
    r.AuxWbcValue = kInvalid;
    InvalidateAux();
  }
  const std::uint32_t length = static_cast<std::uint32_t>(in.AuxBufferLength);
  if (length < 1000 || length > kMaxAuxBufferLength) return;
  if (r.AuxFit[0] < 0.7f || std::fabs(r.AuxFit[1]) > 0.16f || std::fabs(r.AuxFit[2]) > 0.16f) {
    r.AuxFitRejected = 1;
    if (r.AuxBuffer != nullptr) std::memset(r.AuxBuffer, 0, length);
    InvalidateAux();
  }
}

void Rules::WbcHistogram() {
  if (r.WbcPulseSum < 200.0f) return;
  const float* sm = r.WbcSmoothed;
  const int l0 = r.WbcLines[0], l1 = r.WbcLines[1], l2 = r.WbcLines[2];
  const float u = r.WbcTopEndFraction;
  const float tot = SumF32(sm, l0, 255);
  const float low = SumF32(sm, 0, 19);
  const float mid40 = SumF32(sm, 40, 79);
  float gmax;
  const int gpos = FindMaximumF32(gmax, sm, 256);
  const int p1 = l1 - 1 >= l0 ? FirstMaxAt(sm, l0, l1 - 1) : l0;
  const float t1 = sm[l1];
  const float t2 = sm[l2];
  const float reach = 0.2f * static_cast<float>(l2 - l1);
  const int h = Trunc(static_cast<float>(l1) + (reach < 3.0f ? reach : 3.0f));
  const float m3 = MaxOver(sm, h, l2 - 1);
  const float m4 = MaxOver(sm, h, 254);
  const float m5 = MaxOver(sm, l2, 254);
  const float top = SumF32(sm, 249, 253) / 5.0f;
  const float share = r.WbcBelowLine0Share;
  const float gra = r.GraPercent, lym = r.LymPercent, mid = r.MidPercent;

  r.LF1 = (0.1f * tot < low || share > 5.0f) ? 1 : r.LF1;
  if ((0.32f * gmax < t1 && gra > 72.0f) || (u < 0.6f && lym > 60.0f && gra > 15.0f) ||
      (p1 > 40 && lym > 40.0f) || (p1 > 45 && lym > 5.0f))
    r.LF2 = 1;
  const float t1m3 = 1.2f * t1 > 0.98f * m3 ? 1.2f * t1 : 0.98f * m3;
  if (mid > 20.0f || (t2 > 0.4f * gmax && gra > 70.0f) || (t2 > 0.7f * m4 && mid > 13.0f) ||
      (t2 > 0.8f * m5 && mid > 13.0f) || (u > 0.8f && r.WBC > 15.0f && gra > 80.0f) ||
      (t2 > t1m3 && gra > 72.0f && 90.0f * u > static_cast<float>(l2)) ||
      (gpos < 70 && gpos > l1 && mid40 > 0.4f * tot))
    r.LF3 = 1;
  if (top > 0.2f * gmax) r.LF4 = 1;
  if (r.LF1 + r.LF2 + r.LF3 + r.LF4 > 1) r.MultipleLF = 1;

  if (r.LF1 || r.LF4) {
    r.WbcHistAbnormal = 1;
    Suspect({SlotWBC});
    WbcSlotsSuspect();
    DiffSuspect();
  }
  if (r.LF2) r.DiffSuspect[1] = r.DiffSuspect[2] = 1;
  if (r.LF3) r.DiffSuspect[0] = r.DiffSuspect[2] = 1;

  if (mid > 40.0f || (t2 > 0.9f * gmax && mid > 30.0f) || top > 0.6f * gmax || share > 30.0f) {
    InvalidateDiff();
    r.WbcHistAbnormal = 1;
  }
}

void Rules::WbcThresholds() {
  r.WbcHigh = r.WBC > P(0) ? 1 : 0;
  r.WbcLowThreshold = (r.WBC >= 0.01f && r.WBC < P(1)) ? 1 : 0;
}

void Rules::RbcHistogram() {
  // The two-peak flag is a rule of its own and does not feed this one.
  r.RbcHistAbnormal = 0;
  if (r.RbcPulseSum < 200.0f) return;
  const float* g = r.RbcSmoothed;
  const float rmax = MaxOver(g, 0, 255);
  if (0.1f * rmax < g[r.RbcLower & 0xFF] || 0.05f * rmax < g[r.RbcUpper & 0xFF] ||
      r.RDWSD == kInvalid) {
    r.RbcHistAbnormal = 1;
    Suspect({SlotRBC});
    RbcSet();
  }
}

void Rules::RbcTwoPeaks() {
  r.RbcTwoPeaks = 0;
  const float* g = r.RbcSmoothed;
  float rmax;
  const int main = FindMaximumF32(rmax, g, 256);
  if (r.RbcPulseSum < 500.0f || rmax < kTiny) return;
  PeakList peaks;
  FindPeaks(&peaks, g, 256, 4);
  for (int k = 0; k < peaks.Count; ++k) {
    const int pos = peaks.Peak[k];
    if (pos == main || g[pos] < kTiny) continue;
    const float d = g[pos] / rmax;
    int valley = pos < main ? peaks.End[k] : peaks.Start[k];
    if (valley > 255) valley = 255;  // the last segment ends at the array length
    if ((d > 0.3f && g[valley] / g[pos] < 0.75f) || d > 0.6f) {
      r.RbcTwoPeaks = 1;
      Suspect({SlotRDWSD, SlotRDWCV});
      return;
    }
  }
}

void Rules::RbcThresholds() {
  const float* g = r.RbcSmoothed;
  r.RbcHigh = r.RBC > P(14) ? 1 : 0;
  r.HgbLowThreshold = (r.HGB >= 1.0f && r.HGB < P(15)) ? 1 : 0;
  const bool counted = r.RBC >= 0.01f;
  r.RdwHigh = (counted && (r.RDWCV > P(16) || r.RDWSD > P(17))) ? 1 : 0;
  r.McvHigh = (counted && r.MCV > P(18)) ? 1 : 0;
  r.McvLow = (counted && r.MCV > 0.0f && r.MCV < P(19)) ? 1 : 0;
  r.MchcLow = (counted && r.MCHC > 0.0f && r.MCHC < P(20)) ? 1 : 0;

  // Score 1: implausibly concentrated cells (cold agglutinins, lipaemia).
  r.Score[0] = 0.0f;
  r.ScoreRule[0] = 0;
  float score = 0.0f;
  if (r.MCHC > 400.0f && r.MCH > 40.0f && r.RBC > 0.0f) score = 100.0f + 20.0f * (3.5f - r.RBC);
  if (r.MCHC > 400.0f && r.MCH > 40.0f) {
    const float rmax = MaxOver(g, 0, 255);
    const float ratio = rmax > kTiny ? g[r.RbcUpper & 0xFF] / rmax : 0.0f;
    const float score2 = 100.0f + 100.0f * (ratio - 0.04f);
    if (score2 > score) score = score2;
  }
  r.Score[0] = score;
  if (score >= P(21)) {
    r.ScoreRule[0] = 1;
    Suspect({SlotRBC});
    RbcSet();
  }

  r.ScoreRule[1] = 0;
  r.Score[1] = r.MCHC > 0.0f ? r.MCHC * 100.0f / 365.0f : 0.0f;
  if (r.Score[1] >= P(22)) {
    r.ScoreRule[1] = 1;
    Suspect({SlotHGB, SlotMCH, SlotMCHC});
  }

  r.ScoreRule[2] = 0;
  r.Score[2] = 0.0f;
  if (r.MCHC >= 0.0f && r.MCV >= 0.0f && r.RDWCV >= 0.0f && r.MCHC > 310.0f && r.MCV < 75.0f)
    r.Score[2] = r.RDWCV + 85.0f;
  if (r.Score[2] > P(23)) r.ScoreRule[2] = 1;
}

void Rules::PltHistogram() {
  r.PltHistAbnormal = 0;
  if (r.PltPulseSum < 100.0f) return;
  const float* g = r.PltSmoothed;
  const int lp = r.PltLower & 0xFF;
  const int up = r.PltUpper & 0xFF;
  const float a = Mean5(g, FirstMaxAt(g, 10, 39));
  float low;
  const int valley = 50 + FindMinimumF32(low, g + 50, 40);
  const float b = Mean5(g, valley);
  float c = 0.0f;
  if (up - 1 >= 10) {
    const int k = FirstMaxAt(g, 10, up - 1);
    c = k >= 251 ? 0.0f : Mean5(g, k);
  }
  if (c < kTiny) return;
  const float d = g[lp] / c;
  const float e = g[up] / c;
  if (d > 0.1f) {
    r.PF1 = 1;
    r.PltHistAbnormal = 1;
  }
  if (e > 0.2f) {
    r.PF2 = 1;
    r.PltHistAbnormal = 1;
  }
  if (IsInvalid(r.PDW) || r.PDW > 16.0f || r.PDW < 6.0f ||
      (r.PLCR > 45.0f && r.MPV > 13.0f && up > 90))
    r.PltHistAbnormal = 1;
  if (!r.PltHistAbnormal) return;
  Suspect({SlotPLT});
  PltSet();
  if (d > 0.5f || e > 1.1f || r.ChannelError[2] != 0 ||
      (g[up] > 1.2f * a && g[up] > 1.1f * b && b > 0.7f * a)) {
    r.PLT = kInvalid;
    InvalidatePltIndices();
  }
  if (e > 0.65f) InvalidatePltIndices();
}

void Rules::PltThresholds() {
  r.PltHigh = r.PLT > P(24) ? 1 : 0;
  r.PltLowThreshold = (r.PLT >= 1.0f && r.PLT < P(25)) ? 1 : 0;
}

void Rules::PltScore() {
  r.PltScore = 0.0f;
  r.PltScoreRule = 0;
  if (r.PltPulseSum < 200.0f) return;
  const float* g = r.PltSmoothed;
  const int lp = r.PltLower & 0xFF;
  const int up = r.PltUpper & 0xFF;
  const float pmax = MaxOver(g, 0, up - 1);
  if (pmax < kTiny) return;
  const float s1 = 100.0f + 100.0f * (g[lp] / pmax - 0.2f);
  const float s2 = 100.0f + 100.0f * (g[up] / pmax - 0.5f);
  float score = s1 > s2 ? s1 : s2;
  if (r.PLT > 60.0f && r.PDW > 0.0f && r.PDW + 80.0f > score) score = r.PDW + 80.0f;
  if (r.PLCR > 45.0f && r.MPV > 0.0f && up > 100) {
    const float s4 = 100.0f + 10.0f * (r.MPV - 13.0f);
    if (s4 > score) score = s4;
  }
  r.PltScore = score;
  if (score >= P(26)) {
    r.PltScoreRule = 1;
    Suspect({SlotPLT});
    PltSet();
  }
}

void Rules::ClearFlagsOfInvalid() {
  if (IsInvalid(r.WBC)) r.WbcHigh = r.WbcLowThreshold = r.SlotSuspect[SlotWBC] = 0;
  for (int k = 0; k < 10; ++k) {
    if (!IsInvalid(r.AuxWbc[k])) continue;
    const int slot = SlotAux0 + k;
    r.SlotSuspect[slot] = 0;
    if (k == 5) r.AuxRule[0] = r.AuxRule[1] = 0;
    if (k == 6) r.AuxRule[2] = r.AuxRule[3] = 0;
    if (k >= 7) r.AuxRule[k - 3] = 0;
  }
  if (IsInvalid(r.RBC)) r.RbcHigh = r.SlotSuspect[SlotRBC] = 0;
  if (IsInvalid(r.HGB)) r.HgbLowThreshold = r.SlotSuspect[SlotHGB] = 0;
  if (IsInvalid(r.RDWCV)) r.RdwHigh = r.SlotSuspect[SlotRDWCV] = 0;
  if (IsInvalid(r.RDWSD)) r.SlotSuspect[SlotRDWSD] = 0;
  if (IsInvalid(r.MCV)) r.McvHigh = r.McvLow = r.SlotSuspect[SlotMCV] = 0;
  if (IsInvalid(r.MCH)) r.SlotSuspect[SlotMCH] = 0;
  if (IsInvalid(r.MCHC)) r.MchcLow = r.SlotSuspect[SlotMCHC] = 0;
  if (IsInvalid(r.PLT)) r.PltHigh = r.PltLowThreshold = r.SlotSuspect[SlotPLT] = 0;
  for (int slot = SlotMPV; slot <= SlotPLCC; ++slot)
    if (IsInvalid(r.Values[slot])) r.SlotSuspect[slot] = 0;

  if (r.WbcLow) r.AuxFitRejected = r.WbcHistAbnormal = r.WbcHigh = r.WbcLowThreshold = 0;
  if (r.RbcLow) r.RbcHistAbnormal = r.RbcTwoPeaks = r.HgbLowThreshold = r.McvHigh = r.McvLow = 0;
  if (r.PltLow) r.PltHistAbnormal = r.PltHigh = r.PltLowThreshold = 0;
  if (r.BlankSample) {
    for (int slot : {SlotWBC, SlotRBC, SlotHGB, SlotHCT, SlotPLT}) r.SlotSuspect[slot] = 0;
    r.WbcHistAbnormal = r.WbcHigh = r.WbcLowThreshold = 0;
    r.RbcHistAbnormal = r.RbcTwoPeaks = r.HgbLowThreshold = r.McvHigh = r.McvLow = 0;
    r.PltHistAbnormal = r.PltHigh = r.PltLowThreshold = 0;
  }
}

void Rules::Markers() {
  static constexpr int kOverRangeSlot[5] = {SlotWBC, SlotRBC, SlotHGB, SlotHCT, SlotPLT};
  for (int k = 0; k < 25; ++k) {
    if (r.SlotSuspect[k]) r.SlotMarker[2 * k] = '*';
  }
  for (int i = 0; i < 5; ++i)
    if (r.OverRange[i]) r.SlotMarker[2 * kOverRangeSlot[i]] = '+';
}

void Rules::Run() {
  LowAndBlank();
  Limits();
  HgbHctCheck();
  AuxFit();
  WbcHistogram();
  WbcThresholds();
  RbcHistogram();
  RbcTwoPeaks();
  RbcThresholds();
  if (in.UserPltUpper == 0) PltHistogram();
  PltThresholds();
  if (in.UserPltUpper == 0) PltScore();
  ClearFlagsOfInvalid();
  Markers();
}

}  // namespace
}  // namespace zentil

extern "C" ZENTIL_API int FlagAlgorithmMain(AlgorithmResult* result, const AlgorithmInput* input) {
  // Both records are needed; without them there is nothing to flag.
  if (result == nullptr || input == nullptr) return 0;
  zentil::Rules rules{*result, *input, zentil::ActivePara().Flag};
  rules.Run();
  return 0;
}
