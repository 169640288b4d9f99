#pragma once
// The folder picker of the backup screen: the folders below the one shown, ".." to go up, on the
// screens' banded skin with the title in the top band.
#include <string>

#include "controls/xp_button.h"
#include "platform/ui/dialog.h"

inline constexpr int IDC_PICK_PATH = 10;
inline constexpr int IDC_PICK_LIST = 11;
inline constexpr int IDC_PICK_TITLE = 12;

// Where the picker opens: `wanted` when it is a folder, else the data folder (the folder that
// stands for drive C:, made when missing), else the program folder. Never the file system root
// by default: a default backup folder that does not exist yet must not show the whole machine.
std::string PickerStartFolder(const std::string& wanted);

class CFolderPick : public ui::Dialog {
 public:
  CFolderPick(const std::string& start, const std::string& title);
  std::string path;  // the folder shown; the choice after OK

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void Fill();
  std::string title_;
  CXPButton ok_, cancel_;
};
