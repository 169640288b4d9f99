#include "analyzer/sequences/results_purge.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/path_map.h"

namespace analyzer {
namespace {

bool (*g_checkpoint)(const char*) = nullptr;
bool Checkpoint(const char* step) { return g_checkpoint == nullptr || g_checkpoint(step); }

std::string P(const std::string& folder, const char* name) { return sys::MapPath(folder + name); }

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

bool SyncFile(FILE* f) { return std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0; }

void SyncFolder(const std::string& folder) {
  const int fd = ::open(sys::MapPath(folder).c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Marker that says both temporary files are complete and are to replace the originals.
constexpr const char* kCommitMarker = "TDCommit.dat";

}  // namespace

void SetRawRewriteCheckpoint(bool (*checkpoint)(const char* step)) { g_checkpoint = checkpoint; }

void RecoverRawRewrite(const std::string& folder) {
  const std::string marker = P(folder, kCommitMarker);
  const std::string tdiTemp = P(folder, "TDITemp.dat"), tdTemp = P(folder, "TDTemp.dat");
  if (Exists(marker)) {
    // Both temporary files were complete: finish the renames that did not happen.
    if (Exists(tdiTemp)) std::rename(tdiTemp.c_str(), P(folder, kRawIndexFile).c_str());
    if (Exists(tdTemp)) std::rename(tdTemp.c_str(), P(folder, kRawDataFile).c_str());
    SyncFolder(folder);
    std::remove(marker.c_str());
  } else {
    std::remove(tdiTemp.c_str());
    std::remove(tdTemp.c_str());
  }
  SyncFolder(folder);
}

bool RemoveRawRecords(const std::string& folder, const std::vector<std::string>& keys, std::string* error,
                      int* removed) {
  if (removed) *removed = 0;
  RecoverRawRewrite(folder);
  const std::string tdi = P(folder, kRawIndexFile), td = P(folder, kRawDataFile);
  if (!Exists(tdi) || !Exists(td)) return true;
  const std::string tdiTemp = P(folder, "TDITemp.dat"), tdTemp = P(folder, "TDTemp.dat");
  auto fail = [&](const std::string& why, FILE* a, FILE* b, FILE* c, FILE* d) {
    for (FILE* f : {a, b, c, d})
      if (f) std::fclose(f);
    std::remove(tdiTemp.c_str());
    std::remove(tdTemp.c_str());
    if (error) *error = why;
    return false;
  };
  FILE* inIndex = std::fopen(tdi.c_str(), "rb");
  FILE* inData = std::fopen(td.c_str(), "rb");
  FILE* outIndex = std::fopen(tdiTemp.c_str(), "wb");
  FILE* outData = std::fopen(tdTemp.c_str(), "wb");
  if (!inIndex || !inData || !outIndex || !outData) return fail("cannot open the raw-data files", inIndex, inData, outIndex, outData);

  std::set<std::string> wanted;
  for (const std::string& k : keys)
    if (!k.empty()) wanted.insert(k);
  unsigned char index[kRawIndexRecordSize];
  std::vector<unsigned char> data(kRawDataRecordSize);
  int dropped = 0;
  for (;;) {
    if (std::fread(index, 1, sizeof index, inIndex) != sizeof index) break;  // a partial tail is dropped
    const size_t got = std::fread(data.data(), 1, data.size(), inData);
    const std::string key = IndexRecordKey(index);
    if (key.size() < sizeof index && wanted.count(key) != 0) {
      ++dropped;
      continue;
    }
    if (got != data.size()) {
      if (std::ferror(inData)) return fail("cannot read TD.dat", inIndex, inData, outIndex, outData);
      std::fill(data.begin() + static_cast<long>(got), data.end(), 0);  // a short data file: keep the pairing
    }
    if (std::fwrite(index, 1, sizeof index, outIndex) != sizeof index ||
        std::fwrite(data.data(), 1, data.size(), outData) != data.size())
      return fail("cannot write the new raw-data files", inIndex, inData, outIndex, outData);
  }
  if (std::ferror(inIndex)) return fail("cannot read TDI.dat", inIndex, inData, outIndex, outData);
  if (!SyncFile(outIndex) || !SyncFile(outData)) return fail("cannot write the new raw-data files", inIndex, inData, outIndex, outData);
  std::fclose(inIndex);
  std::fclose(inData);
  std::fclose(outIndex);
  std::fclose(outData);
  if (!Checkpoint("temp-written")) return false;

  FILE* marker = std::fopen(P(folder, kCommitMarker).c_str(), "wb");
  if (!marker || !SyncFile(marker)) {
    if (marker) std::fclose(marker);
    return fail("cannot write the commit marker", nullptr, nullptr, nullptr, nullptr);
  }
  std::fclose(marker);
  SyncFolder(folder);
  if (!Checkpoint("committed")) return false;
  if (std::rename(tdiTemp.c_str(), tdi.c_str()) != 0) {
    if (error) *error = "cannot replace TDI.dat";
    return false;  // the next pass completes it
  }
  if (!Checkpoint("index-renamed")) return false;
  if (std::rename(tdTemp.c_str(), td.c_str()) != 0) {
    if (error) *error = "cannot replace TD.dat";
    return false;
  }
  SyncFolder(folder);
  std::remove(P(folder, kCommitMarker).c_str());
  SyncFolder(folder);
  if (removed) *removed = dropped;
  return true;
}

int PurgeOldestDay(CADOConn& conn, int& personCount, const std::string& folder) {
  RecordsetPtr& rs =
      conn.OpenRecordset("Select  SampleNo,TestDate From Person where TestDate = (Select min(TestDate) from Person) ");
  if (!conn.RecordsetOpen()) return 0;
  std::vector<std::string> samples;
  std::string date;
  bool haveDate = false;
  if (HasRows(*rs)) {
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
      std::string s;
      ReadField(*rs, "SampleNo", s);
      samples.push_back(s);
      if (!haveDate) haveDate = ReadField(*rs, "TestDate", date);
    }
  }
  conn.CloseRecordset();
  const int n = static_cast<int>(samples.size());
  if (n == 0 || !haveDate) return 0;
  if (!conn.Execute("delete from Person where TestDate = '" + date + "'")) return 0;
  personCount -= n;
  // Raw records only of rows that are really gone.
  std::vector<std::string> keys;
  for (const std::string& s : samples) keys.push_back(RawDataKey(date, s));
  RemoveRawRecords(folder, keys);
  return n;
}

int PurgeResults(CADOConn& conn, int& personCount, const std::string& folder) {
  int passes = 0;
  while (personCount > kMaxStoredResults) {
    if (PurgeOldestDay(conn, personCount, folder) == 0) break;
    ++passes;
  }
  return passes;
}

}  // namespace analyzer
