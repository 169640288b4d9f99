// Every screen that takes typed input can be typed into by touch alone: it has the keyboard
// button (control 1514), and after a tap on a field and then on that button the focus is in the
// field, where the keys of the on-screen keyboard go. The screens the program registers and the input
// dialogs their buttons open. The keyboard's window is a stand-in that is always there.
#include <functional>
#include <string>
#include <vector>

#include "analyzer/screens/reagent_vol_dlg.h"
#include "app/screens/bak_recover.h"
#include "controls/small_widgets.h"
#include "core/layout.h"
#include "core/onscreen_keyboard.h"
#include "core/screen_registry.h"
#include "history/history_list_find.h"
#include "history/history_sel.h"
#include "history/history_sort_jump.h"
#include "measurement/patient/set_user_value.h"
#include "platform/ui/styles.h"
#include "platform/ui/window.h"
#include "sweep_fixture.h"
#include "tests/support/keyboard_stand_in.h"

namespace {


void Collect(ui::Window* w, const std::function<bool(ui::Window*)>& pick, std::vector<ui::Window*>& out) {
  for (ui::Window* c : w->Children()) {
    if (!c->IsWindowVisible()) continue;
    if (pick(c)) out.push_back(c);
    Collect(c, pick, out);
  }
}

// A field the operator types into: a visible edit that is enabled and not read-only.
bool TakesTypedInput(ui::Window* w) {
  return w->ClassName() == "Edit" && w->IsWindowEnabled() && !(w->GetStyle() & ui::ES_READONLY);
}

class KeyboardButtonSweep : public ScreenSweep {
 protected:
  void SetUp() override {
    ScreenSweep::SetUp();
    support::InstallKeyboardStandIn();
  }
  void TearDown() override {
    support::RemoveKeyboardStandIn();
    ScreenSweep::TearDown();
  }

  // Opens the screen in English at 640 x 480 and checks it.
  void Check(const std::string& where, const std::function<void()>& open) {
    Show(kSweepDisplays[0], 1);
    Sweep(where, open, [&](ui::TestDriver& s, ui::Window* screen, const draw::Bitmap&) {
      std::vector<ui::Window*> fields, keys;
      s.RunUntil([&] {
        Collect(screen, TakesTypedInput, fields);
        Collect(screen, [](ui::Window* w) { return w->GetDlgCtrlID() == kKeyboardButtonId; }, keys);
        return true;
      });
      if (fields.empty()) return;
      if (keys.empty()) {
        Finding(where, "takes typed input (control " + std::to_string(fields[0]->GetDlgCtrlID()) +
                           ") but has no keyboard button");
        return;
      }
      // A tap on the field, then on the key: the focus is back in the field, where the keys of
      // the on-screen keyboard go. (No keys are typed here: a screen checks its fields as they
      // change, and a half-typed number would raise its message.)
      ui::Window* field = fields[0];
      s.Press(field);
      s.Press(keys[0]);
      ui::Window* focus = nullptr;
      s.RunUntil([&] {
        focus = ui::Window::GetFocus();
        return true;
      });
      if (focus != field)
        Finding(where, "after a tap on field " + std::to_string(field->GetDlgCtrlID()) +
                           " and on the keyboard button, the focus is on " +
                           (focus ? "control " + std::to_string(focus->GetDlgCtrlID()) : std::string("nothing")));
    });
  }
};

TEST_F(KeyboardButtonSweep, EveryRegisteredScreenWithAFieldHasAWorkingKeyboardButton) {
  Show(kSweepDisplays[0], 1);
  const std::vector<std::string> names = RegisteredScreens();
  ASSERT_FALSE(names.empty());
  for (const std::string& name : names) {
    // The start-up and shutdown screens run their board sequence and take no typed input.
    if (name == "CSysStart" || name == "CSysClose") continue;
    Check(name, [name] { RunScreen(name); });
  }
}

TEST_F(KeyboardButtonSweep, TheInputDialogsOpenedFromButtonsHaveAWorkingKeyboardButton) {
  const std::pair<const char*, std::function<void()>> dialogs[] = {
      {"CHistoryListFind", [] { CHistoryListFind(nullptr).DoModal(); }},
      {"CHistorySel", [] { CHistorySel(nullptr).DoModal(); }},
      {"CHistoryJump",
       [] {
         CHistoryJump jump(nullptr);
         jump.maxPosition = 100;
         jump.DoModal();
       }},
      {"CSetUserValue", [] { CSetUserValue(nullptr).DoModal(); }},
      {"CReagentVolDlg", [] { analyzer::CReagentVolDlg(nullptr).DoModal(); }},
      {"CPLT", [] { CPLT(nullptr).DoModal(); }},
      {"CBakRecover_backup",
       [] {
         CBakRecover dlg(nullptr);
         dlg.mode = 1;
         dlg.DoModal();
       }},
      {"CBakRecover_restore",
       [] {
         CBakRecover dlg(nullptr);
         dlg.mode = 2;
         dlg.DoModal();
       }},
  };
  for (const auto& [name, open] : dialogs) Check(name, open);
}

}  // namespace
