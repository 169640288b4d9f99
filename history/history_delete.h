#pragma once
// Removing stored results: their Person rows and their raw-data records.
#include <string>
#include <vector>

class CADOConn;

namespace history {

// A stored result is addressed by its sample number and test date together.
struct ResultKey {
  std::string sampleNo, testDate;
};

struct DeleteOutcome {
  bool rowsDeleted = false;  // the rows went (all of them, in one transaction)
  bool rawRewritten = false; // the raw-data files no longer hold their records
  std::string error;         // why not, for the operator
};

// Deletes the rows of `keys` in one transaction (all or none); the raw records are left.
DeleteOutcome DeleteResultRows(CADOConn& conn, const std::vector<ResultKey>& keys);
// The raw-data keys of those results (results without a key have no raw record).
std::vector<std::string> RawKeysOf(const std::vector<ResultKey>& keys);

// Deletes the rows of `keys` in one transaction (all or none), then rewrites TD.dat and TDI.dat
// of `folder` without the records of those keys (whole keys; the files are replaced only once
// the new pair is complete). When the rows could not be deleted the files are left alone.
DeleteOutcome DeleteResults(CADOConn& conn, const std::string& folder, const std::vector<ResultKey>& keys);

// What the operator is told when the rows went but the raw-data files could not be rewritten
// (the system's own reason goes to the log).
std::string RawDeleteFailedText(int language);

// Deletes every row of Person, then replaces the two raw-data files by empty ones (the index
// first, so a cut-off never leaves an index record without its data).
DeleteOutcome DeleteAllResults(CADOConn& conn, const std::string& folder);

}  // namespace history
