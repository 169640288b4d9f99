#pragma once
// CStat: mean and CV of WBC, RBC, HGB, MCV and PLT over the results selected in the browser.
#include <string>
#include <vector>

#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "history/history_stat.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_STAT = 352;
inline constexpr int IDC_STAT_FRAME = 2050;
extern const int kStatMeanIds[5];
extern const int kStatCvIds[5];

class CStat : public ui::Dialog {
 public:
  explicit CStat(ui::Window* parent = nullptr);
  // The selected results: the 23 grid texts of each (set before DoModal).
  std::vector<std::vector<std::string>> m_columns;
  history::StatTexts m_texts;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPGroupBox frame_;
  CXPButton ok_;
};
