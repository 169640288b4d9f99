#include "history/stat_dlg.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/resources.h"

const int kStatMeanIds[5] = {1893, 1895, 1644, 1646, 1648};
const int kStatCvIds[5] = {1894, 1643, 1645, 1647, 1649};

namespace {
ui::DialogTemplate StatTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(187, 91);
  t.Add("Button", IDC_STAT_FRAME, "", 5, 5, 177, 58, V | ui::BS_GROUPBOX);
  t.Add("Static", -1, "Average:", 10, 28, 40, 10, V);
  t.Add("Static", -1, "CV(%):", 10, 46, 40, 10, V);
  const char* names[5] = {"WBC", "RBC", "HGB", "MCV", "PLT"};
  for (int i = 0; i < 5; ++i) {
    t.Add("Static", -1, names[i], 52 + i * 26, 12, 24, 10, V);
    t.Add("Static", kStatMeanIds[i], "", 52 + i * 26, 28, 25, 10, V);
    t.Add("Static", kStatCvIds[i], "", 52 + i * 26, 46, 25, 10, V);
  }
  t.Add("Button", ui::IDOK, "OK", 68, 68, 50, 18, V | TS);
  return t;
}
}  // namespace

CStat::CStat(ui::Window* parent) : ui::Dialog(IDD_STAT, parent) {
  if (!ui::Resources::FindDialog(IDD_STAT)) ui::Resources::AddDialog(IDD_STAT, StatTemplate());
}

void CStat::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_STAT_FRAME, frame_);
  ui::ExchangeControl(dx, ui::IDOK, ok_);
  for (int i = 0; i < 5; ++i) {
    ui::ExchangeText(dx, kStatMeanIds[i], m_texts.mean[i]);
    ui::ExchangeText(dx, kStatCvIds[i], m_texts.cv[i]);
  }
}

bool CStat::OnInitDialog() {
  m_texts = history::ComputeStatistics(m_columns);
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  ok_.SetBitmaps(399, 400, 487);
  return true;
}

bool CStat::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, 7);
  return true;
}

const draw::Brush* CStat::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC) return TransparentLabel(dc, draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}
