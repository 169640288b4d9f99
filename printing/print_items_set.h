#pragma once
// CPrintItemsSet: the print templates screen (dialog 308). It shows the default template, lets
// the operator look at any of the three, tick the parameters, and make the shown template the
// only default with OK; Cancel writes nothing.
#include <string>

#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_check_button.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"

inline constexpr int IDD_PRINT_ITEMS_SET = 308;
inline constexpr int IDC_PRINT_ITEMS_FRAME = 1989;
inline constexpr int IDC_PRINT_ITEMS_BOXES = 1753;
inline constexpr int IDC_PRINT_ITEMS_MODEL = 1752;
inline constexpr int IDC_PRINT_ITEM_FIRST = 1241;  // 1241 + display position
inline constexpr int IDC_MODEL1 = 1751, IDC_MODEL2 = 1749, IDC_MODEL3 = 1750;

ui::DialogTemplate PrintItemsSetTemplate();
// The template label: "Model %d" at the start, and after a Model button (Ukrainian differs).
std::string PrintItemsModelLabel(int modelNo, int language, bool afterButton);

class CPrintItemsSet : public ui::Dialog {
 public:
  explicit CPrintItemsSet(ui::Window* parent = nullptr);

  int currentModel() const { return model_; }
  // Shows template `modelNo` (the Model buttons).
  void ShowModel(int modelNo);

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  void OnOK() override;
  void OnCancel() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  void SetBoxes(const uint8_t flags[20]);

  CADOConn conn_;
  uint8_t model_ = 1;
  CXPCheckButton boxes_[20];
  CXPButton model1_, model2_, model3_, ok_, cancel_;
  CXPGroupBox frame_, boxFrame_;
  CStaticTrans label_;
};
