#include "qc/qc_file_sel.h"

#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/dialog_layout.h"
#include "core/layout.h"
#include "core/screen_registry.h"
#include "core/value_format.h"
#include "platform/ui/resources.h"
#include "qc/lj_chart_data.h"
#include "qc/lj_qc_graph.h"
#include "qc/lj_qc_list.h"
#include "qc/lj_qc_run.h"

namespace qc {
namespace {

ui::DialogTemplate FileSelTemplate() {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(318, 238);
  t.Add("Button", IDC_QC_FILE_OUTER, "", 4, 4, 310, 230, V | ui::BS_GROUPBOX);
  t.Add("Button", 2026, "", 14, 14, 290, 180, V | ui::BS_GROUPBOX);
  for (int i = 0; i < 20; ++i)
    t.Add("Button", IDC_QC_FILE1 + i, "", 24 + (i % 5) * 56, 24 + (i / 5) * 42, 48, 30, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 129, 206, 60, 22, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

CQCFileSel::CQCFileSel(ui::Window* parent, int mode) : ui::Dialog(IDD_QC_FILE_SEL, parent), mode_(mode) {
  if (!ui::Resources::FindDialog(IDD_QC_FILE_SEL)) ui::Resources::AddDialog(IDD_QC_FILE_SEL, FileSelTemplate());
}

bool CQCFileSel::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  for (int i = 0; i < 20; ++i) {
    files_[i].SubclassDlgItem(IDC_QC_FILE1 + i, this);
    files_[i].SetWindowText(StrPrintf(lang == 3 ? "CQ %d" : "QC %d", i + 1));
    files_[i].SetBitmaps(446, 448, 447);
  }
  exit_.SubclassDlgItem(ui::IDCANCEL, this);
  exit_.SetWindowText(ExitButtonText(lang));
  exit_.SetBitmaps(453, 452, 451);
  if (AppSettings.PlatformFlag) ApplyDialogFontToChildren(this, &SharedDialogFont());
  return true;
}

void CQCFileSel::OpenFile(int n) {
  switch (mode_) {
    case 11: {
      CLJQCRun run(nullptr);
      run.QcFileNo = static_cast<uint8_t>(n);
      run.DoModal();
      break;
    }
    case 12: {
      CLJQCList list(nullptr);
      list.QcFileNo = n;
      list.DoModal();
      break;
    }
    case 13: {
      LjQcChartFileNo = n;
      CLJQCGraph graph(nullptr);
      graph.DoModal();
      break;
    }
    // The X-R screens are opened by name with the file number handed over the same way.
    case 31: XrQcFileNo = n; RunScreen("CXRQCRun"); break;
    case 32: XrQcFileNo = n; RunScreen("CXRQCList"); break;
    case 33: XrQcFileNo = n; RunScreen("CXRQCGraph"); break;
    default: break;
  }
}

bool CQCFileSel::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && id >= IDC_QC_FILE1 && id < IDC_QC_FILE1 + 20) {
    OpenFile(id - IDC_QC_FILE1 + 1);
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

bool CQCFileSel::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CQCFileSel::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, IDC_QC_FILE_OUTER, ui::IDCANCEL, ui::IDCANCEL);
  return true;
}

}  // namespace qc
