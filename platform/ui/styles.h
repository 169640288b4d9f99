#pragma once
// Window, class and control style bits. Dialog templates and screens quote them as numbers
// (a button turned owner-drawn by adding 0x0B), so the values are fixed.
#include <cstdint>

namespace ui {

// Window styles.
inline constexpr uint32_t WS_OVERLAPPED = 0x00000000u;
inline constexpr uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr uint32_t WS_GROUP = 0x00020000u;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000u;
inline constexpr uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr uint32_t WS_HSCROLL = 0x00100000u;
inline constexpr uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr uint32_t WS_DLGFRAME = 0x00400000u;
inline constexpr uint32_t WS_BORDER = 0x00800000u;
inline constexpr uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr uint32_t WS_MAXIMIZE = 0x01000000u;
inline constexpr uint32_t WS_CLIPCHILDREN = 0x02000000u;
inline constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000u;
inline constexpr uint32_t WS_DISABLED = 0x08000000u;
inline constexpr uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr uint32_t WS_MINIMIZE = 0x20000000u;
inline constexpr uint32_t WS_CHILD = 0x40000000u;
inline constexpr uint32_t WS_POPUP = 0x80000000u;
// Extended styles.
inline constexpr uint32_t WS_EX_DLGMODALFRAME = 0x00000001u;
inline constexpr uint32_t WS_EX_TOPMOST = 0x00000008u;
inline constexpr uint32_t WS_EX_TRANSPARENT = 0x00000020u;
inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200u;
inline constexpr uint32_t WS_EX_STATICEDGE = 0x00020000u;
inline constexpr uint32_t WS_EX_NOACTIVATE = 0x08000000u;  // clicks do not activate it (drop-down lists, keyboards)
// Class styles.
 inline constexpr uint32_t CS_VREDRAW = 0x1; inline constexpr uint32_t CS_HREDRAW = 0x2; inline constexpr uint32_t CS_DBLCLKS = 0x8;

// Dialog styles.
inline constexpr uint32_t DS_SETFONT = 0x40;
inline constexpr uint32_t DS_MODALFRAME = 0x80;
inline constexpr uint32_t DS_CENTER = 0x0800;

// Buttons: the low four bits are the kind.
inline constexpr uint32_t BS_PUSHBUTTON = 0x0;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x1;
inline constexpr uint32_t BS_CHECKBOX = 0x2;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr uint32_t BS_RADIOBUTTON = 0x4;
inline constexpr uint32_t BS_3STATE = 0x5;
inline constexpr uint32_t BS_AUTO3STATE = 0x6;
inline constexpr uint32_t BS_GROUPBOX = 0x7;
inline constexpr uint32_t BS_AUTORADIOBUTTON = 0x9;
inline constexpr uint32_t BS_OWNERDRAW = 0xB;
inline constexpr uint32_t BS_TYPEMASK = 0xF;
inline constexpr uint32_t BS_LEFTTEXT = 0x20;
inline constexpr uint32_t BS_ICON = 0x40;
inline constexpr uint32_t BS_BITMAP = 0x80;
inline constexpr uint32_t BS_LEFT = 0x100;
inline constexpr uint32_t BS_RIGHT = 0x200;
inline constexpr uint32_t BS_CENTER = 0x300;
inline constexpr uint32_t BS_TOP = 0x400;
inline constexpr uint32_t BS_BOTTOM = 0x800;
inline constexpr uint32_t BS_VCENTER = 0xC00;
inline constexpr uint32_t BS_PUSHLIKE = 0x1000;
inline constexpr uint32_t BS_MULTILINE = 0x2000;
inline constexpr uint32_t BS_NOTIFY = 0x4000;
inline constexpr uint32_t BS_FLAT = 0x8000;
 inline constexpr int BST_UNCHECKED = 0; inline constexpr int BST_CHECKED = 1; inline constexpr int BST_INDETERMINATE = 2; inline constexpr int BST_PUSHED = 4; inline constexpr int BST_FOCUS = 8;

// Statics: the low five bits are the kind.
inline constexpr uint32_t SS_LEFT = 0x0;
inline constexpr uint32_t SS_CENTER = 0x1;
inline constexpr uint32_t SS_RIGHT = 0x2;
inline constexpr uint32_t SS_ICON = 0x3;
inline constexpr uint32_t SS_BLACKRECT = 0x4;
inline constexpr uint32_t SS_GRAYRECT = 0x5;
inline constexpr uint32_t SS_WHITERECT = 0x6;
inline constexpr uint32_t SS_BLACKFRAME = 0x7;
inline constexpr uint32_t SS_GRAYFRAME = 0x8;
inline constexpr uint32_t SS_WHITEFRAME = 0x9;
inline constexpr uint32_t SS_SIMPLE = 0xB;
inline constexpr uint32_t SS_LEFTNOWORDWRAP = 0xC;
inline constexpr uint32_t SS_OWNERDRAW = 0xD;
inline constexpr uint32_t SS_BITMAP = 0xE;
inline constexpr uint32_t SS_ETCHEDFRAME = 0x12;
inline constexpr uint32_t SS_TYPEMASK = 0x1F;
inline constexpr uint32_t SS_NOPREFIX = 0x80;
inline constexpr uint32_t SS_NOTIFY = 0x100;
inline constexpr uint32_t SS_CENTERIMAGE = 0x200;
inline constexpr uint32_t SS_SUNKEN = 0x1000;
inline constexpr uint32_t SS_ENDELLIPSIS = 0x4000;

// Edits.
inline constexpr uint32_t ES_LEFT = 0x0;
inline constexpr uint32_t ES_CENTER = 0x1;
inline constexpr uint32_t ES_RIGHT = 0x2;
inline constexpr uint32_t ES_MULTILINE = 0x4;
inline constexpr uint32_t ES_UPPERCASE = 0x8;
inline constexpr uint32_t ES_LOWERCASE = 0x10;
inline constexpr uint32_t ES_PASSWORD = 0x20;
inline constexpr uint32_t ES_AUTOVSCROLL = 0x40;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x80;
inline constexpr uint32_t ES_NOHIDESEL = 0x100;
inline constexpr uint32_t ES_READONLY = 0x800;
inline constexpr uint32_t ES_WANTRETURN = 0x1000;
inline constexpr uint32_t ES_NUMBER = 0x2000;

// Combo boxes.
inline constexpr uint32_t CBS_SIMPLE = 0x1;
inline constexpr uint32_t CBS_DROPDOWN = 0x2;
inline constexpr uint32_t CBS_DROPDOWNLIST = 0x3;
inline constexpr uint32_t CBS_OWNERDRAWFIXED = 0x10;
inline constexpr uint32_t CBS_OWNERDRAWVARIABLE = 0x20;
inline constexpr uint32_t CBS_AUTOHSCROLL = 0x40;
inline constexpr uint32_t CBS_SORT = 0x100;
inline constexpr uint32_t CBS_HASSTRINGS = 0x200;
inline constexpr uint32_t CBS_NOINTEGRALHEIGHT = 0x400;

// List boxes.
inline constexpr uint32_t LBS_NOTIFY = 0x1;
inline constexpr uint32_t LBS_SORT = 0x2;
inline constexpr uint32_t LBS_NOREDRAW = 0x4;
inline constexpr uint32_t LBS_MULTIPLESEL = 0x8;
inline constexpr uint32_t LBS_OWNERDRAWFIXED = 0x10;
inline constexpr uint32_t LBS_HASSTRINGS = 0x40;
inline constexpr uint32_t LBS_NOINTEGRALHEIGHT = 0x100;
inline constexpr uint32_t LBS_EXTENDEDSEL = 0x800;
inline constexpr uint32_t LBS_DISABLENOSCROLL = 0x1000;
inline constexpr uint32_t LBS_NOSEL = 0x4000;
inline constexpr uint32_t LBS_STANDARD = 0x00A00003;

// Scroll bars.
 inline constexpr uint32_t SBS_HORZ = 0x0; inline constexpr uint32_t SBS_VERT = 0x1;

// Progress bars.
 inline constexpr uint32_t PBS_SMOOTH = 0x1; inline constexpr uint32_t PBS_VERTICAL = 0x4;

// Up-down controls.
inline constexpr uint32_t UDS_WRAP = 0x1;
inline constexpr uint32_t UDS_SETBUDDYINT = 0x2;
inline constexpr uint32_t UDS_ALIGNRIGHT = 0x4;
inline constexpr uint32_t UDS_ALIGNLEFT = 0x8;
inline constexpr uint32_t UDS_AUTOBUDDY = 0x10;
inline constexpr uint32_t UDS_ARROWKEYS = 0x20;
inline constexpr uint32_t UDS_HORZ = 0x40;
inline constexpr uint32_t UDS_NOTHOUSANDS = 0x80;

// Date-time pickers.
 inline constexpr uint32_t DTS_SHORTDATEFORMAT = 0x0; inline constexpr uint32_t DTS_UPDOWN = 0x1; inline constexpr uint32_t DTS_SHOWNONE = 0x2; inline constexpr uint32_t DTS_LONGDATEFORMAT = 0x4; inline constexpr uint32_t DTS_TIMEFORMAT = 0x9;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// System colours (for SysColor).
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_INACTIVECAPTION = 3;

}  // namespace ui
