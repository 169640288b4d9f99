// Reading raw-data record files: ReadRawdata and its conveniences, the kept read buffer, and
// the conversion of a read static record to the leading block of an algorithm input.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "algorithm/RawdataBuffer.h"
#include "algorithm/RawdataIo.h"

namespace zentil {

RawdataKept& KeptRawdata() {
  static RawdataKept kept;
  return kept;
}

void ReleaseKeptRawdata() {
  RawdataKept& kept = KeptRawdata();
  if (kept.data != nullptr) {
    std::memset(kept.data, 0, kept.size);
    std::free(kept.data);
  }
  kept = RawdataKept{};
}

bool KeepNewRawdataBuffer(std::size_t size) {
  ReleaseKeptRawdata();
  if (size == 0) return true;
  auto* data = static_cast<std::uint8_t*>(Allocate(size));
  if (data == nullptr) return false;
  RawdataKept& kept = KeptRawdata();
  kept.data = data;
  kept.size = size;
  return true;
}

namespace {

constexpr std::uint8_t kNullRecord = 1;
constexpr std::uint8_t kNoMemory = 3;
constexpr std::uint8_t kUnreadable = 4;

// A caller's array and the file's array of the same id, with their sizes in bytes by their
// counts; `available` is what the file's item really holds (less than its size when a shared
// count belongs to a longer item).
struct ArrayPair {
  void* mine;
  std::uint64_t mineBytes;
  const void* file;
  std::uint64_t fileBytes;
  std::uint64_t available;
};

// Copies equal-sized arrays; false when the sizes differ (nothing copied for that array).
bool CopyArray(const ArrayPair& a) {
  if (a.mineBytes != a.fileBytes) return false;
  if (a.mine != nullptr && a.file != nullptr && a.mine != a.file && a.fileBytes != 0)
    std::memmove(a.mine, a.file, static_cast<std::size_t>(std::min(a.fileBytes, a.available)));
  return true;
}

std::uint64_t Bytes(std::uint64_t count, std::uint64_t width) { return count * width; }

// Clamps a shared count to the elements that the referenced items of the last read hold.
std::uint32_t ClampShared(std::uint32_t shared, const std::uint16_t* const refs[],
                          const std::uint16_t* const keptRefs[], const std::uint32_t trueCounts[],
                          int n) {
  const RawdataKept& kept = KeptRawdata();
  if (kept.data == nullptr) return shared;
  for (int i = 0; i < n; ++i)
    if (refs[i] != nullptr && refs[i] == keptRefs[i]) shared = std::min(shared, trueCounts[i]);
  return shared;
}

}  // namespace
}  // namespace zentil

using namespace zentil;

extern "C" {

ZENTIL_API std::uint8_t ReadRawdata(RawdataHeader* header, RawdataStaticData* staticData,
                                    RawdataPointerData* pointerData, const char* path) {
  if (header == nullptr || staticData == nullptr || pointerData == nullptr) return kNullRecord;
  std::memset(header, 0, sizeof *header);
  std::memset(staticData, 0, sizeof *staticData);
  std::memset(pointerData, 0, sizeof *pointerData);

  std::size_t size = 0;
  FileSize(path, size);
  // A buffer still kept from an earlier read is released, never leaked.
  if (!KeepNewRawdataBuffer(size)) return kNoMemory;
  RawdataKept& kept = KeptRawdata();
  if (!ReadFile(path, kept.data, size)) {
    ReleaseKeptRawdata();
    return kUnreadable;
  }
  if (size == 0) return kRawdataDone;

  const std::uint8_t result =
      WalkRawdata(kept.data, kept.size, header, *staticData, pointerData, kept.counts, nullptr);
  kept.words1004 = staticData->Words1004;
  kept.words1005 = staticData->Words1005;
  kept.words1006 = staticData->Words1006;
  kept.words1015 = staticData->Words1015;
  kept.words1016 = staticData->Words1016;
  return result;
}

ZENTIL_API void ClearRawdata(void) { ReleaseKeptRawdata(); }

ZENTIL_API std::uint8_t GetRawdataStaticData(RawdataHeader* header, RawdataStaticData* staticData,
                                             RawdataPointerData* pointerData, const char* path) {
  const std::uint8_t result = ReadRawdata(header, staticData, pointerData, path);
  ClearRawdata();
  if (result == kNullRecord) return result;
  // The buffer is gone: leave no reference into it behind, only the by-value fields.
  RawdataStaticData& s = *staticData;
  s.Bytes0 = s.Bytes1 = s.Bytes2 = s.Bytes3 = nullptr;
  s.Words1001 = s.Words1002 = s.Words1003 = s.Words1004 = s.Words1005 = s.Words1006 = nullptr;
  s.Longs1007 = s.Longs1008 = s.Longs1009 = s.Longs1010 = nullptr;
  s.Words1015 = s.Words1016 = s.Words10001 = s.Words10004 = s.Words10007 = nullptr;
  RawdataPointerData& p = *pointerData;
  p.Words101 = p.Words102 = p.Words103 = nullptr;
  p.Bytes0 = nullptr;
  return result;
}

ZENTIL_API std::uint8_t GetRawdataPointerData(RawdataStaticData* mine, RawdataPointerData* minePtr,
                                              const char* path) {
  if (mine == nullptr || minePtr == nullptr) return 1;
  RawdataHeader header;
  RawdataStaticData file;
  RawdataPointerData filePtr;
  if (ReadRawdata(&header, &file, &filePtr, path) != kRawdataDone) {
    ClearRawdata();
    return 1;
  }
  const RawdataTrueCounts& real = KeptRawdata().counts;
  const RawdataStaticData& s = *mine;
  const ArrayPair statics[] = {
      {s.Bytes0, s.Bytes0Count, file.Bytes0, file.Bytes0Count, file.Bytes0Count},
      {s.Bytes1, s.Bytes1Count, file.Bytes1, file.Bytes1Count, file.Bytes1Count},
      {s.Bytes2, s.Bytes2Count, file.Bytes2, file.Bytes2Count, file.Bytes2Count},
      {s.Bytes3, s.Bytes3Count, file.Bytes3, file.Bytes3Count, file.Bytes3Count},
      {s.Words1001, Bytes(s.Words1001Count, 2), file.Words1001, Bytes(file.Words1001Count, 2),
       Bytes(file.Words1001Count, 2)},
      {s.Words1002, Bytes(s.Words1002Count, 2), file.Words1002, Bytes(file.Words1002Count, 2),
       Bytes(file.Words1002Count, 2)},
      {s.Words1003, Bytes(s.Words1003Count, 2), file.Words1003, Bytes(file.Words1003Count, 2),
       Bytes(file.Words1003Count, 2)},
      {s.Words1004, Bytes(s.Words1004To1006Count, 2), file.Words1004,
       Bytes(file.Words1004To1006Count, 2), Bytes(real.words1004, 2)},
      {s.Words1005, Bytes(s.Words1004To1006Count, 2), file.Words1005,
       Bytes(file.Words1004To1006Count, 2), Bytes(real.words1005, 2)},
      {s.Words1006, Bytes(s.Words1004To1006Count, 2), file.Words1006,
       Bytes(file.Words1004To1006Count, 2), Bytes(real.words1006, 2)},
      {s.Longs1007, Bytes(s.Longs1007Count, 4), file.Longs1007, Bytes(file.Longs1007Count, 4),
       Bytes(file.Longs1007Count, 4)},
      {s.Longs1008, Bytes(s.Longs1008Count, 4), file.Longs1008, Bytes(file.Longs1008Count, 4),
       Bytes(file.Longs1008Count, 4)},
      {s.Longs1009, Bytes(s.Longs1009Count, 4), file.Longs1009, Bytes(file.Longs1009Count, 4),
       Bytes(file.Longs1009Count, 4)},
      {s.Longs1010, Bytes(s.Longs1010Count, 4), file.Longs1010, Bytes(file.Longs1010Count, 4),
       Bytes(file.Longs1010Count, 4)},
      {s.Words1015, Bytes(s.Words1015To1016Count, 2), file.Words1015,
       Bytes(file.Words1015To1016Count, 2), Bytes(real.words1015, 2)},
      {s.Words1016, Bytes(s.Words1015To1016Count, 2), file.Words1016,
       Bytes(file.Words1015To1016Count, 2), Bytes(real.words1016, 2)},
      {s.Words10001, Bytes(s.Words10001Count, 2), file.Words10001, Bytes(file.Words10001Count, 2),
       Bytes(file.Words10001Count, 2)},
      {s.Words10004, Bytes(s.Words10004Count, 2), file.Words10004, Bytes(file.Words10004Count, 2),
       Bytes(file.Words10004Count, 2)},
      {s.Words10007, Bytes(s.Words10007Count, 2), file.Words10007, Bytes(file.Words10007Count, 2),
       Bytes(file.Words10007Count, 2)},
  };
  std::uint8_t result = 0;
  for (const ArrayPair& a : statics)
    if (!CopyArray(a)) result = 2;
  if (result == 0) {
    const RawdataPointerData& p = *minePtr;
    const ArrayPair pointers[] = {
        {p.Words101, Bytes(p.Words101Count, 2), filePtr.Words101, Bytes(filePtr.Words101Count, 2),
         Bytes(filePtr.Words101Count, 2)},
        {p.Words102, Bytes(p.Words102Count, 2), filePtr.Words102, Bytes(filePtr.Words102Count, 2),
         Bytes(filePtr.Words102Count, 2)},
        {p.Words103, Bytes(p.Words103Count, 2), filePtr.Words103, Bytes(filePtr.Words103Count, 2),
         Bytes(filePtr.Words103Count, 2)},
        {p.Bytes0, p.Bytes0Count, filePtr.Bytes0, filePtr.Bytes0Count, filePtr.Bytes0Count},
    };
    for (const ArrayPair& a : pointers)
      if (!CopyArray(a)) result = 3;
  }
  ClearRawdata();
  return result;
}

ZENTIL_API std::uint8_t GetAlgoDataFromRecord_1(AlgorithmInput* input,
                                                const RawdataStaticData* staticData) {
  if (input == nullptr || staticData == nullptr) return 1;
  const RawdataStaticData& s = *staticData;
  AlgorithmInput& in = *input;
  const RawdataKept& kept = KeptRawdata();

  in.RawWords0 = s.Words1001;
  in.RawWords0Count = s.Words1001Count;
  in.RawWords1 = s.Words1002;
  in.RawWords1Count = s.Words1002Count;
  in.RawWords2 = s.Words1003;
  in.RawWords2Count = s.Words1003Count;
  in.AuxWords0 = s.Words1004;
  in.AuxWords1 = s.Words1005;
  in.AuxWords2 = s.Words1006;
  // A shared count may exceed what one of its arrays holds (items of unequal length): hand on
  // no more than every array read from the kept buffer really has.
  {
    const std::uint16_t* const refs[] = {s.Words1004, s.Words1005, s.Words1006};
    const std::uint16_t* const keptRefs[] = {kept.words1004, kept.words1005, kept.words1006};
    const std::uint32_t counts[] = {kept.counts.words1004, kept.counts.words1005,
                                    kept.counts.words1006};
    in.AuxBufferLength = static_cast<std::int32_t>(
        ClampShared(s.Words1004To1006Count, refs, keptRefs, counts, 3));
  }
  in.RawLongs0 = s.Longs1007;
  in.RawLongs0Count = s.Longs1007Count;
  in.RawLongs1 = s.Longs1008;
  in.RawLongs1Count = s.Longs1008Count;
  in.RawLongs2 = s.Longs1009;
  in.RawLongs2Count = s.Longs1009Count;
  in.RawLongs3 = s.Longs1010;
  in.RawLongs3Count = s.Longs1010Count;
  in.HgbBlankReadings = s.Words1015;
  in.HgbSampleReadings = s.Words1016;
  {
    const std::uint16_t* const refs[] = {s.Words1015, s.Words1016};
    const std::uint16_t* const keptRefs[] = {kept.words1015, kept.words1016};
    const std::uint32_t counts[] = {kept.counts.words1015, kept.counts.words1016};
    in.HgbReadingCount = ClampShared(s.Words1015To1016Count, refs, keptRefs, counts, 2);
  }
  in.BloodMode = s.Byte1017;
  in.AuxDataFlag = s.Byte1018;
  in.RunByte86 = s.Byte1019;
  // The 16 run floats in slot order; the first three are dilutions, and one stored as its
  // reciprocal is turned back.
  static constexpr std::size_t kFloatFields[16] = {
      offsetof(AlgorithmInput, WbcDilution),    offsetof(AlgorithmInput, RbcDilution),
      offsetof(AlgorithmInput, RunConstant95),  offsetof(AlgorithmInput, WbcRateDivisor),
      offsetof(AlgorithmInput, RbcRateDivisor), offsetof(AlgorithmInput, RunConstant107),
      offsetof(AlgorithmInput, WbcCountTime),   offsetof(AlgorithmInput, RbcCountTime),
      offsetof(AlgorithmInput, RunConstant119), offsetof(AlgorithmInput, WbcFactor),
      offsetof(AlgorithmInput, HgbFactor),      offsetof(AlgorithmInput, RbcFactor),
      offsetof(AlgorithmInput, McvFactor),      offsetof(AlgorithmInput, PltFactor),
      offsetof(AlgorithmInput, MpvFactor),      offsetof(AlgorithmInput, RunConstant147)};
  auto* base = reinterpret_cast<std::uint8_t*>(&in);
  for (int i = 0; i < 16; ++i) {
    float v = s.Floats[i];
    if (i < 3 && v > 0.000001f && v < 1.0f) v = 1.0f / v;
    std::memcpy(base + kFloatFields[i], &v, sizeof v);
  }
  std::memcpy(in.RunBytes154, &s.Bytes2001[0], 3);
  in.HgbReadingFault = s.Bytes2001[3];
  std::memcpy(in.RunBytes158, &s.Bytes2001[4], 4);
  in.HgbBlankFault = s.Bytes2001[8];
  in.RunByte163 = s.Bytes2001[9];
  return 0;
}

}  // extern "C"
