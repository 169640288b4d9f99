#include "qc/xb_qc_set.h"

#include "analyzer/serial_window_sink.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "core/value_format.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/lj_qc_para_set.h"
#include "qc/choice_boxes.h"
#include "qc/lj_qc_set.h"
#include "qc/lj_run_result.h"
#include "qc/lj_settings_input.h"
#include "qc/lj_tables.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/qc_settings_lis.h"
#include "qc/xb_settings_input.h"

namespace qc {
namespace {

ui::DialogTemplate XbSetTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", 1658, "", 2, 2, 316, 30, V | ui::BS_GROUPBOX);
  t.Add("Static", 2019, "Basic settings", 8, 6, 80, 10, V | ui::SS_LEFT);
  t.Add("Static", 1659, "Number/Group(20-200)", 8, 18, 100, 10, V | ui::SS_LEFT);
  t.Add("Edit", IDC_XBS_SAMPLES, "", 110, 16, 36, 13, V | ui::WS_BORDER | ui::WS_TABSTOP);
  t.Add("Static", 1660, "X-B Analysis", 170, 18, 60, 10, V | ui::SS_LEFT);
  t.Add("Button", IDC_XBS_SWITCH, "OFF", 234, 15, 40, 15, V | ui::WS_TABSTOP);
  t.Add("Button", 1661, "", 2, 34, 157, 172, V | ui::BS_GROUPBOX);
  t.Add("Button", 2020, "", 161, 34, 157, 172, V | ui::BS_GROUPBOX);
  AddTargetLimitColumns(t, TargetLimitColumns{6, 159, 30, 36, 40, 32, 72, 112});
  const int ids[6] = {IDC_XBS_SAVE, IDC_XBS_ITEMS, IDC_XBS_SEND, IDC_XBS_DELETE, IDC_XBS_HELP, ui::IDCANCEL};
  for (int i = 0; i < 6; ++i) t.Add("Button", ids[i], "", 8 + i * 52, 212, 48, 20, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_XBS_KEYBOARD, "", 282, 16, 30, 13, V);
  return t;
}

ui::DialogTemplate XbParaTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(237, 176);
  t.Add("Button", 2017, "", 4, 4, 229, 168, V | ui::BS_GROUPBOX);
  t.Add("Static", 1925, "Please select a parameter which need QC", 12, 8, 210, 10, V | ui::SS_LEFT);
  t.Add("Button", 2018, "", 12, 20, 213, 120, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 20; ++i)
    t.Add("Button", IDC_PARA_CHECK0 + i, kDisplayNames[i], 22 + (i / 10) * 100, 26 + (i % 10) * 11, 90, 10,
          V | ui::BS_AUTOCHECKBOX | ui::WS_TABSTOP);
  t.Add("Button", ui::IDOK, "OK", 50, 146, 56, 20, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Cancel", 130, 146, 56, 20, V | ui::WS_TABSTOP);
  return t;
}

// The 20 choice flags of the row, display order; all chosen without a row.
bool ReadXbChoices(CADOConn& conn, std::array<int, 20>* chosen) {
  chosen->fill(1);
  RecordsetPtr& rs = conn.OpenRecordset("select * from XBQCSet");
  const bool found = conn.RecordsetOpen() && HasRows(*rs);
  if (found) {
    for (int d = 0; d < 20; ++d) {
      int64_t v = 0;
      (*chosen)[d] = ReadField(*rs, StrPrintf("Q%d", StoreFromDisplay(d) + 1), v) && (v & 0xFF) == 1 ? 1 : 0;
    }
  }
  conn.CloseRecordset();
  return found;
}

}  // namespace

CXBQCParaSet::CXBQCParaSet(ui::Window* parent) : ui::Dialog(IDD_XB_QC_PARA_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_XB_QC_PARA_SET)) ui::Resources::AddDialog(IDD_XB_QC_PARA_SET, XbParaTemplate());
}

bool CXBQCParaSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  SetDlgItemText(1925, PickText(lang, "请选择需要做质控的参数", "Please select a parameter which need QC",
                                "Por favor elija parametro que necesite control de calidad",
                                "Selectionner un parametre qui necessite un CQ", "Будь ласка, виберіть параметр необхідний для КЯ"));
  std::array<int, 20> chosen{};
  rowExists_ = ReadXbChoices(conn_, &chosen);
  SetUpParameterBoxes(this, boxes_, chosen);
  SetUpOkCancel(this, ok_, cancel_, lang);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CXBQCParaSet::OnOK() {
  const std::array<int, 20> ticked = TickedParameters(boxes_);
  std::array<int, 20> store{};
  for (int d = 0; d < 20; ++d) store[StoreFromDisplay(d)] = ticked[d];
  std::string sql;
  if (rowExists_) {
    sql = "update XBQCSet set ";
    for (int i = 0; i < 20; ++i) sql += StrPrintf("%sQ%d=%d", i ? "," : "", i + 1, store[i]);
  } else {
    sql = "insert into XBQCSet values(20,0";
    for (int i = 0; i < 40; ++i) sql += ",0.00";
    for (int q : store) sql += StrPrintf(",%d", q);
    sql += ")";
  }
  const int ok = conn_.Execute(sql);
  conn_.Disconnect();
  EndDialog(ok ? ui::IDOK : ui::IDCANCEL);
}

void CXBQCParaSet::OnCancel() {
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

CXBQcSet::CXBQcSet(ui::Window* parent) : QcSettingsDialog(IDD_XB_QC_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_XB_QC_SET)) ui::Resources::AddDialog(IDD_XB_QC_SET, XbSetTemplate());
  chosen_.fill(1);
}

CXBQcSet::~CXBQcSet() { lisPort_.reset(); }

bool CXBQcSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  save_.SubclassDlgItem(IDC_XBS_SAVE, this);
  keyboard_.SubclassKeyboardKey(IDC_XBS_KEYBOARD, this);
  items_.SubclassDlgItem(IDC_XBS_ITEMS, this);
  send_.SubclassDlgItem(IDC_XBS_SEND, this);
  delete_.SubclassDlgItem(IDC_XBS_DELETE, this);
  help_.SubclassDlgItem(IDC_XBS_HELP, this);
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  switch_.SubclassDlgItem(IDC_XBS_SWITCH, this);
  ReadQcUnits(conn_, &units_);
  ShowUnits(units_);
  SetDlgItemText(IDC_XBS_SAMPLES, "20");
  Load();
  SetWindowText(PickText(lang, "X-B质控设置", "X-B QC Setting", "Configuracion X-B", "Reglages X-B", "Налаштування X-B"));
  SetDlgItemText(2019, PickText(lang, "基本设置", "Basic settings", "Configuracion basica", "Reglages de base", "Основні налаштування"));
  SetDlgItemText(1659, PickText(lang, "样本数/组(20-200)", "Number/Group(20-200)", "Numero/Grupo(20-200)", "Nombre/Groupe(20-200)",
                                "Кількість/Група(20-200)"));
  SetDlgItemText(1660, PickText(lang, "X-B分析", "X-B Analysis", "Analisis X-B", "Analyse X-B", "Аналіз X-B"));
  ShowTargetLimitHeadings(lang);
  save_.SetWindowText(SaveButtonText(lang));
  items_.SetWindowText(ItemsButtonText(lang));
  send_.SetWindowText(SettingsSendButtonText(lang));
  delete_.SetWindowText(DeleteButtonText(lang));
  help_.SetWindowText(HelpButtonText(lang));
  exit_.SetWindowText(ExitButtonText(lang));
  save_.SetBitmaps(466, 465, 464);
  for (CXPButton* b : {&items_, &send_, &delete_, &help_}) b->SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);
  switch_.SetBitmaps(498, 500, 499);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CXBQcSet::ShowSwitch() { switch_.SetWindowText(isOn_ == 1 ? "ON" : "OFF"); }

void CXBQcSet::Load() {
  RecordsetPtr& rs = conn_.OpenRecordset("Select * from XBQCSet");
  if (conn_.RecordsetOpen() && HasRows(*rs)) {
    rowExists_ = true;
    int32_t n = 20;
    if (ReadField(*rs, "SampleNum", n)) sampleNum_ = n;
    uint8_t on = 0;
    if (ReadField(*rs, "IsOn", on)) isOn_ = on;
    for (int d = 0; d < 20; ++d) {
      const std::string stem = kSetStems[StoreFromDisplay(d)];
      values_[2 * d] = 0;
      values_[2 * d + 1] = 0;
      ReadField(*rs, stem + "RV", values_[2 * d]);
      ReadField(*rs, stem + "LV", values_[2 * d + 1]);
    }
    SetDlgItemText(IDC_XBS_SAMPLES, std::to_string(sampleNum_));
    for (int d = 0; d < 20; ++d) {
      SetDlgItemText(kTargetEditIds[d], StrPrintf("%g", static_cast<double>(values_[2 * d])));
      SetDlgItemText(kLimitEditIds[d], StrPrintf("%g", static_cast<double>(values_[2 * d + 1])));
    }
  }
  conn_.CloseRecordset();
  ReadXbChoices(conn_, &chosen_);
  ShowSwitch();
}

void CXBQcSet::OnSave() {
  const int lang = AppSettings.LanguageIndex;
  std::array<std::string, 40> texts;
  for (int d = 0; d < 20; ++d) {
    texts[2 * d] = GetDlgItemText(kTargetEditIds[d]);
    texts[2 * d + 1] = GetDlgItemText(kLimitEditIds[d]);
  }
  int n = 0;
  const XbInputError e = CheckXbSettingsInput(GetDlgItemText(IDC_XBS_SAMPLES), texts, chosen_, &n);
  if (e != XbInputError::None) {
    QcMessage(this, XbInputMessage(e, lang), ui::MB_ICONWARNING);
    return;
  }
  std::array<float, 40> values{};
  for (int i = 0; i < 40; ++i) {
    const float v = IsTypedNumber(texts[i]) ? std::strtof(texts[i].c_str(), nullptr) : 0.0f;
    values[i] = v < 0.001f ? 0.0f : v;
  }
  std::string sql;
  if (!rowExists_) {
    sql = "insert into XBQCSet(SampleNum,IsOn";
    for (int s = 0; s < 20; ++s) sql += StrPrintf(",%sRV,%sLV", kSetStems[s], kSetStems[s]);
    // The new row also carries the parameter choice the screen shows (all of them until the
    // operator chose), so the test screen does not take it for no parameter at all.
    for (int s = 0; s < 20; ++s) sql += StrPrintf(",Q%d", s + 1);
    sql += StrPrintf(") values(%d,%d", n, isOn_);
    for (int s = 0; s < 20; ++s) {
      const int d = DisplayFromStore(s);
      sql += StrPrintf(",%f,%f", static_cast<double>(values[2 * d]), static_cast<double>(values[2 * d + 1]));
    }
    for (int s = 0; s < 20; ++s) sql += StrPrintf(",%d", chosen_[DisplayFromStore(s)]);
    sql += ")";
  } else {
    sql = StrPrintf("update XBQCSet set SampleNum=%d,IsOn=%d", n, isOn_);
    for (int s = 0; s < 20; ++s) {
      const int d = DisplayFromStore(s);
      sql += StrPrintf(",%sRV=%f,%sLV=%f", kSetStems[s], static_cast<double>(values[2 * d]), kSetStems[s],
                       static_cast<double>(values[2 * d + 1]));
    }
  }
  if (!conn_.Execute(sql)) return;  // the data store reported it; nothing is announced
  rowExists_ = true;
  sampleNum_ = n;
  values_ = values;  // what a later Send transmits: the saved settings
  QcMessage(this, PickText(lang, "设置数据已保存!", "Setting data saved!", "Datos guardados!", "Donnees enregistrees!", "Дані збережено!"),
            ui::MB_ICONINFORMATION);
}

namespace {
std::string NoXbSettingsText(int l) {
  return PickText(l, "没有X-B质控设置数据!", "No Setting data for X-B quality control!", "Sin datos de configuracion X-B!",
                  "Pas de reglages pour le CQ X-B!", "Немає налаштувань для X-B КЯ!");
}
}  // namespace

void CXBQcSet::OnDelete() {
  const int lang = AppSettings.LanguageIndex;
  if (!rowExists_) {
    QcMessage(this, NoXbSettingsText(lang), ui::MB_ICONWARNING);
    return;
  }
  if (QcMessage(this, PickText(lang, "确定删除X-B质控数据?", "Are your sure to delete X-B QC data?", "Seguro que desea borrar los datos X-B?",
                               "Voulez-vous vraiment effacer les donnees X-B?", "Ви впевнені, що хочете видалити дані X-B КЯ?"),
                ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  if (!conn_.Execute("delete from XBQCSet")) return;
  rowExists_ = false;
  SetDlgItemText(IDC_XBS_SAMPLES, "");
  for (int d = 0; d < 20; ++d) {
    SetDlgItemText(kTargetEditIds[d], "");
    SetDlgItemText(kLimitEditIds[d], "");
  }
  if (!conn_.Execute("delete from XBQCRunResult")) return;
  QcMessage(this, PickText(lang, "质控数据已删除!", "Data of QC deleted!", "Datos de QC borrados!", "Donnees CQ effacees!", "Дані КЯ видалено!"),
            ui::MB_ICONINFORMATION);
}

void CXBQcSet::OnSend() {
  const int lang = AppSettings.LanguageIndex;
  // The LIS gets the settings as last loaded or saved, in table order.
  std::array<float, 40> store{};
  std::array<std::string, 20> units;
  for (int d = 0; d < 20; ++d) {
    const int st = StoreFromDisplay(d);
    store[2 * st] = values_[2 * d];
    store[2 * st + 1] = values_[2 * d + 1];
    units[st] = units_[d];
  }
  if (LisLinkState.LinkKind == 1) {
    if (!rowExists_) {
      QcMessage(this, NoXbSettingsText(lang), ui::MB_ICONWARNING);
      return;
    }
    SendSettingsToLis(this, lis::BuildXbQcSettingsMessage(XbSettingsLisRecord(store, units)), lang);
    return;
  }
  if (!OpenSettingsLisPort(this, conn_, lisPort_, send_, lang)) return;
  QueueSettingsRecord(this, *lisPort_, XbSettingsTextRecord(sampleNum_, store, units), lang);
}

bool CXBQcSet::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    switch (id) {
      case IDC_XBS_SAVE: OnSave(); return true;
      case IDC_XBS_DELETE: OnDelete(); return true;
      case IDC_XBS_SEND: OnSend(); return true;
      case IDC_XBS_HELP: OpenHelp(); return true;
      case IDC_XBS_KEYBOARD: ShowOnScreenKeyboard(); return true;
      case IDC_XBS_SWITCH:
        isOn_ = isOn_ == 1 ? 0 : 1;
        ShowSwitch();
        return true;
      case IDC_XBS_ITEMS: {
        CXBQCParaSet dlg(this);
        if (dlg.DoModal() == ui::IDOK) {
          rowExists_ = true;
          ReadXbChoices(conn_, &chosen_);
        }
        return true;
      }
      default: break;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

}  // namespace qc
