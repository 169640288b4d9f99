#include "history/view_navigation.h"

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"

namespace history {
namespace {

std::string OneDate(CADOConn& conn, const std::string& sql) {
  std::string date;
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  if (conn.RecordsetOpen() && HasRows(*rs)) ReadField(*rs, "TestDate", date);
  conn.CloseRecordset();
  return date;
}

}  // namespace

std::string DaySql(int sortStyle, const std::string& date) {
  return "select * from Person where TestDate='" + SqlSafeText(date) + "'" +
         (sortStyle == 0 ? " order by TestTime" : " order by cast(SampleNo as integer)");
}

std::string NeighbourDate(CADOConn& conn, const std::string& date, bool forward) {
  const std::string d = SqlSafeText(date);
  std::string found = forward ? OneDate(conn, "select min(TestDate) as TestDate from Person where TestDate > '" + d + "'")
                              : OneDate(conn, "select max(TestDate) as TestDate from Person where TestDate < '" + d + "'");
  if (found.empty())
    found = forward ? OneDate(conn, "select min(TestDate) as TestDate from Person where TestDate < '" + d + "'")
                    : OneDate(conn, "select max(TestDate) as TestDate from Person where TestDate > '" + d + "'");
  return found;
}

int StepPosition(int position, int total, bool forward) {
  if (forward) return position + 1 > total ? 1 : position + 1;
  return position - 1 < 1 ? total : position - 1;
}

}  // namespace history
