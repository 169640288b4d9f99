#include "analyzer/screens/reagent_sel.h"

#include "analyzer/screens/reagent_vol_dlg.h"
#include "analyzer/screens/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_class.h"

namespace analyzer {
namespace {

ui::DialogTemplate SelTemplate() {
  ui::DialogTemplate t = BoardScreenTemplate(300, 209, false);
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  t.Add(ui::kClassButton, CReagentSel::kFrame1Id, "", 10, 10, 280, 130, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassButton, CReagentSel::kAllId, "", 30, 28, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kDiluentId, "", 160, 28, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kLyseId, "", 30, 84, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kCleanserId, "", 160, 84, 110, 40, V | TS);
  t.Add(ui::kClassButton, CReagentSel::kFrame2Id, "", 10, 146, 280, 24, V | ui::BS_GROUPBOX);
  t.Add(ui::kClassStatic, CReagentSel::kStatusId, "", 16, 154, 268, 12, V);
  t.Add(ui::kClassButton, ui::IDCANCEL, "", 220, 180, 70, 20, V | TS);
  return t;
}

}  // namespace

CReagentSel::CReagentSel(ui::Window* parent, int mode) : BoardScreen(SelTemplate(), parent), mode_(mode) {
  swallowEnter_ = true;
  runReplacement_ = [](int selector) {
    CReagentVolDlg dlg(nullptr);
    dlg.SetReagent(static_cast<uint8_t>(selector));
    dlg.DoModal();
  };
}

CReagentSel::~CReagentSel() = default;

void CReagentSel::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, kStatusId, status_);
  ui::ExchangeControl(dx, kAllId, all_);
  ui::ExchangeControl(dx, kDiluentId, diluent_);
  ui::ExchangeControl(dx, kLyseId, lyse_);
  ui::ExchangeControl(dx, kCleanserId, cleanser_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, kFrame1Id, frame1_);
  ui::ExchangeControl(dx, kFrame2Id, frame2_);
}

bool CReagentSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  const bool open = mode_ == 1 && OpenOwnPort({.withNumber = false, .warnInChinese = true, .logInChinese = true});
  op_ = std::make_unique<PrimeOperation>(*this, open);
  all_.SetWindowText(PrimeButtonText(PrimeChoice::All, lang));
  diluent_.SetWindowText(PrimeButtonText(PrimeChoice::Diluent, lang));
  lyse_.SetWindowText(PrimeButtonText(PrimeChoice::Lyse, lang));
  cleanser_.SetWindowText(PrimeButtonText(PrimeChoice::Cleanser, lang));
  exit_.SetWindowText(PickText(lang, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)"));
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  for (CXPButton* b : {&all_, &diluent_, &lyse_, &cleanser_, &exit_}) b->SetBitmaps(479, 481, 480);
  status_.SetBkColor(draw::RGB(190, 198, 201));
  Drive(op_.get());
  return true;
}

void CReagentSel::SetStatus(const std::string& text) {
  SetDlgItemText(kStatusId, text);
  Invalidate();
}

void CReagentSel::OnChoice(PrimeChoice c) {
  if (mode_ == 2) {
    runReplacement_(static_cast<int>(c));
    return;
  }
  if (op_) op_->Press(c);
}

void CReagentSel::OnCancel() {
  if (op_ && !op_->TryExit()) return;
  EndScreen(ui::IDCANCEL);
}

ui::LResult CReagentSel::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == ui::WM_COMMAND) {
    switch (ui::LoWord(w)) {
      case kAllId: OnChoice(PrimeChoice::All); return 0;
      case kDiluentId: OnChoice(PrimeChoice::Diluent); return 0;
      case kLyseId: OnChoice(PrimeChoice::Lyse); return 0;
      case kCleanserId: OnChoice(PrimeChoice::Cleanser); return 0;
      default: break;
    }
  }
  return BoardScreen::WindowProc(msg, w, l);
}

bool CReagentSel::OnEraseBkgnd(draw::DC& dc) {
  DrawPlainScreen(dc, this, kFrame1Id, ui::IDCANCEL);
  return true;
}

}  // namespace analyzer
