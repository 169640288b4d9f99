#pragma once
// The look and keys the QC file settings screens (L-J, X-R, X-B) share: Enter and Escape do not
// close them, the striped frame of seven bands, labels on the frame's colour and edit texts in
// the screens' dark slate.
#include "platform/ui/dialog.h"

namespace qc {

class QcSettingsDialog : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;

 protected:
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
};

}  // namespace qc
