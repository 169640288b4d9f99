#pragma once
// The print hint: a small modeless pop-up ("Printing......") shown while a report prints,
// and the message WM_PRINT_PROGRESS by which a print thread tells its screen that printing
// has started or ended.
//
// Two conventions, fixed per screen:
//  - history list and system log: wParam 1 when printing starts (the screen shows the hint,
//    PrintHintHolder::Show), 0 when it is over (the screen removes it and enables its buttons);
//  - QC graph screens: wParam is the enabled state of the print buttons (0 at the start, 1 at
//    the end); the print thread shows and removes the hint itself.
// lParam is 0 in both.
#include <cstdint>
#include <memory>

#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"
#include "platform/ui/dialog_template.h"
#include "platform/ui/messages.h"
#include "platform/ui/types.h"

inline constexpr uint32_t WM_PRINT_PROGRESS = ui::WM_USER + 176;

inline constexpr int IDD_PRINT_HINT = 223;
inline constexpr int IDC_PRINT_HINT_GROUP = 1988;
inline constexpr int IDC_PRINT_HINT_TEXT = 1706;
inline constexpr int IDI_PRINT_HINT = 492;

// The label's text in the language (0 Chinese .. 4 Ukrainian; others English).
const char* PrintHintText(int language);
// True for the key-downs the hint swallows: Escape and Enter, so the keyboard cannot close it.
bool PrintHintSwallowsKey(const ui::Message& msg);

// The hint's dialog template: 218 x 52 dialog units, pop-up, visible, centred; group box 1988,
// icon 492, label 1706.
ui::DialogTemplate PrintHintTemplate();
// Registers template 223 and icon 492 with the resource store unless they are there already.
void RegisterPrintHintResources();
// The printer icon of the hint (32 x 32, transparent outside the drawing).
draw::Bitmap MakePrintHintIcon();

class CPrintHintDlg : public ui::Dialog {
 public:
  explicit CPrintHintDlg(ui::Window* parent = nullptr);

  bool OnInitDialog() override;
  bool PreTranslateMessage(ui::Message& msg) override;

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;

 private:
  CXPGroupBox group_;  // the frame round the icon and the text
};

// Creates the hint with no parent, shown on top of everything; nullptr when it cannot be made.
std::unique_ptr<CPrintHintDlg> ShowPrintHint();

// A screen's single hint for the first convention: Show on wParam 1, Hide on wParam 0.
class PrintHintHolder {
 public:
  ~PrintHintHolder() { Hide(); }
  void Show();
  void Hide();
  bool IsShown() const { return hint_ != nullptr; }
  CPrintHintDlg* Hint() const { return hint_.get(); }

 private:
  std::unique_ptr<CPrintHintDlg> hint_;
};

// Posts WM_PRINT_PROGRESS (wParam `state`, lParam 0) to the screen; false when there is none.
bool PostPrintProgress(ui::Window* screen, int state);
