#include "service/valves_check_dlg.h"

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

ui::DialogTemplate ValvesTemplate() {
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(260, 150, true);
  t.Add(ui::kClassButton, CValvesCheckDlg::kFrame1Id, "", 6, 6, 248, 138, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, CValvesCheckDlg::kFrame2Id, "", 12, 12, 236, 100, uint32_t{ui::WS_VISIBLE} | ui::BS_GROUPBOX);
  for (int i = 0; i < 12; ++i) {
    const int row = i / 4, col = i % 4;
    t.Add(ui::kClassButton, CValvesCheckDlg::kFirstValveId + i, "", 18 + col * 57, 20 + row * 30, 52, 24, ui::WS_VISIBLE);
  }
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 104, 118, 52, 20, ui::WS_VISIBLE);
  return t;
}

}  // namespace

CValvesCheckDlg::CValvesCheckDlg(ui::Window* parent, MechCheck& check) : ui::Dialog(ValvesTemplate(), parent), check_(check) {}

void CValvesCheckDlg::DoDataExchange(ui::DataExchange& dx) {
  for (int i = 0; i < 12; ++i) ui::ExchangeControl(dx, kFirstValveId + i, valves_[i]);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, kFrame1Id, frame1_);
  ui::ExchangeControl(dx, kFrame2Id, frame2_);
}

bool CValvesCheckDlg::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "电磁阀检测", "Electromagnetic valve detection", "Detección de electroválvulas",
                         "Détection des électrovannes", "Перевірка електромагнітних клапанів"));
  const char* valveWord = PickText(lang, "阀", "Valve", "Válvula", "Vanne", "Клапан");
  for (int i = 0; i < 11; ++i) SetDlgItemText(kFirstValveId + i, StrPrintf("%s %d", valveWord, i + 1));
  SetDlgItemText(kAllValvesId, PickText(lang, "所有阀", "All Valves", "Todas las válvulas", "Toutes les vannes",
                                        "Усі клапани"));
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (auto& b : valves_) b.SetBitmaps(446, 448, 447);
  exit_.SetBitmaps(453, 452, 451);
  return true;
}

bool CValvesCheckDlg::OnCommand(int id, int code, ui::Window* control) {
  if (id >= kFirstValveId && id < kFirstValveId + 11) {
    check_.SendValve(id - kFirstValveId + 1);
    return true;
  }
  if (id == kAllValvesId) {
    check_.SendAllValves();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CValvesCheckDlg::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CValvesCheckDlg::OnEraseBkgnd(draw::DC& dc) {
  analyzer::DrawPlainScreen(dc, this, kFrame1Id, ui::IDCANCEL);
  return true;
}

void CValvesCheckDlg::PaintNonClient(draw::DC& dc) { PaintScreenCaption(dc, this); }

}  // namespace service
