#include "history/history_list_find.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace {

const int kLabelIds[8] = {1562, 1563, 1564, 1571, 1572, 1573, 1696, 1697};
// The eight lists, skinned alike.
const int kComboIds[8] = {IDC_HF_SEX,   IDC_HF_DEPT,  IDC_HF_START_Y, IDC_HF_START_M,
                          IDC_HF_START_D, IDC_HF_END_Y, IDC_HF_END_M,   IDC_HF_END_D};

ui::DialogTemplate FindTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(300, 200);
  t.Add("Button", IDC_HF_FRAME, "", 6, 6, 288, 160, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_HF_DATE_FRAME, "", 9, 82, 282, 56, V | ui::BS_GROUPBOX);
  const int edits[6] = {IDC_HF_SAMPLE, IDC_HF_NAME, IDC_HF_SEX, IDC_HF_MEDICAL, IDC_HF_BED, IDC_HF_DEPT};
  for (int i = 0; i < 6; ++i) {
    const int x = i % 2 == 0 ? 12 : 154, y = 16 + (i / 2) * 22;
    t.Add("Static", kLabelIds[i], "", x, y + 2, 50, 12, V);
    const bool combo = edits[i] == IDC_HF_SEX || edits[i] == IDC_HF_DEPT;
    t.Add(combo ? "ComboBox" : "Edit", edits[i], "", x + 52, y, 80, combo ? 80 : 14,
          V | TS | (combo ? ui::CBS_DROPDOWN : ui::WS_BORDER));
  }
  const int dates[6] = {IDC_HF_START_Y, IDC_HF_START_M, IDC_HF_START_D, IDC_HF_END_Y, IDC_HF_END_M, IDC_HF_END_D};
  for (int i = 0; i < 6; ++i) {
    const int y = i < 3 ? 90 : 118;
    if (i % 3 == 0) t.Add("Static", kLabelIds[6 + i / 3], "", 12, y + 2, 60, 12, V);
    t.Add("ComboBox", dates[i], "", 76 + (i % 3) * 70, y, 56, 90, V | TS | ui::CBS_DROPDOWN);
    t.Add("Static", kSearchDateUnitIds[i], "", 134 + (i % 3) * 70, y + 2, 10, 12, V);
  }
  t.Add("Button", IDC_HF_KEYBOARD, "", 262, 176, 20, 13, V | TS | ui::BS_OWNERDRAW);
  t.Add("Button", ui::IDOK, "OK", 70, 174, 60, 20, V | TS);
  t.Add("Button", ui::IDCANCEL, "Cancel", 170, 174, 60, 20, V | TS);
  return t;
}

}  // namespace

CHistoryListFind::CHistoryListFind(ui::Window* parent) : ui::Dialog(IDD_HISTORY_FIND, parent) {
  if (!ui::Resources::FindDialog(IDD_HISTORY_FIND)) ui::Resources::AddDialog(IDD_HISTORY_FIND, FindTemplate());
}

void CHistoryListFind::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, ui::IDCANCEL, cancel_);
  ui::ExchangeControl(dx, IDC_HF_KEYBOARD, keyboard_);
  ui::ExchangeControl(dx, IDC_HF_FRAME, frame_);
  ui::ExchangeControl(dx, IDC_HF_DATE_FRAME, dateFrame_);
  for (int i = 0; i < 8; ++i) ui::ExchangeControl(dx, kComboIds[i], combos_[i]);
  ui::ExchangeText(dx, IDC_HF_SAMPLE, fields.sampleNo);
  ui::ExchangeText(dx, IDC_HF_NAME, fields.name);
  ui::ExchangeComboText(dx, IDC_HF_SEX, fields.sex);
  ui::ExchangeText(dx, IDC_HF_MEDICAL, fields.medicalNo);
  ui::ExchangeText(dx, IDC_HF_BED, fields.bedNo);
  ui::ExchangeComboText(dx, IDC_HF_DEPT, fields.dept);
  ui::ExchangeComboText(dx, IDC_HF_START_Y, fields.startYear);
  ui::ExchangeComboText(dx, IDC_HF_START_M, fields.startMonth);
  ui::ExchangeComboText(dx, IDC_HF_START_D, fields.startDay);
  ui::ExchangeComboText(dx, IDC_HF_END_Y, fields.endYear);
  ui::ExchangeComboText(dx, IDC_HF_END_M, fields.endMonth);
  ui::ExchangeComboText(dx, IDC_HF_END_D, fields.endDay);
}

bool CHistoryListFind::OnInitDialog() {
  const size_t first = defaultEndDate.find('-'), last = defaultEndDate.rfind('-');
  if (!defaultEndDate.empty() && first != std::string::npos && last > first) {
    fields.endYear = defaultEndDate.substr(0, first);
    fields.endMonth = defaultEndDate.substr(first + 1, last - first - 1);
    fields.endDay = defaultEndDate.substr(last + 1);
  }
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int l = AppSettings.LanguageIndex;
  SetWindowText(PickText(l, "查询条件", "Inquiries Conditions", "Condiciones de encontrar",
                         "Conditions demande renseignements", "Умови досліджень"));
  const char* labels[8][5] = {{"编号", "No.", "No.", "No.", "Номер"},
                              {"姓名", "Name", "Nombre", "Nom", "Ім'я"},
                              {"性别", "Sex", "Sexo", "Sexe", "Стать"},
                              {"病历号", "Medical No.", "Medico No.", "Medical No", "Медичний №"},
                              {"床号", "Bed No.", "Cama No.", "No de Lit", "Номер палати"},
                              {"科室", "Department", "Departamento", "Departement", "Відділ"},
                              {"起始日期", "Start Date", "Fecha inicial", "Date de debut", "Дата початку"},
                              {"结束日期", "End Date", "Fecha final", "Date de fin", "Дата закінчення"}};
  for (int i = 0; i < 8; ++i)
    SetDlgItemText(kLabelIds[i], PickText(l, labels[i][0], labels[i][1], labels[i][2], labels[i][3], labels[i][4]));
  const char* units[3][5] = {{"年", "Y", "A", "A", "Р"}, {"月", "M", "M", "M", "М"}, {"日", "D", "D", "J", "Д"}};
  for (int i = 0; i < 6; ++i) {
    const char* const* u = units[i % 3];
    SetDlgItemText(kSearchDateUnitIds[i], PickText(l, u[0], u[1], u[2], u[3], u[4]));
  }
  ok_.SetWindowText(PickText(l, "确定(&O)", "OK(&O)", "Aceptar(&O)", "OK(&O)", "OK(&O)"));
  cancel_.SetWindowText(PickText(l, "取消(&C)", "Cancel(&C)", "Cancelar(&C)", "Annuler(&C)", "Відміна(&C)"));
  if (auto* sex = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_HF_SEX))) {
    sex->AddString(PickText(l, "男", "Male", "Masculino", "Homme", "Чоловік"));
    sex->AddString(PickText(l, "女", "Female", "Femenino", "Femme", "Жінка"));
  }
  if (auto* dept = dynamic_cast<ui::ComboBox*>(GetDlgItem(IDC_HF_DEPT))) {
    RecordsetPtr& rs = conn_.OpenRecordset("Select * from Department");
    while (conn_.RecordsetOpen() && !rs->IsEOF()) {
      std::string d;
      if (ReadField(*rs, "Dept", d)) dept->AddString(d);
      rs->MoveNext();
    }
    conn_.CloseRecordset();
  }
  const int year = sys::Clock::Now().year;
  for (int id : {IDC_HF_START_Y, IDC_HF_END_Y})
    if (auto* c = dynamic_cast<ui::ComboBox*>(GetDlgItem(id)))
      for (const std::string& y : history::SearchYears(year)) c->AddString(y);
  for (int id : {IDC_HF_START_M, IDC_HF_END_M})
    if (auto* c = dynamic_cast<ui::ComboBox*>(GetDlgItem(id)))
      for (int m = 1; m <= 12; ++m) c->AddString(StrPrintf("%.2d", m));
  for (int id : {IDC_HF_START_D, IDC_HF_END_D})
    if (auto* c = dynamic_cast<ui::ComboBox*>(GetDlgItem(id)))
      for (int d = 1; d <= 31; ++d) c->AddString(StrPrintf("%.2d", d));
  UpdateData(false);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(399, 400, 487);
  cancel_.SetBitmaps(403, 404, 486);
  for (CXPComboBox& c : combos_) c.SetBitmaps(393, 394, 396);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  return true;
}

bool CHistoryListFind::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_HF_KEYBOARD && code == ui::BN_CLICKED) {
    ShowOnScreenKeyboard();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CHistoryListFind::Accept() {
  const int l = AppSettings.LanguageIndex;
  history::SearchError err = history::SearchError::None;
  const std::string c = history::BuildSearchCondition(fields, sys::Clock::Now().year, &err);
  if (err != history::SearchError::None) {
    ui::MessageBox(this, history::SearchErrorText(err, l), "",
                   err == history::SearchError::NoCondition ? ui::MB_ICONINFORMATION : ui::MB_ICONEXCLAMATION);
    return false;
  }
  int count = 0;
  RecordsetPtr& rs = conn_.OpenRecordset("select * from Person" + c);
  if (conn_.RecordsetOpen()) count = rs->RecordCount();
  conn_.CloseRecordset();
  if (count <= 0) {
    ui::MessageBox(this, history::NoMatchText(l), "", ui::MB_ICONINFORMATION);
    return false;
  }
  condition = c;
  recordCount = count;
  conn_.Disconnect();
  return true;
}

void CHistoryListFind::OnOK() {
  if (!UpdateData(true)) return;
  if (Accept()) EndDialog(ui::IDOK);
}

bool CHistoryListFind::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CHistoryListFind::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
