#include "counted_results.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "analyzer/raw_test_data.h"
#include "core/ado_conn.h"

namespace counted {

std::string RecordOf(int n) {
  std::string r(analyzer::kRawDataRecordSize, '\0');
  for (size_t i = 0; i < r.size(); ++i) r[i] = static_cast<char>((n * 53 + i * 7) % 249);
  return r;
}

std::string KeyOf(int n) { return analyzer::RawDataKey(kDate, std::to_string(n)); }

void SaveCount(CADOConn& conn, const std::string& dir, int n) {
  const std::string record = RecordOf(n);
  ASSERT_EQ(analyzer::WriteRawRecord(dir, KeyOf(n), reinterpret_cast<const uint8_t*>(record.data())),
            analyzer::RawWrite::Written);
  ASSERT_EQ(conn.Execute("insert into Person (SampleNo, TestDate, WBC) values ('" + std::to_string(n) + "', '" + kDate +
                         "', '5.0')"),
            1);
}

std::string RowsWithTheirRecords(const std::string& dir, const std::string& where) {
  std::string rows;
  sqlite3* db = nullptr;
  sqlite3_open_v2(DatabasePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "select SampleNo, TestDate from Person where coalesce(WBC,'')<>'' order by cast(SampleNo as integer)", -1, &st, nullptr);
  while (st && sqlite3_step(st) == SQLITE_ROW) {
    const std::string no = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    const std::string date = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
    rows += (rows.empty() ? "" : ",") + no;
    uint8_t back[analyzer::kRawDataRecordSize];
    if (!analyzer::ReadRawRecord(dir, analyzer::RawDataKey(date, no), back))
      ADD_FAILURE() << where << ": sample " << no << " has no raw record";
    else if (std::string(reinterpret_cast<const char*>(back), sizeof back) != RecordOf(std::stoi(no)))
      ADD_FAILURE() << where << ": sample " << no << " has another sample's record";
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return rows;
}

}  // namespace counted
