#pragma once
// Results as a count stores them (its raw record, then its row), and the check that each stored
// result still has its own raw record: shared by the backup and restore suites.
#include <string>

class CADOConn;

namespace counted {

inline constexpr const char* kDate = "2026-12-09";

// The raw record of sample n: bytes no other sample has.
std::string RecordOf(int n);
// The raw key of sample n on kDate.
std::string KeyOf(int n);

// A count's save of sample n: the raw record into the files of `dir`, then its row (with a WBC,
// so a result).
void SaveCount(CADOConn& conn, const std::string& dir, int n);

// The sample numbers of the live store's results (rows with a count) in order ("1,2,3"); each
// one missing its own raw record fails the test, naming `where`.
std::string RowsWithTheirRecords(const std::string& dir, const std::string& where);

}  // namespace counted
