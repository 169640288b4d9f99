// Fuzz target of a restored store read through the field reader: a store copied back from a
// backup can hold any value in any column (a text in a number column, a blob, an integer that
// does not fit, an infinite real). Every row is read by index and by name into every kind of
// target without a sanitizer report, and
//  * a field reads (returns true) exactly when it holds a value, whatever the target;
//  * a text or blob kept in a column without a declared type reads back as stored.
//
// Input: values one after another, each a kind byte (null, integer, real, text, blob) and its
// bytes (8 for a number, a length byte and the bytes for a text or blob); every five values
// make a row of the table.
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/field_read.h"
#include "platform/db/connection.h"
#include "platform/db/sql_text.h"

namespace {

constexpr int kColumns = 5;
const char* const kNames[kColumns] = {"Loose", "SampleNo", "WBC", "Name", "Histogram"};

struct Cell {
  bool null = true;
  bool loose = false;  // a text or blob in the column without a declared type
  std::string text;    // what a text or blob holds
  std::string sql;     // the literal
};

db::Connection& Store() {
  static db::Connection* c = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_field_read_XXXXXX";
    if (!mkdtemp(path.data())) std::abort();
    auto* conn = new db::Connection;
    db::OpenOptions o;
    o.create = true;
    if (!conn->Open(path + "/store.db", o) ||
        !conn->Execute("create table Person (Loose, SampleNo INTEGER, WBC REAL, Name TEXT, Histogram BLOB)"))
      std::abort();
    return conn;
  }();
  return *c;
}

std::string Hex(const std::string& bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    out += d[b >> 4];
    out += d[b & 15];
  }
  return out;
}

Cell TakeCell(const uint8_t*& p, const uint8_t* end) {
  Cell c;
  c.sql = "NULL";
  if (p == end) return c;
  const uint8_t kind = *p++ % 5;
  if (kind == 1 || kind == 2) {
    uint8_t raw[8] = {};
    for (int i = 0; i < 8 && p != end; ++i) raw[i] = *p++;
    if (kind == 1) {
      int64_t v;
      std::memcpy(&v, raw, 8);
      c.sql = std::to_string(v);
    } else {
      double v;
      std::memcpy(&v, raw, 8);
      if (std::isnan(v)) return c;  // the engine keeps no NaN
      char b[64];
      std::snprintf(b, sizeof b, "%.17g", v);
      c.sql = std::isinf(v) ? (v > 0 ? "9e999" : "-9e999") : b;
    }
    c.null = false;
  } else if (kind == 3 || kind == 4) {
    size_t n = p != end ? *p++ : 0;
    n = std::min<size_t>(n, static_cast<size_t>(end - p));
    c.text.assign(reinterpret_cast<const char*>(p), n);
    p += n;
    if (kind == 3) {
      for (char& ch : c.text)
        if (ch == 0) ch = 1;  // a text literal ends at a NUL
      c.sql = db::QuoteText(c.text);
    } else {
      c.sql = "X'" + Hex(c.text) + "'";
    }
    c.null = false;
  }
  return c;
}

template <class Key>
void ReadEvery(db::Recordset& rs, Key key, const Cell& cell) {
  std::string s;
  double d = 0;
  float f = 0;
  int64_t i64 = 0;
  int32_t i32 = 0;
  int16_t i16 = 0;
  uint16_t u16 = 0;
  uint8_t u8 = 0;
  const bool got[] = {ReadField(rs, key, s),   ReadField(rs, key, d),   ReadField(rs, key, f),
                      ReadField(rs, key, i64), ReadField(rs, key, i32), ReadField(rs, key, i16),
                      ReadField(rs, key, u16), ReadField(rs, key, u8)};
  for (bool g : got)
    if (g == cell.null) std::abort();
  if (cell.loose && s != cell.text) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  db::Connection& store = Store();
  if (!store.Execute("delete from Person")) std::abort();
  const uint8_t* p = data;
  const uint8_t* end = data + size;
  std::vector<std::vector<Cell>> rows;
  while (p != end && rows.size() < 8) {
    std::vector<Cell> row;
    std::string sql = "insert into Person values (";
    for (int c = 0; c < kColumns; ++c) {
      row.push_back(TakeCell(p, end));
      row.back().loose = c == 0 && !row.back().null && row.back().sql[0] != '-' &&
                         (row.back().sql[0] == '\'' || row.back().sql[0] == 'X');
      sql += (c ? "," : "") + row.back().sql;
    }
    if (!store.Execute(sql + ")")) std::abort();
    rows.push_back(std::move(row));
  }

  db::Recordset rs;
  if (!store.OpenRecordset("select * from Person order by rowid", &rs)) std::abort();
  if (HasRows(rs) != !rows.empty()) std::abort();
  const std::vector<std::string> names = FieldNamesOf(rs);
  if (!HasColumnNamed(names, "wbc") || HasColumnNamed(names, "RBC")) std::abort();
  for (const std::vector<Cell>& row : rows) {
    if (rs.IsEOF()) std::abort();
    for (int c = 0; c < kColumns; ++c) {
      ReadEvery(rs, c, row[c]);
      ReadEvery(rs, std::string_view(kNames[c]), row[c]);
    }
    rs.MoveNext();
  }
  if (!rs.IsEOF()) std::abort();
  return 0;
}
