#include "calibration/calib_auto_set.h"

#include "calibration/calibration_texts.h"
#include "core/value_format.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace calibration {

namespace {

ui::DialogTemplate CalibAutoSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  const uint32_t E = V | TS | ui::WS_BORDER | ui::ES_AUTOHSCROLL;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Static", IDC_CAS_LABEL + 0, "Lot:", 12, 14, 30, 10, V);
  t.Add("ComboBox", IDC_CAS_LOT, "", 44, 12, 80, 80, V | TS | ui::CBS_DROPDOWN | ui::WS_VSCROLL);
  t.Add("Static", IDC_CAS_LABEL + 1, "Validity:", 132, 14, 40, 10, V);
  t.Add("Edit", IDC_CAS_YEAR, "", 174, 12, 30, 12, E | ui::ES_NUMBER);
  t.Add("msctls_updown32", IDC_CAS_YEAR_SPIN, "", 204, 12, 9, 12, kBuddyNumberSpinStyle);
  t.Add("Edit", IDC_CAS_MONTH, "", 220, 12, 20, 12, E | ui::ES_NUMBER);
  t.Add("msctls_updown32", IDC_CAS_MONTH_SPIN, "", 240, 12, 9, 12, kBuddyNumberSpinStyle);
  t.Add("Edit", IDC_CAS_DAY, "", 256, 12, 20, 12, E | ui::ES_NUMBER);
  t.Add("msctls_updown32", IDC_CAS_DAY_SPIN, "", 276, 12, 9, 12, kBuddyNumberSpinStyle);
  t.Add("Button", IDC_CAS_LABEL + 2, "Sample Type", 8, 32, 304, 26, V | ui::BS_GROUPBOX);
  const uint32_t R = V | TS | ui::BS_AUTORADIOBUTTON;
  t.Add("Button", IDC_CAS_WHOLE, "Whole blood", 14, 42, 70, 10, R | ui::WS_GROUP);
  t.Add("Button", IDC_CAS_WHOLE + 1, "Peripheral blood", 90, 42, 80, 10, R);
  t.Add("Button", IDC_CAS_WHOLE + 2, "Pre-diluted peripheral blood", 176, 42, 130, 10, R);
  t.Add("Button", IDC_CAS_LABEL + 3, "Targets", 8, 62, 200, 100, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_CAS_KEYBOARD, "KBD", 292, 12, 20, 13, V | TS | ui::BS_OWNERDRAW);
  t.Add("Button", IDC_CAS_LABEL + 4, "Items", 212, 62, 100, 100, V | ui::BS_GROUPBOX);
  static const char* const kNames[5] = {"WBC", "RBC", "HGB", "MCV", "PLT"};
  for (int i = 0; i < 5; ++i) {
    const int y = 74 + i * 17;
    t.Add("Static", IDC_CAS_LABEL + 5 + i, kNames[i], 16, y + 2, 30, 10, V);
    t.Add("Edit", IDC_CAS_TARGET + i, "", 50, y, 70, 12, E | (i == 0 ? ui::WS_GROUP : 0));
    t.Add("Static", IDC_CAS_UNIT + i, "", 126, y + 2, 60, 10, V);
    t.Add("Button", IDC_CAS_ITEM + i, kNames[i], 222, y, 60, 10, V | TS | ui::BS_AUTOCHECKBOX | (i == 0 ? ui::WS_GROUP : 0));
  }
  t.Add("Button", IDC_CAS_SAVE, "Save(&S)", 8, 204, 58, 30, V | TS | ui::WS_GROUP);
  t.Add("Button", ui::IDOK, "OK(&O)", 70, 204, 58, 30, V | TS);
  t.Add("Button", IDC_CAS_DELETE, "Delete(&D)", 132, 204, 58, 30, V | TS);
  t.Add("Button", IDC_CAS_HELP, "Help(&H)", 194, 204, 58, 30, V | TS);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 256, 204, 58, 30, V | TS);
  return t;
}

}  // namespace

CCalibAutoSet::CCalibAutoSet(ui::Window* parent) : ui::Dialog(IDD_CALIB_AUTO_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_CALIB_AUTO_SET)) ui::Resources::AddDialog(IDD_CALIB_AUTO_SET, CalibAutoSetTemplate());
}

void CCalibAutoSet::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_CAS_LOT, lot_);
  ui::ExchangeControl(dx, IDC_CAS_YEAR, year_);
  ui::ExchangeControl(dx, IDC_CAS_MONTH, month_);
  ui::ExchangeControl(dx, IDC_CAS_DAY, day_);
  ui::ExchangeControl(dx, IDC_CAS_YEAR_SPIN, yearSpin_);
  ui::ExchangeControl(dx, IDC_CAS_MONTH_SPIN, monthSpin_);
  ui::ExchangeControl(dx, IDC_CAS_DAY_SPIN, daySpin_);
  for (int i = 0; i < 3; ++i) ui::ExchangeControl(dx, IDC_CAS_WHOLE + i, types_[i]);
  for (int i = 0; i < 5; ++i) {
    ui::ExchangeControl(dx, IDC_CAS_TARGET + i, targets_[i]);
    ui::ExchangeControl(dx, IDC_CAS_ITEM + i, items_[i]);
  }
  ui::ExchangeControl(dx, IDC_CAS_SAVE, save_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  ui::ExchangeControl(dx, IDC_CAS_DELETE, delete_);
  ui::ExchangeControl(dx, IDC_CAS_HELP, help_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_CAS_KEYBOARD, keyboard_);
}

bool CCalibAutoSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  yearSpin_.SetRange(2013, 2050);
  monthSpin_.SetRange(0, 12);
  daySpin_.SetRange(0, 31);
  yearSpin_.SetBuddy(&year_);
  monthSpin_.SetBuddy(&month_);
  daySpin_.SetBuddy(&day_);
  year_.SetLimitText(4);
  month_.SetLimitText(2);
  day_.SetLimitText(2);
  for (const std::string& no : ListBatchNumbers(db_)) lot_.AddString(no);
  std::string units[5] = {"10^9/L", "10^12/L", "g/L", "fL", "10^9/L"};
  RecordsetPtr& rs = db_.OpenRecordset("Select * from ParasUnit");
  if (db_.RecordsetOpen() && HasRows(*rs)) {
    ReadField(*rs, "WBC", units[0]);
    ReadField(*rs, "RBC", units[1]);
    ReadField(*rs, "HGB", units[2]);
    ReadField(*rs, "PLT", units[4]);
  }
  db_.CloseRecordset();
  for (int i = 0; i < 5; ++i) SetDlgItemText(IDC_CAS_UNIT + i, units[i]);
  SetWindowText(TextOf(CaliText::BatchTitle, lang));
  SetDlgItemText(IDC_CAS_LABEL + 0, TextOf(CaliText::Lot, lang));
  SetDlgItemText(IDC_CAS_LABEL + 1, TextOf(CaliText::Validity, lang));
  SetDlgItemText(IDC_CAS_LABEL + 2, TextOf(CaliText::SampleType, lang));
  SetDlgItemText(IDC_CAS_LABEL + 3, TextOf(CaliText::Targets, lang));
  SetDlgItemText(IDC_CAS_LABEL + 4, TextOf(CaliText::Items, lang));
  for (int i = 0; i < 3; ++i) types_[i].SetWindowText(BloodTypeName(i, lang));
  save_.SetWindowText(TextOf(CaliText::Save, lang));
  ok_.SetWindowText(TextOf(CaliText::OK, lang));
  delete_.SetWindowText(TextOf(CaliText::Delete, lang));
  help_.SetWindowText(TextOf(CaliText::Help, lang));
  exit_.SetWindowText(TextOf(CaliText::Exit, lang));
  save_.SetBitmaps(399, 400, 487);
  for (CXPButton* b : {&ok_, &delete_, &help_}) b->SetBitmaps(401, 402, 488);
  exit_.SetBitmaps(403, 404, 486);
  for (CTSpinButtonCtrl* s : {&yearSpin_, &monthSpin_, &daySpin_}) s->SetBitmaps(420, 421, 422);
  lot_.SetBitmaps(393, 394, 396);
  keyboard_.SetKeyBitmap(ui::Resources::LoadBitmap(274));
  keyboard_.SizeToContent();
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

bool CCalibAutoSet::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

const draw::Brush* CCalibAutoSet::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

bool CCalibAutoSet::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

std::vector<std::string> CCalibAutoSet::ListedBatches() const {
  std::vector<std::string> out;
  for (int i = 0; i < lot_.GetCount(); ++i) out.push_back(lot_.GetLBText(i));
  return out;
}

std::string CCalibAutoSet::LotText() const { return lot_.GetWindowText(); }

bool CCalibAutoSet::OnCommand(int id, int code, ui::Window* control) {
  if (id == IDC_CAS_LOT && code == ui::CBN_SELCHANGE) {
    OnLotSelChange();
    return true;
  }
  if (code == ui::BN_CLICKED) {
    if (id >= IDC_CAS_WHOLE && id <= IDC_CAS_WHOLE + 2) {
      sampleType_ = id - IDC_CAS_WHOLE;
      return ui::Dialog::OnCommand(id, code, control);
    }
    switch (id) {
      case IDC_CAS_SAVE: OnSave(); return true;
      case IDC_CAS_DELETE: OnDelete(); return true;
      case IDC_CAS_HELP: OpenHelp(); return true;
      case IDC_CAS_KEYBOARD: ShowOnScreenKeyboard(); return true;
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CCalibAutoSet::UpdateParameterChecks(bool toControls) {
  for (int i = 0; i < 5; ++i) {
    if (toControls) {
      items_[i].SendMessage(ui::BM_SETCHECK, selected_[i] ? 1 : 0, 0);
      items_[i].Invalidate(true);
    } else {
      selected_[i] = items_[i].SendMessage(ui::BM_GETCHECK, 0, 0) != 0 ? 1 : 0;
    }
  }
}

void CCalibAutoSet::OnLotSelChange() {
  const int sel = lot_.GetCurSel();
  if (sel < 0) return;
  const std::string no = lot_.GetLBText(sel);
  const LoadedBatch b = LoadBatch(db_, no);
  if (b.found) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : b.expDate + "-") {
      if (c == '-') {
        parts.push_back(cur);
        cur.clear();
      } else {
        cur.push_back(c);
      }
    }
    if (parts.size() >= 3) {
      year_.SetWindowText(parts[0]);
      month_.SetWindowText(parts[1]);
      day_.SetWindowText(parts[2]);
    }
    if (b.hasBloodType && b.bloodType >= 0 && b.bloodType <= 2) {
      sampleType_ = b.bloodType;
      for (int i = 0; i < 3; ++i) types_[i].SendMessage(ui::BM_SETCHECK, i == sampleType_ ? 1 : 0, 0);
    }
    for (int i = 0; i < 5; ++i) {
      if (b.hasTarget[i]) targets_[i].SetWindowText(StrPrintf("%.2f", b.targets[i]));
      if (b.hasSelected[i]) selected_[i] = b.selected[i];
    }
  } else {
    ClearFields();
    return;
  }
  UpdateParameterChecks(true);
}

void CCalibAutoSet::ClearFields() {
  year_.SetWindowText("");
  month_.SetWindowText("");
  day_.SetWindowText("");
  for (CXPEdit& t : targets_) t.SetWindowText("");
  sampleType_ = -1;
  for (int& s : selected_) s = 0;
  UpdateParameterChecks(true);
}

bool CCalibAutoSet::Check(bool forSave, BatchRecord* out) {
  BatchFields f;
  f.lot = LotText();
  f.year = year_.GetWindowText();
  f.month = month_.GetWindowText();
  f.day = day_.GetWindowText();
  for (int i = 0; i < 3; ++i)
    if (types_[i].SendMessage(ui::BM_GETCHECK, 0, 0) != 0) {
      sampleType_ = i;
      break;
    }
  f.sampleType = sampleType_;
  UpdateParameterChecks(false);
  for (int i = 0; i < 5; ++i) {
    f.targets[i] = targets_[i].GetWindowText();
    f.selected[i] = selected_[i];
  }
  const InputCheck c = CheckBatch(f, sys::Clock::Now(), forSave, out);
  if (!c.ok) {
    ui::MessageBox(this, TextOf(c.message, AppSettings.LanguageIndex), "", ui::MB_ICONEXCLAMATION);
    return false;
  }
  for (int i = 0; i < 5; ++i) targets_[i].SetWindowText(f.targets[i]);
  return true;
}

void CCalibAutoSet::OnOK() {
  BatchRecord r;
  if (!Check(false, &r)) return;
  m_strBatchNo = r.batchNo;
  // The caller loads the batch it is handed: it must be stored first.
  if (!SaveBatch(db_, r)) return;
  db_.Disconnect();
  EndDialog(ui::IDOK);
}

void CCalibAutoSet::OnSave() {
  BatchRecord r;
  if (!Check(true, &r)) return;
  const int saved = SaveBatch(db_, r);
  if (saved == 0) return;
  if (saved == 1) lot_.AddString(r.batchNo);
  ui::MessageBox(this, TextOf(CaliText::CalibrationSaved, AppSettings.LanguageIndex), "", ui::MB_ICONINFORMATION);
}

void CCalibAutoSet::OnDelete() {
  const int lang = AppSettings.LanguageIndex;
  const std::string typed = LotText();
  if (typed.empty()) {
    ui::MessageBox(this, TextOf(CaliText::SelectBatchFirst, lang), "", ui::MB_ICONEXCLAMATION);
    return;
  }
  if (ui::MessageBox(this, TextOf(CaliText::DeleteBatchQuestion, lang), "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) !=
      ui::IDOK)
    return;
  db_.Execute(BatchDeleteSql(typed));
  const std::string stored = SqlSafeText(typed);
  for (int i = 0; i < lot_.GetCount(); ++i) {
    const std::string item = lot_.GetLBText(i);
    bool same = item.size() == stored.size();
    for (size_t k = 0; same && k < item.size(); ++k)
      same = std::tolower(static_cast<unsigned char>(item[k])) == std::tolower(static_cast<unsigned char>(stored[k]));
    if (same) {
      lot_.DeleteString(i);
      break;
    }
  }
  lot_.SetWindowText("");
  ClearFields();
}

void RegisterCalibAutoSetScreen() {
  RegisterScreen("CCalibAutoSet", [] {
    CCalibAutoSet s(nullptr);
    return s.DoModal();
  });
}

}  // namespace calibration
