#pragma once
// CReagentVolDlg: the volumes of new reagent bottles (litres) and the replacement dates. OK
// checks the numbers and stores them; the remaining volumes change only when the store took
// them. Cancel changes nothing.
#include "core/ado_conn.h"
#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

namespace analyzer {

class CReagentVolDlg : public ui::Dialog {
 public:
  static constexpr int kTemplateId = 307;
  static constexpr int kDiluentEdit = 1741, kLyseEdit = 1742, kCleanserEdit = 1743;
  static constexpr int kDiluentDate = 1745, kLyseDate = 1746, kCleanserDate = 1747;
  static constexpr int kDiluentLeft = 1761, kLyseLeft = 1762, kCleanserLeft = 1763;
  static constexpr int kKeyboardId = 1514;
  static constexpr int kLabelCount = 17;

  explicit CReagentVolDlg(ui::Window* parent = nullptr);
  ~CReagentVolDlg() override;
  // 0 all, 1 diluent, 2 lyse, 3 cleanser.
  void SetReagent(uint8_t selector) { selector_ = selector; }

  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  uint8_t selector_ = 0;
  CADOConn conn_;
  CXPEdit edits_[3];
  CStaticTrans labels_[kLabelCount];
  CXPGroupBox newFrame_, leftFrame_;
  CXPButton ok_, cancel_, keyboard_;
};

}  // namespace analyzer
