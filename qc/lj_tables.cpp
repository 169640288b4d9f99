#include "qc/lj_tables.h"

#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"

namespace qc {

const char* const kRunColumns[20] = {"WBC",  "LYMA",  "MONA",  "GRAA", "LYMP", "MONP", "GRAP",
                                     "RBC",  "HGB",   "MCHC",  "MCH",  "MCV",  "RDWCV", "RDWSD",
                                     "HCT",  "PLT",   "MPV",   "PDW",  "PCT",  "PLCR"};
const char* const kSetStems[20] = {"WBC",  "LYMA",   "MONA",   "GRAA", "LYMP", "MONP", "GRAP",
                                   "RBC",  "HGB",    "MCHC",   "MCH",  "MCV",  "RDW_CV", "RDW_SD",
                                   "HCT",  "PLT",    "MPV",    "PDW",  "PCT",  "P_LCR"};
// Column names that begin with a digit are quoted for the engine.
const char* const kRuleColumns[4] = {"Out3SD", "\"2Out2SD\"", "\"5SideSDTo2SD\"", "\"7Side\""};

namespace {

const char* const kUnitColumns[7] = {"WBCUnit", "RBCUnit", "HGBUnit", "MCHCUnit", "HCTUnit", "PLTUnit", "PCTUnit"};

// A switch or flag column counts as on only when its low byte is exactly 1.
int FlagOf(db::Recordset& rs, int index) {
  int64_t v = 0;
  if (!ReadField(rs, index, v)) return 0;
  return (v & 0xFF) == 1 ? 1 : 0;
}

bool ReadRun(db::Recordset& rs, LjRun* run) {
  ReadField(rs, "TestDate", run->date);
  ReadField(rs, "TestTime", run->time);
  for (int i = 0; i < 20; ++i) {
    run->values[i] = kInvalidRunValue;  // a Null value column holds no value
    ReadField(rs, kRunColumns[i], run->values[i]);
  }
  for (int i = 0; i < 7; ++i) ReadField(rs, kUnitColumns[i], run->units[i]);
  return true;
}

std::vector<LjRun> ReadAll(CADOConn& conn, const std::string& sql) {
  std::vector<LjRun> runs;
  RecordsetPtr& rs = conn.OpenRecordset(sql);
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    for (rs->MoveFirst(); !rs->IsEOF(); rs->MoveNext()) {
      LjRun r;
      ReadRun(*rs, &r);
      runs.push_back(std::move(r));
    }
  }
  conn.CloseRecordset();
  return runs;
}

}  // namespace

bool ReadLjFileSettings(CADOConn& conn, int fileNo, LjFileSettings* out) {
  *out = LjFileSettings{};
  out->fileNo = fileNo;
  RecordsetPtr& rs = conn.OpenRecordset(StrPrintf("select * from LJQCSet where QcFileNo = %d", fileNo));
  const bool found = conn.RecordsetOpen() && HasRows(*rs);
  if (found) {
    ReadField(*rs, "BatchNo", out->batchNo);
    ReadField(*rs, "ExpDate", out->expDate);
    for (int i = 0; i < 20; ++i) {
      ReadField(*rs, 3 + 2 * i, out->targets[i]);
      ReadField(*rs, 4 + 2 * i, out->limits[i]);
    }
    for (int r = 0; r < 4; ++r) out->rules[r] = FlagOf(*rs, 43 + r);
    for (int i = 0; i < 20; ++i) out->chosen[i] = FlagOf(*rs, 47 + i);
  }
  conn.CloseRecordset();
  return found;
}

std::string LjSettingsInsertSql(const LjFileSettings& s, bool twoDecimals) {
  std::string sql = StrPrintf("insert into LJQCSet values(%d,'%s','%s'", s.fileNo, SqlSafeText(s.batchNo).c_str(),
                              SqlSafeText(s.expDate).c_str());
  for (int i = 0; i < 20; ++i) {
    sql += StrPrintf(twoDecimals ? ",%.2f,%.2f" : ",%f,%f", static_cast<double>(s.targets[i]),
                     static_cast<double>(s.limits[i]));
  }
  for (int r : s.rules) sql += StrPrintf(",%d", r);
  for (int q : s.chosen) sql += StrPrintf(",%d", q);
  return sql + ")";
}

std::string LjSettingsUpdateSql(const LjFileSettings& s) {
  std::string sql = StrPrintf("update LJQCSet set BatchNo='%s',ExpDate='%s'", SqlSafeText(s.batchNo).c_str(),
                              SqlSafeText(s.expDate).c_str());
  for (int i = 0; i < 20; ++i) {
    sql += StrPrintf(",%sRV=%f,%sLV=%f", kSetStems[i], static_cast<double>(s.targets[i]), kSetStems[i],
                     static_cast<double>(s.limits[i]));
  }
  return sql + StrPrintf(" where QcFileNo=%d", s.fileNo);
}

std::string LjChoiceUpdateSql(int fileNo, const std::array<int, 20>& chosen) {
  std::string sql = "update LJQCSet set ";
  for (int i = 0; i < 20; ++i) sql += StrPrintf("%sQ%d=%d", i ? "," : "", i + 1, chosen[i]);
  return sql + StrPrintf(" where QcFileNo=%d", fileNo);
}

std::string LjRulesUpdateSql(int fileNo, const std::array<int, 4>& rules) {
  std::string sql = "update LJQCSet set ";
  for (int r = 0; r < 4; ++r) sql += StrPrintf("%s%s=%d", r ? "," : "", kRuleColumns[r], rules[r]);
  return sql + StrPrintf(" where QcFileNo=%d", fileNo);
}

std::vector<LjRun> ReadLjRuns(CADOConn& conn, int fileNo, const std::string& from, const std::string& to) {
  std::string sql = StrPrintf("select * from LJQCRunResult where QcFileNo = %d", fileNo);
  if (!from.empty() || !to.empty())
    sql += StrPrintf(" and TestDate between '%s' and '%s'", SqlSafeText(from).c_str(), SqlSafeText(to).c_str());
  return ReadAll(conn, sql + kRunOrder);
}

std::vector<LjRun> ReadXrRuns(CADOConn& conn, int fileNo) {
  return ReadAll(conn, StrPrintf("select * from XRQCRunResult where QcFileNo = %d", fileNo) + kRunOrder);
}

std::vector<LjRun> ReadXbRuns(CADOConn& conn) {
  return ReadAll(conn, std::string("select * from XBQCRunResult") + kRunOrder);
}

std::vector<LjRun> ReadNewestLjRuns(CADOConn& conn, int fileNo, int n) {
  return ReadAll(conn, StrPrintf("select * from LJQCRunResult where QcFileNo = %d order by TestDate desc, TestTime "
                                 "desc limit %d",
                                 fileNo, n));
}

int CountRuns(CADOConn& conn, const char* table, int fileNo) {
  RecordsetPtr& rs = conn.OpenRecordset(StrPrintf("select * from %s where QcFileNo = %d", table, fileNo));
  const int n = conn.RecordsetOpen() ? rs->RecordCount() : 0;
  conn.CloseRecordset();
  return n;
}

std::string RunInsertSql(const char* table, int fileNo, const LjRun& run) {
  std::string sql = StrPrintf("insert into %s(QcFileNo,TestDate,TestTime", table);
  for (const char* c : kRunColumns) sql += StrPrintf(",%s", c);
  for (const char* c : kUnitColumns) sql += StrPrintf(",%s", c);
  sql += StrPrintf(") values(%d,'%s','%s'", fileNo, run.date.c_str(), run.time.c_str());
  for (float v : run.values) sql += StrPrintf(",%f", static_cast<double>(v));
  for (const std::string& u : run.units) sql += StrPrintf(",'%s'", SqlSafeText(u).c_str());
  return sql + ")";
}

int DeleteLjRun(CADOConn& conn, int fileNo, const std::string& date, const std::string& time, bool withXrCopy) {
  // A run is named by its file as well as its date and time: another file may hold a run of
  // the same second, and that one stays.
  const std::string d = SqlSafeText(date), t = SqlSafeText(time);
  int ok = conn.Execute(StrPrintf("delete from LJQCRunResult where TestDate='%s' and TestTime='%s' and QcFileNo=%d",
                                  d.c_str(), t.c_str(), fileNo));
  if (withXrCopy) {
    ok &= conn.Execute(StrPrintf("delete from XRQCRunResult where TestDate='%s' and TestTime='%s' and QcFileNo=%d",
                                 d.c_str(), t.c_str(), fileNo));
  }
  return ok;
}

int TrimOldestLjDay(CADOConn& conn, int fileNo) {
  return conn.Execute(StrPrintf("delete from LJQCRunResult where QcFileNo = %d and TestDate = (select min(TestDate) "
                                "from LJQCRunResult where QcFileNo = %d)",
                                fileNo, fileNo));
}

}  // namespace qc
