// The dialogs the swept screens open from their buttons, in the five languages on the three
// display sizes, opened the way the operator opens them: the screen comes up, its buttons are
// pressed in turn, and every dialog on the way is looked over with the common checks (on the
// display, inside the dialog, captions fitting their buttons). Buttons that start a count or
// need the analyzer's hardware beyond the board simulator are left out.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/screens/reagent_sel.h"
#include "app/screens/bak_recover.h"
#include "app/screens/main_menu_texts.h"
#include "app/screens/vantorium_dlg.h"
#include "core/screen_registry.h"
#include "history/history_graphics.h"
#include "history/history_list.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/window.h"
#include "qc/lj_qc_graph.h"
#include "qc/lj_qc_set.h"
#include "qc/qc_file_sel.h"
#include "qc/qc_sel.h"
#include "qc/xb_qc_graph.h"
#include "qc/xb_qc_set.h"
#include "service/back_door2.h"
#include "service/debug_sel.h"
#include "service/mech_check_dlg.h"
#include "service/service_sel.h"
#include "sweep_fixture.h"

namespace {

struct SubDialogCase {
  const char* name;           // names the case and its screenshots
  const char* screen;         // the registered screen the path starts on
  std::vector<int> path;      // buttons pressed in turn, each opening the next dialog
  const char* seed = nullptr; // rows the screen needs before the buttons are pressed
  // What the operator does on the screen before the first button (on the UI thread).
  std::function<void(ui::Window*)> prepare = {};
};

// The results browser with its first result chosen, as a tap on its column chooses it.
void ChooseFirstResult(ui::Window* screen) {
  if (auto* list = dynamic_cast<CHistoryList*>(screen))
    list->Grid().SetSelectedRange(0, 1, list->Grid().GetRowCount() - 1, 1, false, true);
}

// One stored result: the results browser offers its search and selection only when it has one.
constexpr const char* kOneResult =
    "insert into Person(SampleNo,TestDate,TestTime,Name,WBC,RBC,HGB,PLT) "
    "values('1','2026-01-05','08:00:00','Ann','7.2','4.5','14.1','220')";

// One run of the first L-J file: the list shows its date and time in a result column.
constexpr const char* kOneLjRun =
    "insert into LJQCRunResult(QcFileNo,TestDate,TestTime,WBC) values(1,'2026-12-25','23:59:58',5.2)";

using analyzer::CReagentSel;
using service::CBackDoor2;
using service::CMechCheckDlg;
using service::CServiceSel;

const SubDialogCase kSubDialogs[] = {
    // maintenance
    {"Prime", "CServiceSel", {CServiceSel::kPrimeId}},
    {"ReplaceReagent", "CServiceSel", {CServiceSel::kReplaceId, CReagentSel::kDiluentId}},
    {"StopUse", "CServiceSel", {CServiceSel::kStopUseId}},
    {"Valves", "CServiceSel", {CServiceSel::kMechanicsId, CMechCheckDlg::kValvesId}},
    {"BackupFolder", "CBackDoor2", {CBackDoor2::kBackupId, IDC_BAK_BROWSE}},
    {"RestoreFolder", "CBackDoor2", {CBackDoor2::kRecoveryId, IDC_BAK_BROWSE}},
    // quality control: the screens of one QC file are reached through the file choice
    {"LjRun", "CQCSel", {qc::IDC_LJ_RUN, qc::IDC_QC_FILE1}},
    {"LjList", "CQCSel", {qc::IDC_LJ_LIST, qc::IDC_QC_FILE1}, kOneLjRun},
    {"LjGraphPrint", "CQCSel", {qc::IDC_LJ_GRAPH, qc::IDC_QC_FILE1, qc::IDC_LJG_PRINT}},
    {"LjRules", "CLJQCSet", {qc::IDC_LJS_RULES}},
    {"LjParameters", "CLJQCSet", {qc::IDC_LJS_ITEMS}},
    {"XbParameters", "CXBQcSet", {qc::IDC_XBS_ITEMS}},
    {"XbGraphPrint", "CXBQCGraph", {qc::IDC_XBG_PRINT}},
    // results
    {"HistorySearch", "CHistoryList", {IDC_HL_SEARCH}, kOneResult},
    {"HistorySelect", "CHistoryList", {IDC_HL_SELECT}, kOneResult},
    {"HistoryDetail", "CHistoryList", {IDC_HL_DETAIL}, kOneResult, ChooseFirstResult},
    {"HistoryProfile", "CHistoryList", {IDC_HL_DETAIL, IDC_HG_PROFILE}, kOneResult, ChooseFirstResult},
};

// The top-level window the operator is working in.
ui::Window* ActiveTop() {
  ui::Window* a = ui::Window::GetActiveWindow();
  return a ? a->GetTopLevel() : nullptr;
}

class SubDialogFixture : public ScreenSweep {
 protected:
  // Presses `id` in `from` and returns the dialog it opens, once the message boxes raised on
  // the way are answered with their first button (null when none came up).
  ui::Window* OpenFrom(ui::TestDriver& s, const std::string& where, ui::Window* from, int id) {
    if (!s.Press(id)) {
      Finding(where, "button " + std::to_string(id) + (s.Find(id) == nullptr ? " is not there"
                                                      : !s.Visible(id)  ? " is hidden"
                                                      : !s.Enabled(id)  ? " is disabled"
                                                                        : " is covered"));
      return nullptr;
    }
    for (int round = 0; round < 6; ++round) {
      ui::Window* top = nullptr;
      s.RunUntil([&] {
        top = ActiveTop();
        return top != nullptr && top != from;
      }, 2000);
      if (top == nullptr || top == from) {
        s.Advance(300);
        continue;
      }
      if (!top->IsMessageBox()) return top;
      ui::Window* first = nullptr;
      s.RunUntil([&] {
        for (ui::Window* c : top->Children())
          if (!first && c->ClassName() == "Button" && c->IsWindowVisible() && c->IsWindowEnabled()) first = c;
        return true;
      });
      if (!first || !s.Press(first)) return nullptr;
    }
    return nullptr;
  }

  void Check(ui::TestDriver& s, const std::string& where, ui::Window* dialog) {
    std::vector<std::string> problems;
    s.RunUntil([&] {
      problems = CheckScreen(dialog);
      return true;
    });
    for (const std::string& p : problems) Finding(where, p);
  }

  // Ends the dialogs above `screen`, top first, answering what they ask on the way out.
  void EndAbove(ui::TestDriver& s, ui::Window* screen) {
    for (int round = 0; round < 12; ++round) {
      bool box = false, above = false;
      s.RunUntil([&] {
        ui::Window* top = ActiveTop();
        if (top && top->IsMessageBox()) {
          box = true;
        } else if (top && top != screen) {
          above = true;
          if (auto* dlg = dynamic_cast<ui::Dialog*>(top); dlg && !dlg->IsEnded()) dlg->EndDialog(ui::IDCANCEL);
        }
        return true;
      });
      if (!box && !above) return;
      if (box && !s.AnswerMessageBox(ui::IDOK) && !s.AnswerMessageBox(ui::IDYES)) s.AnswerMessageBox(ui::IDCANCEL);
      s.Advance(1000);
    }
  }
};

class SubDialogSweep : public SubDialogFixture, public ::testing::WithParamInterface<SubDialogCase> {};

TEST_P(SubDialogSweep, OnTheDisplayAndInsideTheDialog) {
  const SubDialogCase& c = GetParam();
  if (c.seed) support::ExecSql(c.seed);
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      const std::string where = std::string(c.name) + "_" + kSweepLanguages[lang] + "_" + display.name;
      Sweep(where, [&] { RunScreen(c.screen); },
            [&](ui::TestDriver& s, ui::Window* screen, const draw::Bitmap&) {
              if (c.prepare)
                s.RunUntil([&] {
                  c.prepare(screen);
                  return true;
                });
              ui::Window* from = screen;
              for (size_t i = 0; i < c.path.size(); ++i) {
                const std::string step = where + " after button " + std::to_string(c.path[i]);
                ui::Window* dialog = OpenFrom(s, step, from, c.path[i]);
                if (!dialog) {
                  Finding(step, "no dialog came up");
                  break;
                }
                const int before = findings_;
                Check(s, step, dialog);
                if (findings_ != before || std::getenv("QUORVEX_SWEEP_PNG")) {
                  const std::filesystem::path dir = std::filesystem::current_path() / "png" / "sweep";
                  std::filesystem::create_directories(dir);
                  s.Screen().SavePng((dir / (where + "_" + std::to_string(i + 1) + ".png")).string());
                }
                from = dialog;
              }
              EndAbove(s, screen);
            });
    }
}

std::string CaseName(const ::testing::TestParamInfo<SubDialogCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(SubDialogs, SubDialogSweep, ::testing::ValuesIn(kSubDialogs), CaseName);

// The debug screen's second page (the hidden settings), shown by its tab as the operator shows
// it: on the display and inside the screen like the first.
TEST_F(SubDialogFixture, DebugScreenSecondPage) {
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      const std::string where = std::string("CDebugSel_tab2_") + kSweepLanguages[lang] + "_" + display.name;
      Sweep(where, [] { RunScreen("CDebugSel"); },
            [&](ui::TestDriver& s, ui::Window* screen, const draw::Bitmap&) {
              auto* tab = dynamic_cast<ui::TabControl*>(screen->GetDlgItem(service::CDebugSel::kTabId));
              ASSERT_NE(tab, nullptr);
              ui::Point header;
              s.RunUntil([&] {
                header = tab->ClientToScreen(tab->GetItemRect(1).Center());
                return true;
              });
              s.ClickAt(header);
              bool second = false;
              s.RunUntil([&] {
                auto* debug = dynamic_cast<service::CDebugSel*>(screen);
                second = debug && debug->page2()->IsWindowVisible() && !debug->page1()->IsWindowVisible();
                return true;
              });
              EXPECT_TRUE(second) << where << ": the second page is not shown";
              const int before = findings_;
              Check(s, where, screen);
              if (findings_ != before || std::getenv("QUORVEX_SWEEP_PNG")) {
                const std::filesystem::path dir = std::filesystem::current_path() / "png" / "sweep";
                std::filesystem::create_directories(dir);
                s.Screen().SavePng((dir / (where + "_page2.png")).string());
              }
            });
    }
}

// Whether `screen` cuts through `part`: covers some of it but not all.
bool Slices(const ui::Rect& screen, const ui::Rect& part) {
  const ui::Rect common = screen.Intersect(part);
  return !common.IsEmpty() && common != part;
}

// A screen the main menu opens either covers the whole display or leaves the menu's title line
// and its status line (with the shut-down button) whole round it: never a slice of them above
// and below. The product banner in the middle is what the small pop-up menus lie over.
TEST_F(SubDialogFixture, MainMenuScreensLeaveNoSlicesOfTheMenu) {
  const int buttons[] = {IDC_MENU_RESULTS, IDC_MENU_SYSINFO, IDC_MENU_ABOUT,  IDC_MENU_QC,
                         IDC_MENU_CALIBRATION, IDC_MENU_SERVICE, IDC_MENU_SETTING};
  for (const SweepDisplay& display : kSweepDisplays)
    for (int lang = 0; lang < 5; ++lang) {
      Show(display, lang);
      RegisterScreen("CSampleTest", {});  // the menu shows at once instead of the test screen first
      const std::string where = std::string("MainMenuScreens_") + kSweepLanguages[lang] + "_" + display.name;
      Sweep(
          where,
          [] {
            CVantoriumDlg menu(nullptr);
            menu.DoModal();
          },
          [&](ui::TestDriver& s, ui::Window* menu, const draw::Bitmap&) {
            for (int id : buttons) {
              const std::string step = where + " after button " + std::to_string(id);
              ui::Window* screen = OpenFrom(s, step, menu, id);
              if (!screen) {
                Finding(step, "no screen came up");
                continue;
              }
              std::vector<std::string> problems;
              s.RunUntil([&] {
                const ui::Rect r = screen->GetWindowRect();
                for (int part : {IDC_MENU_PRODUCT_TOP, IDC_MENU_STATUS, IDC_MENU_SHUTDOWN})
                  if (ui::Window* w = menu->GetDlgItem(part); w && Slices(r, w->GetWindowRect()))
                    problems.push_back("the screen at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " +
                                       std::to_string(r.Width()) + "x" + std::to_string(r.Height()) +
                                       " leaves a slice of the main menu's control " + std::to_string(part));
                return true;
              });
              for (const std::string& p : problems) Finding(step, p);
              EndAbove(s, menu);
            }
          });
    }
}

}  // namespace
