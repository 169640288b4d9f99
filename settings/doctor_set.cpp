#include "settings/doctor_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/field_read.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

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
  // 320 units wide, as every screen laid out for 640 pixels: one unit more puts the frame off
  // the display.
  ui::DialogTemplate t = ScreenTemplate(320, 238);
  t.Add("Button", IDC_DOC_FRAME, "", 6, 5, 312, 188, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_DOC_LIST_FRAME, "", 13, 15, 299, 142, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_DOC_KEYBOARD, "KBD", 10, 158, 26, 13, B);
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

constexpr settings::ListScreenIds kDoctorIds = {IDC_DOC_FRAME,    IDC_DOC_LIST_FRAME, IDC_DOC_GRID,
                                                IDC_DOC_NAME,     IDC_DOC_KEYBOARD,   IDC_DOC_APPEND,
                                                IDC_DOC_MODIFY,   IDC_DOC_DELETE};

}  // namespace

// A doctor is the same entry as another when both name and department are equal.
CDoctorSet::CDoctorSet(ui::Window* parent)
    : settings::CNumberedListScreen(IDD_DOCTOR_SET, kDoctorIds, settings::DoctorTable(), 2, parent) {
  if (!ui::Resources::FindDialog(IDD_DOCTOR_SET)) ui::Resources::AddDialog(IDD_DOCTOR_SET, DoctorTemplate());
}

void CDoctorSet::DoDataExchange(ui::DataExchange& dx) {
  settings::CNumberedListScreen::DoDataExchange(dx);
  ui::ExchangeControl(dx, IDC_DOC_APPLICANT, applicant_);
  ui::ExchangeControl(dx, IDC_DOC_INSPECTOR, inspector_);
  ui::ExchangeControl(dx, IDC_DOC_VERIFIER, verifier_);
  ui::ExchangeControl(dx, IDC_DOC_DEPT, dept_);
}

void CDoctorSet::PrepareInputs() {
  if (ui::Window* edit = dept_.EditChild()) edit->SendMessage(ui::EM_LIMITTEXT, 20);
}

void CDoctorSet::SetTexts(int l) {
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
  SetWindowText(PickText(l, "医生设置", "Doctor Setting", "Ajuste de medicos", "Reglage des medecins", "Налаштування лікарів"));
  SetDlgItemText(IDC_DOC_NAME_LABEL, PickText(l, "姓名:", "Name:", "Nombre:", "Nom:", "Ім'я:"));
  SetDlgItemText(IDC_DOC_DEPT_LABEL, PickText(l, "科室:", "Dept.:", "Dpto.:", "Service:", "Відд.:"));
  applicant_.SetWindowText(PickText(l, "送检者", "Applicant", "Solicitante", "Demandeur", "Заявник"));
  inspector_.SetWindowText(PickText(l, "检验者", "Inspector", "Analista", "Analyste", "Виконавець"));
  verifier_.SetWindowText(PickText(l, "审核者", "Verifier", "Verificador", "Verificateur", "Перевіряючий"));
}

void CDoctorSet::FinishInit() { dept_.SetBitmaps(393, 394, 396); }

std::vector<settings::ListColumn> CDoctorSet::Columns(int l) const {
  return {{PickText(l, "序号", "No.", "N.", "N°", "№"), 70},
          {PickText(l, "姓名", "Name", "Nombre", "Nom", "Ім'я"), 100},
          {PickText(l, "科室", "Dept.", "Dpto.", "Service", "Відд."), 100},
          {PickText(l, "送检者", "Applicant", "Solicitante", "Demandeur", "Заявник"), 100},
          {PickText(l, "检验者", "Inspector", "Analista", "Analyste", "Виконавець"), 100},
          {PickText(l, "审核者", "Verifier", "Verificador", "Verificateur", "Перевіряючий"), 100}};
}

settings::ListEntryTexts CDoctorSet::EntryTexts(int l) const {
  return {PickText(l, "姓名不能为空！", "Name can not be null!", "El nombre no puede estar vacio!",
                   "Le nom ne peut pas etre vide!", "Ім'я не може бути порожнім!"),
          PickText(l, "该科室已有同名医生！", "There is the same name in the department!",
                   "Ya hay el mismo nombre en el departamento!", "Ce nom existe deja dans le service!",
                   "У відділенні вже є таке ім'я!"),
          PickText(l, "确定删除所选医生信息吗？", "Are you sure to delete the selected doctor's information?",
                   "Desea borrar el medico seleccionado?", "Voulez-vous supprimer le medecin selectionne?",
                   "Видалити вибраного лікаря?")};
}

std::vector<std::string> CDoctorSet::TypedCells() const {
  return {settings::StoredListText(GetDlgItemText(IDC_DOC_NAME)), settings::StoredListText(dept_.GetWindowText()),
          Letter(applicant_), Letter(inspector_), Letter(verifier_)};
}

void CDoctorSet::SetRoles(bool a, bool i, bool v) {
  applicant_.checked = a;
  inspector_.checked = i;
  verifier_.checked = v;
  for (CXPCheckButton* b : {&applicant_, &inspector_, &verifier_}) b->Invalidate();
}

void CDoctorSet::ShowRowInputs(int row) {
  CGridCtrl& grid = Grid();
  if (row >= 1) settings::ShowDepartmentText(dept_, grid.GetItemText(row, 2));
  SetRoles(grid.GetItemText(row, 3) == "Y", grid.GetItemText(row, 4) == "Y", grid.GetItemText(row, 5) == "Y");
}

void CDoctorSet::ClearOtherInputs() {
  settings::ShowDepartmentText(dept_, "");
  SetRoles(false, false, false);
}
