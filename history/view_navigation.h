#pragma once
// Last and Next of the single-result view: the rows of one test date in the browser's sort
// order, and the neighbouring date that has rows (wrapping round the whole table).
#include <string>

class CADOConn;

namespace history {

// "select * from Person where TestDate='...'" ordered by time (sort style 0) or by sample number.
std::string DaySql(int sortStyle, const std::string& testDate);

// The next later date (`forward`) or the next earlier one; at the end of the table the earliest
// (latest) date. "" when no other date has rows.
std::string NeighbourDate(CADOConn& conn, const std::string& testDate, bool forward);

// The "current/total" counter, wrapping at both ends.
int StepPosition(int position, int total, bool forward);

}  // namespace history
