#pragma once
// The results browser's plain rules: which rows it lists and in which order, the rows it
// removes when it opens, its page counters, its status line and how a stored value is coloured.
#include <cstdint>
#include <string>
#include <vector>

namespace history {

inline constexpr int kPageSize = 100;
inline constexpr int kGridRows = 23;  // sample number, date, time, the 20 values

// The Person column of each grid row (0 SampleNo, 1 TestDate, 2 TestTime, 3.. the values in
// the browser's own order).
extern const char* const kGridColumns[kGridRows];

// "select * from Person" + condition + the order of the sort style, newest first: 0 by date and
// time, any other value by sample number as a number.
std::string ListSql(int sortStyle, const std::string& condition = std::string());
// Whether the browser works the list out whole when it opens it (its keys held, in order),
// rather than reading each page on its own over the date index: in sample-number order (no
// index gives it) and for a search by a part of the name (found only by reading every name).
bool ListHeldWhole(int sortStyle, const std::string& condition);
// The list worked out whole: the keys (rowid) of its rows in the list's order, one column. A
// condition on the name is looked up over the index of names alone, and no row is read.
std::string HeldListSql(int sortStyle, const std::string& condition);
// The rows of the keys `ids` (in any order), each with its key as "HeldId".
std::string HeldPageSql(const std::vector<int64_t>& ids);
// The rows of one page of a list that is not held whole: `kPageSize` rows from position
// `position` (1-based).
std::string PageSql(int sortStyle, const std::string& condition, int position);

// Rows that hold neither a result nor a profile: no value in any of the 20 result columns and
// nothing in the patient columns (name, sex, a non-zero age, medical and bed number, department,
// sender, tester, checker). A row the patient screen wrote ahead of its count holds a profile
// and stays.
std::string PurgeEmptyRowsSql();

// The page counters of the browser. Pages are numbered from the end of the list (page 1 holds
// the oldest rows) so the browser opens on page `pageCount`; `position` is the 1-based list
// position of the page's first column.
struct Paging {
  int total = 0;
  int pageCount = 0;
  int currentPage = 0;
  int currentRecords = 0;
  int position = 1;
};
Paging OpenPaging(int total);
// Toward older rows; false (nothing changes) on page 1.
bool PageDown(Paging& p);
// Toward newer rows; false on the last page.
bool PageUp(Paging& p);
// After `deleted` rows of the shown page went; the browser refills when the page changed.
void AfterDelete(Paging& p, int deleted);

// The status line: with records, or the empty form when `total` is 0.
std::string StatusText(int language, const Paging& p, bool openingForm = false);
// "Delete %d records in all" in the language.
std::string DeleteCountText(int language, int count);

// A stored value that carries a mark: a blank after its first character.
bool HasMark(const std::string& storedText);

}  // namespace history
