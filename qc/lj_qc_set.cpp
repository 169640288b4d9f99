#include "qc/lj_qc_set.h"

#include <strings.h>

#include "analyzer/serial_window_sink.h"
#include "controls/screen_common.h"
#include "core/write_log.h"
#include "controls/soft_keybd.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "core/utilies.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/lj_qc_para_set.h"
#include "qc/lj_run_result.h"
#include "qc/lj_tables.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/qc_settings_lis.h"
#include "qc/settings_checks.h"

namespace qc {

const int kTargetEditIds[20] = {1183, 1185, 1187, 1189, 1191, 1193, 1195, 1207, 1209, 1221,
                                1215, 1213, 1211, 1219, 1217, 1197, 1199, 1201, 1203, 1205};
const int kLimitEditIds[20] = {1184, 1186, 1188, 1190, 1192, 1194, 1196, 1208, 1210, 1222,
                               1216, 1214, 1212, 1220, 1218, 1198, 1200, 1202, 1204, 1206};

int FileRadioId(int n) { return n <= 10 ? 1222 + n : 1047 + (n - 10); }

namespace {

ui::DialogTemplate LjSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", 1624, "", 2, 2, 56, 200, V | ui::BS_GROUPBOX);
  for (int n = 1; n <= 20; ++n)
    t.Add("Button", FileRadioId(n), "QC " + std::to_string(n), 6 + ((n - 1) / 10) * 26, 10 + ((n - 1) % 10) * 18, 25, 14,
          V | ui::BS_AUTORADIOBUTTON | (n == 1 ? ui::WS_GROUP : 0));
  t.Add("Button", 1929, "", 60, 2, 258, 30, V | ui::BS_GROUPBOX);
  t.Add("Static", 1625, "Lot:", 64, 13, 22, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_LJS_BATCH, "", 88, 11, 66, 13, V | ui::WS_BORDER | ui::ES_AUTOHSCROLL | ui::WS_TABSTOP);
  t.Add("Static", 1626, "Expiry:", 158, 13, 30, 10, V | ui::SS_LEFT);
  const int dateIds[3] = {IDC_LJS_YEAR, IDC_LJS_MONTH, IDC_LJS_DAY}, spinIds[3] = {1154, 1155, 1156}, unitIds[3] = {1033, 1034, 1035};
  const int xs[3] = {190, 234, 272}, ws[3] = {26, 16, 16};
  const char* units[3] = {"Y", "M", "D"};
  for (int i = 0; i < 3; ++i) {
    t.Add("Edit", dateIds[i], "", xs[i], 11, ws[i], 13, V | ui::WS_BORDER | ui::WS_TABSTOP);
    t.Add("UpDown", spinIds[i], "", xs[i] + ws[i], 11, 8, 13, kBuddyNumberSpinStyle);
    t.Add("Static", unitIds[i], units[i], xs[i] + ws[i] + 9, 13, 8, 10, V | ui::SS_LEFT);
  }
  t.Add("Button", 1927, "", 60, 34, 128, 168, V | ui::BS_GROUPBOX);
  t.Add("Button", 1928, "", 190, 34, 128, 168, V | ui::BS_GROUPBOX);
  AddTargetLimitColumns(t, TargetLimitColumns{62, 130, 28, 30, 32, 30, 62, 94});
  const int bIds[6] = {IDC_LJS_SAVE, IDC_LJS_RULES, IDC_LJS_ITEMS, IDC_LJS_DELETE, IDC_LJS_SEND, ui::IDCANCEL};
  for (int i = 0; i < 6; ++i) t.Add("Button", bIds[i], "", 8 + i * 52, 212, 48, 20, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_LJS_KEYBOARD, "", 6, 186, 40, 14, V);
  return t;
}

}  // namespace

CLJQCSet::CLJQCSet(ui::Window* parent) : QcSettingsDialog(IDD_LJ_QC_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_LJ_QC_SET)) ui::Resources::AddDialog(IDD_LJ_QC_SET, LjSetTemplate());
  qFlags_.fill(1);
}

CLJQCSet::~CLJQCSet() { lisPort_.reset(); }

bool CLJQCSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  for (int n = 1; n <= 20; ++n) files_[n - 1].SubclassDlgItem(FileRadioId(n), this);
  SetUpExpirySpins(spins_, {IDC_LJS_YEAR, IDC_LJS_MONTH, IDC_LJS_DAY});
  save_.SubclassDlgItem(IDC_LJS_SAVE, this);
  keyboard_.SubclassKeyboardKey(IDC_LJS_KEYBOARD, this);
  rules_.SubclassDlgItem(IDC_LJS_RULES, this);
  items_.SubclassDlgItem(IDC_LJS_ITEMS, this);
  delete_.SubclassDlgItem(IDC_LJS_DELETE, this);
  send_.SubclassDlgItem(IDC_LJS_SEND, this);
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  LoadQcFileSettings(1);
  ReadQcUnits(conn_, &units_);
  ShowUnits(units_);
  save_.SetWindowText(SaveButtonText(lang));
  rules_.SetWindowText(PickText(lang, "规则(&R)", "Rules(&R)", "Reglas(&R)", "Regles(&R)", "Правила(&R)"));
  items_.SetWindowText(ItemsButtonText(lang));
  delete_.SetWindowText(DeleteButtonText(lang));
  send_.SetWindowText(SettingsSendButtonText(lang));
  exit_.SetWindowText(ExitButtonText(lang));
  save_.SetBitmaps(399, 400, 487);
  for (CXPButton* b : {&rules_, &items_, &delete_, &send_}) b->SetBitmaps(401, 402, 488);
  exit_.SetBitmaps(403, 404, 486);
  SetDlgItemText(1625, PickText(lang, "批号:", "Lot:", "Lote:", "Lot:", "Група №:"));
  SetDlgItemText(1626, PickText(lang, "有效期:", "Expiry:", "Caducidad:", "Expiration:", "Термін:"));
  ShowTargetLimitHeadings(lang);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CLJQCSet::ClearFields() {
  for (int id : {IDC_LJS_BATCH, IDC_LJS_YEAR, IDC_LJS_MONTH, IDC_LJS_DAY}) SetDlgItemText(id, "");
  for (int p = 0; p < 20; ++p) {
    SetDlgItemText(kTargetEditIds[p], "");
    SetDlgItemText(kLimitEditIds[p], "");
  }
}

void CLJQCSet::LoadQcFileSettings(int n) {
  shown_ = n - 1;
  for (int i = 0; i < 20; ++i) files_[i].SendMessage(ui::BM_SETCHECK, i == shown_ ? 1 : 0, 0);
  LjFileSettings s;
  if (!ReadLjFileSettings(conn_, n, &s)) {
    ClearFields();
    // A file without settings starts with every parameter under QC, as its first save stores it.
    qFlags_.fill(1);
    return;
  }
  hasRow_[shown_] = true;
  loadedBatchNo_ = s.batchNo;
  SetDlgItemText(IDC_LJS_BATCH, s.batchNo);
  std::vector<std::string> parts;
  if (!s.expDate.empty()) CUtilies::SplitString(s.expDate, '-', parts);
  SetDlgItemText(IDC_LJS_YEAR, parts.size() > 0 ? parts[0] : "");
  SetDlgItemText(IDC_LJS_MONTH, parts.size() > 1 ? parts[1] : "");
  SetDlgItemText(IDC_LJS_DAY, parts.size() > 2 ? parts[2] : "");
  for (int d = 0; d < 20; ++d) {
    const int st = StoreFromDisplay(d);
    SetDlgItemText(kTargetEditIds[d], SettingValueText(s.targets[st]));
    SetDlgItemText(kLimitEditIds[d], SettingValueText(s.limits[st]));
    qFlags_[d] = s.chosen[st];
  }
}

LjSettingsInput CLJQCSet::ReadControls() {
  LjSettingsInput in;
  in.batch = GetDlgItemText(IDC_LJS_BATCH);
  in.year = GetDlgItemText(IDC_LJS_YEAR);
  in.month = GetDlgItemText(IDC_LJS_MONTH);
  in.day = GetDlgItemText(IDC_LJS_DAY);
  for (int p = 0; p < 20; ++p) {
    in.values[2 * p] = GetDlgItemText(kTargetEditIds[p]);
    in.values[2 * p + 1] = GetDlgItemText(kLimitEditIds[p]);
  }
  in.chosen = qFlags_;
  return in;
}

bool CLJQCSet::CheckInput(LjSettingsInput* in, std::string* expDate) {
  const sys::LocalTime now = sys::Clock::Now();
  const LjInputError e = CheckLjSettingsInput(*in, now.year, now.month, now.day, expDate);
  if (e == LjInputError::None) return true;
  if (e == LjInputError::Expired && AppSettings.LanguageIndex == 0) WriteLog("质控物已过期, 请更换质控物");
  ui::MessageBox(this, LjInputMessage(e, AppSettings.LanguageIndex), AppSettings.ProductName, ui::MB_ICONWARNING);
  return false;
}

void CLJQCSet::OnSave() {
  LjSettingsInput in = ReadControls();
  std::string exp;
  if (!CheckInput(&in, &exp)) return;
  LjFileSettings s;
  s.fileNo = shown_ + 1;
  s.batchNo = TrimBlanks(in.batch);
  s.expDate = exp;
  for (int d = 0; d < 20; ++d) {
    s.targets[StoreFromDisplay(d)] = StoredSettingValue(in.values[2 * d]);
    s.limits[StoreFromDisplay(d)] = StoredSettingValue(in.values[2 * d + 1]);
  }
  const int lang = AppSettings.LanguageIndex;
  int ok = 0;
  if (!hasRow_[shown_]) {
    ok = conn_.Execute(LjSettingsInsertSql(s));
    if (ok) hasRow_[shown_] = true;
  } else {
    ok = conn_.Execute(LjSettingsUpdateSql(s));
  }
  // A new batch starts a new series: the old batch's results go.
  if (ok && strcasecmp(s.batchNo.c_str(), loadedBatchNo_.c_str()) != 0)
    ok = conn_.Execute(StrPrintf("delete from LJQCRunResult where QcFileNo=%d", s.fileNo));
  // The stored batch is now this one: saving it again starts no new series.
  if (ok) loadedBatchNo_ = s.batchNo;
  // The data store reported its own failure; only a save that went through is announced.
  if (ok) QcMessage(this, PickText(lang, "设置数据已保存!", "Setting data saved!", "Datos guardados!", "Donnees enregistrees!", "Дані збережено!"),
                    ui::MB_ICONINFORMATION);
}

void CLJQCSet::OnDelete() {
  DeleteFileSettings(conn_, hasRow_[shown_], "LJQCSet", "LJQCRunResult", shown_ + 1, [this] {
    hasRow_[shown_] = false;
    ClearFields();
  });
}

void CLJQCSet::OnSend() {
  const int lang = AppSettings.LanguageIndex;
  const int kind = LisLinkState.LinkKind;
  if (kind == 1 && !LisLinkState.LisConnected.load()) {
    QcMessage(this, "Fail to connect LIS", ui::MB_OK);
    return;
  }
  if (kind == 0 && !OpenSettingsLisPort(this, conn_, lisPort_, send_, lang)) return;
  // The LIS gets the file's settings as saved: edits not saved yet do not go out, so the LIS
  // never holds settings this analyzer does not.
  LjFileSettings saved;
  if (!ReadLjFileSettings(conn_, shown_ + 1, &saved)) {
    QcMessage(this, NoDataInFileText(lang), ui::MB_ICONWARNING);
    return;
  }
  std::array<std::string, 20> units;
  for (int d = 0; d < 20; ++d) units[StoreFromDisplay(d)] = units_[d];
  if (kind == 1) {
    SendSettingsToLis(this, lis::BuildLjQcSettingsMessage(LjSettingsLisRecord(saved, units)), lang);
    return;
  }
  if (kind != 0) return;  // no LIS link: nothing to send
  std::array<std::string, 40> values;
  for (int st = 0; st < 20; ++st) {
    values[2 * st] = SettingValueText(saved.targets[st]);
    values[2 * st + 1] = SettingValueText(saved.limits[st]);
  }
  QueueSettingsRecord(this, *lisPort_, LjSettingsTextRecord(shown_ + 1, saved.batchNo, saved.expDate, values, units), lang);
}

bool CLJQCSet::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    if (const int n = FileOfRadio(id)) {
      LoadQcFileSettings(n);
      return true;
    }
    switch (id) {
      case IDC_LJS_SAVE: OnSave(); return true;
      case IDC_LJS_DELETE: OnDelete(); return true;
      case IDC_LJS_SEND: OnSend(); return true;
      case IDC_LJS_KEYBOARD: ShowOnScreenKeyboard(); return true;
      case IDC_LJS_RULES: {
        CWestgard dlg(nullptr);
        dlg.SetQcFileNo(shown_ + 1);
        if (dlg.DoModal() == ui::IDOK) hasRow_[shown_] = true;
        return true;
      }
      case IDC_LJS_ITEMS: {
        CLJQCParaSet dlg(nullptr);
        dlg.SetQcFileNo(shown_ + 1);
        if (dlg.DoModal() == ui::IDOK) {
          hasRow_[shown_] = true;
          qFlags_ = dlg.choices();
        }
        return true;
      }
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

}  // namespace qc
