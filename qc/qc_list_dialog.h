#pragma once
// What the L-J, X-R and X-B result lists share: the run table with its font, the data store
// connection, the Send, Delete, Help and Exit buttons, Enter and Escape that do not close the list,
// the dialog frame, and Exit that closes the connection.
#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "core/ado_conn.h"
#include "platform/ui/dialog.h"

namespace qc {

class QcListDialog : public ui::Dialog {
 public:
  using ui::Dialog::Dialog;
  CGridCtrl& grid() { return grid_; }

 protected:
  // The run table over `area`, in the lists' font.
  void CreateRunGrid(const ui::Rect& area, int id);
  // The captions of Send, Delete, Help and Exit in the language.
  void ShowButtonCaptions(int language);

  void OnCancel() override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;

  CXPButton send_, delete_, help_, exit_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CADOConn conn_;
};

}  // namespace qc
