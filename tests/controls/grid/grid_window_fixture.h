#pragma once
// A grid window on an offscreen screen: a top-level host records what the grid tells it
// (WM_NOTIFY records and the WM_COMMAND posted after each tap), the test driver works it.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "platform/ui/app.h"
#include "platform/ui/input.h"
#include "platform/ui/keys.h"
#include "platform/ui/test_driver.h"

struct GridNote {
  int code, row, col;
  friend bool operator==(const GridNote&, const GridNote&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const GridNote& n) {
  return os << "{" << n.code << " @" << n.row << "," << n.col << "}";
}

class GridHost : public ui::Window {
 public:
  std::vector<GridNote> notes;
  std::vector<int> commands;               // control ids of WM_COMMAND
  std::map<int, ui::LResult> replies;      // notification code -> answer
  std::vector<std::string> endEditTexts;   // the grid's text at each -176
  std::vector<CCellSpan> cacheHints;       // virtual mode: the spans announced
  std::function<void(CellRecord&)> fill;   // virtual mode: fills a requested cell

 protected:
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override {
    if (msg == ui::WM_NOTIFY) {
      auto* n = reinterpret_cast<GridViewNotify*>(l);
      if (n->hdr.code == GVN_ODCACHEHINT) {
        cacheHints.push_back(reinterpret_cast<GridSpanNotify*>(l)->span);
        return 0;
      }
      if (n->hdr.code == GVN_GETDISPINFO) {
        if (fill) fill(reinterpret_cast<GridDispInfo*>(l)->item);
        return 0;
      }
      notes.push_back({n->hdr.code, n->row, n->col});
      if (n->hdr.code == GVN_ENDLABELEDIT) {
        auto* grid = dynamic_cast<CGridCtrl*>(n->hdr.from);
        endEditTexts.push_back(grid ? grid->GetItemText(n->row, n->col) : "");
      }
      auto it = replies.find(n->hdr.code);
      return it == replies.end() ? 0 : it->second;
    }
    if (msg == ui::WM_COMMAND) {
      commands.push_back(static_cast<int>(ui::LoWord(w)));
      return 0;
    }
    return ui::Window::WindowProc(msg, w, l);
  }
};

// Rows 20 pixels high and columns 50 wide unless a test changes them.
class GridWindowTest : public ::testing::Test {
 protected:
  static constexpr int kGridId = 1234;

  void SetUp() override {
    ASSERT_TRUE(ui::TestDriver::Start(800, 600));
    host = std::make_unique<GridHost>();
    ASSERT_TRUE(host->Create("GridHost", "host", ui::WS_POPUP | ui::WS_VISIBLE, draw::Rect(0, 0, 800, 600), nullptr));
    host->SetActiveWindow();
    grid = std::make_unique<CGridCtrl>(10, 6, 1, 1);
    ASSERT_TRUE(grid->Create(draw::Rect(10, 10, 410, 310), host.get(), kGridId, ui::WS_CHILD | ui::WS_VISIBLE));
    grid->EnableTitleTips(false);
    Shape(20, 50);
    // Modifier keys are as the last input left them: start with none held.
    Mouse(ui::InputEvent::Kind::MouseMove, 790 - 10, 590 - 10);
  }
  void TearDown() override {
    grid.reset();
    host.reset();
    ui::TestDriver::Stop();
  }

  void Shape(int rowHeight, int colWidth) {
    for (int r = 0; r < grid->GetRowCount(); ++r) grid->SetRowHeight(r, rowHeight);
    for (int c = 0; c < grid->GetColumnCount(); ++c) grid->SetColumnWidth(c, colWidth);
    for (int r = 0; r < grid->GetRowCount(); ++r)
      for (int c = 0; c < grid->GetColumnCount(); ++c) {
        std::string text = std::to_string(r);
        text += ',';
        text += std::to_string(c);
        grid->SetItemText(r, c, text);
      }
    grid->Refresh();
  }

  // Screen point of a client point of the grid.
  draw::Point Screen(int x, int y) const { return grid->ClientToScreen(draw::Point(x, y)); }
  // The middle of a cell, in grid client coordinates.
  draw::Point Middle(int row, int col) const {
    draw::Rect r;
    EXPECT_TRUE(grid->ComputeCellRect(row, col, &r));
    return draw::Point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void Click(int x, int y, bool shift = false, bool ctrl = false) {
    Mouse(ui::InputEvent::Kind::MouseMove, x, y, shift, ctrl);
    Mouse(ui::InputEvent::Kind::MouseDown, x, y, shift, ctrl);
    Mouse(ui::InputEvent::Kind::MouseUp, x, y, shift, ctrl);
  }
  void ClickCell(int row, int col, bool shift = false, bool ctrl = false) {
    const draw::Point p = Middle(row, col);
    Click(p.x, p.y, shift, ctrl);
  }
  void Mouse(ui::InputEvent::Kind kind, int x, int y, bool shift = false, bool ctrl = false, int clicks = 1,
             int button = 0) {
    ui::InputEvent e;
    e.kind = kind;
    e.pt = Screen(x, y);
    e.shift = shift;
    e.ctrl = ctrl;
    e.clicks = clicks;
    e.button = button;
    ui::InjectInput(e);
    d.Settle();
  }
  void Clear() {
    host->notes.clear();
    host->commands.clear();
  }

  ui::TestDriver d;
  std::unique_ptr<GridHost> host;
  std::unique_ptr<CGridCtrl> grid;
};
