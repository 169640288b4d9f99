// Batch identification: the three channels of a split pulse file and the list of peak words.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "algorithm/PulseFile.h"
#include "algorithm/RawdataIo.h"
#include "algorithm/Zentil.h"

using namespace zentil;

namespace {

constexpr std::size_t kParaRecordBytes = 30;

// The three threshold records of a parameter file; false when there is no path, no file or
// fewer than three whole records.
bool ReadParameterFile(const char* path, PulseIdenPara (&para)[3]) {
  if (path == nullptr) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  std::uint8_t bytes[3 * kParaRecordBytes];
  const std::size_t got = std::fread(bytes, kParaRecordBytes, 3, f);
  std::fclose(f);
  if (got != 3) return false;
  for (int c = 0; c < 3; ++c) {
    std::uint16_t fields[15];
    for (int k = 0; k < 15; ++k) fields[k] = LoadU16(bytes + c * kParaRecordBytes + 2 * k);
    std::memcpy(&para[c], fields, sizeof fields);
  }
  return true;
}

}  // namespace

extern "C" {

ZENTIL_API std::uint8_t DoPulseIdentify(PulseIdenData* idenData, const PulseData* data,
                                        const char* pulsePath, const char* paraPath) {
  if (idenData == nullptr || data == nullptr || pulsePath == nullptr) return 1;
  PulseIdenData& iden = *idenData;
  const PulseData& d = *data;

  PulseIdenPara para[3];
  const bool fromFile = ReadParameterFile(paraPath, para);

  const std::uint16_t* samples[3] = {d.Wbc, d.Rbc, d.Plt};
  const std::uint32_t filled[3] = {std::min(d.WbcFilled, d.WbcCapacity),
                                   std::min(d.RbcFilled, d.RbcCapacity),
                                   std::min(d.PltFilled, d.PltCapacity)};
  std::uint8_t result = 0;
  for (int c = 0; c < 3; ++c) {
    PulseIdenChannel& block = iden.Channel[c];
    PulseResult run;
    std::memset(&run, 0, sizeof run);
    run.PeakHeights = block.PeakHeights;
    run.PeakCapacity = kPulseWorkingEntries;
    run.PeakPositions = block.PeakPositions;
    run.PositionCapacity = kPulseWorkingEntries;
    run.Widths = block.Widths;
    run.WidthCapacity = kPulseWorkingEntries;
    const std::uint8_t r = CbcPulseIdentify(&run, samples[c], filled[c],
                                            fromFile ? &para[c] : nullptr,
                                            static_cast<std::uint8_t>(c));
    // A channel that could not run is reported, whichever channel it is.
    if (result == 0) result = r;
    block.Total = run.Total;
    block.Stored = run.Stored;
    std::memcpy(reinterpret_cast<std::uint8_t*>(&block) + offsetof(PulseIdenChannel, SlotCounts),
                reinterpret_cast<const std::uint8_t*>(&run) + offsetof(PulseResult, SlotCounts),
                sizeof(std::uint32_t) * kPulseSlots);
    block.LastSlot = run.LastSlot;
  }

  const int layout = PulseFileLayout(pulsePath);
  if (layout == 1 || layout == 2) {
    const std::uint32_t words =
        std::min({d.PeakFilled, d.PeakCapacity, kPulseWorkingEntries});
    const bool haveWords = d.Value1 != nullptr && d.Value2 != nullptr && d.Value3 != nullptr;
    const bool haveList = iden.ListValue1 != nullptr && iden.ListValue2 != nullptr &&
                          iden.ListValue3 != nullptr && iden.ListIndex != nullptr;
    iden.ListCount = 0;
    iden.ListCount2 = 0;
    if (words > 0 && (!haveWords || !haveList)) {
      if (result == 0) result = 3;
    } else {
      // Slot counts and the last slot add to what the record holds: the caller clears it.
      std::uint32_t slot = 0;
      for (std::uint32_t g = 0; g < words; ++g) {
        const std::uint16_t third = d.Value3[g];
        if (((third >> 10) & 0x3) == 1) {
          ++slot;
          if (slot < static_cast<std::uint32_t>(kPulseSlots)) iden.ListLastSlot = slot;
        }
        if (d.Value1[g] == 0) continue;
        const std::uint32_t n = iden.ListCount;
        iden.ListValue1[n] = d.Value1[g];
        iden.ListValue2[n] = d.Value2[g];
        iden.ListValue3[n] = static_cast<std::uint16_t>(third & 0x3FF);
        iden.ListIndex[n] = g;
        iden.ListCount = n + 1;
        iden.ListCount2 = n + 1;
        if (slot < static_cast<std::uint32_t>(kPulseSlots)) ++iden.ListSlotCounts[slot];
      }
    }
  }
  return result;
}

ZENTIL_API std::uint8_t DoFilePulseIdentify(PulseIdenData* idenData, const char* pulsePath,
                                            const char* paraPath) {
  if (idenData == nullptr || pulsePath == nullptr) return 1;
  PulseDataLen length;
  if (GetPulseDataLen(&length, pulsePath) != 0) return 2;
  PulseData data;
  std::memset(&data, 0, sizeof data);
  if (AllocateMemoryForPulseData(&data, &length) != 0) return 3;
  if (ParsePulseData(&data, pulsePath) != 0) {
    DeallocateMemoryForPulseData(&data);
    return 3;
  }
  const std::uint8_t result = DoPulseIdentify(idenData, &data, pulsePath, paraPath);
  DeallocateMemoryForPulseData(&data);
  return result;
}

}  // extern "C"
