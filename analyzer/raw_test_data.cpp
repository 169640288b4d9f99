#include "analyzer/raw_test_data.h"

#include "analyzer/raw_test_data_rewrite.h"
#include "platform/sys/file_io.h"
#include "platform/sys/path_map.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace analyzer {
namespace {

bool IsDigits(const std::string& s, size_t from, size_t n) {
  for (size_t i = from; i < from + n; ++i)
    if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
  return true;
}

void IndexRecordOf(const std::string& key, uint8_t out[kRawIndexRecordSize]) {
  std::memset(out, 0, kRawIndexRecordSize);
  std::memcpy(out, key.data(), key.size());
}

long FindIn(sys::File& file, const std::string& key, long* completeRecords) {
  off_t size = 0;
  if (!file.Size(&size)) return -2;
  const long n = static_cast<long>(size / kRawIndexRecordSize);
  if (completeRecords) *completeRecords = n;
  uint8_t want[kRawIndexRecordSize];
  IndexRecordOf(key, want);
  // The index is read in blocks of records: a full store holds 50,000 of them.
  constexpr long kBlockRecords = 2048;
  std::vector<uint8_t> block(static_cast<size_t>(kBlockRecords) * kRawIndexRecordSize);
  for (long first = 0; first < n; first += kBlockRecords) {
    const long count = std::min(kBlockRecords, n - first);
    if (!file.ReadAt(block.data(), static_cast<size_t>(count) * kRawIndexRecordSize,
                     static_cast<off_t>(first) * kRawIndexRecordSize))
      return -2;
    for (long i = 0; i < count; ++i)
      if (std::memcmp(block.data() + i * kRawIndexRecordSize, want, kRawIndexRecordSize) == 0) return first + i;
  }
  return -1;
}

// The failure of one file as the writer reports it.
RawWrite Failed(RawWrite kind, const sys::File& file, std::string* error) {
  if (error) *error = file.ErrorText();
  return kind;
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

}  // namespace

std::recursive_mutex& RawFilesLock() {
  static std::recursive_mutex lock;
  return lock;
}

RawPairPaths CurrentRawPair(const std::string& folder) {
  RawPairPaths p;
  p.index = sys::MapPath(folder + kRawIndexFile);
  p.data = sys::MapPath(folder + kRawDataFile);
  if (!Exists(sys::MapPath(folder + kRawCommitMarker))) return p;
  const std::string indexTemp = sys::MapPath(folder + kRawIndexTemp), dataTemp = sys::MapPath(folder + kRawDataTemp);
  const bool indexLeft = Exists(indexTemp), dataLeft = Exists(dataTemp);
  // A temporary index without its data file was never committed (the index is renamed first).
  if (indexLeft && !dataLeft) return p;
  if (indexLeft) p.index = indexTemp;
  if (dataLeft) p.data = dataTemp;
  p.committedRewrite = indexLeft || dataLeft;
  return p;
}

std::string RawDataKey(const std::string& date, const std::string& sampleNoText) {
  // "%d-%.2d-%.2d" of a four-digit year: YYYY-MM-DD.
  if (date.size() != 10 || !IsDigits(date, 0, 4) || date[4] != '-' || !IsDigits(date, 5, 2) || date[7] != '-' ||
      !IsDigits(date, 8, 2))
    return {};
  const long number = std::strtol(sampleNoText.c_str(), nullptr, 10);
  char num[32];
  std::snprintf(num, sizeof num, "%2ld", number);
  std::string key = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2) + num;
  if (key.size() > kRawKeyMax) return {};
  return key;
}

long FindRawIndex(const std::string& indexPath, const std::string& key) {
  sys::File index;
  if (!index.Open(indexPath, O_RDONLY)) return -1;
  const long r = FindIn(index, key, nullptr);
  return r < 0 ? -1 : r;
}

RawWrite WriteRawRecord(const std::string& folder, const std::string& key, const uint8_t record[kRawDataRecordSize],
                        std::string* error) {
  if (key.empty() || key.size() > kRawKeyMax) {
    if (error) *error = "no key for the sample";
    return RawWrite::BadKey;
  }
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  // A record added to the old pair under a committed rewrite would be lost by its renames.
  FinishCommittedRewrite(folder);
  const RawPairPaths pair = CurrentRawPair(folder);
  // A file made here exists after a power cut only once its folder is flushed as well.
  const bool newIndex = !Exists(pair.index), newData = !Exists(pair.data);
  const std::string dir = sys::MapPath(folder);
  auto entryDurable = [&](RawWrite kind) {
    std::string why;
    if (sys::SyncFolder(dir, &why)) return RawWrite::Written;
    if (error) *error = why;
    return kind;
  };
  sys::File index, data;
  if (!index.Open(pair.index, O_RDWR | O_CREAT)) return Failed(RawWrite::IndexFailed, index, error);
  long complete = 0;
  const long found = FindIn(index, key, &complete);
  if (found == -2) return Failed(RawWrite::IndexFailed, index, error);
  const long slot = found >= 0 ? found : complete;

  if (!data.Open(pair.data, O_RDWR | O_CREAT)) return Failed(RawWrite::DataFailed, data, error);
  off_t size = 0;
  if (!data.Size(&size)) return Failed(RawWrite::DataFailed, data, error);
  const off_t at = static_cast<off_t>(slot) * kRawDataRecordSize;
  // Records missing before the slot (a data file cut short) become zero records, so every
  // record keeps the position of its index record.
  if (size < at && !data.Truncate(at)) return Failed(RawWrite::DataFailed, data, error);
  // A record replaced in place is kept to be put back if the new one cannot be written whole.
  uint8_t previous[kRawDataRecordSize];
  const bool havePrevious = found >= 0 && data.ReadAt(previous, sizeof previous, at);
  if (!data.WriteAllAt(record, kRawDataRecordSize, at) || !data.Sync()) {
    const RawWrite r = Failed(RawWrite::DataFailed, data, error);
    if (havePrevious && data.WriteAllAt(previous, sizeof previous, at)) data.Sync();
    return r;
  }
  if (!data.Close()) return Failed(RawWrite::DataFailed, data, error);
  if (newData) {
    if (const RawWrite r = entryDurable(RawWrite::DataFailed); r != RawWrite::Written) return r;
  }
  if (found < 0) {
    uint8_t rec[kRawIndexRecordSize];
    IndexRecordOf(key, rec);
    const off_t indexAt = static_cast<off_t>(slot) * kRawIndexRecordSize;
    // An incomplete tail left by an interrupted write is replaced, not kept in front of the record.
    if (!index.Truncate(indexAt) || !index.WriteAllAt(rec, sizeof rec, indexAt) || !index.Sync())
      return Failed(RawWrite::IndexFailed, index, error);
  }
  if (!index.Close()) return Failed(RawWrite::IndexFailed, index, error);
  return newIndex ? entryDurable(RawWrite::IndexFailed) : RawWrite::Written;
}

bool ReadRawRecord(const std::string& folder, const std::string& key, uint8_t out[kRawDataRecordSize]) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  const RawPairPaths pair = CurrentRawPair(folder);
  const long i = FindRawIndex(pair.index, key);
  if (i < 0) return false;
  sys::File data;
  return data.Open(pair.data, O_RDONLY) &&
         data.ReadAt(out, kRawDataRecordSize, static_cast<off_t>(i) * kRawDataRecordSize);
}

bool IndexRecordMatches(const unsigned char* record, const std::string& key) {
  if (key.empty() || key.size() >= kRawIndexRecordSize) return false;
  return std::memcmp(record, key.data(), key.size()) == 0 && record[key.size()] == 0;
}

std::string IndexRecordKey(const unsigned char* record) {
  const char* text = reinterpret_cast<const char*>(record);
  return std::string(text, strnlen(text, kRawIndexRecordSize));
}

}  // namespace analyzer
