#include "app/screens/sys_info_sel.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "controls/screen_common.h"
#include "core/screen_registry.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

ui::DialogTemplate SysInfoSelTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(150, 150);
  t.Add("Button", IDC_SYSINFO_OUTER, "", 6, 6, 138, 138, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SYSINFO_INNER, "", 16, 12, 118, 92, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SYSINFO_STATUS, "System Status", 30, 22, 90, 20, V | TS);
  t.Add("Button", IDC_SYSINFO_LOG, "Log", 30, 48, 90, 20, V | TS);
  t.Add("Button", IDC_SYSINFO_STATISTIC, "Statistic", 30, 74, 90, 20, V | TS);
  t.Add("Button", ui::IDCANCEL, "Exit", 50, 114, 50, 20, V | TS);
  return t;
}

CSysInfoSel::CSysInfoSel(ui::Window* parent) : ui::Dialog(IDD_SYSINFO_SEL, parent) {
  if (!ui::Resources::FindDialog(IDD_SYSINFO_SEL)) ui::Resources::AddDialog(IDD_SYSINFO_SEL, SysInfoSelTemplate());
}

void CSysInfoSel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_SYSINFO_STATUS, status_);
  ui::ExchangeControl(dx, IDC_SYSINFO_STATISTIC, statistic_);
  ui::ExchangeControl(dx, IDC_SYSINFO_LOG, log_);
  ui::ExchangeControl(dx, IDC_SYSINFO_INNER, inner_);
  ui::ExchangeControl(dx, IDC_SYSINFO_OUTER, outer_);
}

bool CSysInfoSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  status_.SetWindowText(PickText("系统状态", "System Status", "Estado del sistema", "Etat systeme", "Стан системи"));
  log_.SetWindowText(PickText("系统日志", "Log", "Registro", "Log", "Журнал"));
  statistic_.SetWindowText(PickText("统计信息", "Statistic", "Estadistica", "Statistique", "Статистика"));
  exit_.SetWindowText(PickText("退出", "Exit", "Salir", "Quitter", "Вихід"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (CXPButton* b : {&status_, &statistic_, &log_}) b->SetBitmaps(479, 481, 479);
  exit_.SetBitmaps(479, 481, 479);
  outer_.SetBands(true, 8);
  return true;
}

bool CSysInfoSel::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    const char* screen = id == IDC_SYSINFO_STATUS ? "CSysState"
                         : id == IDC_SYSINFO_LOG  ? "CSysLog"
                         : id == IDC_SYSINFO_STATISTIC ? "CStatistic"
                                                       : nullptr;
    if (screen) {
      RunScreen(screen);
      OnOK();
      return true;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CSysInfoSel::OnEraseBkgnd(draw::DC& dc) {
  DrawPlainScreen(dc, this, IDC_SYSINFO_OUTER, ui::IDCANCEL);
  return true;
}
