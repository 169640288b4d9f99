#include "settings/other_sys_set.h"

#include "analyzer/sequences/process_values.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/sys_log.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

namespace {

const int kButtonIds[8] = {IDC_OS_LOG,    IDC_OS_COMMUNICATION, IDC_OS_UNITS, IDC_OS_SOAK,
                           IDC_OS_NORMAL, IDC_OS_PANIC,         IDC_OS_DEPT,  IDC_OS_DOCTOR};

ui::DialogTemplate OtherSysSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE, B = V | ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(260, 150);
  t.Add("Button", IDC_OS_FRAME, "", 4, 2, 252, 144, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_OS_FRAME_TOP, "", 8, 6, 244, 50, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_OS_FRAME_BOTTOM, "", 8, 58, 244, 50, V | ui::BS_GROUPBOX);
  const char* captions[8] = {"Log On",        "Communication",     "Units",     "Soak Frequence",
                             "Normal Limits", "Pathologic Limits", "Dept.Info", "Doctor Info"};
  for (int i = 0; i < 8; ++i)
    t.Add("Button", kButtonIds[i], captions[i], 12 + (i % 4) * 60, i < 4 ? 12 : 64, 56, 38, B | ui::BS_MULTILINE);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 100, 114, 60, 28, B);
  return t;
}

}  // namespace

OtherMenuGates OtherMenuGatesFor(int userLevel, bool soakReminderOn) {
  OtherMenuGates g;
  g.limitsAndUnits = userLevel >= 1;
  g.soak = userLevel >= 2 && soakReminderOn;
  return g;
}

COtherSysSet::COtherSysSet(ui::Window* parent) : ui::Dialog(IDD_OTHER_SYS_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_OTHER_SYS_SET)) ui::Resources::AddDialog(IDD_OTHER_SYS_SET, OtherSysSetTemplate());
}

void COtherSysSet::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_OS_FRAME, frames_[0]);
  ui::ExchangeControl(dx, IDC_OS_FRAME_TOP, frames_[1]);
  ui::ExchangeControl(dx, IDC_OS_FRAME_BOTTOM, frames_[2]);
  for (int i = 0; i < 8; ++i) ui::ExchangeControl(dx, kButtonIds[i], buttons_[i]);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
}

bool COtherSysSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "其他设置", "", "", "", ""));
  auto set = [&](int id, const char* zh, const char* en, const char* es, const char* fr, const char* ua) {
    SetDlgItemText(id, PickText(l, zh, en, es, fr, ua));
  };
  set(IDC_OS_COMMUNICATION, "通讯", "Communication", "Comunicacion", "Communication", "Зв'язок");
  set(IDC_OS_UNITS, "单位", "Units", "Unidades", "Unites", "Одиниці");
  set(IDC_OS_SOAK, "浸泡频率", "Soak Frequence", "Frecuencia de remojo", "Frequence de trempage", "Частота замочування");
  set(IDC_OS_NORMAL, "正常范围", "Normal Limits", "Limites normales", "Limites normales", "Норми");
  set(IDC_OS_PANIC, "危急范围", "Pathologic Limits", "Limites patologicos", "Limites pathologiques",
      "Критичні межі");
  set(IDC_OS_DEPT, "科室信息", "Dept.Info", "Info. dpto.", "Info. service", "Відділення");
  set(IDC_OS_DOCTOR, "医生信息", "Doctor Info", "Info. medico", "Info. medecin", "Лікарі");
  SetDlgItemText(ui::IDCANCEL, ExitButtonText(l));
  ApplyLevel();
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (CXPButton& b : buttons_) b.SetBitmaps(446, 448, 447);
  exit_.SetBitmaps(453, 452, 451);
  return true;
}

void COtherSysSet::ApplyLevel() {
  const int l = AppSettings.LanguageIndex;
  const bool on = AppSettings.UserLevel >= 1;
  SetDlgItemText(IDC_OS_LOG, on ? PickText(l, "注销", "Log Off", "Cerrar sesion", "Deconnexion", "Вийти")
                                : PickText(l, "登录", "Log On", "Iniciar sesion", "Connexion", "Увійти"));
  const OtherMenuGates g = OtherMenuGatesFor(AppSettings.UserLevel, analyzer::Soak.IsOpenSoakTips != 0);
  for (int id : {IDC_OS_NORMAL, IDC_OS_PANIC, IDC_OS_UNITS}) GetDlgItem(id)->EnableWindow(g.limitsAndUnits);
  GetDlgItem(IDC_OS_SOAK)->EnableWindow(g.soak);
  GetDlgItem(IDC_OS_COMMUNICATION)->EnableWindow(true);
}

void COtherSysSet::OnLogButton() {
  if (AppSettings.UserLevel >= 1) {
    AppSettings.UserLevel = 0;
    ApplyLevel();
    const int l = AppSettings.LanguageIndex;
    WriteSysLog(conn_, PickText(l, "注销", "Logoff", "Cierre de sesion", "Deconnexion", "Вихід"),
                PickText(l, "普通用户", "General User", "Usuario general", "Utilisateur general", "Звичайний користувач"));
    conn_.Disconnect();
    return;
  }
  if (RunScreen("CUserLogon") == ui::IDOK && AppSettings.UserLevel >= 1) ApplyLevel();
}

bool COtherSysSet::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  switch (id) {
    case IDC_OS_LOG: OnLogButton(); return true;
    case IDC_OS_COMMUNICATION: RunScreen("CCommuSel"); return true;
    case IDC_OS_UNITS: RunScreen("CParasUnit"); return true;
    case IDC_OS_SOAK: RunScreen("CSetSoakFreq"); return true;
    case IDC_OS_NORMAL: RunScreen("CNormalLimits"); return true;
    case IDC_OS_PANIC: RunScreen("CPathologyLimits"); return true;
    case IDC_OS_DEPT: RunScreen("CDeptSet"); return true;
    case IDC_OS_DOCTOR: RunScreen("CDoctorSet"); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

bool COtherSysSet::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool COtherSysSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, IDC_OS_FRAME, ui::IDCANCEL, ui::IDCANCEL);
  return true;
}

void COtherSysSet::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
