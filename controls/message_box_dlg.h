#pragma once
// CMessageBox: the program's own message box. A caption-less pop-up with a picture title
// band, grey stripes and a thick dark-blue frame; the message centred in the middle; up to
// three answer buttons whose texts follow the box type and the language; a small close button
// that always answers IDCANCEL. It can be dragged with the mouse.
//
// InstallProgramMessageBox makes every ui::MessageBox call of the program show this box.
#include <string>

#include "controls/static_trans.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/ui/dialog.h"

inline constexpr int IDD_MESSAGE_BOX = 296;
inline constexpr int IDC_MESSAGE_BOX_FRAME = 2021;
inline constexpr int IDC_MESSAGE_BOX_CLOSE = 8;
inline constexpr int IDC_MESSAGE_BOX_TEXT = 1581;
inline constexpr int IDC_MESSAGE_BOX_BUTTON1 = 1;
inline constexpr int IDC_MESSAGE_BOX_BUTTON2 = 2;
inline constexpr int IDC_MESSAGE_BOX_BUTTON3 = 5;

// Answer codes beyond the framework's IDOK ... IDNO.
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;
inline constexpr unsigned MB_HELP = 0x4000;

// What a box of one type shows: how many answer buttons, their texts for a language, and the
// answer each of the three places gives (0: none).
struct MessageBoxLayout {
  int buttons = 1;            // 1, 2 or 3
  std::string texts[3];       // button 1, button 2, button 5
  int answers[3] = {0, 0, 0}; // button 1 (and Return), button 2 (and Escape), button 5
};
// `type` as the box keeps it (type & 0x4007). A type with no answers of its own (set 7, or
// the help flag beside another set) gets the set's buttons or a single OK, so that every box
// can be answered.
MessageBoxLayout MessageBoxLayoutFor(unsigned type, int language);

// The control id that gives `answer` in a box of `type` (0: none) — for scripts that answer
// a box by its result code.
int MessageBoxButtonForAnswer(unsigned type, int answer);

class CMessageBox : public ui::Dialog {
 public:
  CMessageBox(const std::string& text, unsigned type, unsigned helpId = 0, ui::Window* parent = nullptr);
  explicit CMessageBox(ui::Window* parent);

  std::string text;
  unsigned type = 0;
  ui::Rect dragArea;
  ui::Point dragStart;
  bool dragging = false;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) override;
  void OnLButtonDown(unsigned flags, ui::Point pt) override;
  void OnMouseMove(unsigned flags, ui::Point pt) override;
  void OnLButtonUp(unsigned flags, ui::Point pt) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  CXPButton button3_;
  CXPButton close_;
  CXPButton button1_;
  CXPGroupBox frame_;
  CXPButton button2_;
  MessageBoxLayout layout_;
};

// The box template (dialog units), registered under IDD_MESSAGE_BOX on first use.
ui::DialogTemplate MessageBoxTemplate();

// Shows `text` in the program's box (no parent) and returns the answer. From another thread
// the box is shown by the user-interface thread and the caller waits for the answer.
int ShowProgramMessageBox(const std::string& text, unsigned type = 0);
// Every ui::MessageBox of the program from now on shows CMessageBox. Registers the skin
// bitmaps too. Call once on the user-interface thread after ui::Init.
void InstallProgramMessageBox();
