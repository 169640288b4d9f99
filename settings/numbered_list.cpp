#include "settings/numbered_list.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"

namespace settings {

const NumberedTable& DepartmentTable() {
  static const NumberedTable t{"Department", {"Dept"}};
  return t;
}

const NumberedTable& DoctorTable() {
  static const NumberedTable t{"Doctor", {"Name", "Dept", "Sender", "Scrutator", "Checker"}};
  return t;
}

std::string StoredListText(const std::string& typed) {
  const size_t a = typed.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = typed.find_last_not_of(" \t");
  return SqlSafeText(typed.substr(a, b - a + 1));
}

bool LoadNumberedRows(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>* rows) {
  rows->clear();
  RecordsetPtr& rs = conn.OpenRecordset(std::string("Select * from ") + t.table + " order by SeqNo");
  if (!conn.RecordsetOpen()) return false;
  while (!rs->IsEOF()) {
    NumberedRow r;
    int32_t seq = 0;
    ReadField(*rs, "SeqNo", seq);
    r.seqNo = seq;
    for (const char* c : t.columns) {
      std::string s;
      ReadField(*rs, c, s);
      r.cells.push_back(s);
    }
    rows->push_back(std::move(r));
    rs->MoveNext();
  }
  conn.CloseRecordset();
  return true;
}

bool AppendNumberedRow(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>& rows,
                       const std::vector<std::string>& cells) {
  const int seq = static_cast<int>(rows.size()) + 1;
  std::string sql = StrPrintf("insert into %s values(%d", t.table, seq);
  for (const std::string& c : cells) sql += ",'" + SqlSafeText(c) + "'";
  sql += ")";
  if (conn.Execute(sql) != 1) return false;
  rows.push_back(NumberedRow{seq, cells});
  return true;
}

bool ModifyNumberedRow(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>& rows, size_t index,
                       const std::vector<std::string>& cells) {
  if (index >= rows.size()) return false;
  std::string sql = StrPrintf("update %s set ", t.table);
  for (size_t i = 0; i < t.columns.size() && i < cells.size(); ++i)
    sql += StrPrintf("%s%s='%s'", i ? "," : "", t.columns[i], SqlSafeText(cells[i]).c_str());
  sql += StrPrintf(" where SeqNo = %d", rows[index].seqNo);
  if (conn.Execute(sql) != 1) return false;
  rows[index].cells = cells;
  return true;
}

bool DeleteNumberedRows(CADOConn& conn, const NumberedTable& t, std::vector<NumberedRow>& rows,
                        const std::vector<size_t>& indexes) {
  if (!conn.IsConnected()) conn.Connect();
  bool ok = false;
  {
    // Each engine call takes the data lock for its own length only, so an error box shown on the
    // way never holds up another thread's database work.
    std::unique_ptr<db::Transaction> tx;
    {
      std::lock_guard<std::recursive_mutex> hold(DbLock());
      tx = std::make_unique<db::Transaction>(conn.Connection());
    }
    if (tx->Begun()) {
      ok = true;
      for (size_t i : indexes) {
        if (i >= rows.size()) continue;
        ok = conn.Execute(StrPrintf("delete from %s where SeqNo=%d", t.table, rows[i].seqNo)) == 1;
        if (!ok) break;
      }
      // Number what is left 1..N in its present order.
      if (ok) {
        std::vector<int64_t> ids;
        RecordsetPtr& rs = conn.OpenRecordset(std::string("select rowid as QxRowId from ") + t.table +
                                              " order by SeqNo, rowid");
        ok = conn.RecordsetOpen();
        while (ok && !rs->IsEOF()) {
          int64_t id = 0;
          ReadField(*rs, "QxRowId", id);
          ids.push_back(id);
          rs->MoveNext();
        }
        conn.CloseRecordset();
        for (size_t k = 0; ok && k < ids.size(); ++k)
          ok = conn.Execute(StrPrintf("update %s set SeqNo=%d where rowid=%lld", t.table, static_cast<int>(k + 1),
                                      static_cast<long long>(ids[k]))) == 1;
      }
      {
        std::lock_guard<std::recursive_mutex> hold(DbLock());
        ok = ok && tx->Commit();
        if (!ok) tx->Rollback();
        tx.reset();
      }
    }
  }
  LoadNumberedRows(conn, t, &rows);
  return ok;
}

}  // namespace settings
