#include "settings/doctor_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "settings/list_grid.h"

namespace settings {

void ShowDepartmentText(ui::ComboBox& box, const std::string& dept) {
  const int at = dept.empty() ? -1 : box.FindStringExact(-1, dept);
  if (at >= 0) {
    box.SetCurSel(at);
    return;
  }
  box.SetCurSel(-1);
  box.SetWindowText(dept);
}

}  // namespace settings

namespace {

ui::DialogTemplate DoctorTemplate() {
  const uint32_t V = ui::WS_VISIBLE, B = V | ui::WS_TABSTOP;
  const uint32_t C = B | ui::BS_AUTOCHECKBOX;
  ui::DialogTemplate t = ScreenTemplate(321, 238);
  t.Add("Button", IDC_DOC_FRAME, "", 6, 5, 312, 188, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_DOC_LIST_FRAME, "", 13, 15, 299, 142, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_DOC_KEYBOARD, "KBD", 7, 158, 26, 13, B);
  t.Add("Static", IDC_DOC_NAME_LABEL, "Name:", 9, 174, 31, 11, V);
  t.Add("Edit", IDC_DOC_NAME, "", 43, 172, 48, 12, B | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Static", IDC_DOC_DEPT_LABEL, "Dept.:", 93, 175, 24, 8, V);
  t.Add("ComboBox", IDC_DOC_DEPT, "", 119, 173, 52, 60, B | ui::CBS_DROPDOWN | ui::CBS_SORT | ui::WS_VSCROLL);
  t.Add("Button", IDC_DOC_APPLICANT, "Applicant", 176, 176, 44, 10, C);
  t.Add("Button", IDC_DOC_INSPECTOR, "Inspector", 223, 176, 46, 10, C);
  t.Add("Button", IDC_DOC_VERIFIER, "Verifier", 272, 176, 43, 10, C);
  t.Add("Button", IDC_DOC_APPEND, "Append(&A)", 5, 196, 79, 35, B);
  t.Add("Button", IDC_DOC_MODIFY, "Modify(&M)", 83, 196, 80, 35, B);
  t.Add("Button", IDC_DOC_DELETE, "Delete(&D)", 162, 196, 80, 35, B);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 241, 196, 76, 35, B);
  return t;
}

std::string Letter(const CXPCheckButton& b) { return b.checked ? "Y" : "N"; }

}  // namespace

CDoctorSet::CDoctorSet(ui::Window* parent) : ui::Dialog(IDD_DOCTOR_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_DOCTOR_SET)) ui::Resources::AddDialog(IDD_DOCTOR_SET, DoctorTemplate());
}

void CDoctorSet::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_DOC_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_DOC_LIST_FRAME, listFrame_);
  ui::ExchangeControl(dx, IDC_DOC_APPLICANT, applicant_);
  ui::ExchangeControl(dx, IDC_DOC_INSPECTOR, inspector_);
  ui::ExchangeControl(dx, IDC_DOC_VERIFIER, verifier_);
  ui::ExchangeControl(dx, IDC_DOC_DEPT, dept_);
  ui::ExchangeControl(dx, IDC_DOC_APPEND, append_);
  ui::ExchangeControl(dx, IDC_DOC_MODIFY, modify_);
  ui::ExchangeControl(dx, IDC_DOC_DELETE, delete_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_DOC_KEYBOARD, keyboard_);
}

bool CDoctorSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const float s = AppSettings.LayoutScale;
  const ui::Rect area = listFrame_.GetRectInParent();
  grid_.Create(ui::Rect(area.left + 6, area.top + 8, area.right - 6, area.bottom - 6), this, IDC_DOC_GRID);
  gridFont_ = draw::Font("Arial", static_cast<int>(16 * s));
  SendDlgItemMessage(IDC_DOC_NAME, ui::EM_LIMITTEXT, 20);
  if (ui::Window* edit = dept_.EditChild()) edit->SendMessage(ui::EM_LIMITTEXT, 20);
  settings::LoadNumberedRows(conn_, settings::DoctorTable(), &rows_);
  FillDoctorGrid();
  dept_.ResetContent();
  RecordsetPtr& rs = conn_.OpenRecordset("Select * from Department");
  if (conn_.RecordsetOpen()) {
    while (!rs->IsEOF()) {
      std::string d;
      if (ReadField(*rs, "Dept", d)) dept_.AddString(d);
      rs->MoveNext();
    }
  }
  conn_.CloseRecordset();
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "医生设置", "Doctor Setting", "Ajuste de medicos", "Reglage des medecins", "Налаштування лікарів"));
  SetDlgItemText(IDC_DOC_NAME_LABEL, PickText(l, "姓名:", "Name:", "Nombre:", "Nom:", "Ім'я:"));
  SetDlgItemText(IDC_DOC_DEPT_LABEL, PickText(l, "科室:", "Dept.:", "Dpto.:", "Service:", "Відд.:"));
  applicant_.SetWindowText(PickText(l, "送检者", "Applicant", "Solicitante", "Demandeur", "Заявник"));
  inspector_.SetWindowText(PickText(l, "检验者", "Inspector", "Analista", "Analyste", "Виконавець"));
  verifier_.SetWindowText(PickText(l, "审核者", "Verifier", "Verificador", "Verificateur", "Перевіряючий"));
  settings::SetListEditButtons(append_, modify_, delete_, exit_, l);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  grid_.SetFont(&gridFont_, true);
  dept_.SetBitmaps(393, 394, 396);
  return true;
}

void CDoctorSet::FillDoctorGrid() {
  const int l = AppSettings.LanguageIndex;
  settings::FillListGrid(grid_,
                         {{PickText(l, "序号", "No.", "N.", "N°", "№"), 70},
                          {PickText(l, "姓名", "Name", "Nombre", "Nom", "Ім'я"), 100},
                          {PickText(l, "科室", "Dept.", "Dpto.", "Service", "Відд."), 100},
                          {PickText(l, "送检者", "Applicant", "Solicitante", "Demandeur", "Заявник"), 100},
                          {PickText(l, "检验者", "Inspector", "Analista", "Analyste", "Виконавець"), 100},
                          {PickText(l, "审核者", "Verifier", "Verificador", "Verificateur", "Перевіряючий"), 100}},
                         rows_, AppSettings.LayoutScale);
}

std::vector<std::string> CDoctorSet::RoleLetters() const {
  return {Letter(applicant_), Letter(inspector_), Letter(verifier_)};
}

void CDoctorSet::SetRoles(bool a, bool i, bool v) {
  applicant_.checked = a;
  inspector_.checked = i;
  verifier_.checked = v;
  for (CXPCheckButton* b : {&applicant_, &inspector_, &verifier_}) b->Invalidate();
}

int CDoctorSet::Box(const std::string& text, unsigned type) { return ui::MessageBox(this, text, "", type); }

void CDoctorSet::OnAppend() {
  const int l = AppSettings.LanguageIndex;
  const std::string name = settings::StoredListText(GetDlgItemText(IDC_DOC_NAME));
  const std::string dept = settings::StoredListText(dept_.GetWindowText());
  if (name.empty()) {
    Box(PickText(l, "姓名不能为空！", "Name can not be null!", "El nombre no puede estar vacio!",
                 "Le nom ne peut pas etre vide!", "Ім'я не може бути порожнім!"),
        ui::MB_ICONERROR);
    return;
  }
  for (const settings::NumberedRow& r : rows_)
    if (r.cells[0] == name && r.cells[1] == dept) {
      Box(PickText(l, "该科室已有同名医生！", "There is the same name in the department!",
                   "Ya hay el mismo nombre en el departamento!", "Ce nom existe deja dans le service!",
                   "У відділенні вже є таке ім'я!"),
          ui::MB_ICONERROR);
      return;
    }
  std::vector<std::string> cells = {name, dept};
  for (const std::string& r : RoleLetters()) cells.push_back(r);
  if (settings::AppendNumberedRow(conn_, settings::DoctorTable(), rows_, cells)) FillDoctorGrid();
}

void CDoctorSet::OnModify() {
  const int l = AppSettings.LanguageIndex;
  const int row = settings::FirstSelectedListRow(grid_);
  if (row < 0) {
    Box(PickText(l, "请选择一行数据！", "Please select a row of data!", "Seleccione una fila de datos!",
                 "Veuillez selectionner une ligne!", "Виберіть рядок даних!"),
        ui::MB_ICONERROR);
    return;
  }
  const settings::NumberedRow& current = rows_[static_cast<size_t>(row)];
  std::string name = settings::StoredListText(GetDlgItemText(IDC_DOC_NAME));
  std::string dept = settings::StoredListText(dept_.GetWindowText());
  if (name.empty()) {
    name = current.cells[0];
    if (name.empty()) {
      Box(PickText(l, "姓名不能为空！", "Name can not be null!", "El nombre no puede estar vacio!",
                   "Le nom ne peut pas etre vide!", "Ім'я не може бути порожнім!"),
          ui::MB_ICONERROR);
      return;
    }
  }
  if (dept.empty()) dept = current.cells[1];
  std::vector<std::string> cells = {name, dept};
  for (const std::string& r : RoleLetters()) cells.push_back(r);
  if (settings::ModifyNumberedRow(conn_, settings::DoctorTable(), rows_, static_cast<size_t>(row), cells)) {
    for (size_t c = 0; c < cells.size(); ++c) grid_.SetItemText(row + 1, static_cast<int>(c + 1), cells[c]);
    grid_.Refresh();
  }
}

void CDoctorSet::OnDelete() {
  const int l = AppSettings.LanguageIndex;
  const std::vector<size_t> selected = settings::SelectedListRows(grid_);
  if (selected.empty()) {
    Box(PickText(l, "请至少选择一行数据！", "Please select a row of data at least!", "Seleccione al menos una fila!",
                 "Veuillez selectionner au moins une ligne!", "Виберіть хоча б один рядок!"),
        ui::MB_ICONERROR);
    return;
  }
  if (Box(PickText(l, "确定删除所选医生信息吗？", "Are you sure to delete the selected doctor's information?",
                   "Desea borrar el medico seleccionado?", "Voulez-vous supprimer le medecin selectionne?",
                   "Видалити вибраного лікаря?"),
          ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  settings::DeleteNumberedRows(conn_, settings::DoctorTable(), rows_, selected);
  FillDoctorGrid();
  SetDlgItemText(IDC_DOC_NAME, "");
  settings::ShowDepartmentText(dept_, "");
  SetRoles(false, false, false);
}

bool CDoctorSet::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  switch (id) {
    case IDC_DOC_APPEND: OnAppend(); return true;
    case IDC_DOC_MODIFY: OnModify(); return true;
    case IDC_DOC_DELETE: OnDelete(); return true;
    case IDC_DOC_KEYBOARD: ShowOnScreenKeyboard(); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

ui::LResult CDoctorSet::OnNotify(int id, ui::NotifyHeader* header) {
  if (id == IDC_DOC_GRID && header != nullptr && header->code == GVN_SELCHANGING) {
    const auto* n = reinterpret_cast<GridViewNotify*>(header);
    if (n->row >= 1) {
      SetDlgItemText(IDC_DOC_NAME, grid_.GetItemText(n->row, 1));
      settings::ShowDepartmentText(dept_, grid_.GetItemText(n->row, 2));
    }
    SetRoles(grid_.GetItemText(n->row, 3) == "Y", grid_.GetItemText(n->row, 4) == "Y",
             grid_.GetItemText(n->row, 5) == "Y");
  }
  return ui::Dialog::OnNotify(id, header);
}

bool CDoctorSet::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CDoctorSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CDoctorSet::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CDoctorSet::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
