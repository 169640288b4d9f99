#include "tools/boardsim/blood_profile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <random>

namespace boardsim {
namespace {

// The analyzer's bath constants and the coincidence factors of its counting channels.
constexpr double kWbcDilution = 280.0, kWbcDilutionPre = 337.72;
constexpr double kRbcDilution = 18109.0, kRbcDilutionPre = 21476.0;
constexpr double kWbcRateDivisor = 25.6, kRbcRateDivisor = 10.4;
constexpr double kWbcCoincidence = 0.000058, kRbcCoincidence = 0.000062;
constexpr double kHgbConstant = 223.11;
constexpr double kRbcChannelFl = 250.0 / 256.0;
constexpr double kPltChannelFl = 0.225;
constexpr uint16_t kHgbBlank = 3400;

const BloodProfile kProfiles[] = {
    {"normal", 7.0f, 30.0f, 8.0f, 4.70f, 90.0f, 42.0f, 140.0f, 250.0f, 9.0f},
    {"anaemic", 6.0f, 32.0f, 8.0f, 3.30f, 76.0f, 50.0f, 85.0f, 320.0f, 8.5f},
    {"thrombocytopenic", 6.5f, 30.0f, 8.0f, 4.50f, 89.0f, 42.0f, 135.0f, 35.0f, 8.0f},
    {"leukocytosis", 24.0f, 12.0f, 6.0f, 4.60f, 88.0f, 43.0f, 138.0f, 300.0f, 9.0f},
    {"blank", 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f},
};

// The pulse rate the analyzer sees for a true rate m, after coincidence losses: the inverse
// of its correction m = -ln(1 - rate * k) / k.
double ObservedRate(double m, double k) { return (1.0 - std::exp(-m * k)) / k; }

double Gauss(double x, double mean, double sd) {
  const double z = (x - mean) / sd;
  return std::exp(-0.5 * z * z);
}

// Spreads `total` counts over bins by the weights; with noise each bin gets a normal
// approximation of a Poisson count.
std::vector<uint16_t> Spread(const std::vector<double>& weights, double total, std::mt19937& rng, bool noise) {
  double sum = 0;
  for (double w : weights) sum += w;
  std::vector<uint16_t> out(weights.size(), 0);
  if (sum <= 0 || total <= 0) return out;
  std::normal_distribution<double> n01(0.0, 1.0);
  for (size_t i = 0; i < weights.size(); ++i) {
    double e = total * weights[i] / sum;
    if (noise && e > 0) e += std::sqrt(e) * n01(rng);
    out[i] = static_cast<uint16_t>(std::clamp(std::lround(e), 0L, 65535L));
  }
  return out;
}

// The analyzer scales low and high platelet counts: x 0.85 below 30, rising to x 1 at 100;
// x 1 to x 1.1 from 400 to 800. The raw count that comes out at `plt`.
double UndoPltLinearity(double plt) {
  auto apply = [](double q) {
    if (q < 30) q *= 0.85;
    else if (q < 100) q *= 0.85 + 0.15 * (q - 30) / 70;
    if (q >= 800) q *= 1.1;
    else if (q >= 400) q *= 1 + 0.1 * (q - 400) / 400;
    return q;
  };
  double lo = 0, hi = plt * 2 + 10;
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    (apply(mid) < plt ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

}  // namespace

const BloodProfile& ProfileData(Profile p) { return kProfiles[static_cast<int>(p)]; }

const char* ProfileName(Profile p) { return kProfiles[static_cast<int>(p)].name; }

bool ProfileFromName(const std::string& name, Profile* out) {
  std::string lower;
  for (char c : name) lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  for (int i = 0; i < 5; ++i) {
    if (lower == kProfiles[i].name) {
      if (out) *out = static_cast<Profile>(i);
      return true;
    }
  }
  return false;
}

CountData GenerateCount(const BloodProfile& p, float countTimeSeconds, bool prediluted, uint32_t seed, bool noise) {
  std::mt19937 rng(seed);
  const double t = countTimeSeconds > 0 ? countTimeSeconds : 5.0;
  const double wbcDil = prediluted ? kWbcDilutionPre : kWbcDilution;
  const double rbcDil = prediluted ? kRbcDilutionPre : kRbcDilution;
  CountData d;
  const bool blank = p.wbc <= 0 && p.rbc <= 0 && p.plt <= 0;

  // WBC: lymphocytes, mid cells and granulocytes above a little debris below channel 10.
  {
    std::vector<double> w(256, 0.0);
    const double gra = std::max(0.0, 100.0 - p.lymPct - p.midPct);
    for (int i = 10; i < 256; ++i) {
      w[i] = p.lymPct / 6.0 * Gauss(i, 30, 6) + p.midPct / 7.0 * Gauss(i, 52, 7) + gra / 24.0 * Gauss(i, 130, 24);
    }
    double total;
    if (blank) {
      for (int i = 10; i < 60; ++i) w[i] = Gauss(i, 14, 6);
      total = 10;
    } else {
      const double m = p.wbc / (0.001 * wbcDil / kWbcRateDivisor);
      total = ObservedRate(m, kWbcCoincidence) * t;
    }
    d.wbc = Spread(w, total, rng, noise);
    for (int i = 3; i < 10; ++i) d.wbc[i] = static_cast<uint16_t>(d.wbc[i] + (blank ? 1 : 4));
  }

  // RBC: one population around the mean cell volume, with a falling tail of small particles.
  {
    std::vector<double> w(256, 0.0);
    double total;
    if (blank) {
      for (int i = 5; i < 60; ++i) w[i] = Gauss(i, 12, 8);
      total = 15;
    } else {
      const double m = p.rbc / (0.000001 * rbcDil / kRbcRateDivisor);
      // The analyzer corrects the centre for coincidence: MCV = centre / (m * 1e-5 + 1).
      const double centre = p.mcv * (1.0 + m * 0.00001) / kRbcChannelFl;
      const double sd = p.rdwSd / (1.683 * 1.55);  // the width holding the middle 60 %
      for (int i = 0; i < 255; ++i) w[i] = Gauss(i, centre, sd);
      total = ObservedRate(m, kRbcCoincidence) * t;
    }
    d.rbc = Spread(w, total, rng, noise);
    for (int i = 0; i < 24; ++i) d.rbc[i] = static_cast<uint16_t>(d.rbc[i] + (blank ? 0 : (24 - i) / 3));
  }

  // PLT: a log-normal volume distribution; the channels below 16 are the analyzer's noise.
  {
    std::vector<double> w(128, 0.0);
    double total;
    if (blank) {
      for (int i = 2; i < 30; ++i) w[i] = Gauss(i, 8, 4);
      total = 6;
    } else {
      const double sigma = 0.42;
      const double median = p.mpv / kPltChannelFl / std::exp(sigma * sigma / 2);
      for (int i = 16; i < 100; ++i) {
        const double z = (std::log(i + 0.5) - std::log(median)) / sigma;
        w[i] = std::exp(-0.5 * z * z) / (i + 0.5);
      }
      // The analyzer's count: PLT = (rate * 1.2 - 1.5) * 0.001 * dilution / divisor, then its
      // linearity correction, undone here.
      const double rate = (UndoPltLinearity(p.plt) / (0.001 * rbcDil / kRbcRateDivisor) + 1.5) / 1.2;
      total = rate * t;
    }
    d.plt = Spread(w, total, rng, noise);
    for (int i = 0; i < 14; ++i) d.plt[i] = static_cast<uint16_t>(d.plt[i] + (blank ? 0 : 2));
  }

  // HGB: absorbance ln(blank / sample) * K gives the haemoglobin.
  std::normal_distribution<double> jitter(0.0, noise ? 3.0 : 0.0);
  d.hgbBlank = static_cast<uint16_t>(std::lround(kHgbBlank + jitter(rng)));
  const double k = wbcDil / 280.0 * kHgbConstant;
  const double sample = d.hgbBlank * std::exp(-p.hgb / k);
  d.hgbSample = static_cast<uint16_t>(std::clamp(std::lround(sample), 1L, 65535L));
  return d;
}

}  // namespace boardsim
