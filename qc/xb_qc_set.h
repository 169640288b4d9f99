#pragma once
// CXBQcSet: the one row of X-B settings: results per X-B group, the X-B switch, a target and a
// limit per parameter; CXBQCParaSet chooses the parameters that take part. Delete removes the
// settings with every X-B point; Send passes the saved settings to the LIS.
#include <array>
#include <memory>

#include "analyzer/serial_port.h"
#include "controls/small_widgets.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "qc/qc_settings_dialog.h"

namespace qc {

inline constexpr int IDD_XB_QC_SET = 142;
inline constexpr int IDC_XBS_SAMPLES = 1238, IDC_XBS_SWITCH = 1419;
inline constexpr int IDC_XBS_SAVE = 1138, IDC_XBS_ITEMS = 1262, IDC_XBS_SEND = 1531, IDC_XBS_DELETE = 1012;
inline constexpr int IDC_XBS_HELP = 1044, IDC_XBS_KEYBOARD = 1514;
inline constexpr int IDD_XB_QC_PARA_SET = 192;

class CXBQCParaSet : public ui::Dialog {
 public:
  explicit CXBQCParaSet(ui::Window* parent = nullptr);

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  bool rowExists_ = false;
  CXPCheckButton boxes_[20];
  CXPButton ok_, cancel_;
  CADOConn conn_;
};

class CXBQcSet : public QcSettingsDialog {
 public:
  explicit CXBQcSet(ui::Window* parent = nullptr);
  ~CXBQcSet() override;
  int isOn() const { return isOn_; }
  const std::array<int, 20>& choices() const { return chosen_; }

 protected:
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  void Load();
  void OnSave();
  void OnDelete();
  void OnSend();
  void ReadChoices();
  void ShowSwitch();

  bool rowExists_ = false;
  int sampleNum_ = 20;
  int isOn_ = 0;
  std::array<float, 40> values_{};  // display order, as last loaded or saved
  std::array<int, 20> chosen_{};
  std::array<std::string, 20> units_;
  CXPButton save_, items_, send_, delete_, help_, exit_, switch_;
  CBitmapKeyButton keyboard_;
  CADOConn conn_;
  std::unique_ptr<analyzer::CSerialPort> lisPort_;
};

}  // namespace qc
