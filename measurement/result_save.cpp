#include "measurement/result_save.h"

#include <mutex>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/param_order.h"
#include "core/value_format.h"
#include "core/person_row.h"
#include "measurement/kept_inputs.h"

namespace measurement {
namespace {

const char* const kValueColumns[20] = {"WBC", "LYMA", "MONA",  "GRAA",  "LYMP", "MONP", "GRAP",
                                       "RBC", "HGB",  "MCHC",  "MCH",   "MCV",  "RDWCV", "RDWSD",
                                       "HCT", "PLT",  "MPV",   "PDW",   "PCT",  "PLCR"};
const char* const kUnitColumns[7] = {"WBCUnit", "RBCUnit", "HGBUnit", "MCHCUnit", "HCTUnit", "PLTUnit", "PCTUnit"};

std::string Q(const std::string& s) { return "'" + SqlSafeText(s) + "'"; }
std::string G(float v) { return FormatValue(v, 0, 1); }
std::string KeptValue(const std::string& text) { return text.empty() ? std::string("NULL") : Q(text); }

std::mutex g_mutex;
HandOffEntry g_entries[2];
SendHandOffEntry g_sendEntry;
HandOffNotice g_notice;

}  // namespace

std::string PersonUpdateSql(const PersonRow& r) {
  std::string s = "update Person set TestDate=" + Q(r.testDate) + ",TestTime=" + Q(r.testTime);
  for (int i = 0; i < 20; ++i) s += std::string(",") + kValueColumns[i] + "=" + Q(r.values[i]);
  s += ",Warning=" + Q(r.warning);
  for (int i = 0; i < 7; ++i) s += std::string(",") + kUnitColumns[i] + "=" + Q(r.units[i]);
  s += ",RefText=" + Q(r.refText) + ",BloodType=" + Q(r.bloodType);
  s += ",OriginalWbc=" + G(r.originalWbc) + ",WMARKER2=" + G(r.markers[0]) + ",WMARKER3=" + G(r.markers[1]) +
       ",PMARKER1=" + G(r.markers[2]) + ",PMARKER2=" + G(r.markers[3]);
  if (r.keptInputs) s += std::string(",") + kKeptInputsColumn + "=" + KeptValue(*r.keptInputs);
  if (r.referValueAsRead) s += ",ReferValue=" + (*r.referValueAsRead ? Q(**r.referValueAsRead) : std::string("Null"));
  s += " where SampleNo=" + Q(r.sampleNo) + " and TestDate=" + Q(r.testDate);
  return s;
}

std::string PersonInsertSql(const PersonRow& r) {
  std::string cols = "SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,BloodType,ReferValue,MedicalNo,BedNo,Dept,"
                     "Sender,Scrutator,Checker";
  std::string vals = Q(r.sampleNo) + "," + Q(r.testDate) + "," + Q(r.testTime) + ",'','',0,''," + Q(r.bloodType) +
                     "," + Q(r.referValue) + ",'','','','','',''";
  for (int i = 0; i < 20; ++i) {
    cols += std::string(",") + kValueColumns[i];
    vals += "," + Q(r.values[i]);
  }
  cols += ",Warning";
  vals += "," + Q(r.warning);
  for (int i = 0; i < 7; ++i) {
    cols += std::string(",") + kUnitColumns[i];
    vals += "," + Q(r.units[i]);
  }
  cols += ",RefText,OriginalWbc,WMARKER2,WMARKER3,PMARKER1,PMARKER2";
  vals += "," + Q(r.refText) + "," + G(r.originalWbc) + "," + G(r.markers[0]) + "," + G(r.markers[1]) + "," +
          G(r.markers[2]) + "," + G(r.markers[3]);
  if (r.keptInputs) {
    cols += std::string(",") + kKeptInputsColumn;
    vals += "," + KeptValue(*r.keptInputs);
  }
  return "insert into Person (" + cols + ") values (" + vals + ")";
}

bool SampleExistsToday(CADOConn& conn, const std::string& sampleNo, const std::string& testDate, bool* ok) {
  return PersonRowExists(conn, sampleNo, testDate, ok);
}

SaveStatus SavePersonRow(CADOConn& conn, const PersonRow& row, std::string* error) {
  bool ok = false;
  const bool exists = SampleExistsToday(conn, row.sampleNo, row.testDate, &ok);
  if (!ok) {
    if (error) *error = conn.LastError();
    return SaveStatus::Failed;
  }
  if (conn.Execute(exists ? PersonUpdateSql(row) : PersonInsertSql(row)) != 1) {
    if (error) *error = conn.LastError();
    return SaveStatus::Failed;
  }
  return exists ? SaveStatus::Updated : SaveStatus::Inserted;
}

XbQcState LoadXbQcState(CADOConn& conn) {
  XbQcState s;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from XBQCSet");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    int32_t n = 0;
    uint8_t on = 0;
    ReadField(*rs, "SampleNum", n);
    ReadField(*rs, "IsOn", on);
    s.sampleNum = n;
    s.isOn = on == 1;
  }
  conn.CloseRecordset();
  RecordsetPtr& count = conn.OpenRecordset("select count(*) from XBQCRunResult");
  if (conn.RecordsetOpen() && HasRows(*count)) {
    int32_t n = 0;
    ReadField(*count, 0, n);
    s.resultCount = n;
  }
  conn.CloseRecordset();
  return s;
}

bool LoadXbFollowed(CADOConn& conn, uint8_t followed[20]) {
  for (int i = 0; i < 20; ++i) followed[i] = 0;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from XBQCSet");
  const bool ok = conn.RecordsetOpen() && HasRows(*rs);
  if (ok)
    for (int i = 0; i < 20; ++i) ReadField(*rs, 42 + i, followed[i]);
  conn.CloseRecordset();
  ReorderParamBytesForDisplay(followed);
  return ok;
}

std::string XbQcInsertSql(const std::string& date, const std::string& time, const float v[20],
                          const std::string units[7]) {
  std::string cols = "TestDate,TestTime", vals = Q(date) + "," + Q(time);
  for (int i = 0; i < 20; ++i) {
    cols += std::string(",") + kValueColumns[i];
    vals += "," + G(v[i]);
  }
  for (int i = 0; i < 7; ++i) {
    cols += std::string(",") + kUnitColumns[i];
    vals += "," + Q(units[i]);
  }
  return "insert into XBQCRunResult (" + cols + ") values (" + vals + ")";
}

XbQcOutcome AddXbQcRow(CADOConn& conn, XbQcState& state, const float values[20], bool incomplete,
                       const std::string& date, const std::string& time, const std::string units[7]) {
  if (!state.isOn) return XbQcOutcome::Off;
  if (incomplete) return XbQcOutcome::Incomplete;
  uint8_t followed[20];
  LoadXbFollowed(conn, followed);
  float row[20];
  for (int i = 0; i < 20; ++i) row[i] = followed[i] == 1 ? values[i] : -2.0f;
  ReorderParamsForStore(row);
  state.addedCount += 1;
  if (state.addedCount > state.sampleNum) return XbQcOutcome::Full;
  if (state.resultCount + state.addedCount > 2000 && conn.Execute(kXbQcTrimSql) != 1) return XbQcOutcome::Failed;
  if (conn.Execute(XbQcInsertSql(date, time, row, units)) != 1) return XbQcOutcome::Failed;
  return XbQcOutcome::Added;
}

void SetHandOffEntry(HandOffKind kind, HandOffEntry entry) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_entries[static_cast<int>(kind)] = std::move(entry);
}

void SetSendHandOffEntry(SendHandOffEntry entry) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_sendEntry = std::move(entry);
}

void SetHandOffNotice(HandOffNotice notice) {
  std::lock_guard<std::mutex> g(g_mutex);
  g_notice = std::move(notice);
}

void NoticeHandOff(const std::string& text) {
  HandOffNotice notice;
  {
    std::lock_guard<std::mutex> g(g_mutex);
    notice = g_notice;
  }
  if (notice) notice(text);
}

std::string NotSavedText(int language) {
  return PickText(language, "结果保存失败，不会打印或发送", "The result could not be saved; it is not printed or sent",
                  "No se pudo guardar el resultado; no se imprime ni se envía",
                  "Le résultat n'a pas pu être enregistré ; il n'est ni imprimé ni envoyé",
                  "Результат не вдалося зберегти; його не друкують і не надсилають");
}

std::string NotComputedText(int language) {
  return PickText(language, "算法库不可用，没有结果", "No result: the algorithm library could not be used",
                  "Sin resultado: no se pudo usar la biblioteca de algoritmos",
                  "Pas de résultat : la bibliothèque d'algorithmes n'a pas pu être utilisée",
                  "Немає результату: бібліотеку алгоритмів не вдалося використати");
}

bool HandOff(HandOffKind kind, bool stored, int language, const ReportSnapshot& sample,
             const HandOffSnapshot* snapshot) {
  HandOffEntry entry;
  SendHandOffEntry sendEntry;
  {
    std::lock_guard<std::mutex> g(g_mutex);
    entry = g_entries[static_cast<int>(kind)];
    sendEntry = g_sendEntry;
  }
  if (!stored) return false;  // the caller has said why once, for both kinds
  if (kind == HandOffKind::Send && sendEntry && snapshot != nullptr) return sendEntry(*snapshot);
  return entry ? entry(sample) : false;
}

}  // namespace measurement
