#include "app/screens/statistic_dlg.h"

#include <cstdio>

#include "analyzer/sequences/process_values.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "controls/screen_common.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/resources.h"

ui::DialogTemplate StatisticTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_STAT_OUTER, "", 4, 4, 312, 232, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_STAT_INNER, "", 20, 20, 280, 140, V | ui::BS_GROUPBOX);
  const int ids[4][2] = {{1672, IDC_STAT_RUNNING}, {1673, IDC_STAT_TOTAL_TIME}, {1674, IDC_STAT_TODAY}, {1675, IDC_STAT_ALL}};
  for (int i = 0; i < 4; ++i) {
    // Each row on its own of the inner frame's four bands (35 units from y 20); label and value
    // box share the row and centre their text in it: the value on the label's line.
    t.Add("Static", ids[i][0], "", 30, 28 + i * 35, 130, 20, V | ui::SS_LEFT | ui::SS_CENTERIMAGE);
    t.Add("Static", ids[i][1], "", 164, 28 + i * 35, 126, 20, V | ui::SS_CENTER | ui::SS_CENTERIMAGE);
  }
  t.Add("Button", IDC_STAT_RESET, "Reset(&R)", 80, 206, 60, 22, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDOK, "Exit(&X)", 180, 206, 60, 22, V | ui::WS_TABSTOP);
  return t;
}

std::string RunningTimeText(long minutes, int language) {
  char buf[96];
  std::snprintf(buf, sizeof buf,
                PickText(language, "%d小时%d分钟", "%d Hours %d Minutes", "%d Horas %d Minutos", "%d Heures %d Minutes",
                         "%d Години %d Хвилини"),
                static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
  return buf;
}

std::string ZeroTimeText(int language) {
  return PickText(language, "0小时0分钟", "0 Hour 0 Minute", "0 Hora 0 Minuto", "0 Heure 0 Minute", "0 Години 0 Хвилини");
}

CStatistic::CStatistic(ui::Window* parent) : ui::Dialog(IDD_STATISTIC, parent) {
  if (!ui::Resources::FindDialog(IDD_STATISTIC)) ui::Resources::AddDialog(IDD_STATISTIC, StatisticTemplate());
}

void CStatistic::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_STAT_ALL, all_);
  ui::ExchangeControl(dx, IDC_STAT_TODAY, today_);
  ui::ExchangeControl(dx, IDC_STAT_TOTAL_TIME, totalTime_);
  ui::ExchangeControl(dx, IDC_STAT_RUNNING, running_);
  ui::ExchangeControl(dx, IDC_STAT_INNER, inner_);
  ui::ExchangeControl(dx, IDC_STAT_RESET, reset_);
  ui::ExchangeControl(dx, ui::IDOK, exit_);
  ui::ExchangeControl(dx, IDC_STAT_OUTER, outer_);
}

bool CStatistic::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "统计信息", "Statistic information", "Informacion estadistica", "Informations statistiques",
                         "Статистична інформація"));
  SetDlgItemText(1672, PickText(lang, "本次开机运行时间:", "Running time since startup:", "Tiempo desde el inicio:",
                                "Duree depuis le demarrage:", "Час роботи після запуску:"));
  SetDlgItemText(1673, PickText(lang, "总运行时间:", "Total running time:", "Tiempo total de funcionamiento:",
                                "Duree totale de fonctionnement:", "Загальний час роботи:"));
  SetDlgItemText(1674, PickText(lang, "今日测试样本数:", "Tested samples today:", "Muestras analizadas hoy:",
                                "Echantillons testes aujourd'hui:", "Зразків сьогодні:"));
  SetDlgItemText(1675, PickText(lang, "测试样本总数:", "Total samples tested:", "Total de muestras analizadas:",
                                "Total des echantillons testes:", "Всього зразків:"));
  reset_.SetWindowText(PickText(lang, "复位(&R)", "Reset(&R)", "Reiniciar(&R)", "Remise a zero(&R)", "Скинути(&R)"));
  exit_.SetWindowText(ExitButtonText(lang));

  const auto& counters = analyzer::SampleCounters;
  running_.SetWindowText(RunningTimeText(counters.RunningMinutes, lang));
  int64_t totalTime = 0;
  RecordsetPtr& rs = conn_.OpenRecordset("Select * from Statistic");
  if (conn_.RecordsetOpen() && !rs->IsBOF() && !rs->IsEOF()) ReadField(*rs, "TotalTime", totalTime);
  conn_.CloseRecordset();
  // The total holds the minutes of this run already saved (a stop-use that did not switch off).
  totalTime_.SetWindowText(
      RunningTimeText(static_cast<long>(totalTime + counters.RunningMinutes - counters.RunningMinutesSaved), lang));
  today_.SetWindowText(std::to_string(counters.SampleCountToday));
  all_.SetWindowText(std::to_string(counters.SampleCountAll));
  if (AppSettings.UserLevel == 0) reset_.EnableWindow(false);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  reset_.SetBitmaps(479, 481, 480);
  exit_.SetBitmaps(479, 481, 480);
  inner_.SetBands(true, 4);  // one band behind each row
  outer_.SetBands(true, 15);
  running_.SetBkColor(draw::RGB(205, 213, 215));
  today_.SetBkColor(draw::RGB(205, 213, 215));
  totalTime_.SetBkColor(draw::RGB(190, 198, 201));
  all_.SetBkColor(draw::RGB(190, 198, 201));
  return true;
}

void CStatistic::OnReset() {
  // The figures go to zero only once the data store took the reset; a refused update leaves
  // both the table and the screen as they were.
  if (!conn_.Execute("update Statistic set TotalTime=0,SampleCountToday=0,SampleCountAll=0")) return;
  const int lang = AppSettings.LanguageIndex;
  running_.SetWindowText(ZeroTimeText(lang));
  totalTime_.SetWindowText(ZeroTimeText(lang));
  today_.SetWindowText("0");
  all_.SetWindowText("0");
  analyzer::SampleCounters.SampleCountToday = 0;
  analyzer::SampleCounters.SampleCountAll = 0;
  analyzer::SampleCounters.RunningMinutes = 0;
  analyzer::SampleCounters.RunningMinutesSaved = 0;
  for (CStaticTrans* s : {&running_, &totalTime_, &today_, &all_}) s->Invalidate(true);
}

bool CStatistic::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_STAT_RESET && code == ui::BN_CLICKED) {
    OnReset();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CStatistic::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CStatistic::OnEraseBkgnd(draw::DC& dc) {
  DrawPlainScreen(dc, this, IDC_STAT_OUTER, IDC_STAT_RESET, ui::IDOK);
  return true;
}

const draw::Brush* CStatistic::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC || ctlType == ui::CTLCOLOR_EDIT) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
