#include "settings/numbered_list_screen.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"

namespace settings {

CNumberedListScreen::CNumberedListScreen(int dialogId, const ListScreenIds& ids, const NumberedTable& table,
                                         size_t sameEntryCells, ui::Window* parent)
    : ui::Dialog(dialogId, parent), ids_(ids), table_(table), sameEntryCells_(sameEntryCells) {}

void CNumberedListScreen::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ids_.frame, frame_);
  ui::ExchangeControl(dx, ids_.listFrame, listFrame_);
  ui::ExchangeControl(dx, ids_.append, append_);
  ui::ExchangeControl(dx, ids_.modify, modify_);
  ui::ExchangeControl(dx, ids_.remove, delete_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, ids_.keyboard, keyboard_);
}

bool CNumberedListScreen::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const float s = AppSettings.LayoutScale;
  const ui::Rect area = listFrame_.GetRectInParent();
  grid_.Create(ui::Rect(area.left + 6, area.top + 8, area.right - 6, area.bottom - 6), this, ids_.grid);
  gridFont_ = draw::Font("Arial", static_cast<int>(16 * s));
  SendDlgItemMessage(ids_.name, ui::EM_LIMITTEXT, 20);
  PrepareInputs();
  LoadNumberedRows(conn_, table_, &rows_);
  const int l = AppSettings.LanguageIndex;
  SetTexts(l);
  SetListEditButtons(append_, modify_, delete_, exit_, l);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  grid_.SetFont(&gridFont_, true);
  FillGrid();  // in its font, which sizes the columns
  keyboard_.UseKeyboardPicture();
  FinishInit();
  return true;
}

void CNumberedListScreen::FillGrid() {
  FillListGrid(grid_, Columns(AppSettings.LanguageIndex), rows_, AppSettings.LayoutScale);
}

int CNumberedListScreen::Box(const std::string& text, unsigned type) { return ui::MessageBox(this, text, "", type); }

void CNumberedListScreen::OnAppend() {
  const std::vector<std::string> cells = TypedCells();
  if (cells[0].empty()) {
    Box(EntryTexts(AppSettings.LanguageIndex).emptyName, ui::MB_ICONERROR);
    return;
  }
  for (const NumberedRow& r : rows_) {
    size_t c = 0;
    while (c < sameEntryCells_ && r.cells[c] == cells[c]) ++c;
    if (c == sameEntryCells_) {
      Box(EntryTexts(AppSettings.LanguageIndex).exists, ui::MB_ICONERROR);
      return;
    }
  }
  if (AppendNumberedRow(conn_, table_, rows_, cells)) FillGrid();
}

void CNumberedListScreen::OnModify() {
  const int l = AppSettings.LanguageIndex;
  const int row = FirstSelectedListRow(grid_);
  if (row < 0) {
    Box(PickText(l, "请选择一行数据！", "Please select a row of data!", "Seleccione una fila de datos!",
                 "Veuillez selectionner une ligne!", "Виберіть рядок даних!"),
        ui::MB_ICONERROR);
    return;
  }
  const NumberedRow& current = rows_[static_cast<size_t>(row)];
  std::vector<std::string> cells = TypedCells();
  for (size_t c = 0; c < sameEntryCells_; ++c)
    if (cells[c].empty()) cells[c] = current.cells[c];
  if (cells[0].empty()) {
    Box(EntryTexts(l).emptyName, ui::MB_ICONERROR);
    return;
  }
  if (ModifyNumberedRow(conn_, table_, rows_, static_cast<size_t>(row), cells)) {
    for (size_t c = 0; c < cells.size(); ++c) grid_.SetItemText(row + 1, static_cast<int>(c + 1), cells[c]);
    grid_.Refresh();
  }
}

void CNumberedListScreen::OnDelete() {
  const int l = AppSettings.LanguageIndex;
  const std::vector<size_t> selected = SelectedListRows(grid_);
  if (selected.empty()) {
    Box(PickText(l, "请至少选择一行数据！", "Please select a row of data at least!", "Seleccione al menos una fila!",
                 "Veuillez selectionner au moins une ligne!", "Виберіть хоча б один рядок!"),
        ui::MB_ICONERROR);
    return;
  }
  if (Box(EntryTexts(l).confirmDelete, ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) return;
  DeleteNumberedRows(conn_, table_, rows_, selected);
  FillGrid();
  SetDlgItemText(ids_.name, "");
  ClearOtherInputs();
}

bool CNumberedListScreen::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  if (id == ids_.append) {
    OnAppend();
  } else if (id == ids_.modify) {
    OnModify();
  } else if (id == ids_.remove) {
    OnDelete();
  } else if (id == ids_.keyboard) {
    ShowOnScreenKeyboard();
  } else {
    return ui::Dialog::OnCommand(id, code, control);
  }
  return true;
}

ui::LResult CNumberedListScreen::OnNotify(int id, ui::NotifyHeader* header) {
  if (id == ids_.grid && header != nullptr && header->code == GVN_SELCHANGING) {
    const auto* n = reinterpret_cast<GridViewNotify*>(header);
    if (n->row >= 1) SetDlgItemText(ids_.name, grid_.GetItemText(n->row, 1));
    ShowRowInputs(n->row);
  }
  return ui::Dialog::OnNotify(id, header);
}

bool CNumberedListScreen::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CNumberedListScreen::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CNumberedListScreen::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CNumberedListScreen::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}

}  // namespace settings
