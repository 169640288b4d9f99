#include "service/back_door2.h"

#include "analyzer/screens/screen_common.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"
#include "service/service_link.h"

namespace service {
namespace {

using T = CBackDoor2;

ui::DialogTemplate ToolsTemplate() {
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(320, 240, false);
  const uint32_t V = ui::WS_VISIBLE;
  t.Add(ui::kClassButton, T::kOuterFrameId, "", 10, 9, 304, 176, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, T::kInnerFrameId, "", 14, 33, 293, 140, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, T::kExplorerId, "Explorer", 49, 58, 61, 34, V);
  t.Add(ui::kClassButton, T::kRecoveryId, "", 129, 58, 61, 34, V);
  t.Add(ui::kClassButton, T::kBackupId, "", 209, 58, 61, 34, V);
  t.Add(ui::kClassButton, T::kUpdateBackId, "", 49, 112, 61, 34, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, T::kUpdateFrontId, "", 129, 112, 61, 34, V | ui::BS_MULTILINE);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 135, 198, 49, 29, V);
  return t;
}

}  // namespace

CBackDoor2::CBackDoor2(ui::Window* parent) : ui::Dialog(ToolsTemplate(), parent) {}

void CBackDoor2::DoDataExchange(ui::DataExchange& dx) {
  const int ids[5] = {kExplorerId, kRecoveryId, kBackupId, kUpdateBackId, kUpdateFrontId};
  for (int i = 0; i < 5; ++i) ui::ExchangeControl(dx, ids[i], buttons_[i]);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, kOuterFrameId, outer_);
  ui::ExchangeControl(dx, kInnerFrameId, inner_);
}

bool CBackDoor2::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  UpdateLabels();
  for (auto& b : buttons_) b.SetBitmaps(446, 448, 447);
  exit_.SetBitmaps(453, 452, 451);
  outer_.SetBands(true, 10);
  return true;
}

void CBackDoor2::UpdateLabels() {
  const int lang = AppSettings.LanguageIndex;
  SetDlgItemText(kBackupId, PickText(lang, "数据备份", "Data Backup", "Copia de datos", "Sauvegarde des données", "Резервна копія"));
  SetDlgItemText(kRecoveryId, PickText(lang, "数据恢复", "Data Recovery", "Recuperación de datos", "Restauration des données",
                                       "Відновлення даних"));
  SetDlgItemText(kUpdateBackId, PickText(lang, "更新后台软件", "Update back software", "Actualizar software del PC",
                                         "Mettre à jour le logiciel PC", "Оновити програму ПК"));
  SetDlgItemText(kUpdateFrontId, PickText(lang, "更新前端软件", "Update front software", "Actualizar software del analizador",
                                          "Mettre à jour le logiciel de l'analyseur", "Оновити програму аналізатора"));
  SetDlgItemText(ui::IDCANCEL, ExitText(lang));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
}

bool CBackDoor2::OnCommand(int id, int code, ui::Window* control) {
  switch (id) {
    case kExplorerId: OpenExplorer(*this); return true;
    case kBackupId: RunBackup(*this, 1); return true;
    case kRecoveryId: RunBackup(*this, 2); return true;
    case kUpdateBackId: UpdateBackSoftware(*this); return true;
    case kUpdateFrontId: UpdateFrontSoftware(*this); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

void CBackDoor2::Info(const std::string& text) { analyzer::ShowBox(this, text, analyzer::BoxIcon::Warning); }

bool CBackDoor2::AskOkCancel(const std::string& text) {
  return analyzer::ShowBox(this, text, analyzer::BoxIcon::Question, ui::MB_OKCANCEL) == ui::IDOK;
}

void CBackDoor2::RunShutdown() { RunScreen("CSysClose"); }

void CBackDoor2::Quit() { ui::PostQuitMessage(0); }

bool CBackDoor2::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(240, 240, 240));
  DrawBottomBars(dc, this, kOuterFrameId, ui::IDCANCEL, ui::IDCANCEL);
  return true;
}

}  // namespace service
