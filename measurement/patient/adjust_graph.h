#pragma once
// CAdjustGraph: the question asked after divider lines of a stored result were moved: keep the
// adjusted results (answer 2), recover the measured results (1), or go back to the adjustment
// (0). It only collects the answer; the caller reads `answer`, not the DoModal result.
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_ADJUST_GRAPH = 267;
inline constexpr int IDC_AG_FRAME = 1917;
inline constexpr int IDC_AG_QUESTION = 1925;
inline constexpr int IDC_AG_RECOVER = 3;

class CAdjustGraph : public ui::Dialog {
 public:
  enum Answer { kReturn = 0, kRecover = 1, kKeep = 2 };
  explicit CAdjustGraph(ui::Window* parent = nullptr);

  int answer = kReturn;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPGroupBox frame_;
  CXPButton ok_, cancel_, recover_;
};

// The question and the three captions (OK, Recover, Cancel) in a language.
struct AdjustGraphTexts {
  std::string question, ok, recover, cancel;
};
AdjustGraphTexts AdjustGraphTextsFor(int language);

ui::DialogTemplate AdjustGraphTemplate();
