#pragma once
// The raw test data kept beside the program: TD.dat holds one 2560-byte record per sample (the
// final WBC, RBC and PLT histograms as little-endian floats, at 0, 1024 and 2048) and TDI.dat one
// 32-byte index record per data record (the sample's key, zero-padded). Record n of both files
// is the same sample. This layer knows the files and records as bytes; the histograms are the
// measurement's.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace analyzer {

inline constexpr const char* kRawDataFile = "TD.dat";
inline constexpr const char* kRawIndexFile = "TDI.dat";
// A rewrite of the pair (analyzer/raw_test_data_rewrite.h) writes these, then the marker.
inline constexpr const char* kRawDataTemp = "TDTemp.dat";
inline constexpr const char* kRawIndexTemp = "TDITemp.dat";
inline constexpr const char* kRawCommitMarker = "TDCommit.dat";
inline constexpr size_t kRawDataRecordSize = 2560;
inline constexpr size_t kRawIndexRecordSize = 32;
inline constexpr size_t kRawKeyMax = 16;

// The key of a sample: the eight date digits of "YYYY-MM-DD" and the sample number (the integer
// value of the text) as "%2d". Sample 7 of 2026-12-09: "20261209 7". Empty when the date text
// is not of that form or the key would not fit in 16 characters.
std::string RawDataKey(const std::string& testDate, const std::string& sampleNo);

// True when the index record holds exactly this key (the byte after it is 0).
bool IndexRecordMatches(const unsigned char* record, const std::string& key);
// The key an index record holds: its text up to the first zero byte (all 32 bytes when none).
std::string IndexRecordKey(const unsigned char* record);

// The position of a key among the complete index records of TDI.dat (the whole 32-byte record
// must be the key followed by zeros), or -1.
long FindRawIndex(const std::string& indexPath, const std::string& key);

// Held by every reader, writer and rewrite of the pair, so none sees another's half-done work.
std::recursive_mutex& RawFilesLock();

// The writer remembers where each key of the index sits, and reads only the records added
// since its last write. Whatever replaces or rewrites the pair (a delete's rewrite, emptying it,
// a restore) calls this first, so the writer reads the index whole again.
void NoteRawPairReplaced();

// The two files that hold the pair now. Normally TDI.dat and TD.dat; while a rewrite's commit
// marker stands, each is its temporary file until that has been renamed (the index goes
// first), so a rewrite interrupted after its commit is already the pair.
struct RawPairPaths {
  std::string index, data;
  bool committedRewrite = false;  // a committed rewrite's renames are not finished
};
RawPairPaths CurrentRawPair(const std::string& folder);

enum class RawWrite {
  Written,      // a new record was added or the sample's record replaced
  BadKey,       // no key could be made
  IndexFailed,  // TDI.dat could not be opened, read or written
  DataFailed,   // TD.dat could not be opened or written
};

// Writes the sample's data record into the files of `folder` (ending in '/'): first the renames
// of a committed rewrite are finished (when they still fail, the record goes into the pair as
// CurrentRawPair finds it, which the renames later put in place); then in place when the
// key is indexed, else as record n = the number of complete index records. The data record is
// written (and flushed to the disk) at n x 2560 before its index record is written at n x 32, so
// an interruption never leaves an index record without its data; a TD.dat shorter than n
// records is padded with zero records first, and an incomplete index tail is overwritten.
RawWrite WriteRawRecord(const std::string& folder, const std::string& key, const uint8_t record[kRawDataRecordSize],
                        std::string* error = nullptr);

// The keys of deleted results whose records a queued rewrite is still to remove
// (analyzer/raw_rewrite_queue.h), by folder. A record written under one of them belongs to a
// live result again: WriteRawRecord takes the key out. The rewrite takes the keys holding
// RawFilesLock, so no writer comes between.
void AddKeysToRemove(const std::string& folder, const std::vector<std::string>& keys);
std::vector<std::string> TakeKeysToRemove(const std::string& folder);

// Reads the data record of a key from the pair as CurrentRawPair finds it; false when the key
// is not indexed or its record is missing.
bool ReadRawRecord(const std::string& folder, const std::string& key, uint8_t out[kRawDataRecordSize]);

}  // namespace analyzer
