// Pulse files: word layouts and decoding (not exported).
//
// A pulse file is a sequence of 32-bit little-endian words. Marker files in the pulse file's
// folder choose the layout: "DIFF_PEAK_BIN_VER_0.txt" layout 0 (not decoded), else
// "DIFF_PEAK_BIN_VER_2.txt" layout 2, else layout 1.
//   layout 1: bits 30-31 = 0 peak word (values in bits 0-9, 10-19, 20-29); 1/2/3 a WBC/RBC/PLT
//             channel word with two 14-bit sample words in bits 0-13 and 16-29.
//   layout 2: bit 31 = 0 peak word (value 3 in bits 20-30, its bit 10 a time mark);
//             top nibble 0xC/0xD/0xE a WBC/RBC/PLT channel word with bits 0-12 (value and time
//             mark) and bits 16-27; other top nibbles are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentil {

inline constexpr char kPulseLayout0Marker[] = "DIFF_PEAK_BIN_VER_0.txt";
inline constexpr char kPulseLayout2Marker[] = "DIFF_PEAK_BIN_VER_2.txt";

// The folder part of a pulse file's path, up to and including its last '\' or '/' (the first
// character is not examined); empty (the current directory) without one.
std::string PulseFileFolder(const char* path);
// 0, 1 or 2 by the marker files beside the pulse file.
int PulseFileLayout(const char* path);

struct PulseWord {
  enum Kind { kPeak, kWbc, kRbc, kPlt, kIgnored } kind = kIgnored;
  // Peak word: the three values. Channel word: the first two are the sample words.
  std::uint16_t first = 0, second = 0, third = 0;
};
PulseWord DecodePulseWord(std::uint32_t word, int layout);

// Whole pulse file in one read into zero-filled heap memory (released with std::free).
enum class PulseRead { kOk, kCannotOpen, kCannotSeek, kNoMemory };
PulseRead ReadPulseFile(const char* path, std::uint8_t*& data, std::size_t& size);

}  // namespace zentil
