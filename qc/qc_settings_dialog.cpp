#include "qc/qc_settings_dialog.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "qc/lj_qc_set.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/qc_settings_lis.h"

namespace qc {

void AddTargetLimitColumns(ui::DialogTemplate& t, const TargetLimitColumns& c) {
  const uint32_t V = ui::WS_VISIBLE;
  const int headIds[2][3] = {{1627, 1629, 1631}, {1628, 1630, 1632}};
  for (int side = 0; side < 2; ++side) {
    const int x0 = c.left + side * c.sideStep;
    t.Add("Static", headIds[side][0], "Item", x0, 38, c.nameWidth, 10, V | ui::SS_LEFT);
    t.Add("Static", headIds[side][1], "Targets", x0 + c.targetX, 38, c.editWidth, 10, V | ui::SS_LEFT);
    t.Add("Static", headIds[side][2], "Limits", x0 + c.limitX, 38, c.editWidth, 10, V | ui::SS_LEFT);
    for (int r = 0; r < 10; ++r) {
      const int p = side * 10 + r, y = 50 + r * 15;
      t.Add("Static", 1700 + p, kDisplayNames[p], x0, y + 2, c.nameWidth, 10, V | ui::SS_LEFT);
      t.Add("Edit", kTargetEditIds[p], "", x0 + c.targetX, y, c.editWidth, 13,
            V | ui::WS_BORDER | ui::ES_AUTOHSCROLL | ui::WS_TABSTOP);
      t.Add("Edit", kLimitEditIds[p], "", x0 + c.limitX, y, c.editWidth, 13,
            V | ui::WS_BORDER | ui::ES_AUTOHSCROLL | ui::WS_TABSTOP);
      t.Add("Static", 1423 + p, "", x0 + c.unitX, y + 2, c.unitWidth, 10, V | ui::SS_LEFT);
    }
  }
}

std::string SaveButtonText(int l) {
  return PickText(l, "保存(&S)", "Save(&S)", "Guardar(&S)", "Sauver(&S)", "Зберегти(&S)");
}

std::string ItemsButtonText(int l) {
  return PickText(l, "项目(&I)", "Items(&I)", "Items(&I)", "Items(&I)", "Параметри(&I)");
}

std::string SettingsSendButtonText(int l) {
  return PickText(l, "发送(&E)", "Send(&E)", "Enviar(&E)", "Envoyer(&E)", "Надіслати(&E)");
}

int QcSettingsDialog::FileOfRadio(int id) {
  for (int n = 1; n <= 20; ++n)
    if (id == FileRadioId(n)) return n;
  return 0;
}

void QcSettingsDialog::SetUpExpirySpins(CTSpinButtonCtrl (&spins)[3], const int (&dateIds)[3]) {
  const int spinIds[3] = {1154, 1155, 1156};
  const int ranges[3][2] = {{2013, 2050}, {0, 12}, {0, 31}};
  for (int i = 0; i < 3; ++i) {
    spins[i].SubclassDlgItem(spinIds[i], this);
    spins[i].SetRange(ranges[i][0], ranges[i][1]);
    spins[i].SetBuddy(GetDlgItem(dateIds[i]));
    spins[i].SetBitmaps(420, 421, 422);
  }
}

void QcSettingsDialog::ShowTargetLimitHeadings(int lang) {
  for (int side = 0; side < 2; ++side) {
    SetDlgItemText(1627 + side, PickText(lang, "项目", "Item", "Item", "Item", "Параметр"));
    SetDlgItemText(1629 + side, PickText(lang, "参考值", "Targets", "Referencia", "Reference", "Довідник"));
    SetDlgItemText(1631 + side, PickText(lang, "偏差值", "Limits", "Limites", "Limites", "Відхилення"));
  }
}

void QcSettingsDialog::ShowUnits(const std::array<std::string, 20>& units) {
  for (int p = 0; p < 20; ++p) SetDlgItemText(1423 + p, units[p]);
}

void QcSettingsDialog::DeleteFileSettings(CADOConn& conn, bool hasRow, const char* setTable, const char* runTable,
                                          int fileNo, const std::function<void()>& cleared) {
  const int lang = AppSettings.LanguageIndex;
  if (!hasRow) {
    QcMessage(this, NoDataInFileText(lang), ui::MB_ICONWARNING);
    return;
  }
  if (QcMessage(this,
                PickText(lang, "确定删除当前质控文件的数据?", "Are you sure to delete data of current QC file?",
                         "Seguro que desea borrar los datos del archivo de QC actual?",
                         "Voulez-vous vraiment effacer les donnees du fichier CQ actuel?",
                         "Ви впевнені, що хочете видалити дані поточного файлу КЯ?"),
                ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  if (!conn.Execute(StrPrintf("delete from %s where QcFileNo=%d", setTable, fileNo))) return;
  cleared();
  if (!conn.Execute(StrPrintf("delete from %s where QcFileNo=%d", runTable, fileNo))) return;
  QcMessage(this, PickText(lang, "质控文件数据已删除!", "Data of QC file deleted!", "Datos del archivo de QC borrados!",
                           "Donnees du fichier CQ effacees!", "Дані файлу КЯ видалено!"),
            ui::MB_ICONINFORMATION);
}

bool QcSettingsDialog::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool QcSettingsDialog::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* QcSettingsDialog::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  // Edits keep their own background (a changed text must not show over the old one).
  const draw::Brush* brush = ui::Dialog::OnCtlColor(dc, control, ctlType);
  if (ctlType == ui::CTLCOLOR_EDIT) dc.SetTextColor(draw::RGB(66, 85, 92));
  return brush;
}

}  // namespace qc
