#include "calibration/manual_screen.h"
#include "core/sys_setting.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "printing/print_hint_dlg.h"

namespace calibration {

ui::DialogTemplate ManualScreenTemplate(bool percents) {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  const uint32_t E = V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Static", IDC_CM_SAMPLE_TYPE, "Sample Type", 10, 10, 60, 10, V);
  t.Add("Button", IDC_CM_KEYBOARD, "KBD", 290, 8, 20, 13, V | TS | ui::BS_OWNERDRAW);
  const uint32_t R = V | TS | ui::BS_AUTORADIOBUTTON;
  t.Add("Button", IDC_CM_WHOLE, "Whole blood", 10, 24, 80, 10, R | ui::WS_GROUP);
  t.Add("Button", IDC_CM_WHOLE + 1, "Peripheral blood", 94, 24, 80, 10, R);
  t.Add("Button", IDC_CM_WHOLE + 2, "Pre-diluted peripheral blood", 178, 24, 136, 10, R);
  static const char* const kHeads[4] = {"Item", "Default", "Current coef.", "Calib.Date"};
  const int x[4] = {14, 60, 120, 210};
  for (int c = 0; c < 4; ++c) t.Add("Static", IDC_CM_HEADS + c, kHeads[c], x[c], 42, 80, 10, V | (c == 0 ? ui::WS_GROUP : 0));
  static const char* const kNames[6] = {"WBC", "RBC", "HGB", "MCV", "PLT", "MPV"};
  const int rows = percents ? 5 : 6;
  for (int i = 0; i < rows; ++i) {
    const int y = 56 + i * 20;
    t.Add("Static", 1700 + i, kNames[i], x[0], y + 2, 40, 10, V);
    t.Add("Static", 1710 + i, percents ? "100 %" : "1.00", x[1], y + 2, 40, 10, V);
    t.Add("Edit", kValueEditIds[i], "", x[2], y, 60, 12, E);
    if (percents) {
      t.Add("Static", 1720 + i, "%", x[2] + 74, y + 2, 8, 10, V);
      t.Add("msctls_updown32", kSpinIds[i], "", x[2] + 62, y, 10, 12, V);
    }
    t.Add("Edit", kDateEditIds[i], "", x[3], y, 70, 12, E);
  }
  int bx = 8;
  const int by = 200, bw = percents ? 100 : 60;
  t.Add("Button", IDC_CM_SAVE, "Save(&S)", bx, by, bw - 4, 32, V | TS | ui::WS_GROUP);
  bx += bw;
  if (!percents) {
    t.Add("Button", IDC_CM_SET_DEFAULT, "Set Default(&D)", bx, by, bw - 4, 32, V | TS);
    bx += bw;
    t.Add("Button", IDC_CM_DEFAULT, "Default(&F)", bx, by, bw - 4, 32, V | TS);
    bx += bw;
  }
  t.Add("Button", IDC_CM_PRINT, "Print(&P)", bx, by, bw - 4, 32, V | TS);
  bx += bw;
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", bx, by, bw - 4, 32, V | TS);
  return t;
}

CManualScreen::CManualScreen(int templateId, ui::Window* parent, bool percents)
    : ui::Dialog(templateId, parent), percents_(percents), hint_(std::make_unique<PrintHintHolder>()) {}

CManualScreen::~CManualScreen() {
  if (thread_) thread_->Join();
}

void CManualScreen::DoDataExchange(ui::DataExchange& dx) {
  for (int i = 0; i < 3; ++i) ui::ExchangeControl(dx, IDC_CM_WHOLE + i, types_[i]);
  for (int i = 0; i < Items(); ++i) {
    ui::ExchangeControl(dx, kValueEditIds[i], values_[i]);
    ui::ExchangeControl(dx, kDateEditIds[i], dates_[i]);
  }
  ui::ExchangeControl(dx, IDC_CM_SAVE, save_);
  ui::ExchangeControl(dx, IDC_CM_PRINT, print_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_CM_KEYBOARD, keyboard_);
}

bool CManualScreen::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  uint8_t kind = 0;
  if (TakeSetting(LoadSysSetting(db_).row.Printer, kind)) printKind = kind;
  for (int i = 0; i < Items(); ++i) {
    values_[i].SetLimitText(9);
    dates_[i].SetLimitText(10);
  }
  Shown().bloodType = 0;
  Reload(0, "Select * from CalibrationCoef where BloodType = 0");
  types_[0].SendMessage(ui::BM_SETCHECK, 1, 0);
  SetDlgItemText(IDC_CM_SAMPLE_TYPE, TextOf(CaliText::SampleType, lang));
  for (int i = 0; i < 3; ++i) types_[i].SetWindowText(BloodTypeName(i, lang));
  const CaliText heads[4] = {CaliText::Item, CaliText::Default, CaliText::CurrentCoef, CaliText::CalibDate};
  for (int c = 0; c < 4; ++c)
    SetDlgItemText(IDC_CM_HEADS + c, std::string(TextOf(heads[c], lang)) + (percents_ && c == 2 ? "(%)" : ""));
  save_.SetWindowText(TextOf(CaliText::Save, lang));
  print_.SetWindowText(TextOf(CaliText::Print, lang));
  exit_.SetWindowText(TextOf(CaliText::Exit, lang));
  if (percents_) {
    save_.SetBitmaps(457, 456, 454);
    print_.SetBitmaps(460, 459, 458);
    exit_.SetBitmaps(455, 462, 461);
  } else {
    save_.SetBitmaps(466, 465, 464);
    print_.SetBitmaps(469, 468, 467);
    exit_.SetBitmaps(472, 471, 470);
  }
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CManualScreen::TakeTexts() {
  CoefTexts& t = Shown().texts;
  for (int i = 0; i < Items(); ++i) {
    (percents_ ? t.percents[i] : t.factors[i]) = values_[i].GetWindowText();
    t.dates[i] = dates_[i].GetWindowText();
  }
}

void CManualScreen::ShowTexts() {
  const CoefTexts& t = Shown().texts;
  for (int i = 0; i < Items(); ++i) {
    values_[i].SetWindowText(percents_ ? t.percents[i] : t.factors[i]);
    dates_[i].SetWindowText(t.dates[i]);
  }
}

void CManualScreen::Reload(int bloodType, const std::string& sql) {
  Shown().bloodType = bloodType;
  LoadCoefTexts(db_, sql, Shown().texts);
  ShowTexts();
  Reloaded();
}

void CManualScreen::Box(CaliText text, unsigned type) {
  ui::MessageBox(this, TextOf(text, AppSettings.LanguageIndex), "", type);
}

bool CManualScreen::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

const draw::Brush* CManualScreen::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CManualScreen::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

bool CManualScreen::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    if (id >= IDC_CM_WHOLE && id <= IDC_CM_WHOLE + 2) {
      const int bt = id - IDC_CM_WHOLE;
      TakeTexts();
      Reload(bt, percents_ ? SelectRowSpacedSql(bt) : SelectRowEngineerSql(bt));
      return true;
    }
    if (id == IDC_CM_SAVE) {
      OnSave();
      return true;
    }
    if (id == IDC_CM_PRINT) {
      OnPrint();
      return true;
    }
    if (id == IDC_CM_KEYBOARD) {
      ShowOnScreenKeyboard();
      return true;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CManualScreen::OnPrint() {
  if (printing_) return;
  printing_ = true;
  // The print-out reads a copy of the shown texts: typing meanwhile changes nothing on paper.
  CalibrationPrintout p;
  p.percents = percents_;
  p.bloodType = Shown().bloodType;
  p.language = AppSettings.LanguageIndex;
  p.now = sys::Clock::Now();
  for (int i = 0; i < Items(); ++i) {
    p.values.push_back(percents_ ? Shown().texts.percents[i] : Shown().texts.factors[i]);
    p.dates.push_back(Shown().texts.dates[i]);
  }
  if (printKind == 0) {
    hint_->Show();
    PrintThermal(p);
    hint_->Hide();
  } else {
    if (thread_) thread_->Join();
    thread_ = std::make_unique<sys::Thread>();
    const ui::WindowHandle self = Handle();
    thread_->Start([p, self] {
      ui::PostMessageTo(self, WM_PRINT_PROGRESS, 1, 0);
      PrintPage(p);
      ui::PostMessageTo(self, WM_PRINT_PROGRESS, 0, 0);
    });
  }
  ui::RemoveMouseMessages(this);
  printing_ = false;
}

ui::LResult CManualScreen::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == WM_PRINT_PROGRESS) {
    if (w == 1) hint_->Show();
    else hint_->Hide();
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

}  // namespace calibration
