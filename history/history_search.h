#pragma once
// The search of the results browser: the operator's fields turned into the WHERE text over
// Person, and its refusals.
#include <string>
#include <vector>

namespace history {

struct SearchFields {
  std::string sampleNo, name, sex, medicalNo, bedNo, dept;
  std::string startYear, startMonth, startDay;
  std::string endYear, endMonth, endDay;
};

enum class SearchError { None, NoCondition, ReversedDates };

// The WHERE text (" where ... and ..."): the sample number trimmed and compared exactly, the
// name as a part of the stored name (characters the engine's LIKE treats as wildcards match
// only themselves), sex, medical number, bed number and department exactly, then the dates.
// A date range is added only when a date field was chosen: a missing year is `currentYear`, a
// missing month or day the first (start) or last (end) one; with no start field at all there is
// no lower bound, with no end field no upper one. Every apostrophe typed becomes U+2018, and a
// text with one finds the rows stored with U+2018 and those stored earlier with a plain
// apostrophe.
std::string BuildSearchCondition(const SearchFields& f, int currentYear, SearchError* error);

// A LIKE pattern that matches `text` (made SQL-safe) anywhere, wildcards of the text taken
// literally (with the escape clause the pattern needs): "Name like '%50\%%' escape '\'"; with
// a U+2018 in the text, either stored form of it.
std::string ContainsClause(const std::string& column, const std::string& text);

// The years offered by the date lists: 2009 up to five years past `currentYear`.
std::vector<std::string> SearchYears(int currentYear);

std::string SearchErrorText(SearchError e, int language);
std::string NoMatchText(int language);

}  // namespace history
