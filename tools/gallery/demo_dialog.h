#pragma once
// A demonstration dialog holding every standard control, in any of the five languages.
// The gallery shows it in a real window; the window framework's tests render it offscreen and
// check its pixels. It lives here, not in the framework, since its texts are the analyzer's.
#include <string>

#include "platform/ui/dialog.h"
#include "platform/ui/draw/brush.h"

namespace ui::demo {

// Control ids of the demonstration dialog.
enum : int {
  kIdTitle = 1000,
  kIdPicture = 1001,
  kIdGroup = 1002,
  kIdPush = 1003,
  kIdDefault = 1004,
  kIdOwnerDraw = 1005,
  kIdBitmapButton = 1006,
  kIdCheck = 1007,
  kIdCheck3 = 1008,
  kIdRadio1 = 1009,
  kIdRadio2 = 1010,
  kIdRadio3 = 1011,
  kIdEdit = 1012,
  kIdPassword = 1013,
  kIdDigits = 1014,
  kIdReadOnly = 1015,
  kIdDropList = 1016,
  kIdDropDown = 1017,
  kIdList = 1018,
  kIdScroll = 1019,
  kIdProgress = 1020,
  kIdSpinBuddy = 1021,
  kIdSpin = 1022,
  kIdTab = 1023,
  kIdIp = 1024,
  kIdDate = 1025,
  kIdTime = 1026,
  kIdTransparentLabel = 1027,
  kIdStatus = 1028,
};

// The skin bitmap of the owner-drawn button: a rounded face on magenta.
inline constexpr int kSkinBitmapId = 30001;
inline constexpr int kPictureBitmapId = 30002;

// Registers the bitmaps above in the resource store (idempotent).
void RegisterDemoResources();

// The frame colour drawn around the client area.
inline constexpr Color kFrameColor = RGB(0, 76, 120);
inline constexpr int kFrameWidth = 7;

class DemoDialog : public Dialog {
 public:
  // language: 0 Chinese, 1 English, 2 Spanish, 3 French, 4 Ukrainian.
  explicit DemoDialog(int language = 1);
  static DialogTemplate MakeTemplate(int language);
  int Language() const { return language_; }
  int Clicks() const { return clicks_; }

 protected:
  bool OnInitDialog() override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  const draw::Brush* OnCtlColor(draw::DC& dc, Window* control, int ctlType) override;
  void OnDrawItem(int id, DrawItemInfo& info) override;
  bool OnCommand(int id, int code, Window* control) override;
  void OnTimer(uintptr_t id) override;

 private:
  int language_;
  int clicks_ = 0;
  draw::Brush hollow_ = draw::Brush::NullBrush();
};

// The text of `key` in `language` (the demonstration's few captions).
std::string DemoText(int key, int language);

}  // namespace ui::demo
