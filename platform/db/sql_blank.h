#pragma once
#include <string_view>

namespace db {

// True when the text holds nothing but blanks, comments and ';'.
bool IsBlankSql(std::string_view s);

}  // namespace db
