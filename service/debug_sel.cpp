#include "service/debug_sel.h"

#include "analyzer/screens/screen_common.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/window_class.h"

namespace service {
namespace {

ui::DialogTemplate DebugTemplate() {
  // The whole display at 640 x 480, as every screen; the tab fills it inside the frame.
  ui::DialogTemplate t = analyzer::BoardScreenTemplate(320, 240, false);
  t.Add(ui::kClassTab, CDebugSel::kTabId, "", 3, 3, 314, 234, ui::WS_VISIBLE);
  return t;
}

}  // namespace

CDebugSel::CDebugSel(ui::Window* parent) : BoardScreen(DebugTemplate(), parent) {
  swallowEnter_ = swallowEscape_ = true;
}

CDebugSel::~CDebugSel() {
  page2_.reset();
  page1_.reset();
}

void CDebugSel::DoDataExchange(ui::DataExchange& dx) { ui::ExchangeControl(dx, kTabId, tab_); }

bool CDebugSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  OpenOwnPort({false, true, true});
  tab_.SetFont(&tab_.font);  // the tabs are measured in the face they are drawn in
  tab_.InsertItem(0, "Tab 1");
  tab_.InsertItem(1, "Tab 2");
  auto close = [this] { PostEnd(ui::IDCANCEL); };
  page1_ = std::make_unique<CService>(*this, close);
  page2_ = std::make_unique<CBackDoor>(close);
  page1_->Create(&tab_);
  page2_->Create(&tab_);
  const ui::Rect r = tab_.GetClientRect();
  const ui::Rect inner(r.left + 5, r.top + 25, r.right - 10, r.bottom - 10);
  page1_->MoveWindow(inner);
  page2_->MoveWindow(inner);
  Drive(page1_->logic());
  page1_->ShowWindow(ui::SW_SHOW);
  page2_->ShowWindow(ui::SW_HIDE);
  tab_.SetCurSel(0);
  return true;
}

void CDebugSel::SelectTab(int index) {
  if (index == 0) {
    page1_->ShowWindow(ui::SW_SHOW);
    page2_->ShowWindow(ui::SW_HIDE);
  } else if (index == 1) {
    page1_->ShowWindow(ui::SW_HIDE);
    page1_->logic()->OnLeaveTab();
    page2_->ShowWindow(ui::SW_SHOW);
  }
}

ui::LResult CDebugSel::OnNotify(int id, ui::NotifyHeader* header) {
  if (id == kTabId && header && header->code == ui::TCN_SELCHANGE) SelectTab(tab_.GetCurSel());
  return 0;
}

bool CDebugSel::OnEraseBkgnd(draw::DC& dc) {
  dc.FillSolidRect(GetClientRect(), draw::RGB(240, 240, 240));
  DrawDialogFrame(dc, this, 7);
  return true;
}

}  // namespace service
