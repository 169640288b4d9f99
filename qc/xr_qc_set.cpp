#include "qc/xr_qc_set.h"

#include "analyzer/serial_window_sink.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "core/utilies.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/lj_qc_set.h"
#include "qc/lj_run_result.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/qc_settings_lis.h"
#include "qc/xr_settings_input.h"

namespace qc {
namespace {

ui::DialogTemplate XrSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", 2022, "", 2, 2, 316, 204, V | ui::BS_GROUPBOX);
  t.Add("Static", 2023, "Control No.", 10, 8, 100, 10, V | ui::SS_LEFT);
  t.Add("Button", 1624, "", 6, 18, 308, 90, V | ui::BS_GROUPBOX);
  for (int n = 1; n <= 20; ++n)
    t.Add("Button", FileRadioId(n), "QC " + std::to_string(n), 14 + ((n - 1) % 5) * 60, 24 + ((n - 1) / 5) * 20, 50, 14,
          V | ui::BS_AUTORADIOBUTTON | (n == 1 ? ui::WS_GROUP : 0));
  t.Add("Button", 2024, "", 6, 112, 308, 90, V | ui::BS_GROUPBOX);
  t.Add("Static", 1152, "Lot:", 14, 122, 60, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_XRS_BATCH, "", 80, 120, 80, 13, V | ui::WS_BORDER | ui::ES_AUTOHSCROLL | ui::WS_TABSTOP);
  t.Add("Static", 1647, "Validity:", 14, 142, 60, 10, V | ui::SS_LEFT);
  const int dateIds[3] = {IDC_XRS_YEAR, IDC_XRS_MONTH, IDC_XRS_DAY}, spinIds[3] = {1154, 1155, 1156};
  const int unitIds[3] = {1567, 1654, 1655}, xs[3] = {80, 132, 172}, ws[3] = {30, 18, 18};
  const char* units[3] = {"Y", "M", "D"};
  for (int i = 0; i < 3; ++i) {
    t.Add("Edit", dateIds[i], "", xs[i], 140, ws[i], 13, V | ui::WS_BORDER | ui::WS_TABSTOP);
    t.Add("UpDown", spinIds[i], "", xs[i] + ws[i], 140, 8, 13, kBuddyNumberSpinStyle);
    t.Add("Static", unitIds[i], units[i], xs[i] + ws[i] + 9, 142, 8, 10, V | ui::SS_LEFT);
  }
  t.Add("Static", 1656, "Group num.:", 14, 162, 100, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_XRS_GROUPS, "", 120, 160, 24, 13, V | ui::WS_BORDER | ui::WS_TABSTOP);
  t.Add("Static", 1657, "Sample num per group:", 14, 182, 100, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_XRS_PER_GROUP, "", 120, 180, 24, 13, V | ui::WS_BORDER | ui::WS_TABSTOP);
  t.Add("Button", IDC_XRS_KEYBOARD, "", 250, 180, 40, 14, V);
  const int bIds[5] = {IDC_XRS_SAVE, IDC_XRS_SEND, IDC_XRS_DELETE, IDC_XRS_HELP, ui::IDCANCEL};
  for (int i = 0; i < 5; ++i) t.Add("Button", bIds[i], "", 10 + i * 62, 212, 54, 20, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

CXRQCSet::CXRQCSet(ui::Window* parent) : QcSettingsDialog(IDD_XR_QC_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_XR_QC_SET)) ui::Resources::AddDialog(IDD_XR_QC_SET, XrSetTemplate());
}

CXRQCSet::~CXRQCSet() { lisPort_.reset(); }

bool CXRQCSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  for (int n = 1; n <= 20; ++n) {
    files_[n - 1].SubclassDlgItem(FileRadioId(n), this);
    files_[n - 1].SetWindowText(StrPrintf(lang == 3 ? "CQ %d" : "QC %d", n));
  }
  SetUpExpirySpins(spins_, {IDC_XRS_YEAR, IDC_XRS_MONTH, IDC_XRS_DAY});
  save_.SubclassDlgItem(IDC_XRS_SAVE, this);
  keyboard_.SubclassKeyboardKey(IDC_XRS_KEYBOARD, this);
  send_.SubclassDlgItem(IDC_XRS_SEND, this);
  delete_.SubclassDlgItem(IDC_XRS_DELETE, this);
  help_.SubclassDlgItem(IDC_XRS_HELP, this);
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  LoadFile(1);
  save_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&send_, &delete_, &help_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);
  save_.SetWindowText(SaveButtonText(lang));
  send_.SetWindowText(SettingsSendButtonText(lang));
  delete_.SetWindowText(DeleteButtonText(lang));
  help_.SetWindowText(HelpButtonText(lang));
  exit_.SetWindowText(ExitButtonText(lang));
  SetDlgItemText(2023, PickText(lang, "质控文件", "Control No.", "Control No.", "Controle No.", "Контроль №"));
  SetDlgItemText(1152, PickText(lang, "批号:", "Lot:", "Lote:", "Lot:", "Група №:"));
  SetDlgItemText(1647, PickText(lang, "有效期:", "Validity:", "Caducidad:", "Validite:", "Термін дії:"));
  SetDlgItemText(1567, PickText(lang, "年", "Y", "A", "A", "Р"));
  SetDlgItemText(1654, PickText(lang, "月", "M", "M", "M", "М"));
  SetDlgItemText(1655, PickText(lang, "日", "D", "D", "J", "Д"));
  SetDlgItemText(1656, PickText(lang, "组数:", "Group num.:", "Num. grupos:", "Nb groupes:", "К-сть груп:"));
  SetDlgItemText(1657, PickText(lang, "每组样本数:", "Sample num per group:", "Muestras por grupo:", "Echant. par groupe:",
                                "Зразків у групі:"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CXRQCSet::SetFields(const std::string& batch, const std::string& y, const std::string& m, const std::string& d,
                         const std::string& groups, const std::string& perGroup) {
  SetDlgItemText(IDC_XRS_BATCH, batch);
  SetDlgItemText(IDC_XRS_YEAR, y);
  SetDlgItemText(IDC_XRS_MONTH, m);
  SetDlgItemText(IDC_XRS_DAY, d);
  SetDlgItemText(IDC_XRS_GROUPS, groups);
  SetDlgItemText(IDC_XRS_PER_GROUP, perGroup);
}

void CXRQCSet::LoadFile(int n) {
  shown_ = n - 1;
  for (int i = 0; i < 20; ++i) files_[i].SendMessage(ui::BM_SETCHECK, i == shown_ ? 1 : 0, 0);
  std::string batch, exp, y, m, d, groups = "20", perGroup = "5";
  RecordsetPtr& rs = conn_.OpenRecordset(StrPrintf("Select * from XRQCSet where QcFileNo = %d", n));
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    saved_[shown_] = true;
    ReadField(*rs, "BatchNo", batch);
    if (ReadField(*rs, "ExpDate", exp)) {
      std::vector<std::string> parts;
      CUtilies::SplitString(exp, '-', parts);
      if (parts.size() >= 3) {
        y = parts[0];
        m = parts[1];
        d = parts[2];
      }
    }
    uint8_t g = 0, k = 0;
    if (ReadField(*rs, "GroupNum", g)) groups = std::to_string(g);
    if (ReadField(*rs, "NumPerGroup", k)) perGroup = std::to_string(k);
  }
  conn_.CloseRecordset();
  SetFields(batch, y, m, d, groups, perGroup);
}

void CXRQCSet::OnSave() {
  const int lang = AppSettings.LanguageIndex;
  XrSettingsInput in{GetDlgItemText(IDC_XRS_BATCH), GetDlgItemText(IDC_XRS_YEAR), GetDlgItemText(IDC_XRS_MONTH),
                     GetDlgItemText(IDC_XRS_DAY), GetDlgItemText(IDC_XRS_GROUPS), GetDlgItemText(IDC_XRS_PER_GROUP)};
  std::string exp;
  int groups = 0, perGroup = 0;
  const sys::LocalTime now = sys::Clock::Now();
  const XrInputError e = CheckXrSettingsInput(in, now.year, now.month, now.day, &exp, &groups, &perGroup);
  if (e != XrInputError::None) {
    if (e == XrInputError::Expired && lang == 0) WriteLog("质控物已过期, 请更换质控物");
    QcMessage(this, XrInputMessage(e, lang), ui::MB_ICONWARNING);
    return;
  }
  const int n = shown_ + 1;
  int ok = 0;
  if (saved_[shown_]) {
    ok = conn_.Execute(StrPrintf("update XRQCSet set BatchNo='%s',ExpDate='%s',GroupNum=%d,NumPerGroup=%d where QcFileNo=%d",
                                 in.batch.c_str(), exp.c_str(), groups, perGroup, n));
  } else {
    ok = conn_.Execute(StrPrintf("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(%d,'%s','%s',%d,%d)",
                                 n, in.batch.c_str(), exp.c_str(), groups, perGroup));
    if (ok) saved_[shown_] = true;
  }
  // Only a save the data store took is announced (it reported its own failure).
  if (ok) QcMessage(this, PickText(lang, "质控数据已保存!", "The QC data saved!", "Datos de QC guardados!", "Donnees CQ enregistrees!",
                                   "Дані КЯ збережено!"),
                    ui::MB_ICONINFORMATION);
}

void CXRQCSet::OnDelete() {
  DeleteFileSettings(conn_, saved_[shown_], "XRQCSet", "XRQCRunResult", shown_ + 1, [this] {
    saved_[shown_] = false;
    SetFields("", "", "", "", "", "");
  });
}

void CXRQCSet::OnSend() {
  const int lang = AppSettings.LanguageIndex;
  const int kind = LisLinkState.LinkKind;
  if (kind == 1 && !LisLinkState.LisConnected.load()) {
    QcMessage(this, "Fail to connect LIS", ui::MB_OK);
    return;
  }
  if (kind == 0 && !OpenSettingsLisPort(this, conn_, lisPort_, send_, lang)) return;
  // The LIS gets the file's settings as saved: edits not saved yet do not go out, so the LIS
  // never holds settings this analyzer does not.
  std::string batch, exp;
  uint8_t groups = 0, perGroup = 0;
  bool found = false;
  RecordsetPtr& rs = conn_.OpenRecordset(StrPrintf("Select * from XRQCSet where QcFileNo = %d", shown_ + 1));
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    found = true;
    ReadField(*rs, "BatchNo", batch);
    ReadField(*rs, "ExpDate", exp);
    ReadField(*rs, "GroupNum", groups);
    ReadField(*rs, "NumPerGroup", perGroup);
  }
  conn_.CloseRecordset();
  if (!found) {
    QcMessage(this, NoDataInFileText(lang), ui::MB_ICONWARNING);
    return;
  }
  std::array<std::string, 20> display, store;
  ReadQcUnits(conn_, &display);
  for (int d = 0; d < 20; ++d) store[StoreFromDisplay(d)] = display[d];
  if (kind == 1) {
    SendSettingsToLis(this, lis::BuildXrQcSettingsMessage(XrSettingsLisRecord(shown_ + 1, batch, exp, store)), lang);
    return;
  }
  if (kind != 0) return;  // no LIS link: nothing to send
  QueueSettingsRecord(this, *lisPort_, XrSettingsTextRecord(shown_ + 1, batch, exp, groups, perGroup, store), lang);
}

bool CXRQCSet::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    if (const int n = FileOfRadio(id)) {
      LoadFile(n);
      return true;
    }
    switch (id) {
      case IDC_XRS_SAVE: OnSave(); return true;
      case IDC_XRS_DELETE: OnDelete(); return true;
      case IDC_XRS_SEND: OnSend(); return true;
      case IDC_XRS_HELP: OpenHelp(); return true;
      case IDC_XRS_KEYBOARD: ShowOnScreenKeyboard(); return true;
      default: break;
    }
  }
  if (id == ui::IDCANCEL && code == ui::BN_CLICKED) conn_.Disconnect();
  return ui::Dialog::OnCommand(id, code, control);
}

}  // namespace qc
