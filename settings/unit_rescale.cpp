#include "settings/unit_rescale.h"

#include <memory>
#include <vector>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/data_store.h"
#include "core/field_read.h"
#include "core/value_format.h"

namespace settings {
namespace {

// ParasUnit's unit columns by slot and its decimal columns by UnitDecimals slot.
const char* const kUnitColumns[kUnitSlotCount] = {"WBC", "RBC", "HGB", "HCT", "MCHC", "PLT", "PCT"};
const char* const kPointColumnOfSlot[kUnitDecimalCount] = {
    "WBCPoint", "WBCPPoint", "RBCPoint", "HGBPoint",   "HCTPoint", "MCVPoint", "MCHPoint",
    "MCHCPoint", "RDWSDPoint", "RDWCVPoint", "PLTPoint", "MPVPoint", "PCTPoint", "PDWPoint"};

// A stored value that depends on a unit: its column and the slot whose factor applies.
struct ScaledColumn {
  std::string column;
  int slot;
};

// The ten parameters whose stored values follow a unit, by their column stems.
struct Stem {
  const char* stem;
  int slot;
};
const Stem kStems[] = {{"WBC", kUnitWBC}, {"LYMA", kUnitWBC}, {"MONA", kUnitWBC}, {"GRAA", kUnitWBC},
                       {"RBC", kUnitRBC}, {"HGB", kUnitHGB},  {"MCHC", kUnitMCHC}, {"HCT", kUnitHCT},
                       {"PLT", kUnitPLT}, {"PCT", kUnitPCT}};

// The columns of `table` among stem+suffix, for each suffix, that the table really has.
std::vector<ScaledColumn> ExistingColumns(CADOConn& conn, const char* table, std::initializer_list<const char*> suffixes) {
  const std::vector<std::string> have = TableColumns(conn, table);
  std::vector<ScaledColumn> out;
  for (const Stem& s : kStems)
    for (const char* suffix : suffixes) {
      std::string c = std::string(s.stem) + suffix;
      if (HasColumnNamed(have, c)) out.push_back({c, s.slot});
    }
  return out;
}

// Multiplies the columns of every row that `where` selects by their slot's factor and writes them
// back with two decimals (a NULL stays NULL). Only the slots whose unit changed are written (a
// change of factor 1, as 10^9/L to 10^3/uL, still rounds them to two decimals). False at the
// first failed statement.
bool RescaleTable(CADOConn& conn, const char* table, const std::vector<ScaledColumn>& cols, const char* where,
                  const std::array<double, kUnitSlotCount>& factor, const std::array<bool, kUnitSlotCount>& changed) {
  std::vector<ScaledColumn> touched;
  for (const ScaledColumn& c : cols)
    if (changed[c.slot]) touched.push_back(c);
  if (touched.empty()) return true;
  std::string select = "select rowid as QxRowId";
  for (const ScaledColumn& c : touched) select += "," + c.column;
  select += std::string(" from ") + table + where;
  struct Row {
    int64_t id;
    std::vector<std::string> values;
  };
  std::vector<Row> rows;
  RecordsetPtr& rs = conn.OpenRecordset(select);
  if (!conn.RecordsetOpen()) return false;
  while (!rs->IsEOF()) {
    Row r{};
    ReadField(*rs, "QxRowId", r.id);
    for (const ScaledColumn& c : touched) {
      double v = 0;
      if (!ReadField(*rs, c.column, v)) {
        r.values.push_back("NULL");
        continue;
      }
      // Single precision, as every other value of these tables is held, then two decimals.
      const float scaled = static_cast<float>(static_cast<double>(static_cast<float>(v)) * factor[c.slot]);
      r.values.push_back(StrPrintf("%.2f", scaled));
    }
    rows.push_back(std::move(r));
    rs->MoveNext();
  }
  conn.CloseRecordset();
  for (const Row& r : rows) {
    std::string sql = std::string("update ") + table + " set ";
    for (size_t i = 0; i < touched.size(); ++i) sql += (i ? "," : "") + touched[i].column + "=" + r.values[i];
    sql += StrPrintf(" where rowid=%lld", static_cast<long long>(r.id));
    if (conn.Execute(sql) != 1) return false;
  }
  return true;
}

bool WriteUnitRow(CADOConn& conn, const UnitRow& row, bool rowExisted) {
  std::string safe[kUnitSlotCount];
  for (int s = 0; s < kUnitSlotCount; ++s) safe[s] = SqlSafeText(row.units[s]);
  const auto& d = row.decimals;
  std::string sql;
  if (!rowExisted) {
    // Column order: WBC RBC HGB MCHC HCT PLT PCT, then the decimals in their column order.
    sql = StrPrintf("insert into ParasUnit values('%s','%s','%s','%s','%s','%s','%s',"
                    "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,%d)",
                    safe[kUnitWBC].c_str(), safe[kUnitRBC].c_str(), safe[kUnitHGB].c_str(), safe[kUnitMCHC].c_str(),
                    safe[kUnitHCT].c_str(), safe[kUnitPLT].c_str(), safe[kUnitPCT].c_str(), d[0], d[1], d[2], d[3],
                    d[7], d[4], d[5], d[6], d[9], d[8], d[10], d[11], d[12], d[13]);
  } else {
    sql = "update ParasUnit set ";
    for (int s = 0; s < kUnitSlotCount; ++s) sql += StrPrintf("%s='%s',", kUnitColumns[s], safe[s].c_str());
    for (int k = 0; k < kUnitDecimalCount; ++k) sql += StrPrintf("%s%s=%d", k ? "," : "", kPointColumnOfSlot[k], d[k]);
  }
  return conn.Execute(sql) == 1;
}

}  // namespace

const std::vector<std::string>& UnitChoices(int slot) {
  static const std::vector<std::string> kChoices[kUnitSlotCount] = {
      {"10^9/L", "10^3/uL", "10^2/uL"}, {"10^12/L", "10^6/uL", "10^4/uL"}, {"g/L", "g/dL"}, {"%", "L/L"},
      {"g/L", "g/dL"},                  {"10^9/L", "10^3/uL", "10^4/uL"},  {"%", "mL/L"}};
  static const std::vector<std::string> kNone;
  return (slot >= 0 && slot < kUnitSlotCount) ? kChoices[slot] : kNone;
}

int UnitPowerCode(const std::string& u) {
  if (u == "10^9/L" || u == "10^3/uL") return 9;
  if (u == "10^2/uL" || u == "10^2/mm^3") return 8;
  if (u == "10^12/L" || u == "10^6/uL") return 12;
  if (u == "10^4/uL" || u == "10^4/mm^3") return 10;
  if (u == "g/L") return 1;
  if (u == "g/dL") return 2;
  return 0;
}

double RescaleFactor(int slot, const std::string& previous, const std::string& now) {
  if (previous == now) return 1.0;
  const double from = UnitScaleFromBase(slot, previous);
  const double to = UnitScaleFromBase(slot, now);
  if (from == 0.0 || to == 0.0) return 1.0;  // a unit no conversion knows: the values stay
  return to / from;
}

bool ReadUnitRow(CADOConn& conn, UnitRow* row) {
  RecordsetPtr& rs = conn.OpenRecordset("Select * from ParasUnit");
  const bool found = conn.RecordsetOpen() && HasRows(*rs);
  if (found) {
    for (int s = 0; s < kUnitSlotCount; ++s) {
      row->units[s].clear();
      ReadField(*rs, kUnitColumns[s], row->units[s]);
    }
    for (int k = 0; k < kUnitDecimalCount; ++k) ReadField(*rs, kPointColumnOfSlot[k], row->decimals[k]);
  }
  conn.CloseRecordset();
  return found;
}

bool SaveUnitsAndRescale(CADOConn& conn, const UnitTextSet& previous, const UnitRow& chosen, bool rowExisted) {
  if (!conn.IsConnected()) conn.Connect();
  if (!conn.IsConnected()) return false;
  std::array<double, kUnitSlotCount> factor{};
  std::array<bool, kUnitSlotCount> changed{};
  for (int s = 0; s < kUnitSlotCount; ++s) {
    factor[s] = RescaleFactor(s, previous[s], chosen.units[s]);
    // A unit no conversion knows (a delivered "mmol/L") leaves the values as they are.
    changed[s] = previous[s] != chosen.units[s] && UnitScaleFromBase(s, previous[s]) != 0.0 &&
                 UnitScaleFromBase(s, chosen.units[s]) != 0.0;
  }
  bool ok = false;
  {
    // Each engine call takes the data lock for its own length only, so an error box shown on the
    // way never holds up another thread's database work.
    std::unique_ptr<db::Transaction> t;
    {
      std::lock_guard<std::recursive_mutex> hold(DbLock());
      t = std::make_unique<db::Transaction>(conn.Connection());
    }
    if (t->Begun()) {
      ok = WriteUnitRow(conn, chosen, rowExisted) &&
           RescaleTable(conn, "NormalLimits", ExistingColumns(conn, "NormalLimits", {"L", "H"}),
                        " where Kind between 0 and 9", factor, changed) &&
           RescaleTable(conn, "PathologyLimits", ExistingColumns(conn, "PathologyLimits", {"L", "H"}),
                        " where Kind between 0 and 9", factor, changed) &&
           RescaleTable(conn, "AutoCalibration", ExistingColumns(conn, "AutoCalibration", {""}), "", factor, changed) &&
           RescaleTable(conn, "LJQCSet", ExistingColumns(conn, "LJQCSet", {"LV", "RV"}),
                        " where QcFileNo between 1 and 20", factor, changed) &&
           RescaleTable(conn, "XBQCSet", ExistingColumns(conn, "XBQCSet", {"LV", "RV"}), "", factor, changed);
      {
        std::lock_guard<std::recursive_mutex> hold(DbLock());
        ok = ok && t->Commit();
        if (!ok) t->Rollback();
        t.reset();
      }
    }
  }
  if (ok) UnitDecimals = chosen.decimals;
  return ok;
}

}  // namespace settings
