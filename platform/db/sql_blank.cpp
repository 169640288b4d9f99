#include "platform/db/sql_blank.h"

#include <cctype>

namespace db {

bool IsBlankSql(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c) || c == ';') {
      ++i;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      while (i < s.size() && s[i] != '\n') ++i;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      const size_t e = s.find("*/", i + 2);
      if (e == std::string_view::npos) return true;  // an unterminated comment runs to the end
      i = e + 2;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace db
