#include "app/screens/restore_check.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <vector>

#include "analyzer/raw_test_data.h"
#include "core/data_store.h"

namespace {

struct Db {
  sqlite3* db = nullptr;
  ~Db() {
    if (db) sqlite3_close_v2(db);
  }
};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Rows(sqlite3* db, const std::string& sql, std::vector<std::string>* out) {
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) return false;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    const unsigned char* t = sqlite3_column_text(st, 0);
    out->push_back(t ? reinterpret_cast<const char*>(t) : "");
  }
  sqlite3_finalize(st);
  return rc == SQLITE_DONE;
}

// Table name (lower case) -> its column names (lower case).
using Layout = std::map<std::string, std::set<std::string>>;

bool ReadLayout(sqlite3* db, Layout* layout) {
  std::vector<std::string> tables;
  if (!Rows(db, "select name from sqlite_master where type='table' and name not like 'sqlite_%'", &tables))
    return false;
  for (const std::string& t : tables) {
    std::vector<std::string> cols;
    std::string quoted;
    for (char c : t) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    if (!Rows(db, "select name from pragma_table_info(\"" + quoted + "\")", &cols)) return false;
    std::set<std::string>& set = (*layout)[Lower(t)];
    for (const std::string& c : cols) set.insert(Lower(c));
  }
  return true;
}

// The layout a new store has, less the columns the start-up upgrade adds to an older one.
const Layout& ProgramLayout() {
  static const Layout layout = [] {
    Layout l;
    Db mem;
    if (sqlite3_open(":memory:", &mem.db) != SQLITE_OK) return l;
    if (sqlite3_exec(mem.db, SchemaSql(), nullptr, nullptr, nullptr) != SQLITE_OK) return l;
    ReadLayout(mem.db, &l);
    for (const SysSettingUpgrade& u : kSysSettingUpgrades) l["syssetting"].erase(Lower(u.column));
    l["person"].erase("pmarker1");
    l["person"].erase("pmarker2");
    l["person"].erase("countinputs");
    return l;
  }();
  return layout;
}

}  // namespace

bool IsProgramStore(const std::string& path, std::string* why) {
  auto fail = [&](const std::string& reason) {
    if (why) *why = reason;
    return false;
  };
  Db src;
  if (sqlite3_open_v2(path.c_str(), &src.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    return fail(std::string("cannot open: ") + sqlite3_errmsg(src.db));
  sqlite3_busy_timeout(src.db, 5000);
  std::vector<std::string> check;
  if (!Rows(src.db, "pragma integrity_check", &check))
    return fail(std::string("not a readable database: ") + sqlite3_errmsg(src.db));
  if (check.size() != 1 || check[0] != "ok")
    return fail("damaged: " + (check.empty() ? std::string("no answer") : check[0]));
  Layout have;
  if (!ReadLayout(src.db, &have)) return fail(std::string("cannot read its tables: ") + sqlite3_errmsg(src.db));
  const Layout& want = ProgramLayout();
  if (want.empty()) return fail("the program's own table layout could not be made");
  for (const auto& [table, columns] : want) {
    const auto it = have.find(table);
    if (it == have.end()) return fail("not a store of this program: table " + table + " is missing");
    for (const std::string& c : columns)
      if (!it->second.count(c)) return fail("not a store of this program: column " + table + "." + c + " is missing");
  }
  return true;
}

bool RawFilesFit(const std::string& indexPath, const std::string& dataPath, std::string* why) {
  struct stat si, sd;
  if (stat(indexPath.c_str(), &si) != 0 || stat(dataPath.c_str(), &sd) != 0) {
    if (why) *why = "cannot read the raw-data files";
    return false;
  }
  const unsigned long long records = static_cast<unsigned long long>(si.st_size) / analyzer::kRawIndexRecordSize;
  const unsigned long long need = records * analyzer::kRawDataRecordSize;
  if (static_cast<unsigned long long>(sd.st_size) < need) {
    if (why)
      *why = dataPath + " holds " + std::to_string(static_cast<unsigned long long>(sd.st_size) / analyzer::kRawDataRecordSize) +
             " records, " + indexPath + " indexes " + std::to_string(records);
    return false;
  }
  return true;
}
