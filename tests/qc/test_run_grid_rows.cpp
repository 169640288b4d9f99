// The run tables of the L-J and X-R run screens show every one of their rows (the heading, date,
// time and the 20 parameters) without scrolling, at both layout scales: the horizontal scroll
// bar the many result columns bring must not cover the last parameter.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "controls/message_box_dlg.h"
#include "controls/skin_loader.h"
#include "core/layout.h"
#include "platform/ui/resources.h"
#include "qc/lj_qc_run.h"
#include "qc/xr_qc_run.h"
#include "qc_screen_fixture.h"

namespace {

class QcRunGridRows : public QcScreenTest {
 protected:
  // Restarts the offscreen display at `width` x `height` with its layout scale.
  void Display(int width, int height, float scale) {
    ui::TestDriver::Stop();
    AppSettings.LayoutScale = scale;
    AppSettings.LargeScreen = scale == 1.0f ? 0 : 1;
    InitSharedDialogFont();
    ASSERT_TRUE(ui::TestDriver::Start(width, height));
    ui::Resources::Clear();
    RegisterSkinBitmaps("/nonexistent/");
    InstallProgramMessageBox();
  }
};

TEST_F(QcRunGridRows, EveryRowOfTheRunTableIsInView) {
  Sql("insert into LJQCSet(QcFileNo,BatchNo,ExpDate) values(1,'LJ','2099-01-01')");
  Sql("insert into XRQCSet(QcFileNo,BatchNo,ExpDate,GroupNum,NumPerGroup) values(1,'XR','2099-01-01',5,5)");
  struct Size {
    int width, height;
    float scale;
  };
  for (const Size& size : {Size{640, 480, 1.0f}, Size{800, 600, 1.25f}, Size{1024, 768, 1.25f}})
    for (int kind = 0; kind < 2; ++kind) {
      Display(size.width, size.height, size.scale);
      std::unique_ptr<qc::QcRunScreen> screen;
      if (kind == 0) {
        auto lj = std::make_unique<qc::CLJQCRun>(nullptr);
        lj->QcFileNo = 1;
        screen = std::move(lj);
      } else {
        auto xr = std::make_unique<qc::CXRQCRun>(nullptr);
        xr->QcFileNo = 1;
        screen = std::move(xr);
      }
      const std::string where = std::string(kind == 0 ? "L-J" : "X-R") + " run at " + std::to_string(size.width);
      int rows = 0, rowsBottom = 0, clientHeight = 0;
      bool vertical = true;
      ASSERT_TRUE(d.RunScript([&] { screen->DoModal(); },
                              [&](ui::TestDriver& s) {
                                DrainBoxes(s, 500);
                                s.RunUntil([&] {
                                  CGridCtrl& g = screen->grid();
                                  rows = g.GetRowCount();
                                  rowsBottom = 0;
                                  for (int r = 0; r < rows; ++r) rowsBottom += g.RowHeightAt(r);
                                  clientHeight = g.GetClientRect().Height();
                                  vertical = g.GetVerticalBarShown();
                                  return true;
                                });
                                s.Press(ui::IDCANCEL);
                                s.Advance(600);
                                DrainBoxes(s, 500);
                                s.RunUntil([&] { return screen->IsEnded(); }, 3000);
                              }))
          << where;
      EXPECT_EQ(rows, 23) << where;
      // The client area is what the scroll bars leave of the table's window.
      EXPECT_LE(rowsBottom, clientHeight) << where;
      EXPECT_FALSE(vertical) << where;
    }
}

}  // namespace
