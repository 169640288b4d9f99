// Fuzz target of the raw test data files (TD.dat and TDI.dat beside the program): any pair of
// files, whole, cut short or holding odd index records, is searched, read and written without
// reading or writing outside the buffers, and
//  * a key is found at the first complete index record that is exactly the key and zeros;
//  * a key's data record reads as the 2560 bytes at its position, or not at all when TD.dat
//    ends before them;
//  * a written record reads back as written, and every record that read before reads the same.
//
// Input: byte 0 gives the length of TDI.dat (2 x byte 0), byte 1 the length of TD.dat
// (160 x byte 1, filled by repeating the input), byte 2 steers the key written; TDI.dat's
// bytes follow, then the bytes TD.dat repeats.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer/raw_test_data.h"

namespace A = analyzer;

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_raw_XXXXXX";
    if (!mkdtemp(path.data())) std::abort();
    return path + "/";
  }();
  return folder;
}

void WriteRaw(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// The first complete index record that is the key followed by zeros, or -1.
long ExpectedIndex(const std::vector<uint8_t>& tdi, const std::string& key) {
  for (size_t r = 0; (r + 1) * A::kRawIndexRecordSize <= tdi.size(); ++r) {
    const uint8_t* rec = tdi.data() + r * A::kRawIndexRecordSize;
    bool same = true;
    for (size_t i = 0; i < A::kRawIndexRecordSize && same; ++i)
      same = rec[i] == (i < key.size() ? static_cast<uint8_t>(key[i]) : 0);
    if (same) return static_cast<long>(r);
  }
  return -1;
}

struct Seen {
  std::string key;
  bool read = false;
  std::vector<uint8_t> record;
};

Seen ReadKey(const std::string& key) {
  Seen s;
  s.key = key;
  s.record.assign(A::kRawDataRecordSize, 0xA5);
  s.read = A::ReadRawRecord(Folder(), key, s.record.data());
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const size_t tdiLen = std::min<size_t>(2u * data[0], size - 3);
  const size_t tdLen = 160u * data[1];
  const uint8_t steer = data[2];
  const std::vector<uint8_t> tdi(data + 3, data + 3 + tdiLen);
  const uint8_t* fill = data + 3 + tdiLen;
  const size_t fillLen = size - 3 - tdiLen;
  std::vector<uint8_t> td(tdLen, 0);
  for (size_t i = 0; fillLen && i < tdLen; ++i) td[i] = fill[i % fillLen];
  WriteRaw(Folder() + A::kRawIndexFile, tdi);
  WriteRaw(Folder() + A::kRawDataFile, td);
  // The pair is replaced from outside the writer, as a restore replaces it, and said so as the
  // restore says it: the writer's memory of where each index record sits is not kept over it.
  A::NoteRawPairReplaced();

  // Every key the index holds, and one it may not.
  std::vector<std::string> keys;
  for (size_t r = 0; (r + 1) * A::kRawIndexRecordSize <= tdi.size() && keys.size() < 24; ++r)
    keys.push_back(A::IndexRecordKey(tdi.data() + r * A::kRawIndexRecordSize));
  keys.push_back(A::RawDataKey("2026-12-09", std::to_string(steer)));

  std::vector<Seen> before;
  for (const std::string& key : keys) {
    const long want = ExpectedIndex(tdi, key);
    if (A::FindRawIndex(Folder() + A::kRawIndexFile, key) != want) std::abort();
    for (size_t r = 0; (r + 1) * A::kRawIndexRecordSize <= tdi.size(); ++r)
      if (A::IndexRecordMatches(tdi.data() + r * A::kRawIndexRecordSize, key) !=
          (key.size() < A::kRawIndexRecordSize && !key.empty() &&
           std::memcmp(tdi.data() + r * A::kRawIndexRecordSize, key.data(), key.size()) == 0 &&
           tdi[r * A::kRawIndexRecordSize + key.size()] == 0))
        std::abort();
    Seen s = ReadKey(key);
    const bool whole = want >= 0 && (static_cast<size_t>(want) + 1) * A::kRawDataRecordSize <= td.size();
    if (s.read != whole) std::abort();
    if (whole && std::memcmp(s.record.data(), td.data() + want * A::kRawDataRecordSize, A::kRawDataRecordSize) != 0)
      std::abort();
    before.push_back(std::move(s));
  }

  // A write: the steered key (one of the index's, or the new one).
  const std::string& key = keys[steer % keys.size()];
  std::vector<uint8_t> record(A::kRawDataRecordSize);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(i * 7 + steer);
  const A::RawWrite w = A::WriteRawRecord(Folder(), key, record.data());
  const bool writable = !key.empty() && key.size() <= A::kRawKeyMax;
  if ((w == A::RawWrite::Written) != writable) std::abort();
  if (w == A::RawWrite::Written) {
    const Seen after = ReadKey(key);
    if (!after.read || after.record != record) std::abort();
    for (const Seen& s : before) {
      if (!s.read || s.key == key) continue;
      const Seen again = ReadKey(s.key);
      if (!again.read || again.record != s.record) std::abort();
    }
  }
  return 0;
}
