#pragma once
// CUserLogon: the log-on screen. The operator picks a user of the Users table, types the
// password and presses OK; a match sets the user level to the user's type and writes a Logon
// row to the system log.
#include <string>

#include "core/ado_conn.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_USER_LOGON = 222;
inline constexpr int IDC_LOGON_FRAME = 2008;
inline constexpr int IDC_LOGON_PASSWORD = 1319;
inline constexpr int IDC_LOGON_KEYBOARD = 1514;
inline constexpr int IDC_LOGON_USER = 1534;
inline constexpr int IDC_LOGON_NAME_LABEL = 1689;
inline constexpr int IDC_LOGON_PASSWORD_LABEL = 1691;

ui::DialogTemplate UserLogonTemplate();

// The user level a UserType gives: its low 8 bits, unchecked (the accounts are the program's
// own, written by the start-up).
uint8_t UserLevelForType(int64_t userType);

// The look-up of a user by the name chosen, in the program's SQL-safe form (apostrophes become
// U+2018): a name stored with a plain apostrophe is not found.
std::string UserLookupSql(const std::string& name);

class CUserLogon : public ui::Dialog {
 public:
  explicit CUserLogon(ui::Window* parent = nullptr);

  std::string password;
  std::string userName;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

 private:
  CXPGroupBox frame_;
  CXPButton cancel_;
  CXPButton ok_;
  CBitmapKeyButton keyboard_;
  CXPComboBox users_;
  CADOConn conn_;
};
