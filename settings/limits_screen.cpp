#include "settings/limits_screen.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/lis_link_state.h"
#include "core/value_format.h"
#include "measurement/flagging.h"
#include "platform/sys/shell_open.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace {

// Screen order: the low edit of each parameter.
const int kLowEditIds[20] = {1273, 1275, 1277, 1279, 1281, 1283, 1285, 1297, 1299, 1311,
                             1305, 1303, 1301, 1309, 1307, 1287, 1289, 1291, 1293, 1295};
const char* const kNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%",   "MID%",   "GRA%", "RBC", "HGB", "HCT",
                                "MCV", "MCH",  "MCHC", "RDW-SD", "RDW-CV", "PLT", "MPV",  "PDW", "PCT", "P-LCR"};
// Which parameter (screen order) stands in each row of the left and the right column.
const int kLeftRows[10] = {0, 1, 2, 3, 4, 5, 6, 15, 16, 18};
const int kRightRows[10] = {7, 8, 9, 10, 11, 12, 13, 14, 17, 19};

int FrameLeft(settings::LimitTable t) { return t == settings::LimitTable::kNormal ? 1678 : 1684; }
int FrameRight(settings::LimitTable t) { return t == settings::LimitTable::kNormal ? 1982 : 1987; }

}  // namespace

int LimitLowEditId(int displayIndex) { return kLowEditIds[displayIndex]; }

ui::DialogTemplate LimitsScreenTemplate(settings::LimitTable table) {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP, B = V | TS;
  const uint32_t E = B | ui::WS_BORDER | ui::ES_AUTOHSCROLL;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_LIM_GROUP_FRAME, "", 4, 2, 312, 36, V | ui::BS_GROUPBOX);
  for (int k = 0; k < 10; ++k)
    t.Add("Button", IDC_LIM_GROUP_FIRST + k, measurement::GroupName(k, 1), 8 + (k % 5) * 61, k < 5 ? 8 : 22, 60, 12,
          B | ui::BS_AUTORADIOBUTTON | (k == 0 ? ui::WS_GROUP : 0u));
  const int frameX[2] = {4, 162};
  const int headerIds[2][3] = {{1662, 1679, 1680}, {1663, 1681, 1682}};
  const int frameIds[2] = {FrameLeft(table), FrameRight(table)};
  for (int c = 0; c < 2; ++c) {
    const int x = frameX[c];
    t.Add("Button", frameIds[c], "", x, 40, 154, 158, V | ui::BS_GROUPBOX | (c == 0 ? ui::WS_GROUP : 0u));
    t.Add("Static", headerIds[c][0], "Item", x + 4, 45, 36, 8, V);
    t.Add("Static", headerIds[c][1], "Low", x + 42, 45, 36, 8, V);
    t.Add("Static", headerIds[c][2], "High", x + 80, 45, 36, 8, V);
    const int* rows = c == 0 ? kLeftRows : kRightRows;
    for (int r = 0; r < 10; ++r) {
      const int p = rows[r], y = 56 + r * 14;
      t.Add("Static", IDC_LIM_NAME_FIRST + p, kNames[p], x + 4, y + 2, 36, 8, V);
      t.Add("Edit", kLowEditIds[p], "", x + 42, y, 36, 12, E);
      t.Add("Edit", kLowEditIds[p] + 1, "", x + 80, y, 36, 12, E);
      t.Add("Static", IDC_LIM_UNIT_FIRST + p, "", x + 118, y + 2, 34, 8, V);
    }
  }
  t.Add("Button", IDC_LIM_SEND, "Send(&E)", 8, 204, 60, 30, B | ui::WS_GROUP);
  t.Add("Button", IDC_LIM_SAVE, "Save(&S)", 74, 204, 60, 30, B);
  t.Add("Button", IDC_LIM_HELP, "Help(&H)", 140, 204, 60, 30, B);
  // In the button row, between Help and Exit: clear of the group frames' lines.
  t.Add("Button", IDC_LIM_KEYBOARD, "KBD", 212, 212, 24, 14, B);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 250, 204, 60, 30, B);
  return t;
}

CLimitsScreen::CLimitsScreen(settings::LimitTable table, int dialogId, ui::Window* parent)
    : ui::Dialog(dialogId, parent), table_(table), leftFrameId_(FrameLeft(table)), rightFrameId_(FrameRight(table)) {
  if (!ui::Resources::FindDialog(dialogId)) ui::Resources::AddDialog(dialogId, LimitsScreenTemplate(table));
}

void CLimitsScreen::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_LIM_GROUP_FRAME, groupFrame_);
  ui::ExchangeControl(dx, leftFrameId_, leftFrame_);
  ui::ExchangeControl(dx, rightFrameId_, rightFrame_);
  for (int k = 0; k < 10; ++k) ui::ExchangeControl(dx, IDC_LIM_GROUP_FIRST + k, groupButtons_[k]);
  ui::ExchangeControl(dx, IDC_LIM_SEND, send_);
  ui::ExchangeControl(dx, IDC_LIM_SAVE, save_);
  ui::ExchangeControl(dx, IDC_LIM_HELP, help_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_LIM_KEYBOARD, keyboard_);
}

bool CLimitsScreen::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  group_ = 0;
  LoadGroup(0);
  settings::LoadLimitUnitTexts(conn_, units_);
  for (int i = 0; i < 20; ++i) SetDlgItemText(IDC_LIM_UNIT_FIRST + i, units_[i]);
  const int l = AppSettings.LanguageIndex;
  for (int c = 0; c < 2; ++c) {
    SetDlgItemText(c == 0 ? 1662 : 1663, PickText(l, "项目", "Item", "Elemento", "Element", "Параметр"));
    SetDlgItemText(c == 0 ? 1679 : 1681, PickText(l, "下限", "Low", "Bajo", "Bas", "Нижня"));
    SetDlgItemText(c == 0 ? 1680 : 1682, PickText(l, "上限", "High", "Alto", "Haut", "Верхня"));
  }
  for (int k = 0; k < 10; ++k) {
    std::string name = measurement::GroupName(k, l);
    if (k == 9 && l == 4) {
      const size_t blank = name.find(' ');
      if (blank != std::string::npos) name[blank] = '\n';  // written on two lines
    }
    groupButtons_[k].SetWindowText(name);
  }
  send_.SetWindowText(PickText(l, "发送(&E)", "Send(&E)", "Enviar(&E)", "Envoyer(&E)", "Надіслати(&E)"));
  save_.SetWindowText(PickText(l, "保存(&S)", "Save(&S)", "Guardar(&S)", "Enregistrer(&S)", "Зберегти(&S)"));
  help_.SetWindowText(PickText(l, "帮助(&H)", "Help(&H)", "Ayuda(&H)", "Aide(&H)", "Довідка(&H)"));
  exit_.SetWindowText(ExitButtonText(l));
  send_.SetBitmaps(466, 465, 464);
  save_.SetBitmaps(469, 468, 467);
  help_.SetBitmaps(469, 468, 467);
  exit_.SetBitmaps(472, 471, 470);
  leftFrame_.SetSectionCount(11);
  rightFrame_.SetSectionCount(11);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  groupButtons_[0].checked = true;
  groupButtons_[0].SetCheck(1);
  groupButtons_[0].Invalidate();
  keyboard_.UseKeyboardPicture();
  return true;
}

void CLimitsScreen::LoadGroup(int kind) {
  group_ = kind;
  if (settings::LoadLimitsOfGroup(conn_, table_, kind, pairs_)) rowExists_[kind] = true;
  ShowLimits();
}

void CLimitsScreen::ShowLimits() {
  for (int p = 0; p < 20; ++p) {
    SetDlgItemText(kLowEditIds[p], StrPrintf("%g", pairs_[2 * p]));
    SetDlgItemText(kLowEditIds[p] + 1, StrPrintf("%g", pairs_[2 * p + 1]));
  }
}

void CLimitsScreen::ReadEdits(std::string texts[40]) const {
  for (int p = 0; p < 20; ++p) {
    texts[2 * p] = GetDlgItemText(kLowEditIds[p]);
    texts[2 * p + 1] = GetDlgItemText(kLowEditIds[p] + 1);
  }
}

void CLimitsScreen::Save() {
  std::string texts[40];
  ReadEdits(texts);
  float checked[40];
  const int l = AppSettings.LanguageIndex;
  const std::string refused = settings::CheckLimitEntries(texts, l, checked);
  if (!refused.empty()) {
    ui::MessageBox(this, refused, "", ui::MB_ICONWARNING);
    return;
  }
  for (int i = 0; i < 40; ++i) pairs_[i] = checked[i];
  // A failed statement has been reported by the data layer: no confirmation, and a row that was
  // not inserted is not taken for one.
  if (!settings::SaveLimitsOfGroup(conn_, table_, group_, pairs_, rowExists_[group_])) return;
  rowExists_[group_] = true;
  ui::MessageBox(this, settings::SettingSavedText(l), "", ui::MB_ICONINFORMATION);
}

void CLimitsScreen::Send() {
  std::string texts[40];
  ReadEdits(texts);
  const settings::LimitsSendReport r = settings::SendLimitsToLis(
      conn_, lisPort_, table_, group_, LisLinkState.LinkKind, units_, texts, AppSettings.LanguageIndex, pairs_);
  // Without its serial port the screen cannot send until it is opened again.
  if (r.outcome == settings::LimitsSendOutcome::PortFailed) send_.EnableWindow(false);
  ui::MessageBox(this, r.message, "", r.icon);
}

void CLimitsScreen::Help() {
  static const char* const kFiles[5] = {"Quorvex.chm", "QuorvexEN.chm", "QuorvexSP.chm", "QuorvexFH.chm",
                                        "QuorvexUA.chm"};
  const int l = AppSettings.LanguageIndex <= 4 ? AppSettings.LanguageIndex : 1;
  sys::ShellOpen(AppSettings.ProgramFolder + kFiles[l]);
}

bool CLimitsScreen::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  if (id >= IDC_LIM_GROUP_FIRST && id < IDC_LIM_GROUP_FIRST + 10) {
    LoadGroup(id - IDC_LIM_GROUP_FIRST);  // edits of the group shown before are dropped
    return true;
  }
  switch (id) {
    case IDC_LIM_SAVE: Save(); return true;
    case IDC_LIM_SEND: Send(); return true;
    case IDC_LIM_HELP: Help(); return true;
    case IDC_LIM_KEYBOARD: ShowOnScreenKeyboard(); return true;
    default: return ui::Dialog::OnCommand(id, code, control);
  }
}

bool CLimitsScreen::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CLimitsScreen::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

const draw::Brush* CLimitsScreen::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

void CLimitsScreen::OnDestroy() {
  conn_.Disconnect();
  ui::Dialog::OnDestroy();
}
