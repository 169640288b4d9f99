#include "app/screens/user_logon.h"

#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "controls/screen_common.h"
#include "core/sys_log.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

ui::DialogTemplate UserLogonTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(200, 110);
  t.caption = "User Login";
  t.Add("Button", IDC_LOGON_FRAME, "", 8, 6, 184, 62, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_LOGON_NAME_LABEL, "Name:", 18, 20, 50, 10, V | ui::SS_LEFT);
  t.Add("ComboBox", IDC_LOGON_USER, "", 70, 18, 100, 80, V | TS | ui::CBS_DROPDOWNLIST | ui::WS_VSCROLL);
  t.Add("Static", IDC_LOGON_PASSWORD_LABEL, "Password:", 18, 42, 50, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_LOGON_PASSWORD, "", 70, 40, 84, 13, V | TS | ui::WS_BORDER | ui::ES_PASSWORD);
  t.Add("Button", IDC_LOGON_KEYBOARD, "...", 158, 40, 14, 13, V);
  t.Add("Button", ui::IDOK, "OK", 40, 80, 50, 20, V | TS | ui::BS_DEFPUSHBUTTON);
  t.Add("Button", ui::IDCANCEL, "Cancel", 110, 80, 50, 20, V | TS);
  return t;
}

uint8_t UserLevelForType(int64_t userType) { return static_cast<uint8_t>(userType & 0xFF); }

std::string UserLookupSql(const std::string& name) {
  // The name as the program's SQL texts carry operator text: apostrophes become U+2018, so the
  // statement needs no quoting and a stored name with a plain apostrophe is not found.
  return "Select * from Users where UserName='" + SqlSafeText(name) + "'";
}

CUserLogon::CUserLogon(ui::Window* parent) : ui::Dialog(IDD_USER_LOGON, parent) {
  if (!ui::Resources::FindDialog(IDD_USER_LOGON)) ui::Resources::AddDialog(IDD_USER_LOGON, UserLogonTemplate());
}

void CUserLogon::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_LOGON_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeText(dx, IDC_LOGON_PASSWORD, password);
  ui::ExchangeControl(dx, IDC_LOGON_KEYBOARD, keyboard_);
  ui::ExchangeControl(dx, IDC_LOGON_USER, users_);
  ui::ExchangeComboText(dx, IDC_LOGON_USER, userName);
}

bool CUserLogon::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  RecordsetPtr& rs = conn_.OpenRecordset("Select UserName from Users");
  users_.ResetContent();
  if (conn_.RecordsetOpen()) {
    while (!rs->IsEOF()) {
      std::string name;
      ReadField(*rs, "UserName", name);
      users_.AddString(name);
      rs->MoveNext();
    }
  }
  conn_.CloseRecordset();
  users_.SetCurSel(0);
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "用户登录", "User Login", "Inicio de sesion", "Connexion utilisateur", "Вхід користувача"));
  SetDlgItemText(IDC_LOGON_NAME_LABEL, PickText(lang, "用户名:", "Name:", "Nombre:", "Nom:", "Ім'я:"));
  SetDlgItemText(IDC_LOGON_PASSWORD_LABEL, PickText(lang, "密码:", "Password:", "Contrasena:", "Mot de passe:", "Пароль:"));
  ok_.SetWindowText(PickText(lang, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(479, 481, 479);
  cancel_.SetBitmaps(479, 481, 479);
  frame_.SetBands(true, 4);
  keyboard_.UseKeyboardPicture();
  return true;
}

void CUserLogon::OnOK() {
  if (!UpdateData(true)) return;
  const int lang = AppSettings.LanguageIndex;
  if (userName.empty()) {
    ui::MessageBox(nullptr,
                   PickText(lang, "用户名不能为空！", "User name can not be empty!", "El nombre de usuario no puede estar vacio!",
                            "Le nom d'utilisateur ne peut pas etre vide!", "Ім'я користувача не може бути порожнім!"),
                   "", ui::MB_ICONEXCLAMATION);
    return;
  }
  RecordsetPtr& rs = conn_.OpenRecordset(UserLookupSql(userName));
  if (!conn_.RecordsetOpen()) return;  // reported by the data layer; nothing changes
  if (rs->IsEOF()) {
    ui::MessageBox(nullptr,
                   PickText(lang, "用户名不存在！", "User name not existed!", "El nombre de usuario no existe!",
                            "Le nom d'utilisateur n'existe pas!", "Ім'я користувача не існує!"),
                   "", ui::MB_ICONEXCLAMATION);
    return;
  }
  std::string stored;
  ReadField(*rs, "Pwd", stored);
  if (stored != password) {
    ui::MessageBox(nullptr,
                   PickText(lang, "密码错误！", "Password error!", "Error de contrasena!", "Erreur de mot de passe!",
                            "Помилка пароля!"),
                   "", ui::MB_ICONEXCLAMATION);
    return;
  }
  int64_t type = 0;
  if (ReadField(*rs, "UserType", type)) AppSettings.UserLevel = UserLevelForType(type);
  conn_.CloseRecordset();
  WriteSysLog(conn_, SysLogText(SysLogWord::Logon, lang), UserLevelName(AppSettings.UserLevel, lang));
  conn_.Disconnect();
  EndDialog(ui::IDOK);
}

bool CUserLogon::PreTranslateMessage(ui::Message& msg) {
  if (msg.message == ui::WM_KEYDOWN) {
    if (msg.wParam == ui::VK_RETURN) {
      OnOK();
      return true;
    }
    if (msg.wParam == ui::VK_ESCAPE) return true;
  }
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CUserLogon::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_LOGON_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CUserLogon::OnEraseBkgnd(draw::DC& dc) {
  // The skinned screens' grey rather than the framework's dialog colour, with the screen frame.
  DrawPlainScreen(dc, this);
  return true;
}

const draw::Brush* CUserLogon::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CUserLogon::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
