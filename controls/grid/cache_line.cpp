#include "controls/grid/cache_line.h"

#include <cstring>

namespace grid {

std::string EncodeCacheField(const std::string& text) {
  if (text.empty()) return "null";
  std::string out;
  out.reserve(text.size() + 2);
  if (text == "null") out += "\\e";
  for (char ch : text) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case ',': out += "\\c"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += ch;
    }
  }
  return out;
}

std::string DecodeCacheField(const std::string& piece) {
  if (piece == "null") return std::string();
  std::string out;
  out.reserve(piece.size());
  for (size_t i = 0; i < piece.size(); ++i) {
    if (piece[i] != '\\' || i + 1 == piece.size()) {
      out += piece[i];
      continue;
    }
    switch (piece[++i]) {
      case '\\': out += '\\'; break;
      case 'c': out += ','; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 'e': break;
      default: out += '\\'; out += piece[i];
    }
  }
  return out;
}

std::string BuildCacheLine(int recordNumber, const std::vector<std::string>& fields) {
  std::string line = std::to_string(recordNumber);
  line += '=';
  for (const std::string& f : fields) {
    line += EncodeCacheField(f);
    line += ',';
  }
  line += "\r\n";
  return line;
}

std::vector<std::string> SplitCacheLine(const char* line) {
  std::vector<std::string> pieces;
  if (!line) return pieces;
  const char* end = line;
  while (*end && *end != '\r' && *end != '\n') ++end;
  const char* p = static_cast<const char*>(std::memchr(line, '=', end - line));
  p = p ? p + 1 : line;
  while (true) {
    const char* comma = static_cast<const char*>(std::memchr(p, ',', end - p));
    if (!comma) {
      pieces.emplace_back(p, end);
      break;
    }
    pieces.emplace_back(p, comma);
    p = comma + 1;
  }
  return pieces;
}

}  // namespace grid
