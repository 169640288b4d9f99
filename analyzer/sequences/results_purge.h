#pragma once
// Keeping the results table at 50000 rows: at start-up whole days of the oldest results are
// removed, with their raw-data records in TD.dat and TDI.dat (rewritten as
// analyzer/raw_test_data_rewrite.h describes, so the two files always form a matching pair).
#include <string>
#include <vector>

#include "analyzer/raw_rewrite_queue.h"
#include "analyzer/raw_test_data_rewrite.h"

class CADOConn;

namespace analyzer {

inline constexpr int kMaxStoredResults = 50000;

// One pass: removes the Person rows of the oldest test date, then their raw records. Returns
// the rows removed (personCount is lowered by as many); 0 when nothing could be removed (an
// empty table, a failed query or delete), which ends the caller's loop. A failed rewrite of the
// raw files is written to the log; the old pair then stays.
int PurgeOldestDay(CADOConn& conn, int& personCount, const std::string& folder);
// While personCount is above the limit: removes the oldest whole days that bring it to the limit
// (the days pass after pass of PurgeOldestDay would remove), in one delete and one rewrite of
// the raw files. Returns the days removed; 0 when nothing was over the limit or could be removed.
// `onWorker` queues the rewrite on the raw files' worker (analyzer/raw_rewrite_queue.h) and the
// call returns once the rows are gone (a full store's rewrite copies and flushes a hundred
// megabytes): it holds the raw files' lock throughout, so a reader or writer of the pair
// meanwhile waits for the new pair, and until it starts they find the old one, whose extra
// records belong to no row.
int PurgeResults(CADOConn& conn, int& personCount, const std::string& folder, bool onWorker = false);

}  // namespace analyzer
