#include "qc/qc_settings_dialog.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "qc/qc_common.h"
#include "qc/qc_settings_lis.h"

namespace qc {

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
