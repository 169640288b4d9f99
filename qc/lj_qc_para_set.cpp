#include "qc/lj_qc_para_set.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/choice_boxes.h"
#include "qc/lj_tables.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"

namespace qc {
namespace {

ui::DialogTemplate ParaTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(237, 176);
  t.Add("Button", 1980, "", 4, 4, 229, 168, V | ui::BS_GROUPBOX);
  t.Add("Button", 1981, "", 12, 12, 213, 126, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 20; ++i)
    t.Add("Button", IDC_PARA_CHECK0 + i, kDisplayNames[i], 22 + (i / 10) * 100, 18 + (i % 10) * 12, 90, 11,
          V | ui::BS_AUTOCHECKBOX | ui::WS_TABSTOP);
  t.Add("Button", ui::IDOK, "OK", 50, 146, 56, 20, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Cancel", 130, 146, 56, 20, V | ui::WS_TABSTOP);
  return t;
}

ui::DialogTemplate RuleTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(273, 128);
  t.Add("Button", 2010, "", 4, 4, 265, 120, V | ui::BS_GROUPBOX);
  t.Add("Static", 2009, "QC Rule", 12, 10, 240, 12, V | ui::SS_LEFT);
  t.Add("Button", 1704, "", 12, 22, 249, 68, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 4; ++i)
    t.Add("Button", IDC_RULE_CHECK0 + i, "", 18, 28 + i * 15, 238, 12, V | ui::BS_AUTOCHECKBOX | ui::WS_TABSTOP);
  t.Add("Button", ui::IDOK, "OK", 70, 98, 56, 20, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Cancel", 150, 98, 56, 20, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

CLJQCParaSet::CLJQCParaSet(ui::Window* parent) : ui::Dialog(IDD_LJ_QC_PARA_SET, parent) {
  if (!ui::Resources::FindDialog(IDD_LJ_QC_PARA_SET)) ui::Resources::AddDialog(IDD_LJ_QC_PARA_SET, ParaTemplate());
  choices_.fill(1);
}

bool CLJQCParaSet::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  LjFileSettings s;
  rowExists_ = ReadLjFileSettings(conn_, fileNo_, &s);
  for (int d = 0; d < 20; ++d) choices_[d] = rowExists_ ? s.chosen[StoreFromDisplay(d)] : 1;
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "请选择需要做质控的参数", "Please select a parameter which need QC",
                         "Por favor elija parametro que necesite control de calidad", "Selectionner un parametre qui necessite un CQ",
                         "Будь ласка, виберіть параметр необхідний для КЯ"));
  SetUpOkCancel(this, ok_, cancel_, lang);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  SetUpParameterBoxes(this, boxes_, choices_);
  return true;
}

void CLJQCParaSet::OnOK() {
  choices_ = TickedParameters(boxes_);
  std::array<int, 20> store{};
  for (int d = 0; d < 20; ++d) store[StoreFromDisplay(d)] = choices_[d];
  int ok = 0;
  if (rowExists_) {
    ok = conn_.Execute(LjChoiceUpdateSql(fileNo_, store));
  } else {
    LjFileSettings s;
    s.fileNo = fileNo_;
    s.chosen = store;
    ok = conn_.Execute(LjSettingsInsertSql(s, true));
  }
  conn_.Disconnect();
  // A choice the data store refused was reported by it; the caller keeps what it had.
  EndDialog(ok ? ui::IDOK : ui::IDCANCEL);
}

void CLJQCParaSet::OnCancel() {
  conn_.Disconnect();
  EndDialog(ui::IDCANCEL);
}

CWestgard::CWestgard(ui::Window* parent) : ui::Dialog(IDD_WESTGARD, parent) {
  if (!ui::Resources::FindDialog(IDD_WESTGARD)) ui::Resources::AddDialog(IDD_WESTGARD, RuleTemplate());
}

bool CWestgard::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  LjFileSettings s;
  rowExists_ = ReadLjFileSettings(conn_, fileNo_, &s);
  conn_.Disconnect();
  const int lang = AppSettings.LanguageIndex;
  static const char* const kRules[4][5] = {
      {"一次超出3SD", "Once exceed 3SD", "Sobrepasa 3SD", "Si superieur une fois 3DS", "Одного разу результат вийшов за 3SD"},
      {"连续两次超出2SD", "Consecutive twice exceed 2SD", "Sobrepasa 2SD,dos veces consecutivamente",
       "Si superieur deux fois 2DS successivement", "Двічі вихід за 2SD"},
      {"5次连续处于一侧的SD到2SD之间", "Consecutive 5 times at the same side of bias between 1SD and 2SD",
       "Cinco veces consecutivamente,entre 1SD y 2SD,del mismo lado",
       "Superieur cinq fois successivement situe entre 1SD et 2SD du meme cote", "5 разів перевищення лінійності між 1 SD та 2SD"},
      {"7次连续偏向横轴一侧", "Consecutive 7 times at the same side of bias", "7 veces consecutivamente,localizados en el mismo lado",
       "7 fois successivement situe du meme cote", "7 разів вихід за базову лінію"}};
  SetDlgItemText(2009, PickText(lang, "质控规则", "QC Rule", "Regla de QC", "Regle QC", "Правила КЯ"));
  for (int r = 0; r < 4; ++r) {
    boxes_[r].SubclassDlgItem(IDC_RULE_CHECK0 + r, this);
    boxes_[r].SetWindowText(PickText(lang, kRules[r][0], kRules[r][1], kRules[r][2], kRules[r][3], kRules[r][4]));
    boxes_[r].SendMessage(ui::BM_SETCHECK, static_cast<ui::WParam>(rowExists_ && s.rules[r] == 1 ? 1 : 0), 0);
  }
  SetUpOkCancel(this, ok_, cancel_, lang);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CWestgard::OnOK() {
  std::array<int, 4> rules{};
  for (int r = 0; r < 4; ++r) rules[r] = boxes_[r].SendMessage(ui::BM_GETCHECK, 0, 0) == 1 ? 1 : 0;
  int ok = 0;
  if (rowExists_) {
    ok = conn_.Execute(LjRulesUpdateSql(fileNo_, rules));
  } else {
    LjFileSettings s;  // every parameter chosen
    s.fileNo = fileNo_;
    s.rules = rules;
    ok = conn_.Execute(LjSettingsInsertSql(s, true));
  }
  conn_.Disconnect();
  EndDialog(ok ? ui::IDOK : ui::IDCANCEL);
}

bool CWestgard::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

}  // namespace qc
