#pragma once
// CLJQCSet: the settings of the 20 L-J QC files: batch, expiry date and, per parameter, target
// and limit (one SD); opens the parameter and rule choice, deletes a file with its results and
// sends a file's settings to the LIS.
#include <array>
#include <memory>
#include <string>

#include "analyzer/serial_port.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_group_box.h"
#include "controls/xp_tab_spin.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "qc/qc_settings_dialog.h"
#include "qc/lj_settings_input.h"

namespace qc {

inline constexpr int IDD_LJ_QC_SET = 107;
inline constexpr int IDC_LJS_BATCH = 1166, IDC_LJS_YEAR = 1126, IDC_LJS_MONTH = 1124, IDC_LJS_DAY = 1125;
inline constexpr int IDC_LJS_SAVE = 1138, IDC_LJS_RULES = 1240, IDC_LJS_ITEMS = 1262, IDC_LJS_DELETE = 1012;
inline constexpr int IDC_LJS_SEND = 1531, IDC_LJS_KEYBOARD = 1514;
// The target and limit edits of each parameter in display order.
extern const int kTargetEditIds[20];
extern const int kLimitEditIds[20];
// The file radio button of file n (1..20).
int FileRadioId(int fileNo);

class CLJQCSet : public QcSettingsDialog {
 public:
  explicit CLJQCSet(ui::Window* parent = nullptr);
  ~CLJQCSet() override;
  int shownFile() const { return shown_ + 1; }
  const std::array<int, 20>& qFlags() const { return qFlags_; }  // display order
  void LoadQcFileSettings(int fileNo);

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  LjSettingsInput ReadControls();
  bool CheckInput(LjSettingsInput* in, std::string* expDate);
  void OnSave();
  void OnDelete();
  void OnSend();
  void ClearFields();

  int shown_ = 0;
  std::string loadedBatchNo_;
  std::array<bool, 20> hasRow_{};
  std::array<int, 20> qFlags_{};
  std::array<std::string, 20> units_;
  CXPButton save_, rules_, items_, delete_, send_, exit_;
  CBitmapKeyButton keyboard_;
  CXPRadioButton files_[20];
  CTSpinButtonCtrl spins_[3];
  CADOConn conn_;
  std::unique_ptr<analyzer::CSerialPort> lisPort_;
};

}  // namespace qc
