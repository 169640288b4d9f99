#pragma once
// Keeping the results table at 50000 rows: at start-up whole days of the oldest results are
// removed, with their raw-data records in TD.dat and TDI.dat (analyzer/raw_test_data.h).
//
// The raw files are rewritten into TDTemp.dat and TDITemp.dat, flushed to the disk, and only
// then renamed over the originals, under a commit marker: a rewrite cut off before the marker
// leaves the old pair (the temporary files are discarded on the next pass), one cut off after
// it is completed on the next pass. So the two files always form a matching pair.
#include <string>
#include <vector>

#include "analyzer/raw_test_data.h"

class CADOConn;

namespace analyzer {

inline constexpr int kMaxStoredResults = 50000;

// Rewrites the raw files of `folder` (ending in '/') without the records of `keys`. Missing
// files leave everything as it is (true). False with the reason when a file could not be
// read or written; the old pair then stays.
bool RemoveRawRecords(const std::string& folder, const std::vector<std::string>& keys, std::string* error = nullptr,
                      int* removed = nullptr);
// Finishes or discards a rewrite that a crash interrupted. False with the reason when a rename
// could not be finished (the marker stays for the next pass).
bool RecoverRawRewrite(const std::string& folder, std::string* error = nullptr);

// Test hook: called between the steps of a rewrite ("temp-written", "committed",
// "index-renamed"); returning false stops the rewrite there, as a kill would.
void SetRawRewriteCheckpoint(bool (*checkpoint)(const char* step));

// One pass: removes the Person rows of the oldest test date, then their raw records. Returns
// the rows removed (personCount is lowered by as many); 0 when nothing could be removed (an
// empty table, a failed query or delete), which ends the caller's loop. A failed rewrite of the
// raw files is written to the log; the old pair then stays.
int PurgeOldestDay(CADOConn& conn, int& personCount, const std::string& folder);
// Passes while personCount is above the limit. Returns the passes made.
int PurgeResults(CADOConn& conn, int& personCount, const std::string& folder);

}  // namespace analyzer
