#pragma once
// The main menu's texts and picture geometry, as plain functions of the language, the user
// level, the clock and the screen size.
#include <string>

#include "platform/sys/clock.h"
#include "platform/ui/types.h"

// Control ids of the main menu.
enum MainMenuId : int {
  IDC_MENU_QC = 1000,
  IDC_MENU_TEST = 1019,
  IDC_MENU_CALIBRATION = 1020,
  IDC_MENU_RESULTS = 1021,
  IDC_MENU_SETTING = 1022,
  IDC_MENU_SERVICE = 1023,
  IDC_MENU_SYSINFO = 1024,
  IDC_MENU_SHUTDOWN = 1025,
  IDC_MENU_ABOUT = 1026,
  IDC_MENU_STATUS = 1826,
  IDC_MENU_PRODUCT_BOTTOM = 1911,
  IDC_MENU_PRODUCT_TOP = 1913,
};

// Text of one of the eight menu buttons ("" for another id).
std::string MenuButtonText(int id, int language);
// "Operator: ..." for levels 0 to 3; "" above 3 (and for a language outside 0..4).
std::string OperatorText(int level, int language);
// The F1 hint; French has six leading blanks when the texts are applied and four when the
// clock refreshes the line.
std::string F1HintText(int language, bool clockRefresh);
// "    %d-%d-%d %.2d:%.2d".
std::string ClockText(const sys::LocalTime& t);
std::string StatusLineText(int level, int language, const sys::LocalTime& t, bool clockRefresh);
// The product name, two blanks and ProduceName; "" when ProduceName is empty.
std::string ProductLineText(const std::string& productName, const std::string& produceName);
// Bitmap of the instrument picture (the first match, letter case ignored).
int InstrumentPictureId(const std::string& productName, int chineseEdition, float layoutScale);

// Where the background pictures go for a client area of W x H, scale s and large flag L.
struct MenuBackgroundRects {
  ui::Rect bottomStrip, picture, upperStrip;
};
MenuBackgroundRects MenuBackgroundLayout(int width, int height, float scale, int large);

// The shut-down question of the language.
std::string ShutdownQuestionText(int language);
