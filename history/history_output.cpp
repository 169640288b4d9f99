#include "history/history_output.h"

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "core/screen_registry.h"
#include "platform/ui/message_box.h"
#include "printing/reports.h"

namespace history {

PrintSetup ReadPrintSetup(CADOConn& conn) {
  PrintSetup p;
  RecordsetPtr& rs = conn.OpenRecordset("Select * from SysSetting");
  if (conn.RecordsetOpen() && HasRows(*rs)) {
    int32_t v = 0;
    if (ReadField(*rs, "Printer", v)) p.printer = v;
    if (ReadField(*rs, "PrintFormat", v)) p.printFormat = v;
    ReadField(*rs, "UnitName", p.unitName);
    if (ReadField(*rs, "PrintPgHeader", v)) p.pageHeaderLength = v;
  }
  conn.CloseRecordset();
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

bool SendResults(ui::Window* owner, const std::vector<ResultSnapshot>& results) {
  (void)results;
  ui::MessageBox(owner, NotAvailableText(AppSettings.LanguageIndex), "", ui::MB_ICONINFORMATION);
  return false;
}

}  // namespace history
