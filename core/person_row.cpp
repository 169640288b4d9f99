#include "core/person_row.h"

#include <cstdio>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"

std::string StoredDateText(const sys::LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d-%.2d-%.2d", t.year, t.month, t.day);
  return buf;
}

std::string StoredTimeText(const sys::LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2d:%.2d:%.2d", t.hour, t.minute, t.second);
  return buf;
}

std::string StoredDateToday() { return StoredDateText(sys::Clock::Now()); }
std::string StoredTimeNow() { return StoredTimeText(sys::Clock::Now()); }

std::string PersonKeyWhere(const std::string& sampleNo, const std::string& testDate) {
  return "SampleNo='" + SqlSafeText(sampleNo) + "' and TestDate='" + SqlSafeText(testDate) + "'";
}

std::string SelectPersonSql(const std::string& sampleNo, const std::string& testDate) {
  return "Select * from Person where " + PersonKeyWhere(sampleNo, testDate);
}

std::string UpdatePersonSql(const std::string& assignments, const std::string& sampleNo, const std::string& testDate,
                            const char* verb) {
  return std::string(verb) + " Person set " + assignments + " where " + PersonKeyWhere(sampleNo, testDate);
}

std::string DeletePersonSql(const std::string& sampleNo, const std::string& testDate) {
  return "delete from Person where " + PersonKeyWhere(sampleNo, testDate);
}

bool OpenPersonRow(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* opened) {
  RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(sampleNo, testDate));
  const bool open = conn.RecordsetOpen();
  if (opened) *opened = open;
  return open && HasRows(*rs);
}

bool PersonRowExists(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* opened) {
  const bool found = OpenPersonRow(conn, sampleNo, testDate, opened);
  conn.CloseRecordset();
  return found;
}
