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

// Gives a stored result of `testDate` the sample number `newNo` by running `rowUpdateSql` (the
// update of its row from `oldNo`). The raw record is written under the new number first and
// the old one goes last, so a cut-off at any step leaves the row with its own histograms. A
// result without a raw record is renumbered alone. False, with the row unchanged, when the
// record cannot be written or the row not updated (*error says why).
bool RenumberResult(CADOConn& conn, const std::string& folder, const std::string& testDate, const std::string& oldNo,
                    const std::string& newNo, const std::string& rowUpdateSql, std::string* error = nullptr);

// Deletes every row of Person, then replaces the two raw-data files by empty ones (the index
// first, so a cut-off never leaves an index record without its data).
DeleteOutcome DeleteAllResults(CADOConn& conn, const std::string& folder);

}  // namespace history
