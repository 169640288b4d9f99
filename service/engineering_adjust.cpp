#include "service/engineering_adjust.h"

#include <filesystem>

#include "analyzer/screens/screen_common.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"

namespace service {
namespace {

using C = CEngineeringAdjust;

ui::DialogTemplate AdjustTemplate() {
  // 320 x 236 units: the whole screen on a 640 x 480 display, as every screen is laid out.
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(320, 236, false);
  const uint32_t edit = uint32_t{ui::WS_VISIBLE} | ui::WS_BORDER | ui::WS_TABSTOP;
  t.Add(ui::kClassStatic, C::kCaptionId, "", 8, 6, 148, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassButton, C::kFrame1Id, "", 4, 16, 154, 184, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  for (int i = 0; i < 8; ++i) {
    t.Add(ui::kClassStatic, C::kPotLabelIds[i], "", 9, 26 + i * 21, 96, 10, ui::WS_VISIBLE);
    t.Add(ui::kClassEdit, C::kPotIds[i], "", 107, 24 + i * 21, 32, 13, edit);
    t.Add(ui::kClassUpDown, C::kPotSpinIds[i], "", 139, 24 + i * 21, 9, 13,
          uint32_t{ui::WS_VISIBLE} | ui::UDS_SETBUDDYINT | ui::UDS_ARROWKEYS);
  }
  t.Add(ui::kClassButton, C::kFrame2Id, "", 162, 16, 154, 184, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  const int rowY[8] = {24, 44, 64, 84, 104, 124, 144, 164};
  t.Add(ui::kClassStatic, 1820, "", 167, rowY[0] + 2, 74, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassEdit, C::kParaIds[0], "", 244, rowY[0], 30, 13, edit);
  t.Add(ui::kClassEdit, C::kParaIds[1], "", 280, rowY[0], 30, 13, edit);
  t.Add(ui::kClassStatic, 1821, "", 167, rowY[1] + 2, 74, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassEdit, C::kParaIds[2], "", 244, rowY[1], 30, 13, edit);
  t.Add(ui::kClassEdit, C::kParaIds[3], "", 280, rowY[1], 30, 13, edit);
  t.Add(ui::kClassStatic, 1814, "", 167, rowY[2] + 2, 74, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassEdit, C::kStartBaseId, "", 244, rowY[2], 30, 13, edit);
  t.Add(ui::kClassStatic, -1, "+", 275, rowY[2] + 2, 4, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassEdit, C::kStartOffsetId, "", 280, rowY[2], 30, 13, edit);
  t.Add(ui::kClassStatic, 1815, "", 167, rowY[3] + 2, 74, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassEdit, C::kMaxBaseId, "", 244, rowY[3], 30, 13, edit);
  t.Add(ui::kClassStatic, -1, "+", 275, rowY[3] + 2, 4, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassEdit, C::kMaxOffsetId, "", 280, rowY[3], 30, 13, edit);
  const int timeLabels[4] = {1816, 1817, 1818, 1819};
  const int timeIds[4] = {C::kCountTimeId, C::kWaitTimeId, C::kBlockTimeId, C::kLeakTimeId};
  for (int i = 0; i < 4; ++i) {
    t.Add(ui::kClassStatic, timeLabels[i], "", 167, rowY[4 + i] + 2, 108, 10, ui::WS_VISIBLE);
    t.Add(ui::kClassEdit, timeIds[i], "", 280, rowY[4 + i], 30, 13, edit);
  }
  t.Add(ui::kClassButton, C::kFrame3Id, "", 4, 202, 312, 30, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, C::kKeyboardId, "", 10, 208, 20, 20, ui::WS_VISIBLE);
  t.Add(ui::kClassButton, C::kUpdateId, "", 46, 208, 60, 20, ui::WS_VISIBLE);
  t.Add(ui::kClassButton, C::kSetDefaultId, "", 114, 208, 60, 20, ui::WS_VISIBLE);
  t.Add(ui::kClassButton, C::kReadDefaultId, "", 182, 208, 60, 20, ui::WS_VISIBLE);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 250, 208, 60, 20, ui::WS_VISIBLE);
  return t;
}

std::string FileNotFoundText(int lang) {
  return PickText(lang, "数据文件不存在！", "Data file not found!", "¡Archivo de datos no encontrado!",
                  "Fichier de données introuvable!", "Файл даних не знайдено!");
}

}  // namespace

CEngineeringAdjust::CEngineeringAdjust(ui::Window* parent) : BoardScreen(AdjustTemplate(), parent) {
  swallowEnter_ = swallowEscape_ = true;
}

CEngineeringAdjust::~CEngineeringAdjust() { conn_.Disconnect(); }

void CEngineeringAdjust::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kUpdateId, update_);
  ui::ExchangeControl(dx, kSetDefaultId, setDefault_);
  ui::ExchangeControl(dx, kReadDefaultId, readDefault_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, kKeyboardId, keyboard_);
  ui::ExchangeControl(dx, kFrame1Id, frame1_);
  ui::ExchangeControl(dx, kFrame2Id, frame2_);
  ui::ExchangeControl(dx, kFrame3Id, frame3_);
  for (int i = 0; i < 8; ++i) ui::ExchangeControl(dx, kPotSpinIds[i], spins_[i]);
}

bool CEngineeringAdjust::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  download_ = std::make_unique<AdjustDownload>(*this, &conn_);
  OpenOwnPort({false, true, true});
  for (int i = 0; i < 8; ++i) {
    spins_[i].SetBuddy(GetDlgItem(kPotIds[i]));
    spins_[i].SetRange(0, 255);
    spins_[i].SetBitmaps(420, 421, 422);
  }
  Drive(download_.get());
  ShowFields(FieldsOf(LoadAdjustValues(conn_)));
  const int lang = AppSettings.LanguageIndex;
  struct Text {
    int id;
    const char* t[5];
  };
  static const Text kTexts[] = {
      {kCaptionId, {"电位器调整", "Potentiometer Adjust", "Ajuste de potenciómetros", "Réglage des potentiomètres", "Налаштування потенціометрів"}},
      {1806, {"PLT触发下限", "PLT trigger lower limit", "Límite inferior de disparo PLT", "Seuil bas de déclenchement PLT", "Нижній поріг запуску PLT"}},
      {1807, {"PLT触发上限", "PLT trigger upper limit", "Límite superior de disparo PLT", "Seuil haut de déclenchement PLT", "Верхній поріг запуску PLT"}},
      {1808, {"PLT增益", "PLT Gain", "Ganancia PLT", "Gain PLT", "Підсилення PLT"}},
      {1809, {"HGB反馈", "HGB Feedback", "Retroalimentación HGB", "Rétroaction HGB", "Зворотний зв'язок HGB"}},
      {1810, {"RBC增益", "RBC Gain", "Ganancia RBC", "Gain RBC", "Підсилення RBC"}},
      {1811, {"RBC触发下限", "RBC trigger lower limit", "Límite inferior de disparo RBC", "Seuil bas de déclenchement RBC", "Нижній поріг запуску RBC"}},
      {1812, {"WBC增益", "WBC Gain", "Ganancia WBC", "Gain WBC", "Підсилення WBC"}},
      {1813, {"WBC触发下限", "WBC trigger lower limit", "Límite inferior de disparo WBC", "Seuil bas de déclenchement WBC", "Нижній поріг запуску WBC"}},
      {1820, {"脉宽参数1-2:", "Pulse width para1-2:", "Ancho de pulso par.1-2:", "Largeur d'impulsion par.1-2:", "Ширина імпульсу пар.1-2:"}},
      {1821, {"脉宽参数3-4:", "Pulse width para3-4:", "Ancho de pulso par.3-4:", "Largeur d'impulsion par.3-4:", "Ширина імпульсу пар.3-4:"}},
      {1814, {"测试起始压力:", "Test start pressure:", "Presión inicial de prueba:", "Pression de départ du test:", "Початковий тиск тесту:"}},
      {1815, {"测试最大压力:", "Test max pressure:", "Presión máxima de prueba:", "Pression maximale du test:", "Максимальний тиск тесту:"}},
      {1816, {"计数时间(秒):", "Count time(S):", "Tiempo de recuento(S):", "Temps de comptage(S):", "Час підрахунку(С):"}},
      {1817, {"计数等待时间(秒):", "Count wait time(S):", "Tiempo de espera(S):", "Temps d'attente(S):", "Час очікування(С):"}},
      {1818, {"堵孔报警时间(秒): >", "Warning time of clogging(S): >", "Tiempo de aviso de obstrucción(S): >",
              "Temps d'alerte de colmatage(S): >", "Час попередження засмічення(С): >"}},
      {1819, {"气泡报警时间(秒): <", "Warning time of air bubble(S): <", "Tiempo de aviso de burbuja(S): <",
              "Temps d'alerte de bulle d'air(S): <", "Час попередження бульбашки(С): <"}},
      {kUpdateId, {"更新(&U)", "Update(&U)", "Actualizar(&U)", "Mettre à jour(&U)", "Оновити(&U)"}},
      {kSetDefaultId, {"设为默认(&S)", "Set Default(&S)", "Fijar predeterminado(&S)", "Définir par défaut(&S)", "Зберегти типові(&S)"}},
      {kReadDefaultId, {"读取默认(&R)", "Read Default(&R)", "Leer predeterminado(&R)", "Lire par défaut(&R)", "Прочитати типові(&R)"}},
  };
  for (const Text& x : kTexts) SetDlgItemText(x.id, PickText(lang, x.t[0], x.t[1], x.t[2], x.t[3], x.t[4]));
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
  if (AppSettings.UserLevel == 2)
    if (Window* w = GetDlgItem(kSetDefaultId)) w->EnableWindow(false);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (CXPButton* b : {&update_, &setDefault_, &readDefault_, &exit_}) b->SetBitmaps(453, 452, 451);
  keyboard_.UseKeyboardPicture();
  return true;
}

AdjustFields CEngineeringAdjust::ReadFields() const {
  AdjustFields f;
  for (int i = 0; i < 8; ++i) f.pot[i] = GetDlgItemText(kPotIds[i]);
  for (int i = 0; i < 4; ++i) f.para[i] = GetDlgItemText(kParaIds[i]);
  f.startBase = GetDlgItemText(kStartBaseId);
  f.startOffset = GetDlgItemText(kStartOffsetId);
  f.maxBase = GetDlgItemText(kMaxBaseId);
  f.maxOffset = GetDlgItemText(kMaxOffsetId);
  f.countTime = GetDlgItemText(kCountTimeId);
  f.waitTime = GetDlgItemText(kWaitTimeId);
  f.blockTime = GetDlgItemText(kBlockTimeId);
  f.leakTime = GetDlgItemText(kLeakTimeId);
  return f;
}

void CEngineeringAdjust::ShowFields(const AdjustFields& f) {
  for (int i = 0; i < 8; ++i) SetDlgItemText(kPotIds[i], f.pot[i]);
  for (int i = 0; i < 4; ++i) SetDlgItemText(kParaIds[i], f.para[i]);
  SetDlgItemText(kStartBaseId, f.startBase);
  SetDlgItemText(kStartOffsetId, f.startOffset);
  SetDlgItemText(kMaxBaseId, f.maxBase);
  SetDlgItemText(kMaxOffsetId, f.maxOffset);
  SetDlgItemText(kCountTimeId, f.countTime);
  SetDlgItemText(kWaitTimeId, f.waitTime);
  SetDlgItemText(kBlockTimeId, f.blockTime);
  SetDlgItemText(kLeakTimeId, f.leakTime);
}

std::string CEngineeringAdjust::IniPath() const { return sys::ProgramFile("setting.ini"); }

void CEngineeringAdjust::OnUpdate() {
  AdjustValues v;
  std::string message;
  if (!CheckAdjustFields(ReadFields(), &v, &message, AppSettings.LanguageIndex)) {
    analyzer::ShowBox(this, message, analyzer::BoxIcon::None);
    return;
  }
  StoreAdjustValues(conn_, v);
  download_->Start(v);
}

void CEngineeringAdjust::OnSetDefault() {
  const int lang = AppSettings.LanguageIndex;
  const std::string ini = IniPath();
  if (!std::filesystem::exists(ini)) {
    analyzer::ShowBox(this, FileNotFoundText(lang), analyzer::BoxIcon::Error);
    return;
  }
  if (!WriteAdjustDefaults(ini, ValuesOfUnchecked(ReadFields()))) {
    analyzer::ShowBox(this, NotSavedText(lang), analyzer::BoxIcon::Error);
    return;
  }
  analyzer::ShowBox(this, DataSavedText(lang), analyzer::BoxIcon::None);
}

void CEngineeringAdjust::OnReadDefault() {
  const std::string ini = IniPath();
  if (!std::filesystem::exists(ini)) {
    analyzer::ShowBox(this, FileNotFoundText(AppSettings.LanguageIndex), analyzer::BoxIcon::Error);
    return;
  }
  ShowFields(FieldsOf(ReadAdjustDefaults(ini)));
}

bool CEngineeringAdjust::OnCommand(int id, int code, ui::Window* control) {
  switch (id) {
    case kUpdateId: OnUpdate(); return true;
    case kSetDefaultId: OnSetDefault(); return true;
    case kReadDefaultId: OnReadDefault(); return true;
    case kKeyboardId: ShowOnScreenKeyboard(); return true;
    default: return BoardScreen::OnCommand(id, code, control);
  }
}

void CEngineeringAdjust::OnCancel() {
  conn_.Disconnect();
  EndScreen(ui::IDCANCEL);
}

const draw::Brush* CEngineeringAdjust::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return analyzer::ScreenLabelColours(dc);
  return BoardScreen::OnCtlColor(dc, control, ctlType);
}

bool CEngineeringAdjust::OnEraseBkgnd(draw::DC& dc) {
  analyzer::DrawPlainScreen(dc, this);
  return true;
}

}  // namespace service
