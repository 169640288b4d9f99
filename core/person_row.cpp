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

PersonPatient ReadPersonPatient(CADOConn& conn, const std::string& sampleNo, const std::string& testDate) {
  PersonPatient p;
  p.found = OpenPersonRow(conn, sampleNo, testDate);
  if (p.found) {
    db::Recordset& rs = *conn.Recordset();
    auto text = [&rs](const char* column, std::optional<std::string>& out) {
      std::string v;
      if (ReadField(rs, column, v)) out = v;
    };
    text("Name", p.Name);
    text("Sex", p.Sex);
    text("AgeUnit", p.AgeUnit);
    text("ReferValue", p.ReferValue);
    text("MedicalNo", p.MedicalNo);
    text("BedNo", p.BedNo);
    text("Dept", p.Dept);
    text("Sender", p.Sender);
    text("Scrutator", p.Scrutator);
    text("Checker", p.Checker);
    int32_t age = 0;
    if (ReadField(rs, "Age", age)) p.Age = age;
  }
  conn.CloseRecordset();
  return p;
}

PersonPatient InsertedPersonPatient(const std::string& referValue) {
  PersonPatient p;
  p.found = true;
  p.Name = p.Sex = p.AgeUnit = p.MedicalNo = p.BedNo = p.Dept = p.Sender = p.Scrutator = p.Checker = "";
  p.ReferValue = referValue;
  p.Age = 0;
  return p;
}

bool PersonRowExists(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* opened) {
  const bool found = OpenPersonRow(conn, sampleNo, testDate, opened);
  conn.CloseRecordset();
  return found;
}
