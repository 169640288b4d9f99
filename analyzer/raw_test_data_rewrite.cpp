#include "analyzer/raw_test_data_rewrite.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>

#include "platform/sys/atomic_file.h"
#include "platform/sys/file_io.h"
#include "platform/sys/path_map.h"

namespace analyzer {
namespace {

bool (*g_checkpoint)(const char*) = nullptr;
bool Checkpoint(const char* step) { return g_checkpoint == nullptr || g_checkpoint(step); }

std::string P(const std::string& folder, const char* name) { return sys::MapPath(folder + name); }

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// Reads up to `size` bytes: the count (short only at the end of the file), -1 on an error.
long ReadUpTo(sys::File& f, void* buf, size_t size) {
  size_t got = 0;
  while (got < size) {
    const long n = f.Read(static_cast<char*>(buf) + got, size - got);
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<long>(got);
}

// A temporary file written through a buffer: the rewrite makes 50000 small records.
class BufferedOut {
 public:
  bool Open(const std::string& path) { return file_.Open(path, O_WRONLY | O_CREAT | O_TRUNC); }
  bool Put(const void* data, size_t size) {
    // A long run of records goes to the file as it is, without a copy into the buffer.
    if (size >= (1u << 16)) return Flush() && file_.WriteAll(data, size);
    buffer_.append(static_cast<const char*>(data), size);
    return buffer_.size() < (1u << 20) || Flush();
  }
  // `size` bytes of `src` from `at`, after what the buffer holds: the count copied, -1 on a failure.
  long CopyFrom(sys::File& src, off_t at, size_t size) { return Flush() ? file_.CopyFrom(src, at, size) : -1; }
  // Everything written, flushed to the disk and closed.
  bool Finish() { return Flush() && file_.Sync() && file_.Close(); }
  const std::string& ErrorText() const { return file_.ErrorText(); }

 private:
  bool Flush() {
    if (buffer_.empty()) return true;
    const bool ok = file_.WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
    return ok;
  }
  sys::File file_;
  std::string buffer_;
};

// The temporary files of a rewrite that never committed.
void DiscardTemporaries(const std::string& folder) {
  std::remove(P(folder, kRawIndexTemp).c_str());
  std::remove(P(folder, kRawDataTemp).c_str());
}

}  // namespace

void SetRawRewriteCheckpoint(bool (*checkpoint)(const char* step)) { g_checkpoint = checkpoint; }

bool FinishCommittedRewrite(const std::string& folder, std::string* error) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  const std::string marker = P(folder, kRawCommitMarker), dir = sys::MapPath(folder);
  if (!Exists(marker)) return true;
  NoteRawPairReplaced();
  const std::string tdiTemp = P(folder, kRawIndexTemp), tdTemp = P(folder, kRawDataTemp);
  const bool indexLeft = Exists(tdiTemp), dataLeft = Exists(tdTemp);
  if (indexLeft && !dataLeft) {
    // The index is renamed first, so this pair was never a committed one: the old pair stays.
    std::remove(tdiTemp.c_str());
  } else {
    // The marker stays until both renames are durable, so a failure here is finished later.
    if (indexLeft && !sys::RenameFile(tdiTemp, P(folder, kRawIndexFile), error)) return false;
    if (dataLeft && !sys::RenameFile(tdTemp, P(folder, kRawDataFile), error)) return false;
  }
  if (!sys::SyncFolder(dir, error)) return false;
  std::remove(marker.c_str());
  sys::SyncFolder(dir);
  return true;
}

RawPairPaths SettledRawPair(const std::string& folder) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  FinishCommittedRewrite(folder);
  return CurrentRawPair(folder);
}

bool RecoverRawRewrite(const std::string& folder, std::string* error) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  if (Exists(P(folder, kRawCommitMarker))) return FinishCommittedRewrite(folder, error);
  DiscardTemporaries(folder);
  sys::SyncFolder(sys::MapPath(folder));
  return true;
}

bool RemoveRawRecords(const std::string& folder, const std::vector<std::string>& keys, std::string* error,
                      int* removed) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  NoteRawPairReplaced();
  if (removed) *removed = 0;
  // An earlier rewrite is settled first: its temporary files are about to be reused.
  if (!RecoverRawRewrite(folder, error)) return false;
  const std::string tdi = P(folder, kRawIndexFile), td = P(folder, kRawDataFile), dir = sys::MapPath(folder);
  if (!Exists(tdi) || !Exists(td)) return true;
  const std::string tdiTemp = P(folder, kRawIndexTemp), tdTemp = P(folder, kRawDataTemp);
  const std::string marker = P(folder, kRawCommitMarker);
  auto fail = [&](const std::string& why) {
    DiscardTemporaries(folder);
    if (error) *error = why;
    return false;
  };
  sys::File inIndex, inData;
  BufferedOut outIndex, outData;
  if (!inIndex.Open(tdi, O_RDONLY)) return fail(inIndex.ErrorText());
  if (!inData.Open(td, O_RDONLY)) return fail(inData.ErrorText());
  if (!outIndex.Open(tdiTemp)) return fail(outIndex.ErrorText());
  if (!outData.Open(tdTemp)) return fail(outData.ErrorText());

  std::set<std::string> wanted;
  for (const std::string& k : keys)
    if (!k.empty()) wanted.insert(k);
  // The whole index first (a full store's is 1.6 MB); its complete records pair with the data
  // records, a partial tail is dropped.
  std::vector<unsigned char> index;
  for (;;) {
    const size_t have = index.size();
    index.resize(have + (1u << 20));
    const long got = ReadUpTo(inIndex, index.data() + have, 1u << 20);
    if (got < 0) return fail(inIndex.ErrorText());
    index.resize(have + static_cast<size_t>(got));
    if (got == 0) break;
  }
  const size_t records = index.size() / kRawIndexRecordSize;
  // The kept records in runs: their index records from memory, their data copied file to file.
  const std::vector<unsigned char> zeros(kRawDataRecordSize, 0);
  int dropped = 0;
  size_t runStart = 0;
  for (size_t i = 0; i <= records; ++i) {
    bool drop = false;
    if (i < records) {
      const std::string key = IndexRecordKey(index.data() + i * kRawIndexRecordSize);
      drop = key.size() < kRawIndexRecordSize && wanted.count(key) != 0;
    }
    if (i < records && !drop) continue;
    if (i > runStart) {
      if (!outIndex.Put(index.data() + runStart * kRawIndexRecordSize, (i - runStart) * kRawIndexRecordSize))
        return fail(outIndex.ErrorText());
      const size_t bytes = (i - runStart) * kRawDataRecordSize;
      const long copied = outData.CopyFrom(inData, static_cast<off_t>(runStart * kRawDataRecordSize), bytes);
      if (copied < 0) return fail(outData.ErrorText());
      // A short data file: the missing records are zero records, so the pairing holds.
      for (size_t rest = bytes - static_cast<size_t>(copied); rest > 0;) {
        const size_t piece = std::min(rest, zeros.size());
        if (!outData.Put(zeros.data(), piece)) return fail(outData.ErrorText());
        rest -= piece;
      }
    }
    runStart = i + 1;
    if (drop) ++dropped;
  }
  if (!outIndex.Finish()) return fail(outIndex.ErrorText());
  if (!outData.Finish()) return fail(outData.ErrorText());
  if (!Checkpoint("temp-written")) return false;

  sys::File commit;
  if (!commit.Open(marker, O_WRONLY | O_CREAT | O_TRUNC) || !commit.Sync() || !commit.Close()) {
    std::remove(marker.c_str());
    return fail(commit.ErrorText());
  }
  if (!sys::SyncFolder(dir, error)) {
    // Without a durable marker the renames must not start: the old pair stays.
    std::remove(marker.c_str());
    return fail(error ? *error : std::string());
  }
  if (!Checkpoint("committed")) return false;
  // From here on the marker stands: the new pair is the pair, and a failure is finished by the
  // next writer or start-up.
  if (!sys::RenameFile(tdiTemp, tdi, error)) return false;
  if (!Checkpoint("index-renamed")) return false;
  if (!sys::RenameFile(tdTemp, td, error)) return false;
  if (!sys::SyncFolder(dir, error)) return false;
  std::remove(marker.c_str());
  sys::SyncFolder(dir);
  if (removed) *removed = dropped;
  return true;
}

bool ClearRawRecords(const std::string& folder, std::string* error) {
  std::lock_guard<std::recursive_mutex> lock(RawFilesLock());
  if (!RecoverRawRewrite(folder, error)) return false;
  NoteRawPairReplaced();
  return sys::WriteFileAtomic(P(folder, kRawIndexFile), "", error) &&
         sys::WriteFileAtomic(P(folder, kRawDataFile), "", error);
}

}  // namespace analyzer
