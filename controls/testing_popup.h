#pragma once
// CTesting: the busy pop-up shown over a screen while a measurement runs: a framed panel with
// a picture and "Testing" in the current language followed by one to six dots that grow every
// half second. The keyboard cannot close it; its owner destroys it when the measurement ends.
#include <string>

#include "controls/static_trans.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_TESTING = 321;
inline constexpr int IDC_TESTING_FRAME = 2004;
inline constexpr int IDC_TESTING_LABEL = 1581;
inline constexpr int IDI_TESTING = 502;

// The word for a language (no dots).
const char* TestingWord(int language);
// The dot counter shared by every pop-up (1 to 6).
int TestingDotCounter();
void ResetTestingDotCounter();

class CTesting : public ui::Dialog {
 public:
  explicit CTesting(ui::Window* parent = nullptr);
  // Creates the pop-up modeless over `parent` (the owner keeps the object and destroys it).
  bool Create(ui::Window* parent);

  bool PreTranslateMessage(ui::Message& msg) override;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  CStaticTrans label_;
  CXPGroupBox frame_;
};

ui::DialogTemplate TestingTemplate();
