#pragma once
// What the engineer's factor screen and the user's percent screen share: the blood type
// radios, one row per item (name, neutral default, value edit, date edit), Save, Print and
// Exit, the reload on a blood type change, and printing a copy of the shown texts.
#include <memory>
#include <string>

#include "calibration/calibration_print.h"
#include "calibration/manual_calibration.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/small_widgets.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/sys/thread.h"
#include "platform/ui/dialog.h"

class PrintHintHolder;

namespace calibration {

inline constexpr int IDC_CM_WHOLE = 1151;  // 1151, 1152, 1153
inline constexpr int IDC_CM_SAMPLE_TYPE = 1922;
inline constexpr int IDC_CM_SAVE = 1138;
inline constexpr int IDC_CM_PRINT = 1043;
inline constexpr int IDC_CM_SET_DEFAULT = 1506;
inline constexpr int IDC_CM_DEFAULT = 1507;
inline constexpr int IDC_CM_HEADS = 1583;  // 1583 ..: column heads
inline constexpr int IDC_CM_KEYBOARD = 1514;
// Value edits and date edits of the rows WBC, RBC, HGB, MCV, PLT, MPV.
inline constexpr int kValueEditIds[6] = {1397, 1400, 1403, 1406, 1422, 1398};
inline constexpr int kDateEditIds[6] = {1130, 1131, 1132, 1133, 1134, 1135};
inline constexpr int kSpinIds[5] = {1903, 1904, 1905, 1906, 1907};

class CManualScreen : public ui::Dialog {
 public:
  CManualScreen(int templateId, ui::Window* parent, bool percents);
  ~CManualScreen() override;

  int printKind = 0;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

  // The screen's process-wide texts.
  virtual ManualScreenTexts& Shown() = 0;
  virtual void OnSave() = 0;
  virtual void Reloaded() {}
  int Items() const { return percents_ ? 5 : 6; }
  // Typed texts into the shown texts, and back.
  void TakeTexts();
  void ShowTexts();
  void Reload(int bloodType, const std::string& sql);
  void Box(CaliText text, unsigned type);
  void OnPrint();

  bool percents_;
  CADOConn db_;
  CXPRadioButton types_[3];
  CXPEdit values_[6], dates_[6];
  CXPButton save_, print_, exit_;
  CBitmapKeyButton keyboard_;
  bool printing_ = false;
  std::unique_ptr<PrintHintHolder> hint_;
  std::unique_ptr<sys::Thread> thread_;
};

// The dialog template of a manual screen: the engineer's has six rows and the default buttons.
ui::DialogTemplate ManualScreenTemplate(bool percents);

}  // namespace calibration
