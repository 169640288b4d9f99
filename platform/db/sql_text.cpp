#include "platform/db/sql_text.h"

#include <cctype>
#include <vector>

namespace db {

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char c : text) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out;
}

std::string QuoteText(std::string_view text) { return "'" + EscapeText(text) + "'"; }

std::string QuoteIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

namespace {

enum class Tok { Word, Quoted, Number, String, Punct, End };

struct Token {
  Tok kind;
  size_t begin, end;  // byte range in the text
  std::string upper;  // Word: upper-cased; Punct: the character
};

bool IsWordStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsWordChar(unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80; }

// Splits SQL text into tokens. Comments and blanks are dropped. Returns false on text that
// does not lex (an unterminated string or quoted name): such text is left to the engine.
bool Lex(std::string_view s, std::vector<Token>* out) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (std::isspace(c)) { ++i; continue; }
    if (c == '-' && i + 1 < n && s[i + 1] == '-') {
      while (i < n && s[i] != '\n') ++i;
      continue;
    }
    if (c == '/' && i + 1 < n && s[i + 1] == '*') {
      const size_t e = s.find("*/", i + 2);
      if (e == std::string_view::npos) return false;
      i = e + 2;
      continue;
    }
    const size_t b = i;
    if (c == '\'' || c == '"' || c == '`' || c == '[') {
      const char close = c == '[' ? ']' : static_cast<char>(c);
      ++i;
      for (;;) {
        if (i >= n) return false;
        if (s[i] == close) {
          if (close != ']' && i + 1 < n && s[i + 1] == close) { i += 2; continue; }
          ++i;
          break;
        }
        ++i;
      }
      out->push_back({c == '\'' ? Tok::String : Tok::Quoted, b, i, {}});
      continue;
    }
    if (IsWordStart(c)) {
      while (i < n && IsWordChar(static_cast<unsigned char>(s[i]))) ++i;
      std::string up(s.substr(b, i - b));
      for (auto& ch : up) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      out->push_back({Tok::Word, b, i, up});
      continue;
    }
    if (std::isdigit(c) || (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      while (i < n && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
      out->push_back({Tok::Number, b, i, {}});
      continue;
    }
    ++i;
    out->push_back({Tok::Punct, b, i, std::string(1, static_cast<char>(c))});
  }
  out->push_back({Tok::End, n, n, {}});
  return true;
}

bool IsName(const Token& t) { return t.kind == Tok::Word || t.kind == Tok::Quoted; }
bool IsPunct(const Token& t, char c) { return t.kind == Tok::Punct && t.upper[0] == c; }
bool IsWord(const Token& t, const char* w) { return t.kind == Tok::Word && t.upper == w; }

// Words that may not follow a column name or table name in a plain single-table query.
bool IsReservedAfterName(const Token& t) {
  static const char* const kWords[] = {"FROM", "AS", "WHERE", "ORDER", "GROUP", "HAVING", "LIMIT",
                                       "UNION", "EXCEPT", "INTERSECT", "JOIN", "SELECT", "DISTINCT",
                                       "ALL", "WINDOW", "OFFSET"};
  if (t.kind != Tok::Word) return false;
  for (const char* w : kWords)
    if (t.upper == w) return true;
  return false;
}

}  // namespace

SingleTableSelect MatchSingleTableSelect(std::string_view sql) {
  SingleTableSelect r;
  std::vector<Token> t;
  if (!Lex(sql, &t)) return r;
  // Drop one final ';'; a ';' anywhere else means several statements.
  size_t last = t.size() - 1;  // index of End
  if (last > 0 && IsPunct(t[last - 1], ';')) --last;
  for (size_t k = 0; k < last; ++k)
    if (IsPunct(t[k], ';')) return r;

  size_t k = 0;
  if (!IsWord(t[k], "SELECT")) return r;
  ++k;
  // Column list: '*' or plain names, each optionally qualified by the table, comma-separated.
  const size_t colsBegin = t[k].begin;
  for (;;) {
    if (IsPunct(t[k], '*')) {
      ++k;
    } else if (IsName(t[k]) && !IsReservedAfterName(t[k])) {
      ++k;
      if (IsPunct(t[k], '.')) {
        ++k;
        if (IsPunct(t[k], '*') || (IsName(t[k]) && !IsReservedAfterName(t[k]))) ++k;
        else return r;
      }
    } else {
      return r;
    }
    if (IsPunct(t[k], ',')) { ++k; continue; }
    break;
  }
  const size_t colsEnd = t[k - 1].end;
  if (!IsWord(t[k], "FROM")) return r;  // also rejects "a b" (an alias) and "f(x)"
  ++k;
  if (!IsName(t[k]) || IsReservedAfterName(t[k])) return r;
  const Token& table = t[k];
  ++k;
  if (IsPunct(t[k], '.')) return r;  // schema-qualified: left to the engine whole
  // What follows the table: nothing, WHERE, ORDER BY, LIMIT.
  if (!(k == last || IsWord(t[k], "WHERE") || IsWord(t[k], "ORDER") || IsWord(t[k], "LIMIT")))
    return r;
  const size_t restBegin = t[k].begin;
  int depth = 0;
  bool inOrderBy = false;
  for (size_t j = k; j < last; ++j) {
    const Token& x = t[j];
    if (IsPunct(x, '(')) { ++depth; continue; }
    if (IsPunct(x, ')')) { --depth; continue; }
    if (depth != 0) continue;
    if (x.kind == Tok::Word) {
      if (x.upper == "GROUP" || x.upper == "HAVING" || x.upper == "UNION" || x.upper == "EXCEPT" ||
          x.upper == "INTERSECT" || x.upper == "WINDOW" || x.upper == "JOIN")
        return r;
      if (x.upper == "ORDER") inOrderBy = true;
      if (x.upper == "LIMIT") inOrderBy = false;
    }
    // ORDER BY 2: a column number of the list, which the keyset query does not have.
    if (inOrderBy && x.kind == Tok::Number && j > 0 &&
        (IsWord(t[j - 1], "BY") || IsPunct(t[j - 1], ',')))
      return r;
  }
  if (depth != 0) return r;
  r.matches = true;
  r.columns = std::string(sql.substr(colsBegin, colsEnd - colsBegin));
  r.table = std::string(sql.substr(table.begin, table.end - table.begin));
  r.rest = k == last ? std::string() : std::string(sql.substr(restBegin, t[last - 1].end - restBegin));
  return r;
}

}  // namespace db
