#pragma once
// A count that the algorithm library could not compute is stored with every value "- - -", its
// raw record and the count's other inputs (measurement/kept_inputs.h). Once the library is back,
// the result history computes it here: the library on the stored histograms and inputs, then
// the count's own completion (marks, flags, value texts) written into the same row, as the count
// would have stored it.
#include <string>

class CADOConn;

namespace history {

enum class KeptRecompute {
  NotKept,        // no such row, or the row is not a kept count
  NoRawRecord,    // the row's histograms are not in the raw data files
  LibraryFailed,  // the library still cannot be used; the row stays as it is
  Recomputed,     // the row holds the computed result and no kept inputs any more (and X-B QC
                  // took it as it takes a count's)
  SaveFailed,     // the row could not be written
};

// Computes the kept count of (sampleNo, testDate) with the raw data files of `folder` (ending in
// '/') and writes its row. The row's group, TestTime and BloodType are those it holds; its units,
// decimals and limits are those in force, as for a count made now.
KeptRecompute RecomputeKeptResult(CADOConn& conn, const std::string& folder, const std::string& sampleNo,
                                  const std::string& testDate, int language);

// What the operator is told when a kept count could not be computed though the library could be
// used: its raw record is missing, or its row could not be written. Empty for the other outcomes.
std::string KeptRecomputeFailureText(KeptRecompute outcome, int language);

// A kept count computed later is not printed or sent by itself, even with instant printing or
// automatic sending on: the operator decides, and is told so when either is on (empty when both
// are off).
std::string KeptNotHandedOnText(CADOConn& conn, int language);

}  // namespace history
