#pragma once
// Keeping the results table at 50000 rows: at start-up whole days of the oldest results are
// removed, with their raw-data records in TD.dat (2560-byte records) and TDI.dat (32-byte index
// records, each the sample key followed by zeros; record i of both files is one sample).
//
// The raw files are rewritten into TDTemp.dat and TDITemp.dat, flushed to the disk, and only
// then renamed over the originals, under a commit marker: a rewrite cut off before the marker
// leaves the old pair (the temporary files are discarded on the next pass), one cut off after
// it is completed on the next pass. So the two files always form a matching pair.
#include <string>
#include <vector>

class CADOConn;

namespace analyzer {

inline constexpr int kMaxStoredResults = 50000;
inline constexpr size_t kRawIndexRecordSize = 32;
inline constexpr size_t kRawDataRecordSize = 2560;

// The key of a sample in TDI.dat: the eight date digits of "YYYY-MM-DD" and the sample number
// (its integer value) as "%2d". Empty when it would be longer than 16 characters.
std::string RawDataKey(const std::string& testDate, const std::string& sampleNo);
// True when the index record holds exactly this key (the byte after it is 0).
bool IndexRecordMatches(const unsigned char* record, const std::string& key);

// Rewrites the raw files of `folder` (ending in '/') without the records of `keys`. Missing
// files leave everything as it is (true). False with the reason when a file could not be
// read or written; the old pair then stays.
bool RemoveRawRecords(const std::string& folder, const std::vector<std::string>& keys, std::string* error = nullptr,
                      int* removed = nullptr);
// Finishes or discards a rewrite that a crash interrupted.
void RecoverRawRewrite(const std::string& folder);

// Test hook: called between the steps of a rewrite ("temp-written", "committed",
// "index-renamed"); returning false stops the rewrite there, as a kill would.
void SetRawRewriteCheckpoint(bool (*checkpoint)(const char* step));

// One pass: removes the Person rows of the oldest test date, then their raw records. Returns
// the rows removed (personCount is lowered by as many); 0 when nothing could be removed (an
// empty table, a failed query or delete), which ends the caller's loop.
int PurgeOldestDay(CADOConn& conn, int& personCount, const std::string& folder);
// Passes while personCount is above the limit. Returns the passes made.
int PurgeResults(CADOConn& conn, int& personCount, const std::string& folder);

}  // namespace analyzer
