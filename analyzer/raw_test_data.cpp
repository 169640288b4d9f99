#include "analyzer/raw_test_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAt(int fd, const void* data, size_t n, off_t at) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t w = ::pwrite(fd, p, n, at);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
    at += w;
  }
  return true;
}

bool ReadAt(int fd, void* data, size_t n, off_t at) {
  char* p = static_cast<char*>(data);
  while (n > 0) {
    ssize_t r = ::pread(fd, p, n, at);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
    at += r;
  }
  return true;
}

void IndexRecordOf(const std::string& key, uint8_t out[kRawIndexRecordSize]) {
  std::memset(out, 0, kRawIndexRecordSize);
  std::memcpy(out, key.data(), key.size());
}

long FindIn(int fd, const std::string& key, long* completeRecords) {
  struct stat st{};
  if (::fstat(fd, &st) != 0) return -2;
  const long n = static_cast<long>(st.st_size / kRawIndexRecordSize);
  if (completeRecords) *completeRecords = n;
  uint8_t want[kRawIndexRecordSize];
  IndexRecordOf(key, want);
  // The index is read in blocks of records: a full store holds 50,000 of them.
  constexpr long kBlockRecords = 2048;
  std::vector<uint8_t> block(static_cast<size_t>(kBlockRecords) * kRawIndexRecordSize);
  for (long first = 0; first < n; first += kBlockRecords) {
    const long count = std::min(kBlockRecords, n - first);
    if (!ReadAt(fd, block.data(), static_cast<size_t>(count) * kRawIndexRecordSize,
                static_cast<off_t>(first) * kRawIndexRecordSize))
      return -2;
    for (long i = 0; i < count; ++i)
      if (std::memcmp(block.data() + i * kRawIndexRecordSize, want, kRawIndexRecordSize) == 0) return first + i;
  }
  return -1;
}

void SetError(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
}

}  // namespace

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
  Fd fd(::open(indexPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return -1;
  long r = FindIn(fd.get(), key, nullptr);
  return r < 0 ? -1 : r;
}

RawWrite WriteRawRecord(const std::string& folder, const std::string& key, const uint8_t record[kRawDataRecordSize],
                        std::string* error) {
  if (key.empty() || key.size() > kRawKeyMax) {
    if (error) *error = "no key for the sample";
    return RawWrite::BadKey;
  }
  const std::string indexPath = folder + kRawIndexFile, dataPath = folder + kRawDataFile;
  Fd index(::open(indexPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (index.get() < 0) {
    SetError(error, indexPath);
    return RawWrite::IndexFailed;
  }
  long complete = 0;
  const long found = FindIn(index.get(), key, &complete);
  if (found == -2) {
    SetError(error, indexPath);
    return RawWrite::IndexFailed;
  }
  const long slot = found >= 0 ? found : complete;

  Fd data(::open(dataPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (data.get() < 0) {
    SetError(error, dataPath);
    return RawWrite::DataFailed;
  }
  struct stat st{};
  if (::fstat(data.get(), &st) != 0) {
    SetError(error, dataPath);
    return RawWrite::DataFailed;
  }
  const off_t at = static_cast<off_t>(slot) * kRawDataRecordSize;
  // Records missing before the slot (a data file cut short) become zero records, so every
  // record keeps the position of its index record.
  if (st.st_size < at && ::ftruncate(data.get(), at) != 0) {
    SetError(error, dataPath);
    return RawWrite::DataFailed;
  }
  if (!WriteAt(data.get(), record, kRawDataRecordSize, at) || ::fsync(data.get()) != 0 || !data.Close()) {
    SetError(error, dataPath);
    return RawWrite::DataFailed;
  }
  if (found < 0) {
    uint8_t rec[kRawIndexRecordSize];
    IndexRecordOf(key, rec);
    const off_t indexAt = static_cast<off_t>(slot) * kRawIndexRecordSize;
    // An incomplete tail left by an interrupted write is replaced, not kept in front of the record.
    if (::ftruncate(index.get(), indexAt) != 0 || !WriteAt(index.get(), rec, sizeof rec, indexAt) ||
        ::fsync(index.get()) != 0) {
      SetError(error, indexPath);
      return RawWrite::IndexFailed;
    }
  }
  if (!index.Close()) {
    SetError(error, indexPath);
    return RawWrite::IndexFailed;
  }
  return RawWrite::Written;
}

bool ReadRawRecord(const std::string& folder, const std::string& key, uint8_t out[kRawDataRecordSize]) {
  const long i = FindRawIndex(folder + kRawIndexFile, key);
  if (i < 0) return false;
  Fd data(::open((folder + kRawDataFile).c_str(), O_RDONLY | O_CLOEXEC));
  if (data.get() < 0) return false;
  return ReadAt(data.get(), out, kRawDataRecordSize, static_cast<off_t>(i) * kRawDataRecordSize);
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
