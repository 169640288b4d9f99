#pragma once
// Small helpers for building SQLite text.
#include <string>
#include <string_view>

namespace db {

// 'text' with every apostrophe doubled: O'Brien -> 'O''Brien'. Safe to paste into SQL.
std::string QuoteText(std::string_view text);
// The same without the surrounding apostrophes, for callers whose format already has them
// ("... where Name='%s'").
std::string EscapeText(std::string_view text);
// "name" with every double quote doubled; for table and column names (also ones that start
// with a digit).
std::string QuoteIdentifier(std::string_view name);

// The shape of a query a recordset can hold as a keyset: SELECT <plain columns> FROM <one
// table> followed by nothing but WHERE, ORDER BY, LIMIT and OFFSET. Anything else (joins,
// aggregates, DISTINCT, GROUP BY, compound selects, expressions or aliases in the column list,
// ORDER BY by column number) is not of this shape.
struct SingleTableSelect {
  bool matches = false;
  std::string columns;  // the column list as written ("*", "a, b", "t.*")
  std::string table;    // the table name as written (quotes kept)
  std::string rest;     // everything after the table name, as written, without a final ';'
};
SingleTableSelect MatchSingleTableSelect(std::string_view sql);

}  // namespace db
