#include "analyzer/frame.h"

#include <algorithm>
#include <cstdlib>

namespace analyzer {

uint8_t XorChecksum(const uint8_t* bytes, size_t length) {
  if (bytes == nullptr || length < 2) return 0;
  uint8_t x = 0;
  for (size_t i = 0; i + 1 < length; ++i) x ^= bytes[i];
  return x;
}

CommandFrame BuildCommandFrame(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2) {
  const uint8_t params[2] = {p1, p2};
  return BuildCommandFrame(cls, command, std::span<const uint8_t>(params, 2));
}

CommandFrame BuildCommandFrame(uint8_t cls, uint8_t command, std::span<const uint8_t> params) {
  CommandFrame f{};
  f[0] = kFrameStart;
  f[1] = cls;
  f[2] = command;
  for (size_t i = 0; i < params.size() && i < 9; ++i) f[3 + i] = params[i];
  f[12] = XorChecksum(&f[1], 12);
  f[13] = kFrameEnd;
  return f;
}

SignedParam SplitSigned(int value) {
  SignedParam p;
  p.sign = value >= 0 ? 1 : 0;
  p.magnitude = static_cast<uint8_t>(std::abs(value) & 0xFF);
  return p;
}

uint8_t CommandFrameCheck(std::span<const uint8_t> frame) {
  if (frame.size() < 13) return 0;
  return XorChecksum(&frame[1], 12);
}

bool CommandFrameValid(std::span<const uint8_t> frame) {
  return frame.size() == kCommandFrameSize && frame[0] == kFrameStart && frame[13] == kFrameEnd &&
         frame[12] == CommandFrameCheck(frame);
}

uint16_t RunHeaderLengthField(std::span<const uint8_t> frame) {
  if (frame.size() < 5) return 0;
  return static_cast<uint16_t>((frame[3] << 8) | frame[4]);
}

uint8_t RunHeaderCheck(std::span<const uint8_t> frame) {
  const size_t l = RunHeaderLengthField(frame);
  if (l < 2 || frame.size() < l) return 0;
  return XorChecksum(&frame[1], l);  // bytes 1 .. L-1
}

bool RunHeaderValid(std::span<const uint8_t> frame) {
  if (frame.size() < kRunHeaderMinLength + 2) return false;
  const size_t l = RunHeaderLengthField(frame);
  if (l < kRunHeaderMinLength || frame.size() != l + 2) return false;
  return frame[0] == kFrameStart && frame[1] == FrameClassData && frame[2] == 0x04 &&
         frame[l + 1] == kFrameEnd && frame[l] == RunHeaderCheck(frame);
}

RunHeader ParseRunHeader(std::span<const uint8_t> frame) {
  RunHeader h;
  if (frame.size() < 10) return h;
  h.rawBlank = static_cast<uint16_t>((frame[6] << 8) | frame[7]);
  h.rawSample = static_cast<uint16_t>((frame[8] << 8) | frame[9]);
  h.hgbBlank = h.rawBlank == 0 ? 0xFFFF : h.rawBlank;
  h.hgbSample = h.rawSample == 0 ? 1 : h.rawSample;
  return h;
}

std::vector<uint8_t> BuildRunHeader(uint16_t blank, uint16_t sample, uint16_t length,
                                    std::span<const uint8_t> extra) {
  if (length < kRunHeaderMinLength) length = kRunHeaderMinLength;
  std::vector<uint8_t> f(static_cast<size_t>(length) + 2, 0);
  f[0] = kFrameStart;
  f[1] = FrameClassData;
  f[2] = 0x04;
  f[3] = static_cast<uint8_t>(length >> 8);
  f[4] = static_cast<uint8_t>(length & 0xFF);
  f[6] = static_cast<uint8_t>(blank >> 8);
  f[7] = static_cast<uint8_t>(blank & 0xFF);
  f[8] = static_cast<uint8_t>(sample >> 8);
  f[9] = static_cast<uint8_t>(sample & 0xFF);
  for (size_t i = 0; i < extra.size() && 10 + i < length; ++i) f[10 + i] = extra[i];
  f[length] = XorChecksum(&f[1], length);
  f[length + 1] = kFrameEnd;
  return f;
}

size_t HistogramBinCount(uint8_t channel) {
  switch (channel) {
    case ChannelWbc: return kWbcBins;
    case ChannelRbc: return kRbcBins;
    case ChannelPlt: return kPltBins;
    default: return 0;
  }
}

size_t HistogramFrameLength(uint8_t channel) {
  const size_t bins = HistogramBinCount(channel);
  return bins == 0 ? 0 : 7 + 2 * bins + 3;
}

HistogramChecks ComputeHistogramChecks(std::span<const uint8_t> frame) {
  HistogramChecks c;
  const size_t n = frame.size();
  if (n < 6) return c;
  for (size_t i = 1; i <= n - 5; i += 2) c.odd ^= frame[i];
  for (size_t i = 2; i <= n - 4; i += 2) c.even ^= frame[i];
  return c;
}

bool HistogramFrameValid(std::span<const uint8_t> frame) {
  const size_t n = frame.size();
  if (n < 10 || frame[0] != kFrameStart || frame[1] != 0x00 || frame[2] != FrameClassData ||
      frame[3] != 0x00 || n != HistogramFrameLength(frame[4]) || frame[n - 1] != kFrameEnd)
    return false;
  const HistogramChecks c = ComputeHistogramChecks(frame);
  return frame[n - 3] == c.odd && frame[n - 2] == c.even;
}

std::vector<uint16_t> ParseHistogramBins(std::span<const uint8_t> frame) {
  std::vector<uint16_t> bins;
  const size_t n = frame.size();
  if (n < 10) return bins;
  for (size_t i = 7; i + 1 <= n - 4; i += 2)
    bins.push_back(static_cast<uint16_t>((frame[i] << 8) | frame[i + 1]));
  return bins;
}

std::vector<float> ParseHistogramFloats(std::span<const uint8_t> frame) {
  const std::vector<uint16_t> bins = ParseHistogramBins(frame);
  return std::vector<float>(bins.begin(), bins.end());
}

std::vector<uint8_t> BuildHistogramFrame(uint8_t channel, std::span<const uint16_t> bins) {
  size_t count = HistogramBinCount(channel);
  if (count == 0) count = bins.size();  // a channel of our own choosing (tests of bad frames)
  const size_t n = 7 + 2 * count + 3;
  std::vector<uint8_t> f(n, 0);
  f[0] = kFrameStart;
  f[1] = 0x00;
  f[2] = FrameClassData;
  f[3] = 0x00;
  f[4] = channel;
  for (size_t i = 0; i < count; ++i) {
    const uint16_t v = i < bins.size() ? bins[i] : 0;
    f[7 + 2 * i] = static_cast<uint8_t>(v >> 8);
    f[8 + 2 * i] = static_cast<uint8_t>(v & 0xFF);
  }
  const HistogramChecks c = ComputeHistogramChecks(f);
  f[n - 3] = c.odd;
  f[n - 2] = c.even;
  f[n - 1] = kFrameEnd;
  return f;
}

}  // namespace analyzer
