#pragma once
// CDormancyDlg: the stand-by screen. A full-screen picture with a centred "Stand by..." text;
// the pointer is hidden; a press of either button, a pointer move of 50 pixels or more (in x
// or in y), Enter or Escape ends it.
#include "platform/ui/dialog.h"

inline constexpr int IDD_DORMANCY = 355;

ui::DialogTemplate DormancyTemplate();
std::string StandByText(int language);
// Whether a move from `start` to `now` wakes the screen.
bool WakesOnMove(ui::Point start, ui::Point now);

class CDormancyDlg : public ui::Dialog {
 public:
  explicit CDormancyDlg(ui::Window* parent = nullptr);

  int screenHeight = 0;
  int screenWidth = 0;
  ui::Point startPoint;

 protected:
  bool OnInitDialog() override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnPaint(draw::DC& dc) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;
  void OnRButtonDown(unsigned flags, ui::Point pt) override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  bool PreTranslateMessage(ui::Message& msg) override;

 private:
  void Wake();
  bool waking_ = false;
};
