// Fuzz target of the pulse-file functions: measuring, splitting and batch identification of any
// file content in each word layout, with any parameter file, and the identification and peak
// finder over the raw bytes with small, exactly-sized result arrays.
//
// The first input byte steers: bits 0-1 the layout folder (0 marker of layout 0, 1 no marker,
// 2 marker of layout 2), bit 2 a parameter file from the next 90 bytes (bit 3: only 60 of them).
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "algorithm/Zentil.h"

namespace {

std::string g_folders[3];
std::string g_para;
PulseIdenData g_iden;
// The record's pointers sit at unaligned offsets where the leak checker does not look for them;
// aligned copies keep its arrays visibly in use.
// (A plain array: it must outlive the leak check at exit.)
void* g_arrays[14];

std::string TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/zentil_fuzz_pulse_XXXXXX";
  if (mkdtemp(path.data()) == nullptr) std::abort();
  return path + "/";
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

// Clears the counts of the batch record, keeping its arrays.
void ClearCounts(PulseIdenData& d) {
  for (PulseIdenChannel& c : d.Channel) {
    c.Total = c.Stored = c.LastSlot = 0;
    std::memset(reinterpret_cast<std::uint8_t*>(&c) + offsetof(PulseIdenChannel, SlotCounts), 0,
                sizeof(std::uint32_t) * kPulseSlots);
  }
  d.ListCount = d.ListCount2 = d.ListLastSlot = 0;
  std::memset(reinterpret_cast<std::uint8_t*>(&d) + offsetof(PulseIdenData, ListSlotCounts), 0,
              sizeof(std::uint32_t) * kPulseSlots);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  for (std::string& f : g_folders) f = TempFolder();
  WriteFile(g_folders[0] + "DIFF_PEAK_BIN_VER_0.txt", nullptr, 0);
  WriteFile(g_folders[2] + "DIFF_PEAK_BIN_VER_2.txt", nullptr, 0);
  g_para = g_folders[1] + "para.bin";
  std::atexit([] {
    for (const std::string& f : g_folders) {
      for (const char* name : {"pulse.bin", "para.bin", "DIFF_PEAK_BIN_VER_0.txt",
                               "DIFF_PEAK_BIN_VER_2.txt"})
        unlink((f + name).c_str());
      rmdir(f.c_str());
    }
  });
  std::memset(&g_iden, 0, sizeof g_iden);
  if (AllocateMemoryForPulseIdenData(&g_iden) != 0) std::abort();
  int k = 0;
  for (const PulseIdenChannel& c : g_iden.Channel) {
    g_arrays[k++] = c.PeakHeights;
    g_arrays[k++] = c.PeakPositions;
    g_arrays[k++] = c.Widths;
  }
  for (void* p : {static_cast<void*>(g_iden.ListValue1), static_cast<void*>(g_iden.ListValue2),
                  static_cast<void*>(g_iden.ListValue3), static_cast<void*>(g_iden.ListIndex),
                  static_cast<void*>(g_iden.ListSpare)})
    g_arrays[k++] = p;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t steer = data[0];
  ++data;
  --size;
  const std::string folder = g_folders[(steer & 3) % 3];
  const char* para = nullptr;
  if ((steer & 4) && size >= 90) {
    WriteFile(g_para, data, (steer & 8) ? 60 : 90);
    para = g_para.c_str();
    data += 90;
    size -= 90;
  }
  const std::string path = folder + "pulse.bin";
  WriteFile(path, data, size);

  ClearCounts(g_iden);
  if (DoFilePulseIdentify(&g_iden, path.c_str(), para) != 0) std::abort();

  // Splitting into arrays smaller than the file needs.
  PulseDataLen len;
  if (GetPulseDataLen(&len, path.c_str()) != 0) std::abort();
  PulseDataLen half = {len.WbcWords / 2, len.RbcWords / 3, len.PltWords / 2 + 1,
                       len.Value1Count / 2, len.Value2Count, len.Value3Count / 3};
  PulseData d;
  std::memset(&d, 0, sizeof d);
  if (AllocateMemoryForPulseData(&d, &half) != 0) std::abort();
  if (ParsePulseData(&d, path.c_str()) != 0) std::abort();
  if (d.WbcFilled > d.WbcCapacity || d.PeakFilled > d.PeakCapacity) std::abort();
  DeallocateMemoryForPulseData(&d);

  // Identification and peak finding over the raw bytes with tiny result arrays.
  const std::uint32_t n = static_cast<std::uint32_t>(size / 2);
  std::vector<std::uint16_t> samples(n);
  if (n) std::memcpy(samples.data(), data, n * 2);
  std::vector<std::uint16_t> heights(3);
  std::vector<std::uint32_t> positions(2), widths(2);
  PulseResult r;
  std::memset(&r, 0, sizeof r);
  r.PeakHeights = heights.data();
  r.PeakCapacity = 3;
  r.PeakPositions = positions.data();
  r.PositionCapacity = 2;
  r.Widths = widths.data();
  PulseIdenPara p;
  const PulseIdenPara* thresholds = nullptr;
  if (size >= sizeof p && (steer & 16)) {
    std::memcpy(&p, data, sizeof p);
    thresholds = &p;
  }
  const std::uint8_t channel = static_cast<std::uint8_t>((steer >> 5) & 3);
  if (CbcPulseIdentify(&r, samples.data(), n, thresholds, channel) != 0) std::abort();
  if (r.Stored > 3 || r.Stored > r.Total) std::abort();
  std::vector<std::int16_t> signedSamples(n);
  if (n) std::memcpy(signedSamples.data(), data, n * 2);
  if (CbcFindPeak(&r, signedSamples.data(), static_cast<std::int32_t>(n), nullptr, channel) != 0)
    std::abort();
  if (r.Stored > 3 || r.Stored > r.Total) std::abort();
  return 0;
}
