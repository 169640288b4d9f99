#pragma once
// CSysSet: the system settings screen. Printer and printout, hospital name, stand-by time,
// automatic cleaning frequency, start-up switches, reagent alarm mode, default blood mode,
// page header, language and the PC's date and time; "Save(&S)" stores them in the SysSetting
// row. It opens the other-settings menu, the print items screen, the printer settings and help.
#include <string>

#include "controls/static_trans.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "settings/sys_setting_row.h"

inline constexpr int IDD_SYS_SET = 151;
enum : int {
  IDC_SS_FRAME_PRINTER = 2101, IDC_SS_FRAME_GENERAL, IDC_SS_FRAME_SWITCHES, IDC_SS_FRAME_MODES,
  IDC_SS_FRAME_TIME, IDC_SS_FRAME_BUTTONS,
  IDC_SS_INTERNAL = 2120, IDC_SS_EXTERNAL, IDC_SS_PRINTER_LABEL, IDC_SS_PRINTER_NAME, IDC_SS_PRINTER_PROPS,
  IDC_SS_FORMAT_LABEL, IDC_SS_FORMAT, IDC_SS_ITEMS_LABEL, IDC_SS_ITEMS_SET, IDC_SS_PRINT_INSTANT,
  IDC_SS_HOSPITAL_LABEL = 2140, IDC_SS_HOSPITAL, IDC_SS_STANDBY_LABEL, IDC_SS_STANDBY, IDC_SS_CLEAN_LABEL,
  IDC_SS_CLEAN, IDC_SS_HEADER_LABEL, IDC_SS_HEADER, IDC_SS_HEADER_UNIT, IDC_SS_LANGUAGE_LABEL, IDC_SS_LANGUAGE,
  IDC_SS_STARTUP_BLANK = 2160, IDC_SS_STARTUP_CLEAN, IDC_SS_PREDILUTE_INFORM, IDC_SS_TRANSMIT_INSTANT,
  IDC_SS_ALARM_LABEL = 2170, IDC_SS_ALARM_SOFTWARE, IDC_SS_ALARM_HARDWARE, IDC_SS_MODE_LABEL, IDC_SS_MODE_WHOLE,
  IDC_SS_MODE_PREDILUTED,
  IDC_SS_TIME_LABEL = 2180, IDC_SS_YEAR, IDC_SS_MONTH, IDC_SS_DAY, IDC_SS_HOUR, IDC_SS_MINUTE, IDC_SS_SECOND,
  IDC_SS_YEAR_SPIN = 2190, IDC_SS_MONTH_SPIN, IDC_SS_DAY_SPIN, IDC_SS_HOUR_SPIN, IDC_SS_MINUTE_SPIN,
  IDC_SS_Y_LABEL = 2200, IDC_SS_MO_LABEL, IDC_SS_D_LABEL, IDC_SS_H_LABEL, IDC_SS_MI_LABEL, IDC_SS_S_LABEL,
  IDC_SS_SAVE = 2210, IDC_SS_OTHER, IDC_SS_TOUCH, IDC_SS_HELP,
  IDC_SS_KEYBOARD = 1514,  // the keyboard button has this id on every screen
};

class CSysSet : public ui::Dialog {
 public:
  explicit CSysSet(ui::Window* parent = nullptr);

  // "Save(&S)": checks, sets the clock and the default printer, stores the row. True when the
  // row was stored.
  bool SaveSettings();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnCancel() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnTimer(uintptr_t id) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

 private:
  void ApplyLanguageTexts();
  void ShowValues();
  void TakeOverControls();
  void FillPrinterNames();
  void FillFormatList();
  void EnablePrinterControls();
  void OnPrinterKind(int kind);
  void OnLanguageChanged();
  void OnPrinterProperties();
  void OnTouchScreen();
  void OnHelp();
  int Box(const std::string& text, unsigned type);

  settings::SystemSettingsValues values_;
  std::string printerName_;
  std::string pageHeaderText_;
  int lastFormatIndex_ = 1;
  int savedPrinterKind_ = 0;
  int savedAlarmType_ = 0;
  int openedCleanFrequency_ = 0;
  std::string shownDate_[3];  // the date texts the screen wrote last

  CXPGroupBox frames_[6];
  CXPRadioButton internal_, external_, alarmSoftware_, alarmHardware_, modeWhole_, modePrediluted_;
  CXPCheckButton printInstant_, startupBlank_, startupClean_, prediluteInform_, transmitInstant_;
  CXPComboBox printerNames_, format_, language_;
  CTSpinButtonCtrl spins_[5];
  CXPButton save_, other_, touch_, help_, itemsSet_, printerProps_, exit_;
  CBitmapKeyButton keyboard_;
  CADOConn conn_;
};
