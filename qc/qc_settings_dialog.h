#pragma once
// The look and keys the QC file settings screens (L-J, X-R, X-B) share: Enter and Escape do not
// close them, the striped frame of seven bands, labels on the frame's colour and edit texts in
// the screens' dark slate.
#include <functional>

#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

namespace qc {

class QcSettingsDialog : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;

 protected:
  // Delete of the shown file (L-J, X-R): with no saved settings "No data in current QC file!";
  // after the operator's yes the settings row goes, then `cleared` empties the screen's fields,
  // then the file's results go and the operator reads that the file's data were deleted. A
  // delete the store refused stops there.
  void DeleteFileSettings(CADOConn& conn, bool hasRow, const char* setTable, const char* runTable, int fileNo,
                          const std::function<void()>& cleared);

  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
};

}  // namespace qc
