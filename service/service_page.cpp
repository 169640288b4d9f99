#include "service/service_page.h"

#include "platform/ui/app.h"

#include "analyzer/screens/screen_common.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"

namespace service {
namespace {

using S = CService;

// Laid out to fill the debug screen's tab on a 640 x 480 display (306 x 216 units inside the
// tab's frame): outputs and motors on the left, needle positions with the repeat test and the
// pressure on the right, the keyboard and Exit below.
ui::DialogTemplate PageTemplate() {
  ui::DialogTemplate t;
  t.cx = 306;
  t.cy = 216;
  t.style = uint32_t{ui::WS_CHILD};
  t.fontFace = "Arial";
  t.fontPoints = 9;
  const uint32_t V = ui::WS_VISIBLE;
  const uint32_t edit = uint32_t{ui::WS_VISIBLE} | ui::WS_BORDER | ui::WS_TABSTOP;
  // Outputs and motors.
  t.Add(ui::kClassButton, 1963, "", 2, 0, 150, 186, V | ui::BS_GROUPBOX);
  const int switchLabels[3] = {1794, 1795, 1796};
  for (int i = 0; i < 3; ++i) {
    t.Add(ui::kClassStatic, switchLabels[i], "", 7, 10 + i * 18, 84, 10, V);
    t.Add(ui::kClassButton, S::kSwitchIds[i], "", 92, 8 + i * 18, 54, 15, V);
  }
  const int motorLabels[4] = {1797, 1798, 1799, 1800};
  const int stepLabels[4] = {1801, 1802, 1803, 1804};
  for (int m = 0; m < 4; ++m) {
    const int y = 64 + m * 30;
    t.Add(ui::kClassStatic, motorLabels[m], "", 7, y, 53, 10, V);  // a blank's width clear of the radio
    t.Add(ui::kClassButton, S::kDirectionIds[m][0], "", 64, y - 1, 40, 10, V | ui::WS_GROUP | ui::BS_AUTORADIOBUTTON);
    t.Add(ui::kClassButton, S::kDirectionIds[m][1], "", 106, y - 1, 40, 10, V | ui::BS_AUTORADIOBUTTON);
    t.Add(ui::kClassStatic, stepLabels[m], "", 7, y + 13, 28, 10, V);
    t.Add(ui::kClassEdit, S::kStepFieldIds[m], "", 37, y + 11, 30, 12, edit | ui::WS_GROUP);
    t.Add(ui::kClassUpDown, S::kStepSpinIds[m], "", 67, y + 11, 9, 12, V | ui::UDS_SETBUDDYINT | ui::UDS_ARROWKEYS);
    t.Add(ui::kClassButton, S::kStepButtonIds[m], "", 92, y + 10, 54, 15, V);
  }
  // Needle positions, reset and repeat test.
  t.Add(ui::kClassButton, 1964, "", 156, 0, 148, 138, V | ui::BS_GROUPBOX);
  const int needleLabels[5] = {1884, 1883, 1885, 1886, 1887};
  for (int i = 0; i < 5; ++i) {
    t.Add(ui::kClassStatic, needleLabels[i], "", 161, 9 + i * 15, 68, 10, V);
    t.Add(ui::kClassEdit, S::kNeedleFieldIds[i], "", 231, 8 + i * 15, 28, 12, edit);
    t.Add(ui::kClassButton, S::kNeedleSendIds[i], "", 262, 7 + i * 15, 39, 14, V);
  }
  t.Add(ui::kClassButton, S::kResetId, "", 161, 84, 80, 14, V);
  t.Add(ui::kClassStatic, 1866, "", 161, 100, 140, 18, V);  // two lines where the text needs them
  t.Add(ui::kClassEdit, S::kTestCountId, "", 161, 121, 36, 12, edit);
  t.Add(ui::kClassButton, S::kTestStartId, "", 201, 120, 48, 14, V);
  t.Add(ui::kClassButton, S::kTestStopId, "", 253, 120, 48, 14, V);
  // Pressure.
  t.Add(ui::kClassButton, 1826, "", 156, 140, 148, 54, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, 1965, "", 161, 146, 100, 10, V);
  t.Add(ui::kClassStatic, 1805, "", 161, 158, 76, 10, V);
  t.Add(ui::kClassEdit, S::kTargetId, "", 239, 156, 28, 12, edit);
  t.Add(ui::kClassStatic, -1, "+", 268, 158, 5, 10, V);
  t.Add(ui::kClassEdit, S::kDeviationId, "", 274, 156, 27, 12, edit);
  t.Add(ui::kClassStatic, 1806, "", 161, 172, 46, 10, V);
  t.Add(ui::kClassStatic, S::kPressureId, "", 209, 172, 40, 10, V);
  t.Add(ui::kClassStatic, S::kPollTimeId, "", 209, 182, 40, 10, V);
  t.Add(ui::kClassButton, S::kPressureSendId, "", 262, 172, 39, 14, V);
  t.Add(ui::kClassButton, S::kKeyboardId, "", 4, 192, 20, 20, V);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 127, 196, 52, 18, V);
  return t;
}

}  // namespace

CService::CService(analyzer::BoardHost& link, std::function<void()> close)
    : ui::Dialog(PageTemplate(), nullptr), link_(link), close_(std::move(close)) {
  logic_ = std::make_unique<EngineeringDebug>(*this, &conn_);
}

CService::~CService() { conn_.Disconnect(); }

void CService::DoDataExchange(ui::DataExchange& dx) {
  int n = 0;
  for (int id : kSwitchIds) ui::ExchangeControl(dx, id, buttons_[n++]);
  for (int id : kStepButtonIds) ui::ExchangeControl(dx, id, buttons_[n++]);
  for (int id : kNeedleSendIds) ui::ExchangeControl(dx, id, buttons_[n++]);
  for (int id : {kResetId, kTestStartId, kTestStopId, kPressureSendId}) ui::ExchangeControl(dx, id, buttons_[n++]);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, kKeyboardId, keyboard_);
  ui::ExchangeControl(dx, kPressureId, pressure_);
  ui::ExchangeControl(dx, kPollTimeId, pollTime_);
  for (int i = 0; i < 4; ++i) ui::ExchangeControl(dx, kStepSpinIds[i], spins_[i]);
}

bool CService::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  logic_->Load();
  for (int i = 0; i < 4; ++i) {
    spins_[i].SetBuddy(GetDlgItem(kStepFieldIds[i]));
    spins_[i].SetRange(1, 255);
    spins_[i].SetBitmaps(420, 421, 422);
  }
  for (int id : kStepFieldIds) SetDlgItemText(id, "1");
  SetDlgItemText(kTargetId, "2300");
  SetDlgItemText(kDeviationId, "0");
  for (int i = 0; i < 5; ++i) SetDlgItemText(kNeedleFieldIds[i], std::to_string(logic_->needles()[i]));
  SetDlgItemText(kTestCountId, "0");
  SetTexts();
  for (auto& b : buttons_) b.SetBitmaps(498, 500, 499);
  exit_.SetBitmaps(453, 452, 451);
  keyboard_.UseKeyboardPicture();
  pressure_.SetBkColor(draw::RGB(190, 198, 201));
  pollTime_.SetBkColor(draw::RGB(190, 198, 201));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CService::SetTexts() {
  const int lang = AppSettings.LanguageIndex;
  struct Text {
    int id;
    const char* t[5];
  };
  static const Text kTexts[] = {
      {1794, {"60V输出", "60V Output", "Salida 60V", "Sortie 60V", "Вихід 60В"}},
      {1795, {"节能模式", "Power Saving Mode", "Modo de ahorro", "Mode économie", "Енергозбереження"}},
      {1796, {"电机使能", "Motor Enable", "Habilitar motores", "Activation moteurs", "Живлення двигунів"}},
      {1797, {"X轴电机", "X-axis Motor", "Motor eje X", "Moteur axe X", "Двигун осі X"}},
      {1798, {"Z轴电机", "Z-axis Motor", "Motor eje Z", "Moteur axe Z", "Двигун осі Z"}},
      {1799, {"注射器", "Injector", "Inyector", "Injecteur", "Інжектор"}},
      {1800, {"负压注射器", "Pressure pump", "Bomba de presión", "Pompe de pression", "Насос тиску"}},
      {1605, {"左", "Left", "Izquierda", "Gauche", "Ліворуч"}},
      {1606, {"右", "Right", "Derecha", "Droite", "Праворуч"}},
      {1866, {"测试次数,0:不测试,负数:无限测试", "Test times,0:No Test,negative:Infinite Test",
              "Veces de prueba,0:sin prueba,negativo:infinito", "Nombre de tests,0:aucun,négatif:infini",
              "Кількість тестів,0:без тесту,від'ємне:безкінечно"}},
      {kResetId, {"整机复位", "Machine Reset", "Reiniciar equipo", "Réinitialiser l'appareil", "Скидання приладу"}},
      {kTestStartId, {"开始", "Start", "Iniciar", "Démarrer", "Пуск"}},
      {kTestStopId, {"停止", "Stop", "Detener", "Arrêter", "Стоп"}},
      {1965, {"压力检测", "Pressure detect", "Detección de presión", "Détection de pression", "Контроль тиску"}},
      {1805, {"目标值(0-4000):", "Target value(0-4000):", "Valor objetivo(0-4000):", "Valeur cible(0-4000):", "Цільове значення(0-4000):"}},
      {1806, {"当前值:", "Current value:", "Valor actual:", "Valeur actuelle:", "Поточне значення:"}},
      {kPressureSendId, {"发送", "Send", "Enviar", "Envoyer", "Надіслати"}},
  };
  for (const Text& x : kTexts) SetDlgItemText(x.id, PickText(lang, x.t[0], x.t[1], x.t[2], x.t[3], x.t[4]));
  const char* up = PickText(lang, "上", "Up", "Arriba", "Haut", "Вгору");
  const char* down = PickText(lang, "下", "Down", "Abajo", "Bas", "Вниз");
  for (int m = 1; m < 4; ++m) {
    SetDlgItemText(kDirectionIds[m][0], up);
    SetDlgItemText(kDirectionIds[m][1], down);
  }
  const char* steps = PickText(lang, "步数", "Steps", "Pasos", "Pas", "Кроки");
  for (int id : {1801, 1802, 1803, 1804}) SetDlgItemText(id, steps);
  const char* stepping = PickText(lang, "步进", "Stepping", "Avanzar", "Pas à pas", "Крок");
  for (int id : kStepButtonIds) SetDlgItemText(id, stepping);
  const char* send = PickText(lang, "发送", "Send", "Enviar", "Envoyer", "Надіслати");
  const int needleLabels[5] = {1884, 1883, 1885, 1886, 1887};
  static const char* const kChineseNeedles[5] = {"采样针上位", "针外壁清洗位", "加样吸样位", "WBC池位", "RBC池位"};
  const char* word = PickText(lang, "", "Needle position", "Posición de aguja", "Position de l'aiguille", "Положення голки");
  for (int i = 0; i < 5; ++i) {
    SetDlgItemText(needleLabels[i], lang == 0 ? std::string(kChineseNeedles[i]) : StrPrintf("%s %d", word, i + 1));
    SetDlgItemText(kNeedleSendIds[i], send);
  }
  for (int i = 0; i < 3; ++i) SetSwitchCaption(i, false);
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
}

NeedleTexts CService::Needles() const {
  NeedleTexts t;
  for (int i = 0; i < 5; ++i) t.pos[i] = GetDlgItemText(kNeedleFieldIds[i]);
  return t;
}

int CService::Direction(int motor) const { return IsDlgButtonChecked(kDirectionIds[motor][1]) ? 1 : 0; }

bool CService::OnCommand(int id, int code, ui::Window* control) {
  for (int i = 0; i < 3; ++i)
    if (id == kSwitchIds[i]) {
      logic_->OnSwitch(i);
      return true;
    }
  for (int m = 0; m < 4; ++m)
    if (id == kStepButtonIds[m]) {
      logic_->OnStep(m, Direction(m), GetDlgItemText(kStepFieldIds[m]));
      return true;
    }
  for (int i = 0; i < 5; ++i)
    if (id == kNeedleSendIds[i]) {
      logic_->OnNeedleSend(i, Needles());
      return true;
    }
  switch (id) {
    case kResetId: logic_->OnMachineReset(); return true;
    case kTestStartId: logic_->OnTestStart(GetDlgItemText(kTestCountId)); return true;
    case kTestStopId: logic_->OnTestStop(); return true;
    case kPressureSendId:
      logic_->OnPressureSend(GetDlgItemText(kTargetId), GetDlgItemText(kDeviationId), Needles());
      return true;
    case kKeyboardId: ShowOnScreenKeyboard(); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

bool CService::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

void CService::OnCancel() { logic_->OnExit(Needles()); }

void CService::OnTimer(uintptr_t id) {
  if (id == kPollTimer) logic_->OnPollTick();
}

void CService::Message(const std::string& text, analyzer::BoxIcon icon) { analyzer::ShowBox(this, text, icon); }

void CService::ClosePrompt() {
  // The box ends as its close button ends it; the page goes on from where it showed it.
  for (ui::Window* w : ui::TopLevelWindows())
    if (w->IsMessageBox() && w->IsWindowVisible())
      if (auto* box = dynamic_cast<ui::Dialog*>(w)) box->EndDialog(ui::IDCANCEL);
}

void CService::SetSwitchCaption(int which, bool on) {
  const int lang = AppSettings.LanguageIndex;
  SetDlgItemText(kSwitchIds[which], on ? PickText(lang, "关闭", "Close", "Cerrar", "Fermer", "Вимкнути")
                                       : PickText(lang, "打开", "Open", "Abrir", "Ouvrir", "Увімкнути"));
}

void CService::EnableSwitches(bool enable) {
  for (int id : kSwitchIds)
    if (Window* w = GetDlgItem(id)) w->EnableWindow(enable);
}

void CService::EnableTestStart(bool enable) {
  if (Window* w = GetDlgItem(kTestStartId)) w->EnableWindow(enable);
}

void CService::EnablePressureSend(bool enable) {
  if (Window* w = GetDlgItem(kPressureSendId)) w->EnableWindow(enable);
}

void CService::EnableExit(bool enable) {
  if (Window* w = GetDlgItem(ui::IDCANCEL)) w->EnableWindow(enable);
}

void CService::ShowPressure(const std::string& text) {
  SetDlgItemText(kPressureId, text);
  pressure_.RedrawBackground();
}

void CService::ShowPollTime(const std::string& text) {
  SetDlgItemText(kPollTimeId, text);
  pollTime_.RedrawBackground();
}

void CService::StartPoll() { SetTimer(kPollTimer, 1000); }
void CService::StopPoll() { KillTimer(kPollTimer); }
void CService::SetTestCount(const std::string& text) { SetDlgItemText(kTestCountId, text); }

void CService::ResetExitFields() {
  SetDlgItemText(kTargetId, "2300");
  SetDlgItemText(kDeviationId, "0");
  SetDlgItemText(kTestCountId, "0");
}

void CService::ClosePage() {
  KillTimer(kPollTimer);
  if (close_) close_();
}

const draw::Brush* CService::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return analyzer::ScreenLabelColours(dc);
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CService::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(240, 240, 240));
  return true;
}

}  // namespace service
