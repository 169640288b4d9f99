// Pulse files: measuring (GetPulseDataLen) and splitting (ParsePulseData).
#include "algorithm/PulseFile.h"

#include <cstdlib>
#include <cstring>

#include "algorithm/RawdataIo.h"
#include "algorithm/Zentil.h"

namespace zentil {

std::string PulseFileFolder(const char* path) {
  if (path == nullptr) return {};
  const std::size_t n = std::strlen(path);
  for (std::size_t k = n; k-- > 1;)
    if (path[k] == '\\' || path[k] == '/') return std::string(path, k + 1);
  return {};
}

int PulseFileLayout(const char* path) {
  const std::string folder = PulseFileFolder(path);
  if (FileExists((folder + kPulseLayout0Marker).c_str())) return 0;
  if (FileExists((folder + kPulseLayout2Marker).c_str())) return 2;
  return 1;
}

PulseWord DecodePulseWord(std::uint32_t w, int layout) {
  PulseWord out;
  if (layout == 1) {
    const std::uint32_t kind = w >> 30;
    if (kind == 0) {
      out.kind = PulseWord::kPeak;
      out.third = static_cast<std::uint16_t>((w >> 20) & 0x3FF);
    } else {
      out.kind = kind == 1 ? PulseWord::kWbc : kind == 2 ? PulseWord::kRbc : PulseWord::kPlt;
      out.first = static_cast<std::uint16_t>(w & 0x3FFF);
      out.second = static_cast<std::uint16_t>((w >> 16) & 0x3FFF);
      return out;
    }
  } else if (layout == 2) {
    if ((w >> 31) == 0) {
      out.kind = PulseWord::kPeak;
      out.third = static_cast<std::uint16_t>((w >> 20) & 0x7FF);
    } else {
      switch (w >> 28) {
        case 0xC: out.kind = PulseWord::kWbc; break;
        case 0xD: out.kind = PulseWord::kRbc; break;
        case 0xE: out.kind = PulseWord::kPlt; break;
        default: return out;
      }
      out.first = static_cast<std::uint16_t>(w & 0x1FFF);
      out.second = static_cast<std::uint16_t>((w >> 16) & 0xFFF);
      return out;
    }
  } else {
    return out;
  }
  out.first = static_cast<std::uint16_t>(w & 0x3FF);
  out.second = static_cast<std::uint16_t>((w >> 10) & 0x3FF);
  return out;
}

PulseRead ReadPulseFile(const char* path, std::uint8_t*& data, std::size_t& size) {
  data = nullptr;
  switch (FileSize(path, size)) {
    case SizeStatus::kCannotOpen: return PulseRead::kCannotOpen;
    case SizeStatus::kCannotSeek: return PulseRead::kCannotSeek;
    case SizeStatus::kOk: break;
  }
  data = static_cast<std::uint8_t*>(Allocate(size));
  if (data == nullptr) return PulseRead::kNoMemory;
  if (!ReadFile(path, data, size)) {
    std::free(data);
    data = nullptr;
    return PulseRead::kCannotOpen;
  }
  return PulseRead::kOk;
}

}  // namespace zentil

using namespace zentil;

extern "C" {

ZENTIL_API std::uint8_t GetPulseDataLen(PulseDataLen* length, const char* path) {
  if (length == nullptr) return 1;
  std::memset(length, 0, sizeof *length);
  std::uint8_t* data = nullptr;
  std::size_t size = 0;
  switch (ReadPulseFile(path, data, size)) {
    case PulseRead::kCannotOpen: return 2;
    case PulseRead::kCannotSeek: return 3;
    case PulseRead::kNoMemory: return 4;
    case PulseRead::kOk: break;
  }
  const int layout = PulseFileLayout(path);
  PulseDataLen counts{};
  // A trailing part shorter than a word is not a word.
  for (std::size_t at = 0; layout != 0 && size - at >= 4; at += 4) {
    const PulseWord word = DecodePulseWord(LoadU32(data + at), layout);
    switch (word.kind) {
      case PulseWord::kPeak: ++counts.Value1Count, ++counts.Value2Count, ++counts.Value3Count; break;
      case PulseWord::kWbc: counts.WbcWords += 2; break;
      case PulseWord::kRbc: counts.RbcWords += 2; break;
      case PulseWord::kPlt: counts.PltWords += 2; break;
      case PulseWord::kIgnored: break;
    }
  }
  std::free(data);
  std::memcpy(length, &counts, sizeof counts);
  return 0;
}

ZENTIL_API std::uint8_t ParsePulseData(PulseData* data, const char* path) {
  if (data == nullptr || path == nullptr) return 1;
  PulseData& d = *data;
  if (d.Wbc != nullptr) std::memset(d.Wbc, 0, std::size_t{d.WbcCapacity} * 2);
  if (d.Rbc != nullptr) std::memset(d.Rbc, 0, std::size_t{d.RbcCapacity} * 2);
  if (d.Plt != nullptr) std::memset(d.Plt, 0, std::size_t{d.PltCapacity} * 2);
  for (std::uint16_t* v : {d.Value1, d.Value2, d.Value3})
    if (v != nullptr) std::memset(v, 0, std::size_t{d.PeakCapacity} * 2);

  std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  switch (ReadPulseFile(path, bytes, size)) {
    case PulseRead::kCannotOpen:
    case PulseRead::kCannotSeek: return 2;
    case PulseRead::kNoMemory: return 3;
    case PulseRead::kOk: break;
  }
  const int layout = PulseFileLayout(path);

  struct Channel {
    std::uint16_t* words;
    std::uint32_t capacity;
    std::uint32_t filled;
  } channels[3] = {{d.Wbc, d.WbcCapacity, 0}, {d.Rbc, d.RbcCapacity, 0}, {d.Plt, d.PltCapacity, 0}};
  std::uint16_t* const v1 = d.Value1;
  std::uint16_t* const v2 = d.Value2;
  std::uint16_t* const v3 = d.Value3;
  const std::uint32_t peakCapacity = d.PeakCapacity;
  std::uint32_t peaks = 0;
  for (std::size_t at = 0; layout != 0 && size - at >= 4; at += 4) {
    const PulseWord word = DecodePulseWord(LoadU32(bytes + at), layout);
    if (word.kind == PulseWord::kIgnored) continue;
    if (word.kind == PulseWord::kPeak) {
      if (peaks < peakCapacity && v1 != nullptr && v2 != nullptr && v3 != nullptr) {
        v1[peaks] = word.first;
        v2[peaks] = word.second;
        v3[peaks] = word.third;
        ++peaks;
      }
      continue;
    }
    Channel& c = channels[word.kind - PulseWord::kWbc];
    // Both sample words must fit below the capacity.
    if (c.words != nullptr && std::uint64_t{c.filled} + 1 < c.capacity) {
      c.words[c.filled] = word.first;
      c.words[c.filled + 1] = word.second;
      c.filled += 2;
    }
  }
  std::free(bytes);
  d.WbcFilled = channels[0].filled;
  d.RbcFilled = channels[1].filled;
  d.PltFilled = channels[2].filled;
  d.PeakFilled = peaks;
  return 0;
}

}  // extern "C"
