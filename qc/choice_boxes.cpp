#include "qc/choice_boxes.h"

#include "core/app_settings.h"
#include "qc/lj_qc_para_set.h"

namespace qc {

void SetUpOkCancel(ui::Window* dialog, CXPButton& ok, CXPButton& cancel, int lang) {
  ok.SubclassDlgItem(ui::IDOK, dialog);
  cancel.SubclassDlgItem(ui::IDCANCEL, dialog);
  ok.SetWindowText(PickText(lang, "确定", "OK", "Aceptar", "OK", "OK"));
  cancel.SetWindowText(PickText(lang, "取消", "Cancel", "Cancelar", "Annuler", "Відміна"));
  ok.SetBitmaps(466, 465, 464);
  cancel.SetBitmaps(472, 471, 470);
}

void SetUpParameterBoxes(ui::Window* dialog, CXPCheckButton (&boxes)[20], const std::array<int, 20>& chosen) {
  for (int i = 0; i < 20; ++i) {
    boxes[i].SubclassDlgItem(IDC_PARA_CHECK0 + i, dialog);
    boxes[i].SendMessage(ui::BM_SETCHECK, static_cast<ui::WParam>(chosen[i] == 1 ? 1 : 0), 0);
  }
}

std::array<int, 20> TickedParameters(CXPCheckButton (&boxes)[20]) {
  std::array<int, 20> ticked{};
  for (int i = 0; i < 20; ++i) ticked[i] = boxes[i].SendMessage(ui::BM_GETCHECK, 0, 0) == 1 ? 1 : 0;
  return ticked;
}

}  // namespace qc
