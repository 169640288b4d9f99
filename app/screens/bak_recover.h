#pragma once
// CBakRecover: backup of the results database, the raw-data files and Setting.ini into a
// folder of the operator's choice, or their restore from such a folder (mode 1 = backup).
#include <string>

#include "core/ado_conn.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_BAK_RECOVER = 113;
inline constexpr int IDC_BAK_FOLDER = 1015;
inline constexpr int IDC_BAK_BROWSE = 1016;
inline constexpr int IDC_BAK_LABEL = 1014;
inline constexpr int IDC_BAK_DESCRIPTION = 2045;
inline constexpr int IDC_BAK_FRAME = 1953;
inline constexpr int IDC_BAK_KEYBOARD = 1514;

// The default backup folder.
inline constexpr const char* kDefaultBackupFolder = "C:\\QuorvexData";

ui::DialogTemplate BakRecoverTemplate();

// Picks a folder: a list of the folders below the one shown, ".." to go up; it opens at `start`,
// or at the data folder when `start` is no folder (folder_pick.h). Returns "" when cancelled.
// Tests replace it.
using FolderPicker = std::string (*)(const std::string& start, const std::string& title);
void SetFolderPicker(FolderPicker picker);
std::string PickFolder(const std::string& start, const std::string& title);

class CBakRecover : public ui::Dialog {
 public:
  explicit CBakRecover(ui::Window* parent = nullptr);

  int mode = 1;
  std::string folder;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void Backup();
  void Restore();

  CXPButton exit_, browse_, ok_;
  CBitmapKeyButton keyboard_;
  CXPGroupBox frame_;
  CADOConn conn_;
};
