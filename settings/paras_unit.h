#pragma once
// CParasUnit: the display unit of the seven unit parameters and the decimals of every parameter
// group. OK stores the units row, sets the decimals in force and rescales the stored limits and
// targets of every unit that changed.
#include <string>

#include "controls/xp_button.h"
#include "controls/xp_combo_edit.h"
#include "controls/xp_group_box.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"
#include "settings/unit_rescale.h"

inline constexpr int IDD_PARAS_UNIT = 173;
enum : int { IDC_PU_FRAME = 1986, IDC_PU_ITEM_HEAD = 2074, IDC_PU_UNIT_HEAD = 2075, IDC_PU_DECIMAL_HEAD = 2073,
             IDC_PU_DEFAULT = 3, IDC_PU_ROW_LABEL_FIRST = 2600, IDC_PU_FIXED_UNIT_FIRST = 2620 };

// The fourteen rows of the screen.
struct UnitScreenRow {
  const char* label;
  int unitSlot;         // UnitSlot, or -1 for a fixed unit
  const char* fixedUnit;
  int unitComboId;      // 0 for a fixed unit
  int decimalsComboId;
  int decimalSlot;      // UnitDecimals slot
};
extern const UnitScreenRow kUnitScreenRows[14];

// The decimals a combo offers start at 1 for PCT, at 0 for every other group; HCT offers 0-3,
// PCT 1-3, the others 0-2.
int FirstDecimalOffered(int decimalSlot);
int DecimalsOffered(int decimalSlot);

class CParasUnit : public ui::Dialog {
 public:
  explicit CParasUnit(ui::Window* parent = nullptr);

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnDestroy() override;

 private:
  UnitTextSet ChosenUnits() const;
  void SelectDecimals(int row, int count);
  void OnDefault();
  void OnUnitChanged(int row);

  UnitTextSet previous_;
  bool rowExisted_ = false;
  CXPGroupBox frame_;
  CXPButton ok_, cancel_, default_;
  CXPComboBox units_[14], decimals_[14];  // by row; rows with a fixed unit leave units_ unused
  CADOConn conn_;
};
