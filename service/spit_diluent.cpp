#include "service/spit_diluent.h"

#include "analyzer/screens/screen_common.h"
#include "controls/skin_loader.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"
#include "service/service_link.h"

namespace service {
namespace {

ui::DialogTemplate SpitTemplate() {
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(285, 89, false);
  t.Add(ui::kClassButton, CSpitDiluent::kFrameId, "", 8, 18, 269, 66, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, CSpitDiluent::kTextId, "", 14, 26, 257, 24, uint32_t{ui::WS_VISIBLE} | ui::SS_CENTER);
  t.Add(ui::kClassButton, ui::IDOK, "", 116, 58, 52, 20, uint32_t{ui::WS_VISIBLE} | ui::BS_DEFPUSHBUTTON);
  return t;
}

}  // namespace

CSpitDiluent::CSpitDiluent(ui::Window* parent) : ui::Dialog(SpitTemplate(), parent) {}

std::string CSpitDiluent::InstructionText(int lang) {
  return PickText(lang, "请将试管放在采样针下，按吸样键加稀释液",
                  "Put the tube under the sampling needle, press aspirate key to add diluent",
                  "Coloque el tubo bajo la aguja de muestreo y pulse la tecla de aspiración para añadir diluyente",
                  "Placez le tube sous l'aiguille de prélèvement, appuyez sur la touche d'aspiration pour ajouter le diluant",
                  "Поставте пробірку під голку забору, натисніть клавішу аспірації, щоб додати розчинник");
}

void CSpitDiluent::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kFrameId, frame_);
  ui::ExchangeControl(dx, ui::IDOK, exit_);
}

bool CSpitDiluent::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  exit_.SetWindowText(ExitText(lang));
  SetDlgItemText(kTextId, InstructionText(lang));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  exit_.SetBitmaps(479, 481, 480);
  CentreInstruction();
  return true;
}

void CSpitDiluent::CentreInstruction() {
  ui::Window* label = GetDlgItem(kTextId);
  if (label == nullptr) return;
  const ui::Rect r = label->GetRectInParent();
  std::unique_ptr<draw::DC> dc = label->GetDC();
  if (!dc) return;
  dc->SelectFont(*label->GetFont());
  ui::Rect measured(0, 0, r.Width(), r.Height());
  const int textHeight =
      dc->DrawText(label->GetWindowText(), &measured, draw::kDtCalcRect | draw::kDtWordBreak | draw::kDtCenter);
  const int down = (r.Height() - textHeight) / 2;
  if (down > 0) label->MoveWindow(r.left, r.top + down, r.Width(), r.Height());
}

const draw::Brush* CSpitDiluent::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return analyzer::ScreenLabelColours(dc);
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CSpitDiluent::OnEraseBkgnd(draw::DC& dc) {
  const ui::Rect client = GetClientRect();
  DrawBandedBackground(dc, client, 25, 9, 463, 0);
  DrawDialogFrame(dc, this, 3);
  return true;
}

}  // namespace service
