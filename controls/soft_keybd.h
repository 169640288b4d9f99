#pragma once
// CSoftKeybd: the small key pad for the touch screen: the ten digits and the 26 capital
// letters, a read-only field with what has been typed, OK and Cancel. On IDOK the caller reads
// typedText.
#include <string>

#include "platform/ui/dialog.h"

inline constexpr int IDD_SOFT_KEYBD = 111;
inline constexpr int IDC_SOFT_KEYBD_TEXT = 1090;
inline constexpr int IDI_SOFT_KEYBD = 278;
// Control id of the key that types `ch` ('0'..'9', 'A'..'Z'); 0 for any other character.
int SoftKeybdKeyId(char ch);

class CSoftKeybd : public ui::Dialog {
 public:
  explicit CSoftKeybd(ui::Window* parent = nullptr);

  std::string typedText;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  // The title bar and rim in the program's own frame colour (the message box's), not the
  // system's.
  void PaintNonClient(draw::DC& dc) override;
};

ui::DialogTemplate SoftKeybdTemplate();
