#include "printing/print_items.h"

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/value_format.h"

namespace {

// Columns 2 to 21 of the open row, 1 where the value is exactly 1, put into display order.
void ReadFlags(db::Recordset& rs, uint8_t out[20]) {
  uint8_t flags[20];
  for (int i = 0; i < 20; ++i) {
    int64_t v = 0;
    flags[i] = (ReadField(rs, 2 + i, v) && v == 1) ? 1 : 0;
  }
  ReorderParamBytesForDisplay(flags);
  for (int i = 0; i < 20; ++i) out[i] = flags[i];
}

bool LoadFrom(CADOConn& conn, const std::string& sql, uint8_t out[20], int* modelNo) {
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  bool found = false;
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    ReadFlags(*rs, out);
    if (modelNo) {
      int32_t n = 0;
      if (ReadField(*rs, "ModelNo", n)) *modelNo = n;
    }
    found = true;
  }
  conn.CloseRecordset();
  return found;
}

}  // namespace

int PrintItemColumn(int displayIndex) {
  if (displayIndex < 0 || displayIndex >= 20) return 0;
  return kDisplayFromStore[displayIndex] + 1;
}

bool LoadDefaultPrintItems(CADOConn& conn, uint8_t out[20], int* modelNo) {
  return LoadFrom(conn, "select * from PrintItemsSet where IsDefault = true", out, modelNo);
}

bool LoadPrintItems(CADOConn& conn, int modelNo, uint8_t out[20]) {
  return LoadFrom(conn, StrPrintf("Select * from PrintItemsSet where ModelNo = %d", modelNo), out, nullptr);
}

std::string PrintItemsUpdateSql(const uint8_t displayFlags[20], int modelNo) {
  uint8_t stored[20];
  for (int i = 0; i < 20; ++i) stored[i] = displayFlags[i] ? 1 : 0;
  ReorderParamBytesForStore(stored);
  std::string sql = "update PrintItemsSet set ";
  for (int k = 0; k < 20; ++k) {
    sql += StrPrintf("P%d=%d,", k + 1, stored[k]);
    if (k == 7 || k == 17) sql += "\t\t";
  }
  return sql + StrPrintf("IsDefault=1 where ModelNo=%d", modelNo);
}

std::string PrintItemsClearDefaultSql(int modelNo) {
  return StrPrintf("update PrintItemsSet set IsDefault=0 where ModelNo <> %d", modelNo);
}

bool SaveDefaultPrintItems(CADOConn& conn, const uint8_t displayFlags[20], int modelNo) {
  const bool a = conn.Execute(PrintItemsUpdateSql(displayFlags, modelNo)) != 0;
  const bool b = conn.Execute(PrintItemsClearDefaultSql(modelNo)) != 0;
  return a && b;
}
