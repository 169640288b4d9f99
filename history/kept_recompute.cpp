#include "history/kept_recompute.h"

#include <optional>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/look.h"
#include "core/person_row.h"
#include "core/sys_setting.h"
#include "core/write_log.h"
#include "history/view_row.h"
#include "measurement/kept_inputs.h"
#include "measurement/raw_files.h"
#include "measurement/run_result.h"
#include "measurement/screen/sample_test_store.h"

namespace history {
namespace {

const char* const kValueColumns[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP",
                                       "RBC", "HGB",  "MCHC", "MCH",  "MCV",  "RDWCV", "RDWSD",
                                       "HCT", "PLT",  "MPV",  "PDW",  "PCT",  "PLCR"};

}  // namespace

KeptRecompute RecomputeKeptResult(CADOConn& conn, const std::string& folder, const std::string& sampleNo,
                                  const std::string& testDate, int language) {
  using namespace measurement;
  if (!OpenPersonRow(conn, sampleNo, testDate)) {
    conn.CloseRecordset();
    return KeptRecompute::NotKept;
  }
  db::Recordset& rs = *conn.Recordset();
  const ViewRow view = ReadViewRow(rs, language);
  std::string texts[20], kept, bloodType;
  for (int i = 0; i < 20; ++i) ReadField(rs, kValueColumns[i], texts[i]);
  ReadField(rs, kKeptInputsColumn, kept);
  ReadField(rs, "BloodType", bloodType);
  conn.CloseRecordset();
  const std::optional<KeptInputs> k = KeptInputsOfRow(texts, view.testTime, kept);
  if (!k) return KeptRecompute::NotKept;

  HistogramBuffers h;
  if (!ReadTestDataRecord(folder, TestDataKey(testDate, sampleNo), &h)) return KeptRecompute::NoRawRecord;

  RunInputs in;
  in.count = k->ToCountInputs();
  in.sampleNo = view.sampleNo;
  in.bloodModeText = bloodType;
  // Stored as a count made now would be: in the units in force, so that the values, their
  // decimals and the group's limits are all of one set (the limits and decimals follow a unit
  // change; the count's own units would mix with them).
  LoadScreenUnitTexts(conn, in.units);
  in.language = language;
  in.folder = folder;
  RunResult r;
  for (int c = 0; c < 3; ++c) r.stars[c] = k->stars[c];
  const std::unique_ptr<AlgorithmResult> result = ComputeFinalHistograms(in, h, r);
  if (!r.Storable()) return KeptRecompute::LibraryFailed;
  CompleteRunResult(in, *result, LoadRunContext(conn, sampleNo, testDate, view.testTime, language), r);
  r.row.keptInputs = std::string();  // computed: nothing is kept any more
  const std::string stamp = r.testDate + " " + r.testTime;
  for (const std::string& line : r.logLines) WriteLog(line, stamp);
  std::string error;
  if (SavePersonRow(conn, r.row, &error) == SaveStatus::Failed) {
    WriteLog("Person: " + error, stamp);
    return KeptRecompute::SaveFailed;
  }
  // X-B QC takes it where the count would have: a complete result, once stored.
  XbQcState xb = LoadXbQcState(conn);
  AddXbQcRow(conn, xb, r.values.values, r.values.incomplete, r.testDate, r.testTime, r.row.units);
  return KeptRecompute::Recomputed;
}

std::string KeptNotHandedOnText(CADOConn& conn, int language) {
  const SysSettingRow row = LoadSysSetting(conn).row;
  if (row.PrintInstant.value_or(0) == 0 && row.IsTransInstant.value_or(0) == 0) return std::string();
  return PickText(language, "结果已计算，但未自动打印或发送：可在此打印，或从结果列表发送",
                  "The result is computed now; it was not printed or sent: print it here or send it from the results list",
                  "El resultado se ha calculado ahora; no se imprimió ni se envió: imprímalo aquí o envíelo desde la lista de resultados",
                  "Le résultat est calculé maintenant ; il n'a été ni imprimé ni envoyé : imprimez-le ici ou envoyez-le depuis la liste des résultats",
                  "Результат обчислено зараз; його не надруковано й не надіслано: надрукуйте тут або надішліть зі списку результатів");
}

std::string KeptRecomputeFailureText(KeptRecompute outcome, int language) {
  switch (outcome) {
    case KeptRecompute::NoRawRecord:
      return PickText(language, "缺少该样本的原始数据，无法计算结果", "The sample's raw data are missing: its result cannot be computed",
                      "Faltan los datos brutos de la muestra: no se puede calcular su resultado",
                      "Les données brutes de l'échantillon manquent : son résultat ne peut pas être calculé",
                      "Немає вихідних даних зразка: його результат не можна обчислити");
    case KeptRecompute::SaveFailed:
      return PickText(language, "计算出的结果无法保存，样本仍未计算", "The computed result could not be saved; the sample stays uncomputed",
                      "No se pudo guardar el resultado calculado; la muestra sigue sin calcular",
                      "Le résultat calculé n'a pas pu être enregistré ; l'échantillon reste non calculé",
                      "Обчислений результат не вдалося зберегти; зразок лишається необчисленим");
    default:
      return std::string();
  }
}

}  // namespace history
