#pragma once
// The frames of the front-end board link: 14-byte command frames in both directions, the
// run header and the histogram frames the board sends after a count, and their checks.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace analyzer {

constexpr uint8_t kFrameStart = 0x7E;
constexpr uint8_t kFrameEnd = 0xE7;
constexpr size_t kCommandFrameSize = 14;

// Byte 1 of a command frame.
enum FrameClass : uint8_t {
  FrameClassCommand = 0xAA,  // operations and their acknowledgements
  FrameClassData = 0xBB,     // requests for measured data
  FrameClassStatus = 0xCC,   // status queries and the board's reports
  FrameClassFault = 0xDD,    // refusals and faults; DD 00 from the PC: a frame failed its check
  FrameClassResend = 0x5A,   // 5A 01: send the last frame again
  FrameClassDebug = 0xEF,    // engineering commands
};

// Status byte of an acknowledgement: the operation is done.
constexpr uint8_t kReplyDone = 0xFF;

using CommandFrame = std::array<uint8_t, kCommandFrameSize>;

// XOR of the first length - 1 bytes; 0 when length is below 2. Applied to a frame from its
// byte 1 with length 12 it gives the check byte of a command frame.
uint8_t XorChecksum(const uint8_t* bytes, size_t length);

// 7E, class, command, p1 .. p9, check, E7. Parameters not given are 0.
CommandFrame BuildCommandFrame(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0);
CommandFrame BuildCommandFrame(uint8_t cls, uint8_t command, std::span<const uint8_t> params);

// The parameter pair of a signed value: p1 = 1 for zero or positive and 0 for negative,
// p2 = the low byte of the magnitude.
struct SignedParam {
  uint8_t sign = 1;
  uint8_t magnitude = 0;
};
SignedParam SplitSigned(int value);

// The check byte a command frame should carry (XOR of bytes 1 to 11).
uint8_t CommandFrameCheck(std::span<const uint8_t> frame);
// Byte 0 is 0x7E, byte 13 is 0xE7 and byte 12 holds the check.
bool CommandFrameValid(std::span<const uint8_t> frame);

// ---- Run header: 7E BB 04 L(2, big-endian) ... check E7; L + 2 bytes long, check at L.
constexpr size_t kRunHeaderMinLength = 10;  // L: the readings end at byte 9
struct RunHeader {
  uint16_t hgbBlank = 0xFFFF;   // bytes 6-7; 0 is taken as 65535
  uint16_t hgbSample = 1;       // bytes 8-9; 0 is taken as 1
  uint16_t rawBlank = 0;        // the readings as sent
  uint16_t rawSample = 0;
};
// Length field of a run header (bytes 3-4).
uint16_t RunHeaderLengthField(std::span<const uint8_t> frame);
// The check byte it should carry: XOR of bytes 1 to L-1.
uint8_t RunHeaderCheck(std::span<const uint8_t> frame);
// Complete (L + 2 bytes, start and end bytes) with a good check.
bool RunHeaderValid(std::span<const uint8_t> frame);
// Readings of a complete run header (not checked here).
RunHeader ParseRunHeader(std::span<const uint8_t> frame);
// Builds a run header with the given readings; `length` is L (at least 10), bytes 10..L-1
// are filled from `extra` (zeros where it runs out).
std::vector<uint8_t> BuildRunHeader(uint16_t blank, uint16_t sample, uint16_t length = 10,
                                    std::span<const uint8_t> extra = {});

// ---- Histogram frame: 7E 00 BB 00 channel x x bins... odd-check even-check E7.
enum HistogramChannel : uint8_t { ChannelWbc = 1, ChannelRbc = 2, ChannelPlt = 3 };
constexpr size_t kWbcBins = 256, kRbcBins = 256, kPltBins = 128;
// Frame length for a channel: 522 for WBC and RBC, 266 for PLT, 0 for another channel.
size_t HistogramFrameLength(uint8_t channel);
size_t HistogramBinCount(uint8_t channel);
struct HistogramChecks {
  uint8_t odd = 0;   // XOR of bytes 1, 3, 5 ... n-5 (belongs at n-3)
  uint8_t even = 0;  // XOR of bytes 2, 4, 6 ... n-4 (belongs at n-2)
};
HistogramChecks ComputeHistogramChecks(std::span<const uint8_t> frame);
bool HistogramFrameValid(std::span<const uint8_t> frame);
// The bins of a complete histogram frame, in order.
std::vector<uint16_t> ParseHistogramBins(std::span<const uint8_t> frame);
std::vector<float> ParseHistogramFloats(std::span<const uint8_t> frame);
// Builds a histogram frame; `bins` is cut or zero-padded to the channel's bin count.
std::vector<uint8_t> BuildHistogramFrame(uint8_t channel, std::span<const uint16_t> bins);

}  // namespace analyzer
