#include "history/kept_recompute.h"

#include <optional>
#include <strings.h>

#include "core/ado_conn.h"
#include "core/field_read.h"
#include "core/person_row.h"
#include "core/write_log.h"
#include "history/view_row.h"
#include "measurement/kept_inputs.h"
#include "measurement/raw_files.h"
#include "measurement/run_result.h"

namespace history {
namespace {

const char* const kValueColumns[20] = {"WBC", "LYMA", "MONA", "GRAA", "LYMP", "MONP", "GRAP",
                                       "RBC", "HGB",  "MCHC", "MCH",  "MCV",  "RDWCV", "RDWSD",
                                       "HCT", "PLT",  "MPV",  "PDW",  "PCT",  "PLCR"};

std::optional<measurement::KeptInputs> KeptOf(const std::string storedTexts[20], const std::string& testTime,
                                              const std::string& keptText) {
  for (int i = 0; i < 20; ++i)
    if (strcasecmp(storedTexts[i].c_str(), "- - -") != 0) return std::nullopt;
  std::optional<measurement::KeptInputs> k = measurement::ParseKeptInputs(keptText);
  if (!k || k->testTime != testTime) return std::nullopt;
  return k;
}

}  // namespace

bool KeptForComputation(const std::string storedTexts[20], const std::string& testTime, const std::string& keptText) {
  return KeptOf(storedTexts, testTime, keptText).has_value();
}

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
  const std::optional<KeptInputs> k = KeptOf(texts, view.testTime, kept);
  if (!k) return KeptRecompute::NotKept;

  HistogramBuffers h;
  if (!ReadTestDataRecord(folder, TestDataKey(testDate, sampleNo), &h)) return KeptRecompute::NoRawRecord;

  RunInputs in;
  in.count = k->ToCountInputs();
  in.sampleNo = view.sampleNo;
  in.bloodModeText = bloodType;
  for (int i = 0; i < 20; ++i) in.units[i] = view.units[i];
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
  return KeptRecompute::Recomputed;
}

}  // namespace history
