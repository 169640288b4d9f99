#pragma once
// Small widgets of the control layer: a view that draws frames of a two-frame bitmap strip
// with a transparent colour (CKbcBmp), a button that ignores losing the focus (CCustomButton)
// and a one-field number entry dialog with a key that opens the on-screen keyboard (CPLT).
#include <string>

#include "controls/picture.h"
#include "controls/xp_button.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/dialog.h"

class CKbcBmp : public ui::Window {
 public:
  // Loads the strip; each of its two frames is half of its width.
  bool LoadStrip(const std::string& path);
  // Draws frame `frame` (0 or 1) at (x, y), leaving out the pixels of colour `transparent`.
  void DrawFrame(draw::DC* dc, int frame, int x, int y, draw::Color transparent);

  CPicture picture;
  int stripWidth = 0;
  int stripHeight = 0;
  int frameWidth = 0;

 protected:
  void OnPaint(draw::DC&) override {}
};

class CCustomButton : public ui::Button {
 protected:
  // Losing the focus changes nothing: the button keeps its pushed look and state.
  void OnKillFocus(ui::Window*) override {}
};

// A push button that shows a bitmap sized to it.
class CBitmapKeyButton : public ui::Button {
 public:
  void SetKeyBitmap(const draw::Bitmap& bmp) { bitmap_ = bmp; }
  const draw::Bitmap& KeyBitmap() const { return bitmap_; }
  void SizeToContent();
  // Shows the keyboard picture (the key that opens the on-screen keyboard), sized to it.
  void UseKeyboardPicture();
  // Takes over the dialog's button `id` as that key.
  bool SubclassKeyboardKey(int id, ui::Window* dialog);
  void DrawItem(ui::DrawItemInfo& info) override;

 private:
  draw::Bitmap bitmap_;
};

inline constexpr int IDD_PLT = 304;
inline constexpr int IDC_PLT_VALUE = 1711;
inline constexpr int IDC_PLT_KEYBOARD = 1514;
inline constexpr int IDB_PLT_KEYBOARD = 274;

class CPLT : public ui::Dialog {
 public:
  explicit CPLT(ui::Window* parent = nullptr);
  double value = 0.0;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnCommand(int id, int code, ui::Window* control) override;

 private:
  CBitmapKeyButton keyboard_;
  CXPButton ok_, cancel_;  // skinned as every dialog's OK and Cancel
};

ui::DialogTemplate PltTemplate();
