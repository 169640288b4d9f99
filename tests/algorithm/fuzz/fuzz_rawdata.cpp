// Fuzz target of the raw-data record reader: any file content is read, converted and revised
// without reading or writing outside the buffers, and every array reference handed out holds
// the elements its count promises.
//
// The first input byte steers: bit 0 re-seals the records' checksums before the file is written
// (so the item parser is reached past the checksum), bit 1 runs the revision as well.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "algorithm/RawdataFormat.h"
#include "algorithm/Zentil.h"

namespace {

std::string g_source, g_revised;

std::string TempFile(const char* stem) {
  const char* tmp = std::getenv("TMPDIR");
  std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + stem + "_XXXXXX";
  const int fd = mkstemp(path.data());
  if (fd >= 0) close(fd);
  return path;
}

void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

// Gives records whose length is sane a matching checksum.
void Reseal(std::vector<std::uint8_t>& b) {
  std::size_t off = 0;
  while (b.size() - off >= 8) {
    std::uint32_t length;
    std::memcpy(&length, b.data() + off + 4, 4);
    if (length < 8 || length > b.size() - off) return;
    const std::uint16_t crc = zentil::RawdataCrc(b.data() + off + 2, length - 2);
    std::memcpy(b.data() + off, &crc, 2);
    off += length;
  }
}

volatile std::uint32_t g_sink;

// Reads every byte an array reference promises; ASan reports a reference that overruns.
void Touch(const void* p, std::uint64_t count, std::uint64_t width) {
  if (p == nullptr || count == 0) return;
  const auto* bytes = static_cast<const std::uint8_t*>(p);
  std::uint32_t sum = 0;
  for (std::uint64_t i = 0; i < count * width; ++i) sum += bytes[i];
  g_sink = sum;
}

void TouchStatic(const RawdataStaticData& s) {
  Touch(s.Bytes0, s.Bytes0Count, 1);
  Touch(s.Bytes1, s.Bytes1Count, 1);
  Touch(s.Bytes2, s.Bytes2Count, 1);
  Touch(s.Bytes3, s.Bytes3Count, 1);
  Touch(s.Words1001, s.Words1001Count, 2);
  Touch(s.Words1002, s.Words1002Count, 2);
  Touch(s.Words1003, s.Words1003Count, 2);
  Touch(s.Longs1007, s.Longs1007Count, 4);
  Touch(s.Longs1008, s.Longs1008Count, 4);
  Touch(s.Longs1009, s.Longs1009Count, 4);
  Touch(s.Longs1010, s.Longs1010Count, 4);
  Touch(s.Words10001, s.Words10001Count, 2);
  Touch(s.Words10004, s.Words10004Count, 2);
  Touch(s.Words10007, s.Words10007Count, 2);
}

void TouchInput(const AlgorithmInput& in) {
  Touch(in.RawWords0, in.RawWords0Count, 2);
  Touch(in.RawWords1, in.RawWords1Count, 2);
  Touch(in.RawWords2, in.RawWords2Count, 2);
  const std::uint32_t aux = static_cast<std::uint32_t>(in.AuxBufferLength);
  Touch(in.AuxWords0, aux, 2);
  Touch(in.AuxWords1, aux, 2);
  Touch(in.AuxWords2, aux, 2);
  Touch(in.RawLongs0, in.RawLongs0Count, 4);
  Touch(in.RawLongs3, in.RawLongs3Count, 4);
  Touch(in.HgbBlankReadings, in.HgbReadingCount, 2);
  Touch(in.HgbSampleReadings, in.HgbReadingCount, 2);
}

// Caller buffers of exactly the counts that a read reported, for the copying read.
struct CallerBuffers {
  std::vector<std::vector<std::uint8_t>> keep;
  template <typename T>
  T* Make(std::uint64_t count) {
    keep.emplace_back(count * sizeof(T) + 1);
    return reinterpret_cast<T*>(keep.back().data());
  }
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  g_source = TempFile("zentil_fuzz_raw");
  g_revised = TempFile("zentil_fuzz_rev");
  std::atexit([] {
    unlink(g_source.c_str());
    unlink(g_revised.c_str());
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t steer = data[0];
  std::vector<std::uint8_t> file(data + 1, data + size);
  if (steer & 1) Reseal(file);
  WriteFile(g_source, file.data(), file.size());

  RawdataHeader header;
  RawdataStaticData s;
  RawdataPointerData p;
  const std::uint8_t r = ReadRawdata(&header, &s, &p, g_source.c_str());
  if (r != 0 && r != 254) std::abort();
  TouchStatic(s);
  Touch(p.Words101, p.Words101Count, 2);
  Touch(p.Words102, p.Words102Count, 2);
  Touch(p.Words103, p.Words103Count, 2);
  Touch(p.Bytes0, p.Bytes0Count, 1);
  AlgorithmInput in;
  std::memset(&in, 0, sizeof in);
  if (GetAlgoDataFromRecord_1(&in, &s) != 0) std::abort();
  TouchInput(in);

  // The copying read into buffers of exactly the reported sizes.
  CallerBuffers buffers;
  RawdataStaticData mine;
  RawdataPointerData minePtr;
  std::memset(&mine, 0, sizeof mine);
  std::memset(&minePtr, 0, sizeof minePtr);
  mine.Bytes0Count = s.Bytes0Count;
  mine.Bytes0 = buffers.Make<std::uint8_t>(s.Bytes0Count);
  mine.Bytes3Count = s.Bytes3Count;
  mine.Bytes3 = buffers.Make<std::uint8_t>(s.Bytes3Count);
  mine.Words1001Count = s.Words1001Count;
  mine.Words1001 = buffers.Make<std::uint16_t>(s.Words1001Count);
  mine.Words1004To1006Count = s.Words1004To1006Count;
  mine.Words1004 = buffers.Make<std::uint16_t>(s.Words1004To1006Count);
  mine.Words1005 = buffers.Make<std::uint16_t>(s.Words1004To1006Count);
  mine.Words1006 = buffers.Make<std::uint16_t>(s.Words1004To1006Count);
  mine.Longs1009Count = s.Longs1009Count;
  mine.Longs1009 = buffers.Make<std::uint32_t>(s.Longs1009Count);
  mine.Words1015To1016Count = s.Words1015To1016Count;
  mine.Words1015 = buffers.Make<std::uint16_t>(s.Words1015To1016Count);
  mine.Words1016 = buffers.Make<std::uint16_t>(s.Words1015To1016Count);
  mine.Words10007Count = s.Words10007Count;
  mine.Words10007 = buffers.Make<std::uint16_t>(s.Words10007Count);
  minePtr.Words102Count = p.Words102Count;
  minePtr.Words102 = buffers.Make<std::uint16_t>(p.Words102Count);
  minePtr.Bytes0Count = p.Bytes0Count;
  minePtr.Bytes0 = buffers.Make<std::uint8_t>(p.Bytes0Count);
  ClearRawdata();
  GetRawdataPointerData(&mine, &minePtr, g_source.c_str());

  if (steer & 2) {
    const std::uint8_t rr = ReviseRawdata(g_revised.c_str(), g_source.c_str());
    if (rr != 0 && rr != 254) std::abort();
    // Revision changes values and checksums only: the walk ends the same way.
    if (ReadRawdata(&header, &s, &p, g_revised.c_str()) != r) std::abort();
    TouchStatic(s);
  }
  ClearRawdata();
  return 0;
}
