#include "app/screens/folder_pick.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/sys/file_ops.h"
#include "platform/sys/path_map.h"
#include "platform/ui/controls/controls.h"

namespace fs = std::filesystem;

namespace {

// A folder as the picker shows it: no trailing separator (the root stays "/").
std::string Shown(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

ui::DialogTemplate PickTemplate(const std::string& title) {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(200, 160);
  t.caption = title;
  t.Add("Static", IDC_PICK_TITLE, title, 8, 1, 184, 10, V | ui::SS_LEFTNOWORDWRAP | ui::SS_CENTERIMAGE);
  t.Add("Static", IDC_PICK_PATH, "", 8, 16, 184, 10, V | ui::SS_LEFTNOWORDWRAP);
  t.Add("ListBox", IDC_PICK_LIST, "", 8, 28, 184, 100, V | TS | ui::WS_BORDER | ui::WS_VSCROLL | ui::LBS_NOTIFY);
  t.Add("Button", ui::IDOK, "OK", 40, 136, 50, 18, V | TS | ui::BS_DEFPUSHBUTTON);
  t.Add("Button", ui::IDCANCEL, "Cancel", 110, 136, 50, 18, V | TS);
  return t;
}

}  // namespace

std::string PickerStartFolder(const std::string& wanted) {
  if (!wanted.empty() && sys::IsDirectory(wanted)) return Shown(wanted);
  const std::string data = sys::DriveFolder('C');
  if (sys::IsDirectory(data) || sys::CreateFolders(data)) return Shown(data);
  return Shown(AppSettings.ProgramFolder);
}

CFolderPick::CFolderPick(const std::string& start, const std::string& title)
    : path(start), title_(title) {
  SetTemplate(PickTemplate(title));
}

bool CFolderPick::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SubclassDlgItem(ui::IDOK, this);
  cancel_.SubclassDlgItem(ui::IDCANCEL, this);
  const int lang = AppSettings.LanguageIndex;
  ok_.SetWindowText(PickText(lang, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel_.SetWindowText(PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Скасувати"));
  for (CXPButton* b : {&ok_, &cancel_}) b->SetBitmaps(479, 481, 480);
  path = PickerStartFolder(path);
  Fill();
  return true;
}

bool CFolderPick::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_PICK_LIST && code == ui::LBN_DBLCLK) {
    auto* list = static_cast<ui::ListBox*>(GetDlgItem(IDC_PICK_LIST));
    const int sel = list->GetCurSel();
    if (sel >= 0) {
      const std::string name = list->GetText(sel);
      path = Shown(name == ".." ? fs::path(path).parent_path().string() : (fs::path(path) / name).string());
      Fill();
    }
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CFolderPick::Fill() {
  // A folder removed while the picker is open: back to where a fresh picker would open.
  if (path.empty() || !sys::IsDirectory(path)) path = PickerStartFolder("");
  SetDlgItemText(IDC_PICK_PATH, path);
  auto* list = static_cast<ui::ListBox*>(GetDlgItem(IDC_PICK_LIST));
  list->ResetContent();
  if (path != "/") list->AddString("..");
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(path, ec))
    if (e.is_directory(ec)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  for (const auto& n : names) list->AddString(n);
}

bool CFolderPick::OnEraseBkgnd(draw::DC& dc) {
  DrawBandedBackground(dc, GetClientRect(), 25, 7);
  return true;
}

const draw::Brush* CFolderPick::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) {
    // The title stands on the dark top band.
    const bool title = control && control->GetDlgCtrlID() == IDC_PICK_TITLE;
    return TransparentLabel(dc, title ? draw::RGB(245, 245, 245) : draw::RGB(66, 85, 92));
  }
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
