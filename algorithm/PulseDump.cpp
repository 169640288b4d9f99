// Debug dumps of pulse identification.
#include "algorithm/PulseDump.h"

#include "algorithm/RawdataIo.h"

namespace zentil {

namespace {
const char* ChannelName(std::uint8_t channel) {
  switch (channel) {
    case 0: return "wbc";
    case 1: return "rbc";
    case 2: return "plt";
    default: return nullptr;
  }
}
}  // namespace

std::string PulseDump::InfoName(std::uint8_t channel) {
  const char* name = ChannelName(channel);
  return name ? std::string("pulse_info_") + name + ".csv" : std::string();
}

std::string PulseDump::PositionName(std::uint8_t channel) {
  const char* name = ChannelName(channel);
  return name ? std::string("pulse_pos_") + name + ".dat" : std::string();
}

void PulseDump::Open(std::uint8_t channel) {
  Close();
  if (ChannelName(channel) == nullptr || !FileExists(kPulseDumpSwitch)) return;
  const std::string folder = DriveFolder('d');
  MakeFolders(folder);
  info_ = std::fopen((folder + InfoName(channel)).c_str(), "wb");
  positions_ = std::fopen((folder + PositionName(channel)).c_str(), "wb");
  if (info_ != nullptr)
    std::fputs("no,peaky,peakx,starty,startx,endy,endx,fpeaky,fpeakx,bpeaky,bpeakx,valey,valex,"
               "width,mean_rise_rate,top_width,peak_num,vale_flag\n",
               info_);
}

void PulseDump::Pulse(std::uint32_t number, const PulseCandidate& c) {
  if (info_ == nullptr || number > 65000) return;
  std::fprintf(info_, "%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,%u,0.00,%u,%u,%u,\n", number,
               unsigned{c.peaky}, c.peakx, unsigned{c.starty}, c.startx, unsigned{c.endy}, c.endx,
               unsigned{c.fpeaky}, c.fpeakx, unsigned{c.bpeaky}, c.bpeakx, unsigned{c.valey},
               c.valex, c.width, c.top_width, c.peak_num, unsigned{c.vale_flag});
}

void PulseDump::Position(std::uint32_t startx, std::uint32_t endx) {
  if (positions_ == nullptr) return;
  std::uint8_t bytes[8];
  for (int i = 0; i < 4; ++i) {
    bytes[i] = static_cast<std::uint8_t>(startx >> (8 * i));
    bytes[4 + i] = static_cast<std::uint8_t>(endx >> (8 * i));
  }
  std::fwrite(bytes, 1, sizeof bytes, positions_);
}

void PulseDump::Close() {
  if (info_ != nullptr) std::fclose(info_);
  if (positions_ != nullptr) std::fclose(positions_);
  info_ = positions_ = nullptr;
}

}  // namespace zentil
