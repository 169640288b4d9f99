#include "calibration/calibrator_batch.h"

#include <cstdlib>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/value_format.h"

namespace calibration {

namespace {

std::string TrimLeft(const std::string& s) {
  const size_t b = s.find_first_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b);
}
std::string Trim(const std::string& s) {
  const std::string l = TrimLeft(s);
  const size_t e = l.find_last_not_of(" \t");
  return e == std::string::npos ? "" : l.substr(0, e + 1);
}
// Characters, not bytes (a batch number may hold any letter).
size_t Utf8Length(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}
bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string StoredBatchNo(const std::string& typed) { return SqlSafeText(Trim(typed)); }

InputCheck CheckBatch(BatchFields& f, const sys::LocalTime& today, bool forSave, BatchRecord* out) {
  auto fail = [](int field, CaliText m) { return InputCheck{false, field, m}; };
  if (Trim(f.lot).empty()) return fail(0, CaliText::SelectLot);
  if (forSave && Utf8Length(f.lot) > 10) return fail(0, CaliText::LotTooLong);
  BatchRecord r;
  r.batchNo = StoredBatchNo(f.lot);
  const std::string y = Trim(f.year), m = Trim(f.month), d = Trim(f.day);
  if (y.empty() || m.empty() || d.empty()) return fail(1, CaliText::FullDate);
  if (!AllDigits(y) || !AllDigits(m) || !AllDigits(d) || y.size() > 4 || m.size() > 2 || d.size() > 2)
    return fail(1, CaliText::DateFormat);
  const int year = std::atoi(y.c_str()), month = std::atoi(m.c_str()), day = std::atoi(d.c_str());
  if (month < 1 || month > 12) return fail(2, CaliText::MonthRange);
  if (day < 1 || day > 31) return fail(3, CaliText::DayRange);
  // A day the month does not have (31 April, 29 February outside leap years) is no date.
  if (day > DaysInMonth(year, month)) return fail(3, CaliText::DateFormat);
  if (year < today.year || (year == today.year && (month < today.month || (month == today.month && day < today.day))))
    return fail(1, CaliText::Expired);
  if (f.sampleType < 0 || f.sampleType > 2) return fail(4, CaliText::SelectSampleType);
  for (int i = 0; i < 5; ++i) {
    std::string t = forSave ? TrimLeft(f.targets[i]) : Trim(f.targets[i]);
    if (!IsCalibrationNumber(t)) {
      if (f.selected[i]) return fail(5 + i, CaliText::DigitsForReference);
      t.clear();
    }
    f.targets[i] = t;
    r.targets[i] = t.empty() ? 0.0 : static_cast<float>(std::strtod(t.c_str(), nullptr));
    r.selected[i] = f.selected[i] ? 1 : 0;
  }
  r.expDate = StrPrintf("%d-%.2d-%.2d", year, month, day);
  r.bloodType = f.sampleType;
  if (out) *out = r;
  return {};
}

std::string BatchSelectSql(const std::string& no) { return "Select * from AutoCalibration where BatchNo='" + no + "'"; }

std::string BatchInsertSql(const BatchRecord& r) {
  return StrPrintf(
      "Insert into AutoCalibration(BatchNo,ExpDate,BloodType,\t\t\tWBC,RBC,HGB,MCV,PLT,C1,C2,C3,C4,C5 ) "
      "Values('%s','%s',%d,%.2f,\t\t\t%.2f,%.2f,%.2f,%.2f,%d,%d,%d,%d,%d)",
      r.batchNo.c_str(), r.expDate.c_str(), r.bloodType, r.targets[0], r.targets[1], r.targets[2], r.targets[3],
      r.targets[4], r.selected[0], r.selected[1], r.selected[2], r.selected[3], r.selected[4]);
}

std::string BatchUpdateSql(const BatchRecord& r) {
  return StrPrintf(
      "Update AutoCalibration set ExpDate='%s',BloodType=%d,WBC=%.2f,                    "
      "RBC=%.2f,HGB=%.2f,MCV=%.2f,PLT=%.2f,C1=%d,C2=%d,C3=%d,C4=%d,C5=%d \t\t\t\t\twhere BatchNo='%s'",
      r.expDate.c_str(), r.bloodType, r.targets[0], r.targets[1], r.targets[2], r.targets[3], r.targets[4],
      r.selected[0], r.selected[1], r.selected[2], r.selected[3], r.selected[4], r.batchNo.c_str());
}

std::string BatchDeleteSql(const std::string& typed) {
  return "delete from AutoCalibration where BatchNo='" + SqlSafeText(typed) + "'";
}

int SaveBatch(CADOConn& conn, const BatchRecord& r) {
  RecordsetPtr& rs = conn.OpenRecordset(BatchSelectSql(r.batchNo));
  if (!conn.RecordsetOpen()) return 0;
  const bool exists = HasRows(*rs);
  conn.CloseRecordset();
  if (!conn.Execute(exists ? BatchUpdateSql(r) : BatchInsertSql(r))) return 0;
  return exists ? 2 : 1;
}

std::vector<std::string> ListBatchNumbers(CADOConn& conn) {
  std::vector<std::string> out;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from AutoCalibration");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    for (; !rs->IsEOF(); rs->MoveNext()) {
      std::string no;
      if (ReadField(*rs, "BatchNo", no)) out.push_back(no);
    }
  }
  conn.CloseRecordset();
  return out;
}

LoadedBatch LoadBatch(CADOConn& conn, const std::string& no) {
  LoadedBatch b;
  RecordsetPtr& rs = conn.OpenRecordset(BatchSelectSql(no));
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    b.found = true;
    ReadField(*rs, "ExpDate", b.expDate);
    b.hasBloodType = ReadField(*rs, "BloodType", b.bloodType);
    static const char* const kTargets[5] = {"WBC", "RBC", "HGB", "MCV", "PLT"};
    static const char* const kFlags[5] = {"C1", "C2", "C3", "C4", "C5"};
    for (int i = 0; i < 5; ++i) {
      float v;
      if ((b.hasTarget[i] = ReadField(*rs, kTargets[i], v))) b.targets[i] = v;
      int32_t c;
      if ((b.hasSelected[i] = ReadField(*rs, kFlags[i], c))) b.selected[i] = c != 0 ? 1 : 0;
    }
  }
  conn.CloseRecordset();
  return b;
}

}  // namespace calibration
