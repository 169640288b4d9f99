#include "settings/dept_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "platform/ui/resources.h"

namespace {

ui::DialogTemplate DeptTemplate() {
  const uint32_t V = ui::WS_VISIBLE, B = V | ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(249, 237);
  t.Add("Button", IDC_DEPT_FRAME, "", 6, 6, 240, 188, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_DEPT_LIST_FRAME, "", 53, 26, 146, 121, V | ui::BS_GROUPBOX);
  t.Add("Static", IDC_DEPT_LABEL, "Department:", 45, 177, 42, 8, V);  // a blank's width clear of the field
  t.Add("Edit", IDC_DEPT_NAME, "", 90, 175, 150, 12, B | ui::WS_BORDER | ui::ES_AUTOHSCROLL);
  t.Add("Button", IDC_DEPT_KEYBOARD, "KBD", 15, 176, 24, 13, B);
  t.Add("Button", IDC_DEPT_APPEND, "Append(&A)", 6, 198, 59, 31, B);
  t.Add("Button", IDC_DEPT_MODIFY, "Modify(&M)", 64, 198, 59, 31, B);
  t.Add("Button", IDC_DEPT_DELETE, "Delete(&D)", 122, 198, 59, 31, B);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 180, 198, 59, 31, B);
  return t;
}

constexpr settings::ListScreenIds kDeptIds = {IDC_DEPT_FRAME,    IDC_DEPT_LIST_FRAME, IDC_DEPT_GRID,
                                              IDC_DEPT_NAME,     IDC_DEPT_KEYBOARD,   IDC_DEPT_APPEND,
                                              IDC_DEPT_MODIFY,   IDC_DEPT_DELETE};

}  // namespace

CDeptSet::CDeptSet(ui::Window* parent)
    : settings::CNumberedListScreen(IDD_DEPT_SET, kDeptIds, settings::DepartmentTable(), 1, parent) {
  if (!ui::Resources::FindDialog(IDD_DEPT_SET)) ui::Resources::AddDialog(IDD_DEPT_SET, DeptTemplate());
}

std::vector<std::string> CDeptSet::TypedCells() const {
  return {settings::StoredListText(GetDlgItemText(IDC_DEPT_NAME))};
}

std::vector<settings::ListColumn> CDeptSet::Columns(int l) const {
  return {{PickText(l, "序号", "No.", "N.", "N°", "№"), 120},
          {PickText(l, "科室", "Dept.", "Dpto.", "Service", "Відділення"), 150}};
}

settings::ListEntryTexts CDeptSet::EntryTexts(int l) const {
  return {PickText(l, "科室名称不能为空！", "Department's name can not be null!",
                   "El nombre del departamento no puede estar vacio!", "Le nom du service ne peut pas etre vide!",
                   "Назва відділення не може бути порожньою!"),
          PickText(l, "该科室已存在！", "The department has existed!", "El departamento ya existe!",
                   "Le service existe deja!", "Таке відділення вже існує!"),
          PickText(l, "确定删除所选科室信息吗？", "Are you sure to delete the selected department's information?",
                   "Desea borrar el departamento seleccionado?", "Voulez-vous supprimer le service selectionne?",
                   "Видалити вибране відділення?")};
}

void CDeptSet::SetTexts(int l) {
  SetWindowText(PickText(l, "科室设置", "Department Setting", "Ajuste de departamentos", "Reglage des services",
                         "Налаштування відділень"));
  SetDlgItemText(IDC_DEPT_LABEL, PickText(l, "科室:", "Department:", "Departamento:", "Service:", "Відділення:"));
}
