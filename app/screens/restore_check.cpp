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
#include "platform/sys/atomic_file.h"

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

bool ResultsHaveTheirRecords(const std::string& storePath, const std::string& indexPath, const std::string& dataPath,
                             std::string* why) {
  auto fail = [&](const std::string& reason) {
    if (why) *why = reason;
    return false;
  };
  std::string index;
  struct stat sd;
  if (!sys::ReadWholeFile(indexPath, &index, why)) return false;
  if (stat(dataPath.c_str(), &sd) != 0) return fail("cannot read " + dataPath);
  const size_t records = index.size() / analyzer::kRawIndexRecordSize;
  const size_t dataRecords = static_cast<size_t>(sd.st_size) / analyzer::kRawDataRecordSize;
  if (dataRecords > records + 1)
    return fail(dataPath + " holds " + std::to_string(dataRecords) + " records, " + indexPath + " indexes " +
                std::to_string(records) + ": the two files do not belong together");
  // Key -> how many complete index records hold it.
  std::map<std::string, int> keys;
  for (size_t i = 0; i < records; ++i) {
    const unsigned char* rec = reinterpret_cast<const unsigned char*>(index.data()) + i * analyzer::kRawIndexRecordSize;
    const std::string key = analyzer::IndexRecordKey(rec);
    // Only a record that is its key followed by zeros is the key's (as the reader finds it).
    if (key.size() < analyzer::kRawIndexRecordSize &&
        std::all_of(rec + key.size(), rec + analyzer::kRawIndexRecordSize, [](unsigned char c) { return c == 0; }))
      ++keys[key];
  }
  Db src;
  if (sqlite3_open_v2(storePath.c_str(), &src.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
    return fail(storePath + ": cannot open: " + sqlite3_errmsg(src.db));
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(src.db, "select SampleNo, TestDate from Person where coalesce(WBC,'')<>''", -1, &st, nullptr) !=
      SQLITE_OK)
    return fail(storePath + ": cannot read the results: " + sqlite3_errmsg(src.db));
  std::vector<std::string> missing, doubled;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    auto text = [&](int c) {
      const unsigned char* t = sqlite3_column_text(st, c);
      return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
    };
    const std::string no = text(0), date = text(1), key = analyzer::RawDataKey(date, no);
    if (key.empty()) continue;  // no record can be named for it: nothing to check
    const auto it = keys.find(key);
    if (it == keys.end()) missing.push_back(date + " " + no);
    else if (it->second > 1) doubled.push_back(date + " " + no);
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) return fail(storePath + ": cannot read the results: " + sqlite3_errmsg(src.db));
  auto list = [](const std::vector<std::string>& samples) {
    std::string l;
    for (size_t i = 0; i < samples.size() && i < 5; ++i) l += (i ? ", " : "") + samples[i];
    return samples.size() > 5 ? l + ", ..." : l;
  };
  if (!missing.empty())
    return fail(std::to_string(missing.size()) + " results have no raw record in " + indexPath + ": " + list(missing));
  if (!doubled.empty())
    return fail(std::to_string(doubled.size()) + " results are indexed more than once in " + indexPath + ": " +
                list(doubled));
  return true;
}
