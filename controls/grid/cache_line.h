#pragma once
// One record of the grid's record cache as a line of text: "<n>=<field>,<field>,...,\r\n".
// An empty (or Null) field is written "null". So that every field reads back as itself, a
// field's own backslash, comma, CR and LF are escaped (\\ \c \r \n), and a field whose text
// really is "null" is written "\enull" (\e stands for nothing).
#include <string>
#include <vector>

namespace grid {

std::string EncodeCacheField(const std::string& text);
// The text of one piece of a line as written by EncodeCacheField.
std::string DecodeCacheField(const std::string& piece);
std::string BuildCacheLine(int recordNumber, const std::vector<std::string>& fields);
// The pieces of a line (from its start up to CR or the end), after the "<n>=" key. The
// piece after the last comma (empty for a whole line) is included, as splitting gives it.
std::vector<std::string> SplitCacheLine(const char* line);

}  // namespace grid
