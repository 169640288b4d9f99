#include "service/back_door.h"

#include "analyzer/reagent.h"
#include "analyzer/screens/screen_common.h"
#include "analyzer/sequences/process_values.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "measurement/mid_results.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"
#include "service/engineering_debug.h"
#include "service/hidden_settings.h"
#include "service/service_link.h"

namespace service {
namespace {

using B = CBackDoor;

// Laid out to fill the debug screen's tab on a 640 x 480 display (306 x 216 units inside the
// tab's frame), as the engineering debug page beside it.
ui::DialogTemplate BackDoorTemplate() {
  ui::DialogTemplate t;
  t.cx = 306;
  t.cy = 216;
  t.style = uint32_t{ui::WS_CHILD} | ui::WS_VISIBLE;
  t.fontFace = "Arial";
  t.fontPoints = 9;
  const uint32_t V = ui::WS_VISIBLE;
  const uint32_t edit = uint32_t{ui::WS_VISIBLE} | ui::WS_BORDER | ui::WS_TABSTOP;
  t.Add(ui::kClassButton, 1951, "", 3, 2, 300, 80, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, 2037, "", 3, 84, 300, 98, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, 1862, "", 60, 21, 113, 11, V);
  t.Add(ui::kClassEdit, B::kHgbBlankId, "", 176, 19, 43, 12, edit);
  t.Add(ui::kClassStatic, 2063, "", 60, 40, 112, 19, V);
  t.Add(ui::kClassEdit, B::kReviseId, "", 176, 40, 43, 12, edit);
  t.Add(ui::kClassStatic, -1, "ml", 222, 42, 9, 8, V);
  t.Add(ui::kClassStatic, -1, "DIL", 62, 64, 21, 10, V);
  t.Add(ui::kClassEdit, B::kDilId, "", 88, 63, 23, 12, edit);
  t.Add(ui::kClassStatic, -1, "LYS", 125, 64, 21, 10, V);
  t.Add(ui::kClassEdit, B::kLysId, "", 151, 63, 23, 12, edit);
  t.Add(ui::kClassStatic, -1, "CLE", 188, 64, 21, 10, V);
  t.Add(ui::kClassEdit, B::kCleId, "", 214, 63, 23, 12, edit);
  t.Add(ui::kClassStatic, -1, "(0.80 -- 1.20)", 242, 64, 58, 10, V);
  t.Add(ui::kClassButton, B::kOutsideTestId, "", 53, 96, 90, 36, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, B::kInsideTestId, "", 163, 96, 90, 36, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, B::kMidResultsId, "", 10, 140, 90, 36, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, B::kSoakTipsId, "", 108, 140, 90, 36, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, B::kHistogramId, "", 206, 140, 90, 36, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, B::kSaveId, "", 97, 186, 54, 26, V);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 155, 186, 54, 26, V);
  return t;
}

}  // namespace

CBackDoor::CBackDoor(std::function<void()> close) : ui::Dialog(BackDoorTemplate(), nullptr), close_(std::move(close)) {}

CBackDoor::~CBackDoor() { conn_.Disconnect(); }

void CBackDoor::DoDataExchange(ui::DataExchange& dx) {
  const int ids[7] = {kSoakTipsId, kMidResultsId, kOutsideTestId, kInsideTestId, kHistogramId, ui::IDCANCEL, kSaveId};
  for (int i = 0; i < 7; ++i) ui::ExchangeControl(dx, ids[i], buttons_[i]);
  ui::ExchangeControl(dx, 1951, upper_);
  ui::ExchangeControl(dx, 2037, lower_);
}

bool CBackDoor::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  conn_.Connect();
  histogram_ = HistogramAdjustOn(&conn_);
  UpdateLabels();
  const uint16_t blank = analyzer::RunHeaderValue;
  SetDlgItemText(kHgbBlankId, blank == 0xFFFF ? std::string() : StrPrintf("%d", blank));
  SetDlgItemText(kReviseId, StrPrintf("%.2f", analyzer::Reagents().volumes().ReviseVol));
  for (int id : {kDilId, kLysId, kCleId}) SendDlgItemMessage(id, ui::EM_LIMITTEXT, 4);
  const analyzer::ReagentCoefficients k = ReadShownCoefficients(sys::ProgramFile("setting.ini"));
  SetDlgItemText(kDilId, CoefficientText(k.dil));
  SetDlgItemText(kLysId, CoefficientText(k.lys));
  SetDlgItemText(kCleId, CoefficientText(k.cle));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (int i = 0; i < 5; ++i) buttons_[i].SetBitmaps(446, 448, 447);
  buttons_[5].SetBitmaps(453, 452, 451);
  buttons_[6].SetBitmaps(453, 452, 451);
  if (Window* w = GetDlgItem(kHgbBlankId)) w->EnableWindow(false);
  return true;
}

void CBackDoor::UpdateLabels() {
  const int lang = AppSettings.LanguageIndex;
  SetDlgItemText(1862, PickText(lang, "HGB空白AD:", "HGB blank AD:", "AD blanco HGB:", "AD blanc HGB:", "AD холостої HGB:"));
  SetDlgItemText(2063, PickText(lang, "硬件报警试剂修正量", "The hardware alarm reagent amount of correction",
                                "Cantidad de corrección de reactivo de la alarma de hardware",
                                "Quantité de correction du réactif de l'alarme matérielle",
                                "Величина корекції реагенту апаратної сигналізації"));
  SetDlgItemText(kOutsideTestId, PickText(lang, "外置打印机测试", "Outside Printer Test", "Prueba de impresora externa",
                                          "Test de l'imprimante externe", "Тест зовнішнього принтера"));
  SetDlgItemText(kInsideTestId, PickText(lang, "内置打印机测试", "Inside Printer Test", "Prueba de impresora interna",
                                         "Test de l'imprimante interne", "Тест вбудованого принтера"));
  const bool mid = measurement::ShowMidResults != 0;
  SetDlgItemText(kMidResultsId, mid ? PickText(lang, "显示中间结果-开", "Show mid result-OPEN", "Mostrar resultado intermedio-ABIERTO",
                                               "Afficher résultat intermédiaire-OUVERT", "Проміжні результати-УВІМК")
                                    : PickText(lang, "显示中间结果-关", "Show mid result-CLOSE", "Mostrar resultado intermedio-CERRADO",
                                               "Afficher résultat intermédiaire-FERMÉ", "Проміжні результати-ВИМК"));
  const bool soak = analyzer::Soak.IsOpenSoakTips == 1;
  SetDlgItemText(kSoakTipsId, soak ? PickText(lang, "浸泡提示 - 开", "Soak Tips - Open", "Soak Tips - Open", "Soak Tips - Open",
                                              "Нагадування про замочування - Увімк")
                                   : PickText(lang, "浸泡提示 - 关", "Soak Tips - Close", "Soak Tips - Close", "Soak Tips - Close",
                                              "Нагадування про замочування - Вимк"));
  SetDlgItemText(kHistogramId, histogram_ ? PickText(lang, "直方图调整 - 开", "Histogram adjustment - Open", "Histogram adjustment - Open",
                                                     "Histogram adjustment - Open", "Histogram adjustment - Open")
                                          : PickText(lang, "直方图调整 - 关", "Histogram adjustment - Close",
                                                     "Histogram adjustment - Close", "Histogram adjustment - Close",
                                                     "Histogram adjustment - Close"));
  SetDlgItemText(kSaveId, PickText(lang, "保存(&S)", "Save(&S)", "Guardar(&S)", "Enregistrer(&S)", "Зберегти(&S)"));
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
}

void CBackDoor::OnSave() {
  HiddenInputs in;
  in.dil = GetDlgItemText(kDilId);
  in.lys = GetDlgItemText(kLysId);
  in.cle = GetDlgItemText(kCleId);
  in.revise = GetDlgItemText(kReviseId);
  const HiddenSaveResult r = SaveHiddenSettings(in, &conn_, sys::ProgramFile("setting.ini"), AppSettings.LanguageIndex);
  if (!r.saved) {
    analyzer::ShowBox(this, r.message, analyzer::BoxIcon::Warning);
    return;
  }
  SetDlgItemText(kDilId, CoefficientText(r.dil));
  SetDlgItemText(kLysId, CoefficientText(r.lys));
  SetDlgItemText(kCleId, CoefficientText(r.cle));
  analyzer::ShowBox(this, r.message, analyzer::BoxIcon::None);
}

bool CBackDoor::OnCommand(int id, int code, ui::Window* control) {
  switch (id) {
    case kMidResultsId:
      ToggleMidResults();
      UpdateLabels();
      return true;
    case kSoakTipsId:
      ToggleSoakTips(&conn_, sys::Clock::Now());
      UpdateLabels();
      return true;
    case kHistogramId:
      histogram_ = ToggleHistogramAdjust(&conn_);
      UpdateLabels();
      return true;
    case kSaveId: OnSave(); return true;
    case kOutsideTestId:
      StartOutsidePrinterTest(MakeTestPageText(AppSettings.LanguageIndex, sys::Clock::Now()));
      return true;
    case kInsideTestId:
      PrintInsidePrinterTest(MakeTestPageText(AppSettings.LanguageIndex, sys::Clock::Now()));
      return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

bool CBackDoor::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

void CBackDoor::OnCancel() {
  if (!DebugExitAllowed) return;
  if (Window* w = GetDlgItem(ui::IDCANCEL)) w->EnableWindow(false);
  conn_.Disconnect();
  if (close_) close_();
}

const draw::Brush* CBackDoor::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return analyzer::ScreenLabelColours(dc);
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CBackDoor::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(240, 240, 240));
  return true;
}

}  // namespace service
