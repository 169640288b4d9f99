#pragma once
// CXRQCSet: the settings of the 20 X-R QC files: batch, expiry date, number of groups and
// samples per group; Delete removes a file's settings with its results; Send passes the saved
// settings to the LIS.
#include <array>
#include <memory>

#include "analyzer/serial_port.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "qc/qc_settings_dialog.h"

namespace qc {

inline constexpr int IDD_XR_QC_SET = 226;
inline constexpr int IDC_XRS_BATCH = 1166, IDC_XRS_YEAR = 1126, IDC_XRS_MONTH = 1124, IDC_XRS_DAY = 1125;
inline constexpr int IDC_XRS_GROUPS = 1466, IDC_XRS_PER_GROUP = 1467;
inline constexpr int IDC_XRS_SAVE = 1138, IDC_XRS_SEND = 1531, IDC_XRS_DELETE = 1012, IDC_XRS_HELP = 1044;
inline constexpr int IDC_XRS_KEYBOARD = 1514;

class CXRQCSet : public QcSettingsDialog {
 public:
  explicit CXRQCSet(ui::Window* parent = nullptr);
  ~CXRQCSet() override;
  int shownFile() const { return shown_ + 1; }
  void LoadFile(int fileNo);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  void OnSave();
  void OnDelete();
  void OnSend();
  void SetFields(const std::string& batch, const std::string& y, const std::string& m, const std::string& d,
                 const std::string& groups, const std::string& perGroup);

  int shown_ = 0;
  std::array<bool, 20> saved_{};
  CXPRadioButton files_[20];
  CTSpinButtonCtrl spins_[3];
  CXPButton save_, send_, delete_, help_, exit_;
  CBitmapKeyButton keyboard_;
  CADOConn conn_;
  std::unique_ptr<analyzer::CSerialPort> lisPort_;
};

}  // namespace qc
