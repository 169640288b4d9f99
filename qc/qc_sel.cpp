#include "qc/qc_sel.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"
#include "qc/qc_file_sel.h"

namespace qc {
namespace {

ui::DialogTemplate MenuTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  // The whole display, as the main menu it is opened from: a smaller menu would leave slices of
  // the main menu's title and status line showing round it.
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Tab", IDC_QC_TAB, "", 6, 6, 308, 200, V);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 130, 212, 60, 22, V | ui::WS_TABSTOP);
  return t;
}

// The buttons of a page: id and the English caption (the others come with the language).
struct PageButton {
  int id;
  const char* texts[5];
};
const PageButton kLjButtons[4] = {
    {IDC_LJ_SETTINGS, {"质控设置", "Control Settings", "Configuracion de control", "Reglages du controle", "Налаштування контролю"}},
    {IDC_LJ_RUN, {"质控计数", "Control Run", "Ejecutar control", "Lancer le controle", "Запуск контролю"}},
    {IDC_LJ_LIST, {"质控列表", "Control List", "Lista de control", "Liste de controle", "Список контролю"}},
    {IDC_LJ_GRAPH, {"L-J质控图", "L-J Graph", "Grafico L-J", "Graphique L-J", "Графік L-J"}}};
const PageButton kXbButtons[3] = {
    {IDC_XB_SETTINGS, {"质控设置", "Control Settings", "Configuracion de control", "Reglages du controle", "Налаштування контролю"}},
    {IDC_XB_LIST, {"质控列表", "Control List", "Lista de control", "Liste de controle", "Список контролю"}},
    {IDC_XB_GRAPH, {"X-B质控图", "X-B Graph", "Grafico X-B", "Graphique X-B", "Графік X-B"}}};
const PageButton kXrButtons[4] = {
    {IDC_XR_SETTINGS, {"质控设置", "Control Settings", "Configuracion de control", "Reglages du controle", "Налаштування контролю"}},
    {IDC_XR_RUN, {"质控计数", "Control Run", "Ejecutar control", "Lancer le controle", "Запуск контролю"}},
    {IDC_XR_LIST, {"质控列表", "Control List", "Lista de control", "Liste de controle", "Список контролю"}},
    {IDC_XR_GRAPH, {"X-R质控图", "X-R Graph", "Grafico X-R", "Graphique X-R", "Графік X-R"}}};

const PageButton* ButtonsOf(int kind, int* count) {
  *count = kind == 1 ? 3 : 4;
  return kind == 0 ? kLjButtons : kind == 1 ? kXbButtons : kXrButtons;
}

ui::DialogTemplate PageTemplate(int kind) {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t;
  // Fills the tab of the menu (298 x 180 units inside its margins).
  t.cx = 298;
  t.cy = 180;
  t.style = ui::WS_CHILD;
  t.fontFace = "System";
  t.fontPoints = 10;
  static const int kOuter[3] = {1991, 1992, 1994}, kInner[3] = {1990, 1993, 1995};
  t.Add("Button", kOuter[kind], "", 2, 2, 294, 176, V | ui::BS_GROUPBOX);
  t.Add("Button", kInner[kind], "", 24, 30, 250, 120, V | ui::BS_GROUPBOX);
  int n = 0;
  const PageButton* b = ButtonsOf(kind, &n);
  for (int i = 0; i < n; ++i)
    t.Add("Button", b[i].id, b[i].texts[1], 49 + (i % 2) * 110, 48 + (i / 2) * 50, 90, 30, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

CQCSel::CQCSel(ui::Window* parent) : ui::Dialog(IDD_QC_SEL, parent) {
  if (!ui::Resources::FindDialog(IDD_QC_SEL)) ui::Resources::AddDialog(IDD_QC_SEL, MenuTemplate());
  for (int i = 0; i < 3; ++i) pages_[i] = std::make_unique<CQCSelPage>(i);
}

CQCSel::~CQCSel() = default;

void CQCSel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_QC_TAB, tab_);
}

bool CQCSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  SetWindowText(PickText(lang, "质控", "QC", "QC", "CQ", "КЯ"));
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  // The tabs are measured in the font they are painted in.
  tab_.SetFont(&tab_.font, false);
  tab_.InsertItem(0, std::string("L-J  "));
  tab_.InsertItem(1, std::string("X-B  "));
  tab_.InsertItem(2, std::string("X-R  "));
  ui::Rect r = tab_.GetClientRect();
  r.left += 10;
  r.right -= 10;
  r.top += 30;
  r.bottom -= 10;
  for (auto& p : pages_) {
    p->SetParentWindow(&tab_);
    p->CreateModeless(&tab_);
    p->MoveWindow(r);
  }
  SelectTab(0);
  exit_.SetWindowText(ExitButtonText(lang));
  exit_.SetBitmaps(453, 452, 451);
  return true;
}

void CQCSel::SelectTab(int index) {
  if (index < 0 || index > 2) return;
  tab_.SetCurSel(index);
  for (int i = 0; i < 3; ++i) pages_[i]->ShowWindow(i == index ? ui::SW_SHOW : ui::SW_HIDE);
}

ui::LResult CQCSel::OnNotify(int id, ui::NotifyHeader* header) {
  if (id == IDC_QC_TAB && header && header->code == ui::TCN_SELCHANGE) {
    SelectTab(tab_.GetCurSel());
    return 0;
  }
  return ui::Dialog::OnNotify(id, header);
}

bool CQCSel::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CQCSel::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, IDC_QC_TAB, ui::IDCANCEL, ui::IDCANCEL);
  return true;
}

CQCSelPage::CQCSelPage(int kind) : ui::Dialog(PageTemplate(kind)), kind_(kind) {}

bool CQCSelPage::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  int n = 0;
  const PageButton* b = ButtonsOf(kind_, &n);
  for (int i = 0; i < n; ++i) {
    buttons_[i].SubclassDlgItem(b[i].id, this);
    buttons_[i].SetWindowText(PickText(lang, b[i].texts[0], b[i].texts[1], b[i].texts[2], b[i].texts[3], b[i].texts[4]));
    buttons_[i].SetBitmaps(446, 448, 447);
  }
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

bool CQCSelPage::OnCommand(int id, int code, ui::Window* control) {
  if (code != ui::BN_CLICKED) return ui::Dialog::OnCommand(id, code, control);
  auto choose = [this](int mode) {
    CQCFileSel sel(this, mode);
    sel.DoModal();
  };
  bool handled = true;
  if (kind_ == 0) {
    switch (id) {
      case IDC_LJ_SETTINGS: RunScreen("CLJQCSet"); break;
      case IDC_LJ_RUN: choose(11); break;
      case IDC_LJ_LIST: choose(12); break;
      case IDC_LJ_GRAPH: choose(13); break;
      default: handled = false;
    }
  } else if (kind_ == 1) {
    switch (id) {
      case IDC_XB_SETTINGS: RunScreen("CXBQcSet"); break;
      case IDC_XB_LIST: RunScreen("CXBQCList"); break;
      case IDC_XB_GRAPH: RunScreen("CXBQCGraph"); break;
      default: handled = false;
    }
  } else {
    switch (id) {
      case IDC_XR_SETTINGS: RunScreen("CXRQCSet"); break;
      case IDC_XR_RUN: choose(31); break;
      case IDC_XR_LIST: choose(32); break;
      case IDC_XR_GRAPH: choose(33); break;
      default: handled = false;
    }
  }
  if (!handled) return ui::Dialog::OnCommand(id, code, control);
  if (ui::Window* p = GetParent()) p->SetFocus();
  return true;
}

bool CQCSelPage::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

}  // namespace qc
