#pragma once
// CLJQCParaSet and CWestgard: which parameters of an L-J QC file are under QC (Q1..Q20) and
// which Westgard rules judge its runs. Both read the file's row on opening and write it on OK:
// an update when the row exists, else a new row (empty batch and expiry, zero targets).
#include <array>

#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

namespace qc {

inline constexpr int IDD_LJ_QC_PARA_SET = 168;
inline constexpr int IDC_PARA_CHECK0 = 1241;  // .. 1260, display order
inline constexpr int IDD_WESTGARD = 167;
inline constexpr int IDC_RULE_CHECK0 = 1233;  // .. 1236

class CLJQCParaSet : public ui::Dialog {
 public:
  explicit CLJQCParaSet(ui::Window* parent = nullptr);
  void SetQcFileNo(int n) { fileNo_ = n; }
  const std::array<int, 20>& choices() const { return choices_; }  // display order

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;

 private:
  int fileNo_ = 1;
  bool rowExists_ = false;
  std::array<int, 20> choices_{};
  CXPCheckButton boxes_[20];
  CXPButton ok_, cancel_;
  CADOConn conn_;
};

class CWestgard : public ui::Dialog {
 public:
  explicit CWestgard(ui::Window* parent = nullptr);
  void SetQcFileNo(int n) { fileNo_ = n; }

 protected:
  bool OnInitDialog() override;
  void OnOK() override;
  bool PreTranslateMessage(ui::Message& msg) override;

 private:
  int fileNo_ = 1;
  bool rowExists_ = false;
  CXPCheckButton boxes_[4];
  CXPButton ok_, cancel_;
  CADOConn conn_;
};

}  // namespace qc
