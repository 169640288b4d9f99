#include "qc/chart_labels.h"

#include <string>

namespace qc {

void ChartLabels::TakeOver(ui::Window* dialog) {
  std::vector<int> ids;
  for (ui::Window* child : dialog->Children())
    // Hidden statics only mark where a chart goes.
    if (child->ClassName() == "Static" && (child->GetStyle() & ui::WS_VISIBLE)) ids.push_back(child->GetDlgCtrlID());
  for (int id : ids) {
    auto label = std::make_unique<CStaticTrans>();
    if (!label->SubclassDlgItem(id, dialog)) continue;
    label->SetBkColor(draw::RGB(190, 198, 201));
    labels_.push_back(std::move(label));
  }
}

void ChartLabels::RedrawAll() {
  for (auto& l : labels_) l->Invalidate(true);
}

}  // namespace qc
