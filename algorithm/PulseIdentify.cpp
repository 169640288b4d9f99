// Pulse identification in the sampled signal of one counting channel: a per-sample state
// machine over three samples in view, judged against 15 thresholds, with time-slot counts.
#include <cstring>

#include "algorithm/PulseDump.h"
#include "algorithm/Zentil.h"

using namespace zentil;

namespace {

constexpr char kPulseVersion[] = "1.0.3.130115";
constexpr std::uint16_t kValueMask = 0x0FFF;
constexpr std::uint16_t kTimeMark = 0x1000;

constexpr PulseIdenPara kDefaults[3] = {
    // Base MinPk MaxPk MinW MaxW StRise NxRise RiseSl FallSl Top MaxTopW MaxSt% End% Valley% MinValPk
    {220, 240, 4095, 8, 100, 2, 4, 10, 10, 3800, 16, 90, 12, 40, 0},    // WBC
    {50, 60, 4095, 14, 100, 5, 6, 4, 4, 3800, 12, 90, 12, 40, 80},      // RBC
    {200, 240, 4000, 14, 100, 20, 24, 16, 16, 3800, 12, 90, 12, 40, 320},  // PLT
};

// Signed arithmetic as wide as needed, so no threshold from a parameter file can overflow it.
using Wide = std::int64_t;

class PulseStateMachine {
 public:
  explicit PulseStateMachine(const PulseIdenPara& p) : p_(p) {}

  // One step with the values of samples i-2, i-1, i (cur is at position i). True when a pulse
  // completed; it is then in candidate().
  bool Step(Wide prev, Wide cur, Wide next, std::uint32_t i) {
    if (!inPulse_) {
      if (cur > p_.BaseLevel && prev > p_.BaseLevel && cur >= prev + p_.MinStartRise &&
          next >= cur + p_.MinNextRise) {
        c_ = PulseCandidate{};
        c_.starty = static_cast<std::uint16_t>(prev);
        c_.startx = i - 1;
        c_.peaky = static_cast<std::uint16_t>(cur);
        c_.peakx = i;
        inPulse_ = true;
      }
      return false;
    }
    if (cur > c_.peaky) {
      c_.peaky = static_cast<std::uint16_t>(cur);
      c_.peakx = i;
    }
    if (cur > prev && cur >= next) {  // a local top
      if (c_.vale_flag == 0) {
        if (cur > c_.fpeaky) {
          c_.fpeaky = static_cast<std::uint16_t>(cur);
          c_.fpeakx = i;
        }
      } else if (cur > c_.bpeaky) {
        c_.bpeaky = static_cast<std::uint16_t>(cur);
        c_.bpeakx = i;
      }
      ++c_.peak_num;
    }
    if (prev >= p_.TopLevel && cur >= p_.TopLevel) ++c_.top_width;
    if (next <= p_.BaseLevel || cur * 100 < Wide{p_.EndPercent} * c_.peaky) return Complete(cur, i);
    if (cur < prev && cur <= next) {  // a dip
      if ((cur - c_.starty) * 100 < (Wide{c_.peaky} - c_.starty) * p_.ValleyPercent ||
          c_.peaky < p_.MinValleyPeak)
        return Complete(cur, i);
      c_.valey = static_cast<std::uint16_t>(cur);
      c_.valex = i;
      c_.vale_flag = 1;
    }
    return false;
  }

  PulseCandidate& candidate() { return c_; }

  bool Accepted() const {
    const Wide peaky = c_.peaky, starty = c_.starty, endy = c_.endy;
    return p_.MinPeak <= peaky && peaky <= p_.MaxPeak && p_.MinWidth <= Wide{c_.width} &&
           Wide{c_.width} <= p_.MaxWidth && Wide{c_.top_width} <= p_.MaxTopWidth &&
           peaky - starty >= (Wide{c_.peakx} - Wide{c_.startx}) * p_.MinRiseSlope &&
           peaky - endy >= (Wide{c_.endx} - Wide{c_.peakx}) * p_.MinFallSlope &&
           starty * 100 <= Wide{p_.MaxStartPercent} * peaky;
  }

  void Reset() {
    c_ = PulseCandidate{};
    inPulse_ = false;
  }

 private:
  bool Complete(Wide cur, std::uint32_t i) {
    c_.endy = static_cast<std::uint16_t>(cur);
    c_.endx = i;
    return true;
  }

  PulseIdenPara p_;
  PulseCandidate c_;
  bool inPulse_ = false;
};

}  // namespace

extern "C" {

ZENTIL_API std::uint8_t GetPulseIdenParaDefault(PulseIdenPara* para, std::uint8_t channel) {
  if (para == nullptr) return 1;
  if (channel < 3)
    *para = kDefaults[channel];
  else
    std::memset(para, 0, sizeof *para);
  return 0;
}

ZENTIL_API std::uint8_t CbcPulseIdentify(PulseResult* result, const std::uint16_t* samples,
                                         std::uint32_t count, const PulseIdenPara* para,
                                         std::uint8_t channel) {
  PulseIdenPara thresholds;
  if (para != nullptr)
    std::memcpy(&thresholds, para, sizeof thresholds);
  else
    GetPulseIdenParaDefault(&thresholds, channel);
  if (result == nullptr) return 1;
  PulseResult& r = *result;
  r.Total = 0;
  r.Stored = 0;
  r.LastSlot = 0;
  std::memset(r.SlotCounts, 0, sizeof r.SlotCounts);
  if (count == 0) return 0;
  if (samples == nullptr) return 2;
  if (r.PeakHeights == nullptr) return 3;

  PulseDump dump;
  dump.Open(channel);

  auto value = [samples](std::uint32_t k) -> Wide { return samples[k] & kValueMask; };
  std::uint32_t marks = 0;
  for (std::uint32_t k = 0; k < 3 && k < count; ++k)
    if (samples[k] & kTimeMark) ++marks;

  PulseStateMachine machine(thresholds);
  std::uint32_t number = 0;
  for (std::uint32_t i = 3; i < count; ++i) {
    if (samples[i] & kTimeMark) ++marks;
    if (!machine.Step(value(i - 2), value(i - 1), value(i), i)) continue;
    PulseCandidate& c = machine.candidate();
    c.width = c.endx - c.startx + 1;
    ++number;
    dump.Pulse(number, c);
    if (machine.Accepted()) {
      if (r.Stored < r.PeakCapacity) {
        r.PeakHeights[r.Stored] = c.peaky;
        if (r.PeakPositions != nullptr && r.Stored < r.PositionCapacity)
          r.PeakPositions[r.Stored] = c.peakx;
        if (r.Widths != nullptr && r.Stored < r.PositionCapacity) r.Widths[r.Stored] = c.width;
        ++r.Stored;
        dump.Position(c.startx, c.endx);
      }
      ++r.Total;
      if (marks < static_cast<std::uint32_t>(kPulseSlots)) {
        r.LastSlot = marks;
        ++r.SlotCounts[marks];
      }
    }
    machine.Reset();
  }
  // A pulse still open at the end is dropped; the dump files close with `dump`.
  return 0;
}

ZENTIL_API void GetPulseIdentifyVersion(char* buffer, std::uint16_t length) {
  if (buffer == nullptr || length < sizeof kPulseVersion) return;
  std::memcpy(buffer, kPulseVersion, sizeof kPulseVersion);
}

}  // extern "C"
