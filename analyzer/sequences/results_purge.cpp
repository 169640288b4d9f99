#include "analyzer/sequences/results_purge.h"

#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
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

int PurgeResults(CADOConn& conn, int& personCount, const std::string& folder, bool onWorker) {
  if (personCount <= kMaxStoredResults) return 0;
  // The oldest whole days that bring the count to the limit, as pass after pass of
  // PurgeOldestDay would take them; their rows go in one delete and their raw records in one
  // rewrite of the raw files (a store far over the limit would otherwise rewrite them once a day).
  std::vector<std::string> dates;
  {
    RecordsetPtr& rs = conn.OpenRecordset(
        "select TestDate, count(*) as N from Person where TestDate is not null group by TestDate order by TestDate");
    if (!conn.RecordsetOpen()) return 0;
    int remaining = personCount;
    if (HasRows(*rs)) {
      for (rs->MoveFirst(); !rs->IsEOF() && remaining > kMaxStoredResults; rs->MoveNext()) {
        std::string date;
        int n = 0;
        if (!ReadField(*rs, "TestDate", date) || !ReadField(*rs, "N", n)) break;
        dates.push_back(date);
        remaining -= n;
      }
    }
    conn.CloseRecordset();
  }
  if (dates.empty()) return 0;
  const std::string where = " where TestDate <= '" + SqlSafeText(dates.back()) + "'";
  std::vector<std::string> keys;
  int rows = 0;
  {
    RecordsetPtr& rs = conn.OpenRecordset("select SampleNo, TestDate from Person" + where);
    if (!conn.RecordsetOpen()) return 0;
    if (HasRows(*rs)) {
      for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
        std::string sample, date;
        ReadField(*rs, "SampleNo", sample);
        ReadField(*rs, "TestDate", date);
        keys.push_back(RawDataKey(date, sample));
        ++rows;
      }
    }
    conn.CloseRecordset();
  }
  if (rows == 0 || !conn.Execute("delete from Person" + where)) return 0;
  personCount -= rows;
  // Raw records only of rows that are really gone.
  const std::string days = dates.front() + " to " + dates.back();
  auto logFailure = [days](bool ok, const std::string& error) {
    if (!ok) WriteLog("Removing the raw records of " + days + " failed: " + error);
  };
  if (onWorker) {
    QueueRawRemoval(folder, std::move(keys), logFailure);
  } else {
    std::string error;
    logFailure(RemoveRawRecords(folder, keys, &error), error);
  }
  return static_cast<int>(dates.size());
}

}  // namespace analyzer
