#include "settings/dept_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "settings/list_grid.h"

namespace {

ui::DialogTemplate DeptTemplate() {
  const uint32_t V = ui::WS_VISIBLE, B = V | ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(249, 237);
  t.Add("Button", IDC_DEPT_FRAME, "", 6, 6, 240, 188, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_DEPT_LIST_FRAME, "", 53, 26, 146, 121, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_DEPT_LABEL, "Department:", 45, 177, 44, 8, V);
  t.Add("Edit", IDC_DEPT_NAME, "", 90, 175, 150, 12, B | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Button", IDC_DEPT_KEYBOARD, "KBD", 15, 176, 24, 13, B);
  t.Add("Button", IDC_DEPT_APPEND, "Append(&A)", 6, 198, 59, 31, B);
  t.Add("Button", IDC_DEPT_MODIFY, "Modify(&M)", 64, 198, 59, 31, B);
  t.Add("Button", IDC_DEPT_DELETE, "Delete(&D)", 122, 198, 59, 31, B);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 180, 198, 59, 31, B);
  return t;
}

}  // namespace

CDeptSet::CDeptSet(ui::Window* parent) : ui::Dialog(IDD_DEPT_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_DEPT_SET)) ui::Resources::AddDialog(IDD_DEPT_SET, DeptTemplate());
}

void CDeptSet::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_DEPT_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_DEPT_LIST_FRAME, listFrame_);
  ui::ExchangeControl(dx, IDC_DEPT_APPEND, append_);
  ui::ExchangeControl(dx, IDC_DEPT_MODIFY, modify_);
  ui::ExchangeControl(dx, IDC_DEPT_DELETE, delete_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_DEPT_KEYBOARD, keyboard_);
}

bool CDeptSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const float s = AppSettings.LayoutScale;
  const ui::Rect area = listFrame_.GetRectInParent();
  grid_.Create(ui::Rect(area.left + 6, area.top + 8, area.right - 6, area.bottom - 6), this, IDC_DEPT_GRID);
  gridFont_ = draw::Font("Arial", static_cast<int>(16 * s));
  grid_.SetFont(&gridFont_, true);
  SendDlgItemMessage(IDC_DEPT_NAME, ui::EM_LIMITTEXT, 20);
  settings::LoadNumberedRows(conn_, settings::DepartmentTable(), &rows_);
  FillDepartmentGrid();
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "科室设置", "Department Setting", "Ajuste de departamentos", "Reglage des services",
                         "Налаштування відділень"));
  SetDlgItemText(IDC_DEPT_LABEL, PickText(l, "科室:", "Department:", "Departamento:", "Service:", "Відділення:"));
  settings::SetListEditButtons(append_, modify_, delete_, exit_, l);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  grid_.SetFont(&gridFont_, true);
  return true;
}

void CDeptSet::FillDepartmentGrid() {
  const int l = AppSettings.LanguageIndex;
  settings::FillListGrid(grid_,
                         {{PickText(l, "序号", "No.", "N.", "N°", "№"), 120},
                          {PickText(l, "科室", "Dept.", "Dpto.", "Service", "Відділення"), 150}},
                         rows_, AppSettings.LayoutScale);
}

int CDeptSet::Box(const std::string& text, unsigned type) { return ui::MessageBox(this, text, "", type); }

void CDeptSet::OnAppend() {
  const int l = AppSettings.LanguageIndex;
  const std::string name = settings::StoredListText(GetDlgItemText(IDC_DEPT_NAME));
  if (name.empty()) {
    Box(PickText(l, "科室名称不能为空！", "Department's name can not be null!", "El nombre del departamento no puede estar vacio!",
                 "Le nom du service ne peut pas etre vide!", "Назва відділення не може бути порожньою!"),
        ui::MB_ICONERROR);
    return;
  }
  for (const settings::NumberedRow& r : rows_)
    if (r.cells[0] == name) {
      Box(PickText(l, "该科室已存在！", "The department has existed!", "El departamento ya existe!", "Le service existe deja!",
                   "Таке відділення вже існує!"),
          ui::MB_ICONERROR);
      return;
    }
  if (settings::AppendNumberedRow(conn_, settings::DepartmentTable(), rows_, {name})) FillDepartmentGrid();
}

void CDeptSet::OnModify() {
  const int l = AppSettings.LanguageIndex;
  const int row = settings::FirstSelectedListRow(grid_);
  if (row < 0) {
    Box(PickText(l, "请选择一行数据！", "Please select a row of data!", "Seleccione una fila de datos!",
                 "Veuillez selectionner une ligne!", "Виберіть рядок даних!"),
        ui::MB_ICONERROR);
    return;
  }
  std::string name = settings::StoredListText(GetDlgItemText(IDC_DEPT_NAME));
  if (name.empty()) {
    name = rows_[static_cast<size_t>(row)].cells[0];
    if (name.empty()) {
      Box(PickText(l, "科室名称不能为空！", "Department's name can not be null!",
                   "El nombre del departamento no puede estar vacio!", "Le nom du service ne peut pas etre vide!",
                   "Назва відділення не може бути порожньою!"),
          ui::MB_ICONERROR);
      return;
    }
  }
  if (settings::ModifyNumberedRow(conn_, settings::DepartmentTable(), rows_, static_cast<size_t>(row), {name})) {
    grid_.SetItemText(row + 1, 1, name);
    grid_.Refresh();
  }
}

void CDeptSet::OnDelete() {
  const int l = AppSettings.LanguageIndex;
  const std::vector<size_t> selected = settings::SelectedListRows(grid_);
  if (selected.empty()) {
    Box(PickText(l, "请至少选择一行数据！", "Please select a row of data at least!", "Seleccione al menos una fila!",
                 "Veuillez selectionner au moins une ligne!", "Виберіть хоча б один рядок!"),
        ui::MB_ICONERROR);
    return;
  }
  if (Box(PickText(l, "确定删除所选科室信息吗？", "Are you sure to delete the selected department's information?",
                   "Desea borrar el departamento seleccionado?", "Voulez-vous supprimer le service selectionne?",
                   "Видалити вибране відділення?"),
          ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  settings::DeleteNumberedRows(conn_, settings::DepartmentTable(), rows_, selected);
  FillDepartmentGrid();
  SetDlgItemText(IDC_DEPT_NAME, "");
}

bool CDeptSet::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  switch (id) {
    case IDC_DEPT_APPEND: OnAppend(); return true;
    case IDC_DEPT_MODIFY: OnModify(); return true;
    case IDC_DEPT_DELETE: OnDelete(); return true;
    case IDC_DEPT_KEYBOARD: ShowOnScreenKeyboard(); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

ui::LResult CDeptSet::OnNotify(int id, ui::NotifyHeader* header) {
  if (id == IDC_DEPT_GRID && header != nullptr && header->code == GVN_SELCHANGING) {
    const auto* n = reinterpret_cast<GridViewNotify*>(header);
    if (n->row >= 1) SetDlgItemText(IDC_DEPT_NAME, grid_.GetItemText(n->row, 1));
  }
  return ui::Dialog::OnNotify(id, header);
}

bool CDeptSet::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CDeptSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CDeptSet::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CDeptSet::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
