#include "analyzer/sequences/results_purge.h"

#include <vector>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/write_log.h"

namespace analyzer {

int PurgeOldestDay(CADOConn& conn, int& personCount, const std::string& folder) {
  RecordsetPtr& rs =
      conn.OpenRecordset("Select  SampleNo,TestDate From Person where TestDate = (Select min(TestDate) from Person) ");
  if (!conn.RecordsetOpen()) return 0;
  std::vector<std::string> samples;
  std::string date;
  bool haveDate = false;
  if (HasRows(*rs)) {
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
      std::string s;
      ReadField(*rs, "SampleNo", s);
      samples.push_back(s);
      if (!haveDate) haveDate = ReadField(*rs, "TestDate", date);
    }
  }
  conn.CloseRecordset();
  const int n = static_cast<int>(samples.size());
  if (n == 0 || !haveDate) return 0;
  if (!conn.Execute("delete from Person where TestDate = '" + date + "'")) return 0;
  personCount -= n;
  // Raw records only of rows that are really gone.
  std::vector<std::string> keys;
  for (const std::string& s : samples) keys.push_back(RawDataKey(date, s));
  std::string error;
  if (!RemoveRawRecords(folder, keys, &error)) WriteLog("Removing the raw records of " + date + " failed: " + error);
  return n;
}

int PurgeResults(CADOConn& conn, int& personCount, const std::string& folder) {
  int passes = 0;
  while (personCount > kMaxStoredResults) {
    if (PurgeOldestDay(conn, personCount, folder) == 0) break;
    ++passes;
  }
  return passes;
}

}  // namespace analyzer
