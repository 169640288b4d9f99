#include "history/history_output.h"
#include "core/sys_setting.h"

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/person_row.h"
#include "core/screen_registry.h"
#include "history/history_list_logic.h"
#include "history/kept_recompute.h"
#include "history/view_row.h"
#include "lis/lis_send.h"
#include "platform/ui/message_box.h"
#include "printing/reports.h"

namespace history {

PrintSetup ReadPrintSetup(CADOConn& conn) {
  PrintSetup p;
  const SysSettingRow row = LoadSysSetting(conn).row;
  TakeSetting(row.Printer, p.printer);
  TakeSetting(row.PrintFormat, p.printFormat);
  TakeSetting(row.UnitName, p.unitName);
  TakeSetting(row.PrintPgHeader, p.pageHeaderLength);
  return p;
}

ReportSettings HistoryReportSettings(const PrintSetup& setup, const uint8_t printItems[kReportParams], int language) {
  ReportSettings st;
  st.language = language;
  st.printFormat = setup.printFormat;
  st.unitName = setup.unitName;
  st.pageHeaderLength = setup.pageHeaderLength;
  st.ntPlatform = AppSettings.PlatformFlag != 0;
  for (int i = 0; i < kReportParams; ++i) st.printItems[i] = printItems[i];
  return st;
}

std::vector<StoredSampleColumn> PrintColumns(const std::vector<ResultSnapshot>& chosen) {
  std::vector<StoredSampleColumn> out;
  for (const ResultSnapshot& s : chosen) {
    StoredSampleColumn c;
    c.sampleNo = s.sampleNo;
    c.testDate = s.testDate;
    // Rows 3 to 22 of a column hold the 20 results.
    for (int i = 0; i < kReportParams; ++i)
      if (3 + i < static_cast<int>(s.texts.size())) c.results[i] = s.texts[3 + i];
    out.push_back(std::move(c));
  }
  return out;
}

namespace {

// Whether the stored row of the column holds a kept count; when `results` is given, the row's
// stored value texts are read into it as the browser shows them.
bool ReadKeptColumn(CADOConn& conn, const StoredSampleColumn& c, int language, std::string* results) {
  if (!OpenPersonRow(conn, c.sampleNo, c.testDate)) {
    conn.CloseRecordset();
    return false;
  }
  db::Recordset& rs = *conn.Recordset();
  const bool kept = ReadViewRow(rs, language).keptForComputation;
  if (results)
    for (int i = 0; i < kReportParams; ++i) ReadField(rs, kGridColumns[3 + i], results[i]);
  conn.CloseRecordset();
  return kept;
}

}  // namespace

int ComputeKeptColumns(CADOConn& conn, const std::string& folder, std::vector<StoredSampleColumn>& columns,
                       int language) {
  int computed = 0;
  for (StoredSampleColumn& c : columns) {
    if (c.sampleNo.empty()) break;
    if (!ReadKeptColumn(conn, c, language, nullptr)) continue;
    if (RecomputeKeptResult(conn, folder, c.sampleNo, c.testDate, language) == KeptRecompute::Recomputed) {
      std::string results[kReportParams];
      ReadKeptColumn(conn, c, language, results);
      for (int i = 0; i < kReportParams; ++i) c.results[i] = results[i];
      ++computed;
    } else {
      c.notComputed = true;
    }
  }
  return computed;
}

void PrintStoredResults(const std::vector<StoredSampleColumn>& columns, const PrintOrder& order,
                        const std::atomic<uint8_t>& cancel) {
  std::vector<ReportSnapshot> samples;
  {
    CADOConn conn;  // the job's own: the browser's stays the browser's
    samples = LoadHistorySnapshots(conn, columns, order.settings.language, &cancel);
    conn.Disconnect();
  }
  if (order.printer == 0) PrintHistoryThermal(samples, order.settings, order.printTime, cancel);
  else PrintHistoryPage(samples, order.settings, order.printTime, cancel);
}

void PrintShownResult(const ReportSnapshot& result, const PrintOrder& order) {
  if (order.printer == 0) PrintResultThermal(result, order.settings, order.printTime);
  else PrintResultPage(result, order.settings, order.printTime);
}

int SendResults(const CGridCtrl& grid) {
  lis::SendSource source;
  source.kind = lis::SendDataKind::Samples;
  source.grid = &grid;
  return lis::RunSendScreen(source);
}

}  // namespace history
