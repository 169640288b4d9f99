#include "app/screens/bak_recover.h"

#include "core/app_settings.h"
#include "core/data_store.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "app/screens/backup_files.h"
#include "app/screens/folder_pick.h"
#include "controls/screen_common.h"
#include "core/sys_log.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/path_map.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

ui::DialogTemplate BakRecoverTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(260, 130);
  t.Add("Button", IDC_BAK_FRAME, "", 10, 18, 240, 72, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_BAK_DESCRIPTION, "", 20, 28, 220, 22, V | ui::SS_LEFT);
  t.Add("Static", IDC_BAK_LABEL, "Folder", 20, 60, 40, 12, V | ui::SS_LEFT);
  t.Add("Edit", IDC_BAK_FOLDER, "", 62, 58, 126, 14, V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Button", IDC_BAK_BROWSE, "Browse...", 192, 57, 50, 16, V | TS);
  t.Add("Button", IDC_BAK_KEYBOARD, "", 20, 103, 24, 13, V | TS | ui::BS_OWNERDRAW);
  t.Add("Button", ui::IDOK, "OK(&C)", 60, 100, 60, 20, V | TS);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 140, 100, 60, 20, V | TS);
  return t;
}

namespace {

FolderPicker g_picker = nullptr;

std::string Tr(const char* zh, const char* en, const char* es, const char* fr, const char* ua) {
  return PickText(zh, en, es, fr, ua);
}

std::string FailureList(const CopyOutcome& out) {
  std::string list;
  for (const std::string& f : out.failed) list += "\n" + f;
  return list;
}

}  // namespace

void SetFolderPicker(FolderPicker picker) { g_picker = picker; }

std::string PickFolder(const std::string& start, const std::string& title) {
  if (g_picker) return g_picker(start, title);
  CFolderPick pick(start, title);
  return pick.DoModal() == ui::IDOK ? pick.path : std::string();
}

CBakRecover::CBakRecover(ui::Window* parent) : ui::Dialog(IDD_BAK_RECOVER, parent) {
  if (!ui::Resources::FindDialog(IDD_BAK_RECOVER)) ui::Resources::AddDialog(IDD_BAK_RECOVER, BakRecoverTemplate());
}

void CBakRecover::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_BAK_BROWSE, browse_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, IDC_BAK_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_BAK_KEYBOARD, keyboard_);
  ui::ExchangeText(dx, IDC_BAK_FOLDER, folder);
}

bool CBakRecover::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  SetDlgItemText(IDC_BAK_FOLDER, kDefaultBackupFolder);
  if (mode == 1)
    SetDlgItemText(IDC_BAK_DESCRIPTION,
                   Tr("数据备份-备份历史数据、系统设置及系统参数", "Data backup-including results,system settings and parameters",
                        "Copia de seguridad de datos-incluidos los resultados,ajustes del sistema y los parametros",
                        "Donnees sauvegardees incluant les resultats et les parametres systemes",
                        "Резервна копія даних, включаючи результати, налаштування системи і параметри"));
  else
    SetDlgItemText(IDC_BAK_DESCRIPTION,
                   Tr("数据恢复-恢复历史数据、系统设置及系统参数", "Data recover-including results,system settings and parameters",
                        "Recuperar datos-incluidos los resultados,ajustes del sistema y los parametros",
                        "Recuperation de donnees incluant les resultats et les parametres systemes",
                        "Резервні дані, включаючи результати, налаштування системи і параметри"));
  SetDlgItemText(IDC_BAK_LABEL, Tr("文件夹", "Folder", "Carpeta", "Dossier", "Папка"));
  browse_.SetWindowText(Tr("浏览...", "Browse...", "Navegar...", "Parcourir...", "Перегляд..."));
  ok_.SetWindowText(Tr("确定(&C)", "OK(&C)", "Aceptar(&C)", "OK(&C)", "OK(&C)"));
  exit_.SetWindowText(Tr("退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)"));
  for (CXPButton* b : {&exit_, &browse_, &ok_}) b->SetBitmaps(479, 481, 480);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

bool CBakRecover::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_BAK_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  if (id == IDC_BAK_BROWSE && code == ui::BN_CLICKED) {
    const std::string chosen = PickFolder(sys::MapPath(GetDlgItemText(IDC_BAK_FOLDER)), "Select a directory...");
    if (!chosen.empty()) SetDlgItemText(IDC_BAK_FOLDER, chosen);
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CBakRecover::OnOK() {
  if (!UpdateData(true)) return;
  if (mode == 1) Backup();
  else Restore();
}

void CBakRecover::Backup() {
  const std::string target = sys::MapPath(folder);
  const CopyOutcome out = BackupProgramFiles(AppSettings.ProgramFolder, target);
  if (!out.ok()) {
    // The failure is logged with the files (or the folder) it concerns.
    std::string files;
    for (const std::string& f : out.failedFiles) files += (files.empty() ? "" : ", ") + f;
    if (files.empty()) files = target;
    conn_.Connect();
    WriteSysLog(conn_, SysLogText(SysLogWord::Backup, AppSettings.LanguageIndex),
                Tr("失败", "Failed", "Fallida", "Echec", "Помилка") + std::string(": ") + files);
    conn_.Disconnect();
  }
  if (out.folderFailed) {
    ui::MessageBox(nullptr,
                   Tr("创建目录失败！", "Create directory failed!", "Error al crear directorio!",
                        "Echec de creation du repertoire!", "Не вдалося створити каталог!"),
                   "", ui::MB_ICONWARNING);
    return;
  }
  if (out.liveFolder) {
    ui::MessageBox(nullptr,
                   Tr("备份失败！", "Backup failed!", "Error en la copia de seguridad!", "Echec de la sauvegarde!",
                      "Помилка резервного копіювання!") +
                       "\n" +
                       Tr("不能备份到程序文件夹！", "The program folder cannot be the backup folder!",
                          "La carpeta del programa no puede ser la carpeta de copia de seguridad!",
                          "Le dossier du programme ne peut pas etre le dossier de sauvegarde!",
                          "Папка програми не може бути папкою резервної копії!"),
                   "", ui::MB_ICONWARNING);
    return;
  }
  if (!out.ok()) {
    // Every copy that failed is named; a backup with a gap is not called finished.
    ui::MessageBox(nullptr,
                   Tr("备份失败！", "Backup failed!", "Error en la copia de seguridad!", "Echec de la sauvegarde!",
                        "Помилка резервного копіювання!") +
                       FailureList(out),
                   "", ui::MB_ICONERROR);
    return;
  }
  conn_.Connect();
  WriteSysLog(conn_, SysLogText(SysLogWord::Backup, AppSettings.LanguageIndex),
              SysLogText(SysLogWord::Finished, AppSettings.LanguageIndex));
  conn_.Disconnect();
  ui::MessageBox(nullptr,
                 Tr("备份完毕！", "Backup finished!", "Copia de seguridad finalizada!", "Backup termine!",
                      "Резервне копіювання закінчено!"),
                 "", ui::MB_ICONINFORMATION);
}

void CBakRecover::Restore() {
  const std::string source = sys::MapPath(folder);
  if (!sys::IsDirectory(source)) {
    ui::MessageBox(nullptr,
                   Tr("目录不存在！", "The directory not found!", "Error al crear directorio!", "Le repertoire non trouve!",
                        "Каталог не знайдено!"),
                   "", ui::MB_ICONWARNING);
    return;
  }
  if (ui::MessageBox(nullptr,
                     Tr("确定进行数据恢复操作吗？", "Are you sure to recover the system data?",
                          "iEsta seguro que desea recuperar los datos del sistema?",
                          "Etes vous surs de vouloir recuperer les donnees systeme?",
                          "Ви упевнені, що хочете відновити системні дані?"),
                     "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  conn_.Disconnect();  // the screen's own connection is never open on the file being replaced
  const CopyOutcome out = RestoreProgramFiles(AppSettings.ProgramFolder, source);
  for (const std::string& path : out.missing)
    ui::MessageBox(nullptr,
                   path + Tr("文件不存在！", " file not found!", " archivo no encontrado!", " fichier non trouve!",
                               " Файл не знайдено!"),
                   "", ui::MB_ICONERROR);
  if (!out.ok()) {
    ui::MessageBox(nullptr,
                   Tr("恢复失败！", "Recovery failed!", "Error en la recuperacion!", "Echec de la recuperation!",
                        "Помилка відновлення!") +
                       FailureList(out),
                   "", ui::MB_ICONERROR);
    return;
  }
  conn_.Connect();
  UpgradeSystemTables(conn_);  // a store from an older program gets the columns this one uses
  WriteSysLog(conn_, SysLogText(SysLogWord::Recovery, AppSettings.LanguageIndex),
              SysLogText(SysLogWord::Finished, AppSettings.LanguageIndex));
  conn_.Disconnect();
  ui::MessageBox(nullptr,
                 Tr("恢复完毕！", "Recovery finished!", "Recuperacion finalizada!", "Recovery termine!",
                      "Відновлення завершено!"),
                 "", ui::MB_ICONINFORMATION);
}

bool CBakRecover::OnEraseBkgnd(draw::DC& dc) {
  DrawBandedBackground(dc, GetClientRect(), 25, 7);
  return true;
}

const draw::Brush* CBakRecover::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
