#include "qc/qc_print_style.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/qc_common.h"

namespace qc {
namespace {

ui::DialogTemplate PrintStyleTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(220, 148);
  t.Add("Button", 1127, "", 4, 4, 212, 140, V | ui::BS_GROUPBOX);
  t.Add("Static", 2024, "Please select print style:", 16, 14, 190, 12, V | ui::SS_LEFT);
  t.Add("Button", IDC_PRINT_ALL, "Print all records", 20, 32, 180, 14, V | ui::BS_AUTORADIOBUTTON | ui::WS_GROUP);
  t.Add("Button", IDC_PRINT_RANGE, "Print the specify range records", 20, 52, 180, 14, V | ui::BS_AUTORADIOBUTTON);
  t.Add("DateTime", IDC_PRINT_START, "", 30, 72, 80, 16, V);
  t.Add("DateTime", IDC_PRINT_END, "", 120, 72, 80, 16, V);
  t.Add("Button", ui::IDOK, "OK(&C)", 40, 118, 60, 20, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 120, 118, 60, 20, V | ui::WS_TABSTOP);
  return t;
}

// Days since 1970-01-01 of a civil date, and back.
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}
void CivilFromDays(int64_t z, int* y, int* m, int* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

int64_t SecondsOf(const sys::LocalTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

sys::LocalTime DaysBefore(const sys::LocalTime& t, int days) {
  sys::LocalTime r = t;
  CivilFromDays(DaysFromCivil(t.year, t.month, t.day) - days, &r.year, &r.month, &r.day);
  return r;
}

bool PrintRangeAccepted(int rangeChoice, const sys::LocalTime& start, const sys::LocalTime& end) {
  if (rangeChoice != 1) return true;
  return SecondsOf(start) <= SecondsOf(end);
}

std::string RangeDateText(const sys::LocalTime& t) { return StrPrintf("%d-%.2d-%.2d", t.year, t.month, t.day); }

CQCPrintStyle::CQCPrintStyle(ui::Window* parent) : ui::Dialog(IDD_QC_PRINT_STYLE, parent) {
  if (!ui::Resources::FindDialog(IDD_QC_PRINT_STYLE)) ui::Resources::AddDialog(IDD_QC_PRINT_STYLE, PrintStyleTemplate());
}

bool CQCPrintStyle::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  end = sys::Clock::Now();
  start = DaysBefore(end, 30);
  all_.SubclassDlgItem(IDC_PRINT_ALL, this);
  range_.SubclassDlgItem(IDC_PRINT_RANGE, this);
  ok_.SubclassDlgItem(ui::IDOK, this);
  cancel_.SubclassDlgItem(ui::IDCANCEL, this);
  if (auto* p = dynamic_cast<ui::DateTimePicker*>(GetDlgItem(IDC_PRINT_START))) p->SetTime(start);
  if (auto* p = dynamic_cast<ui::DateTimePicker*>(GetDlgItem(IDC_PRINT_END))) p->SetTime(end);
  ok_.SetBitmaps(466, 465, 464);
  cancel_.SetBitmaps(472, 471, 470);
  SetDlgItemText(2024, PickText(lang, "请选择打印方式:", "Please select print style:", "Por favor elija el modo de impresion:",
                                "Veuillez choisir le mode d'impression:", "Будь ласка, виберіть спосіб друку:"));
  all_.SetWindowText(PickText(lang, "打印全部记录", "Print all records", "Imprimir todos los registros",
                              "Imprimer tous les enregistrements", "Друкувати всі записи"));
  range_.SetWindowText(PickText(lang, "打印指定范围记录", "Print the specify range records", "Imprimir los registros del rango",
                                "Imprimer les enregistrements de la periode", "Друкувати записи за період"));
  ok_.SetWindowText(PickText(lang, "确定(&C)", "OK(&C)", "Aceptar(&C)", "OK(&C)", "OK(&C)"));
  cancel_.SetWindowText(ExitButtonText(lang));
  SetChoice(0);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CQCPrintStyle::SetChoice(int choice) {
  rangeChoice = choice;
  all_.SendMessage(ui::BM_SETCHECK, static_cast<ui::WParam>(choice == 0 ? 1 : 0), 0);
  range_.SendMessage(ui::BM_SETCHECK, static_cast<ui::WParam>(choice == 1 ? 1 : 0), 0);
  if (ui::Window* w = GetDlgItem(IDC_PRINT_START)) w->EnableWindow(choice == 1);
  if (ui::Window* w = GetDlgItem(IDC_PRINT_END)) w->EnableWindow(choice == 1);
}

bool CQCPrintStyle::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && (id == IDC_PRINT_ALL || id == IDC_PRINT_RANGE)) {
    SetChoice(id == IDC_PRINT_RANGE ? 1 : 0);
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CQCPrintStyle::OnOK() {
  if (auto* p = dynamic_cast<ui::DateTimePicker*>(GetDlgItem(IDC_PRINT_START))) start = p->GetTime();
  if (auto* p = dynamic_cast<ui::DateTimePicker*>(GetDlgItem(IDC_PRINT_END))) end = p->GetTime();
  if (!PrintRangeAccepted(rangeChoice, start, end)) {
    const int lang = AppSettings.LanguageIndex;
    QcMessage(this,
              PickText(lang, "起始日期应早于结束日期!", "The start date should be earlier than end date!",
                       "La fecha de inicio debe ser anterior a la fecha final!",
                       "La date de debut doit etre anterieure a la date de fin!",
                       "Дата початку має бути раніше дати закінчення!"),
              ui::MB_ICONWARNING);
    return;
  }
  EndDialog(ui::IDOK);
}

bool CQCPrintStyle::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

const draw::Brush* CQCPrintStyle::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  // Edits keep their own background (a changed text must not show over the old one).
  const draw::Brush* brush = ui::Dialog::OnCtlColor(dc, control, ctlType);
  if (ctlType == ui::CTLCOLOR_EDIT) dc.SetTextColor(draw::RGB(66, 85, 92));
  return brush;
}

}  // namespace qc
