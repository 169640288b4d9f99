#include "history/history_delete.h"

#include "core/person_row.h"
#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "analyzer/sequences/results_purge.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"

namespace history {

DeleteOutcome DeleteResultRows(CADOConn& conn, const std::vector<ResultKey>& keys) {
  DeleteOutcome out;
  if (keys.empty()) {
    out.rowsDeleted = out.rawRewritten = true;
    return out;
  }
  if (!conn.IsConnected()) conn.Connect();
  if (!conn.IsConnected()) {
    out.error = conn.LastError();
    return out;
  }
  std::lock_guard<std::recursive_mutex> lock(DbLock());
  db::Transaction t(conn.Connection());
  if (!t.Begun()) {
    out.error = conn.Connection().LastError();
    return out;
  }
  for (const ResultKey& k : keys) {
    if (conn.Execute(DeletePersonSql(k.sampleNo, k.testDate)) != 1) {
      out.error = conn.LastError();
      return out;  // rolled back: not one row went
    }
  }
  if (!t.Commit()) {
    out.error = conn.Connection().LastError();
    return out;
  }
  out.rowsDeleted = true;
  return out;
}

std::vector<std::string> RawKeysOf(const std::vector<ResultKey>& keys) {
  std::vector<std::string> rawKeys;
  for (const ResultKey& k : keys) {
    const std::string key = analyzer::RawDataKey(k.testDate, k.sampleNo);
    if (!key.empty()) rawKeys.push_back(key);
  }
  return rawKeys;
}

DeleteOutcome DeleteResults(CADOConn& conn, const std::string& folder, const std::vector<ResultKey>& keys) {
  DeleteOutcome out = DeleteResultRows(conn, keys);
  if (!out.rowsDeleted || keys.empty()) return out;
  out.rawRewritten = analyzer::RemoveRawRecords(folder, RawKeysOf(keys), &out.error);
  return out;
}

bool RenumberResult(CADOConn& conn, const std::string& folder, const std::string& testDate, const std::string& oldNo,
                    const std::string& newNo, const std::string& rowUpdateSql, std::string* error) {
  const std::string oldKey = analyzer::RawDataKey(testDate, oldNo), newKey = analyzer::RawDataKey(testDate, newNo);
  uint8_t record[analyzer::kRawDataRecordSize];
  const bool hasRecord = !oldKey.empty() && !newKey.empty() && analyzer::ReadRawRecord(folder, oldKey, record);
  if (hasRecord && analyzer::WriteRawRecord(folder, newKey, record, error) != analyzer::RawWrite::Written) return false;
  if (conn.Execute(rowUpdateSql) != 1) {
    if (error) *error = conn.LastError();
    // The row kept its number: the copy under the new one goes again.
    if (hasRecord) analyzer::RemoveRawRecords(folder, {newKey});
    return false;
  }
  if (hasRecord) analyzer::RemoveRawRecords(folder, {oldKey});
  return true;
}

std::string RawDeleteFailedText(int l) {
  return PickText(l, "已删除结果的直方图数据未能从数据文件中清除 (TD.dat, TDI.dat)！",
                  "The histogram data of the deleted results could not be removed (TD.dat, TDI.dat)!",
                  "No se pudieron borrar los datos de histograma de los resultados borrados (TD.dat, TDI.dat)!",
                  "Les donnees d'histogramme des resultats effaces n'ont pas pu etre supprimees (TD.dat, TDI.dat)!",
                  "Не вдалося видалити дані гістограм видалених результатів (TD.dat, TDI.dat)!");
}

DeleteOutcome DeleteAllResults(CADOConn& conn, const std::string& folder) {
  DeleteOutcome out;
  if (conn.Execute("delete from Person") != 1) {
    out.error = conn.LastError();
    return out;
  }
  out.rowsDeleted = true;
  out.rawRewritten = analyzer::ClearRawRecords(folder, &out.error);
  return out;
}

}  // namespace history
