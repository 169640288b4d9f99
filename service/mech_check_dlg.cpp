#include "service/mech_check_dlg.h"

#include "analyzer/screens/screen_common.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"
#include "service/valves_check_dlg.h"

namespace service {
namespace {

ui::DialogTemplate MechTemplate() {
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(220, 190, false);
  t.Add(ui::kClassButton, CMechCheckDlg::kFrame1Id, "", 6, 6, 208, 178, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, CMechCheckDlg::kTitleId, "", 12, 10, 196, 12, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  t.Add(ui::kClassButton, CMechCheckDlg::kFrame2Id, "", 12, 26, 196, 128, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, CMechCheckDlg::kPartHeadId, "", 24, 32, 80, 10, ui::WS_VISIBLE);
  t.Add(ui::kClassStatic, CMechCheckDlg::kResultHeadId, "", 124, 32, 60, 10, ui::WS_VISIBLE);
  const int buttons[5] = {CMechCheckDlg::kNeedleId, CMechCheckDlg::kCarriageId, CMechCheckDlg::kLiquidSyringeId,
                          CMechCheckDlg::kPressureSyringeId, CMechCheckDlg::kValvesId};
  for (int i = 0; i < 5; ++i) {
    t.Add(ui::kClassButton, buttons[i], "", 20, 44 + i * 22, 84, 18, ui::WS_VISIBLE);
    if (i < 4) t.Add(ui::kClassStatic, CMechCheckDlg::kResultIds[i], "", 124, 48 + i * 22, 60, 10, ui::WS_VISIBLE);
  }
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 84, 160, 52, 20, ui::WS_VISIBLE);
  return t;
}

}  // namespace

CMechCheckDlg::CMechCheckDlg(ui::Window* parent)
    : BoardScreen(MechTemplate(), parent), resultBrush_(draw::Brush::Solid(draw::RGB(230, 230, 230))) {
  swallowEnter_ = swallowEscape_ = true;
}

void CMechCheckDlg::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kNeedleId, needle_);
  ui::ExchangeControl(dx, kCarriageId, carriage_);
  ui::ExchangeControl(dx, kLiquidSyringeId, liquid_);
  ui::ExchangeControl(dx, kPressureSyringeId, pressure_);
  ui::ExchangeControl(dx, kValvesId, valves_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, kFrame1Id, frame1_);
  ui::ExchangeControl(dx, kFrame2Id, frame2_);
}

bool CMechCheckDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  check_ = std::make_unique<MechCheck>(*this);
  OpenOwnPort({false, true, true});
  Drive(check_.get());
  const int lang = AppSettings.LanguageIndex;
  SetDlgItemText(kTitleId, PickText(lang, "机械检测", "Check Mechanics", "Comprobar mecánica", "Vérifier la mécanique",
                                    "Перевірка механіки"));
  SetDlgItemText(kPartHeadId, PickText(lang, "机械部件", "Mechanics", "Mecánica", "Mécanique", "Механіка"));
  SetDlgItemText(kResultHeadId, PickText(lang, "结果", "Result", "Resultado", "Résultat", "Результат"));
  SetDlgItemText(kNeedleId, PickText(lang, "采样针", "Needle", "Aguja", "Aiguille", "Голка"));
  SetDlgItemText(kCarriageId, PickText(lang, "小车", "Carriage", "Carro", "Chariot", "Каретка"));
  SetDlgItemText(kLiquidSyringeId, PickText(lang, "液体注射器", "Liquid Syringe", "Jeringa de líquido",
                                            "Seringue de liquide", "Шприц рідини"));
  SetDlgItemText(kPressureSyringeId, PickText(lang, "负压注射器", "Pressure Syringe", "Jeringa de presión",
                                              "Seringue de pression", "Шприц тиску"));
  SetDlgItemText(kValvesId, PickText(lang, "电磁阀", "Valves", "Válvulas", "Vannes", "Клапани"));
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (CXPButton* b : {&needle_, &carriage_, &liquid_, &pressure_, &valves_}) b->SetBitmaps(446, 448, 447);
  exit_.SetBitmaps(453, 452, 451);
  return true;
}

void CMechCheckDlg::SetResult(int part, const std::string& text) {
  if (part >= 0 && part < 4) SetDlgItemText(kResultIds[part], text);
}

bool CMechCheckDlg::OnCommand(int id, int code, ui::Window* control) {
  if (id >= kNeedleId && id <= kPressureSyringeId) {
    if (check_) check_->SendCheck(id - kNeedleId);
    return true;
  }
  if (id == kValvesId) {
    if (check_) {
      CValvesCheckDlg valves(this, *check_);
      valves.DoModal();
    }
    return true;
  }
  return BoardScreen::OnCommand(id, code, control);
}

void CMechCheckDlg::OnCancel() {
  if (check_ && !check_->CanExit()) return;
  EndScreen(ui::IDCANCEL);
}

const draw::Brush* CMechCheckDlg::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) {
    for (int id : kResultIds) {
      if (control && control->GetDlgCtrlID() == id) {
        dc.SetTextColor(draw::RGB(66, 85, 92));
        dc.SetBkColor(draw::RGB(230, 230, 230));
        return &resultBrush_;
      }
    }
    if (control && control->GetDlgCtrlID() == kTitleId) {
      dc.SetTextColor(draw::RGB(245, 245, 245));
      dc.SetBkColor(kDialogFrameColor);
      dc.SetBkMode(draw::BkMode::Opaque);
      return &titleBrush_;
    }
    return analyzer::ScreenLabelColours(dc);
  }
  return BoardScreen::OnCtlColor(dc, control, ctlType);
}

bool CMechCheckDlg::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(190, 198, 201));
  DrawDialogFrame(dc, this, 7);
  return true;
}

}  // namespace service
