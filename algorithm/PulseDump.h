// Debug dumps of pulse identification (not exported).
//
// When a file "SAVE_PULSE_INFO_1.txt" exists in the current directory, each identification run
// of channel 0, 1 or 2 writes every completed pulse to "pulse_info_wbc.csv" (rbc, plt) and the
// start and end positions of each stored pulse to "pulse_pos_wbc.dat" (rbc, plt). The analyzer
// wrote them to drive D:; here they go to the folder that stands for drive D (see
// DriveFolder in RawdataIo.h: $QUORVEX_DRIVE_D, else <drive root>/drive_d/), created when
// missing. A file that cannot be created is skipped.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace zentil {

inline constexpr char kPulseDumpSwitch[] = "SAVE_PULSE_INFO_1.txt";

// One pulse candidate as the identification follows it.
struct PulseCandidate {
  std::uint16_t peaky = 0;
  std::uint32_t peakx = 0;
  std::uint16_t starty = 0;
  std::uint32_t startx = 0;
  std::uint16_t endy = 0;
  std::uint32_t endx = 0;
  std::uint16_t fpeaky = 0;
  std::uint32_t fpeakx = 0;
  std::uint16_t bpeaky = 0;
  std::uint32_t bpeakx = 0;
  std::uint16_t valey = 0;
  std::uint32_t valex = 0;
  std::uint32_t width = 0;
  std::uint32_t top_width = 0;
  std::uint32_t peak_num = 0;
  std::uint8_t vale_flag = 0;
};

// The two dump files of one run; closed when the object ends.
class PulseDump {
 public:
  PulseDump() = default;
  PulseDump(const PulseDump&) = delete;
  PulseDump& operator=(const PulseDump&) = delete;
  ~PulseDump() { Close(); }

  // Opens the channel's files when the switch file is present; otherwise does nothing.
  void Open(std::uint8_t channel);
  // A row for every completed pulse while its number is at most 65000.
  void Pulse(std::uint32_t number, const PulseCandidate& c);
  // Start and end of a stored pulse, two little-endian u32.
  void Position(std::uint32_t startx, std::uint32_t endx);
  void Close();

  // File names of a channel's dumps inside the drive folder; empty for an unknown channel.
  static std::string InfoName(std::uint8_t channel);
  static std::string PositionName(std::uint8_t channel);

 private:
  std::FILE* info_ = nullptr;
  std::FILE* positions_ = nullptr;
};

}  // namespace zentil
