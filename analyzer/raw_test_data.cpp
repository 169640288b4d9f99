#include "analyzer/raw_test_data.h"

#include "analyzer/raw_test_data_rewrite.h"
#include "platform/sys/file_io.h"
#include "platform/sys/path_map.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>
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

// Reads index records [from, to) of `file` in blocks (a full store holds 50,000 of them) and
// hands each to `take` with its position; `take` returns true to stop. -2 on a read error, else
// the position it stopped at or -1.
template <class Take>
long ScanIndex(sys::File& file, long from, long to, Take take) {
  constexpr long kBlockRecords = 2048;
  std::vector<uint8_t> block(static_cast<size_t>(kBlockRecords) * kRawIndexRecordSize);
  for (long first = from; first < to; first += kBlockRecords) {
    const long count = std::min(kBlockRecords, to - first);
    if (!file.ReadAt(block.data(), static_cast<size_t>(count) * kRawIndexRecordSize,
                     static_cast<off_t>(first) * kRawIndexRecordSize))
      return -2;
    for (long i = 0; i < count; ++i)
      if (take(block.data() + i * kRawIndexRecordSize, first + i)) return first + i;
  }
  return -1;
}

long FindIn(sys::File& file, const std::string& key, long* completeRecords) {
  off_t size = 0;
  if (!file.Size(&size)) return -2;
  const long n = static_cast<long>(size / kRawIndexRecordSize);
  if (completeRecords) *completeRecords = n;
  uint8_t want[kRawIndexRecordSize];
  IndexRecordOf(key, want);
  return ScanIndex(file, 0, n, [&](const uint8_t* rec, long) { return std::memcmp(rec, want, kRawIndexRecordSize) == 0; });
}

std::atomic<uint64_t> g_pairReplacements{0};

// Where each complete record of the index file last written sits, so that adding a sample's
// record reads only the records added since (none, when this program added them all) instead
// of the whole index. Records are only ever added at the end of the index file; whatever
// replaces the pair says so (NoteRawPairReplaced). Besides, the file is known by its device,
// inode, size, times and its last known record: a file replaced, cut short, changed at the
// same size or holding another record there is read whole again. Used under RawFilesLock.
class IndexPositions {
 public:
  // The position of `key` in the open index `file`, or -1; -2 on a read error. *complete is the
  // number of complete records.
  long Find(sys::File& file, const std::string& path, const std::string& key, long* complete) {
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) {
      valid_ = false;
      return FindIn(file, key, complete);
    }
    const long n = static_cast<long>(st.st_size / kRawIndexRecordSize);
    bool same = valid_ && replacements_ == g_pairReplacements.load() && path == path_ && st.st_dev == dev_ &&
                st.st_ino == ino_ &&
                (st.st_size > size_ ||
                 (st.st_size == size_ && SameTime(st.st_mtim, mtime_) && SameTime(st.st_ctim, ctime_)));
    if (same && known_ > 0) {
      uint8_t rec[kRawIndexRecordSize];
      same = file.ReadAt(rec, sizeof rec, static_cast<off_t>(known_ - 1) * kRawIndexRecordSize) &&
             std::memcmp(rec, last_, sizeof rec) == 0;
    }
    if (!same) {
      slots_.clear();
      known_ = 0;
    }
    valid_ = false;
    replacements_ = g_pairReplacements.load();
    if (ScanIndex(file, known_, n, [&](const uint8_t* rec, long at) {
          slots_.emplace(std::string(reinterpret_cast<const char*>(rec), kRawIndexRecordSize), at);
          if (at == n - 1) std::memcpy(last_, rec, sizeof last_);
          return false;
        }) == -2)
      return -2;
    Remember(path, st, n);
    *complete = n;
    const auto it = slots_.find(RecordText(key));
    return it == slots_.end() ? -1 : it->second;
  }

  // The writer has put `key` at `slot`, the last complete record of the open index `file`.
  void Added(sys::File& file, const std::string& path, const std::string& key, long slot) {
    struct stat st {};
    if (!valid_ || ::fstat(file.fd(), &st) != 0) {
      valid_ = false;
      return;
    }
    const std::string rec = RecordText(key);
    slots_.emplace(rec, slot);
    std::memcpy(last_, rec.data(), sizeof last_);
    Remember(path, st, slot + 1);
  }

  void Forget() { valid_ = false; }

 private:
  static bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }
  static std::string RecordText(const std::string& key) {
    uint8_t rec[kRawIndexRecordSize];
    IndexRecordOf(key, rec);
    return std::string(reinterpret_cast<const char*>(rec), kRawIndexRecordSize);
  }
  void Remember(const std::string& path, const struct stat& st, long complete) {
    path_ = path;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    size_ = st.st_size;
    mtime_ = st.st_mtim;
    ctime_ = st.st_ctim;
    known_ = complete;
    valid_ = true;
  }

  bool valid_ = false;
  std::string path_;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
  off_t size_ = 0;
  timespec mtime_{}, ctime_{};
  uint64_t replacements_ = 0;
  long known_ = 0;                        // complete records read into slots_
  uint8_t last_[kRawIndexRecordSize] = {};  // record known_ - 1
  std::unordered_map<std::string, long> slots_;
};

IndexPositions& WrittenIndex() {
  static IndexPositions positions;
  return positions;
}

}  // namespace

void NoteRawPairReplaced() { g_pairReplacements.fetch_add(1); }

namespace {

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

namespace {

struct PendingKeys {
  std::mutex lock;
  std::map<std::string, std::set<std::string>> byFolder;
};
PendingKeys& KeysToRemove() {
  static PendingKeys keys;
  return keys;
}

RawWrite WriteRecord(const std::string& folder, const std::string& key, const uint8_t record[kRawDataRecordSize],
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
  const long found = WrittenIndex().Find(index, pair.index, key, &complete);
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
    if (!index.Truncate(indexAt) || !index.WriteAllAt(rec, sizeof rec, indexAt) || !index.Sync()) {
      WrittenIndex().Forget();
      return Failed(RawWrite::IndexFailed, index, error);
    }
    WrittenIndex().Added(index, pair.index, key, slot);
  }
  if (!index.Close()) return Failed(RawWrite::IndexFailed, index, error);
  return newIndex ? entryDurable(RawWrite::IndexFailed) : RawWrite::Written;
}

}  // namespace

RawWrite WriteRawRecord(const std::string& folder, const std::string& key, const uint8_t record[kRawDataRecordSize],
                        std::string* error) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  const RawWrite r = WriteRecord(folder, key, record, error);
  // The key's record is a live result's now: a queued removal of a deleted one's record that
  // has not begun must not take it.
  if (r == RawWrite::Written) {
    std::lock_guard<std::mutex> g(KeysToRemove().lock);
    KeysToRemove().byFolder[folder].erase(key);
  }
  return r;
}

void AddKeysToRemove(const std::string& folder, const std::vector<std::string>& keys) {
  std::lock_guard<std::mutex> g(KeysToRemove().lock);
  std::set<std::string>& set = KeysToRemove().byFolder[folder];
  for (const std::string& k : keys)
    if (!k.empty()) set.insert(k);
}

std::vector<std::string> TakeKeysToRemove(const std::string& folder) {
  std::lock_guard<std::mutex> g(KeysToRemove().lock);
  const auto found = KeysToRemove().byFolder.find(folder);
  if (found == KeysToRemove().byFolder.end()) return {};
  std::vector<std::string> keys(found->second.begin(), found->second.end());
  KeysToRemove().byFolder.erase(found);
  return keys;
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
