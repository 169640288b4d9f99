#pragma once
// Message numbers. Screens name their messages by number (WM_USER + 7 for a serial byte), so
// the numbers are fixed here once; user messages start at WM_USER.
#include <cstdint>

#include "platform/ui/types.h"

namespace ui {

enum : uint32_t {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_MOVE = 0x0003,
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007,
  WM_KILLFOCUS = 0x0008,
  WM_ENABLE = 0x000A,
  WM_SETREDRAW = 0x000B,
  WM_SETTEXT = 0x000C,      // lParam: const char* (UTF-8)
  WM_GETTEXT = 0x000D,      // wParam: buffer size, lParam: char* buffer; returns length copied
  WM_GETTEXTLENGTH = 0x000E,
  WM_PAINT = 0x000F,        // wParam: draw::DC* clipped to the invalid area
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_ERASEBKGND = 0x0014,   // wParam: draw::DC*; returns non-zero when erased
  WM_SYSCOLORCHANGE = 0x0015,
  WM_SHOWWINDOW = 0x0018,
  WM_SETTINGCHANGE = 0x001A,
  WM_SETCURSOR = 0x0020,    // wParam: window under the pointer, lParam: MakeLong(hit, mouse message); non-zero: set
  WM_DRAWITEM = 0x002B,     // wParam: control id, lParam: DrawItemInfo*
  WM_SETFONT = 0x0030,      // wParam: const draw::Font* (null: the default), lParam: redraw
  WM_GETFONT = 0x0031,      // returns const draw::Font*
  WM_NOTIFY = 0x004E,
  WM_CONTEXTMENU = 0x007B,       // wParam: control id, lParam: NotifyHeader*
  WM_HELP = 0x0053,
  WM_SETICON = 0x0080,
  WM_GETDLGCODE = 0x0087,   // wParam: the key, lParam: Message* (may be null); returns DLGC_ flags
  WM_KEYDOWN = 0x0100,      // wParam: virtual key; lParam: repeat count in the low word
  WM_KEYUP = 0x0101,
  WM_CHAR = 0x0102,         // wParam: Unicode code point
  WM_SYSKEYDOWN = 0x0104,
  WM_SYSKEYUP = 0x0105,
  WM_SYSCHAR = 0x0106,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,      // wParam: MakeWParam(id, code), lParam: control handle
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,        // wParam: timer id
  WM_HSCROLL = 0x0114,      // wParam: MakeWParam(code, position), lParam: bar handle
  WM_VSCROLL = 0x0115,
  WM_CTLCOLORMSGBOX = 0x0132,  // every colour query: wParam draw::DC*, lParam control handle;
  WM_CTLCOLOREDIT = 0x0133,    // returns a const draw::Brush* (0: the default colours)
  WM_CTLCOLORLISTBOX = 0x0134,
  WM_CTLCOLORBTN = 0x0135,
  WM_CTLCOLORDLG = 0x0136,
  WM_CTLCOLORSCROLLBAR = 0x0137,
  WM_CTLCOLORSTATIC = 0x0138,
  WM_MOUSEMOVE = 0x0200,    // wParam: MK_ flags, lParam: client point
  WM_LBUTTONDOWN = 0x0201,
  WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203,
  WM_RBUTTONDOWN = 0x0204,
  WM_RBUTTONUP = 0x0205,
  WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207,
  WM_MBUTTONUP = 0x0208,
  WM_MOUSEWHEEL = 0x020A,   // wParam: MakeWParam(flags, delta), lParam: screen point
  WM_CAPTURECHANGED = 0x0215,
  WM_IME_CHAR = 0x0286,
  WM_MOUSEHOVER = 0x02A1,
  WM_MOUSELEAVE = 0x02A3,
  WM_HOTKEY = 0x0312,
  WM_USER = 0x0400,
};
constexpr uint32_t WM_MOUSEFIRST = WM_MOUSEMOVE;
constexpr uint32_t WM_MOUSELAST = WM_MOUSEWHEEL;
constexpr uint32_t WM_KEYFIRST = WM_KEYDOWN;
constexpr uint32_t WM_KEYLAST = 0x0109;

// The kinds of control that a colour query names (the parent's OnCtlColor gets one of these).
enum : int {
  CTLCOLOR_MSGBOX = 0,
  CTLCOLOR_EDIT = 1,
  CTLCOLOR_LISTBOX = 2,
  CTLCOLOR_BTN = 3,
  CTLCOLOR_DLG = 4,
  CTLCOLOR_SCROLLBAR = 5,
  CTLCOLOR_STATIC = 6,
};

// Dialog results and the standard command ids.
enum : int {
  IDOK = 1,
  IDCANCEL = 2,
  IDABORT = 3,
  IDRETRY = 4,
  IDIGNORE = 5,
  IDYES = 6,
  IDNO = 7,
};

// WM_SIZE kinds, WM_ACTIVATE states, WM_SYSCOMMAND commands.
enum : int { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
enum : int { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
enum : uint32_t { SC_CLOSE = 0xF060, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_RESTORE = 0xF120 };

// Notification codes (WM_COMMAND high word, or NotifyHeader::code).
enum : int {
  BN_CLICKED = 0,
  BN_DOUBLECLICKED = 5,
  BN_SETFOCUS = 6,
  BN_KILLFOCUS = 7,
  EN_SETFOCUS = 0x0100,
  EN_KILLFOCUS = 0x0200,
  EN_CHANGE = 0x0300,
  EN_UPDATE = 0x0400,
  EN_MAXTEXT = 0x0501,
  CBN_SELCHANGE = 1,
  CBN_DBLCLK = 2,
  CBN_SETFOCUS = 3,
  CBN_KILLFOCUS = 4,
  CBN_EDITCHANGE = 5,
  CBN_EDITUPDATE = 6,
  CBN_DROPDOWN = 7,
  CBN_CLOSEUP = 8,
  CBN_SELENDOK = 9,
  CBN_SELENDCANCEL = 10,
  LBN_SELCHANGE = 1,
  LBN_DBLCLK = 2,
  LBN_SETFOCUS = 4,
  LBN_KILLFOCUS = 5,
  STN_CLICKED = 0,
  STN_DBLCLK = 1,
};
// WM_NOTIFY codes of the common controls.
enum : int {
  NM_CLICK = -2,
  NM_DBLCLK = -3,
  TCN_SELCHANGE = -551,
  TCN_SELCHANGING = -552,
  UDN_DELTAPOS = -722,
  DTN_DATETIMECHANGE = -759,
  IPN_FIELDCHANGED = -860,
};
// Scroll codes (WM_HSCROLL / WM_VSCROLL low word).
enum : int {
  SB_LINEUP = 0, SB_LINELEFT = 0,
  SB_LINEDOWN = 1, SB_LINERIGHT = 1,
  SB_PAGEUP = 2, SB_PAGELEFT = 2,
  SB_PAGEDOWN = 3, SB_PAGERIGHT = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6, SB_LEFT = 6,
  SB_BOTTOM = 7, SB_RIGHT = 7,
  SB_ENDSCROLL = 8,
};

// Owner drawing (WM_DRAWITEM).
enum : unsigned { ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5 };
enum : unsigned { ODA_DRAWENTIRE = 1, ODA_SELECT = 2, ODA_FOCUS = 4 };
enum : unsigned {
  ODS_SELECTED = 0x0001,
  ODS_GRAYED = 0x0002,
  ODS_DISABLED = 0x0004,
  ODS_CHECKED = 0x0008,
  ODS_FOCUS = 0x0010,
  ODS_DEFAULT = 0x0020,
  ODS_COMBOBOXEDIT = 0x1000,
  ODS_HOTLIGHT = 0x0040,
};

// What keys a control wants for itself in a dialog (WM_GETDLGCODE).
enum : unsigned {
  DLGC_WANTARROWS = 0x0001,
  DLGC_WANTTAB = 0x0002,
  DLGC_WANTALLKEYS = 0x0004,
  DLGC_WANTMESSAGE = 0x0004,
  DLGC_HASSETSEL = 0x0008,
  DLGC_DEFPUSHBUTTON = 0x0010,
  DLGC_UNDEFPUSHBUTTON = 0x0020,
  DLGC_RADIOBUTTON = 0x0040,
  DLGC_WANTCHARS = 0x0080,
  DLGC_STATIC = 0x0100,
  DLGC_BUTTON = 0x2000,
};

// Mouse and key state flags in mouse messages.
enum : unsigned { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };

// Hover and leave tracking requests.
enum : unsigned { TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_CANCEL = 0x80000000u };
constexpr unsigned HOVER_DEFAULT = 0xFFFFFFFFu;  // 400 ms

}  // namespace ui

namespace ui {
// Control messages (sent to a control; text parameters are UTF-8).
enum : uint32_t {
  BM_GETCHECK = 0x00F0,
  BM_SETCHECK = 0x00F1,
  BM_GETSTATE = 0x00F2,
  BM_SETSTATE = 0x00F3,
  BM_SETSTYLE = 0x00F4,
  BM_CLICK = 0x00F5,
  EM_GETSEL = 0x00B0,       // returns MakeLong(start, end)
  EM_SETSEL = 0x00B1,
  EM_REPLACESEL = 0x00C2,   // lParam: const char*
  EM_LIMITTEXT = 0x00C5,
  EM_SETREADONLY = 0x00CF,
  EM_SETPASSWORDCHAR = 0x00CC,
  EM_GETLIMITTEXT = 0x00D5,
  STM_SETICON = 0x0170,
  STM_SETIMAGE = 0x0172,
  CB_ADDSTRING = 0x0143,    // lParam: const char*; returns the index
  CB_DELETESTRING = 0x0144,
  CB_GETCOUNT = 0x0146,
  CB_GETCURSEL = 0x0147,
  CB_GETLBTEXT = 0x0148,    // lParam: std::string*
  CB_GETLBTEXTLEN = 0x0149,
  CB_INSERTSTRING = 0x014A,
  CB_RESETCONTENT = 0x014B,
  CB_FINDSTRING = 0x014C,
  CB_SELECTSTRING = 0x014D,
  CB_SETCURSEL = 0x014E,
  CB_SHOWDROPDOWN = 0x014F,
  CB_GETITEMDATA = 0x0150,
  CB_SETITEMDATA = 0x0151,
  CB_GETDROPPEDSTATE = 0x0157,
  CB_FINDSTRINGEXACT = 0x0158,
  LB_ADDSTRING = 0x0180,
  LB_INSERTSTRING = 0x0181,
  LB_DELETESTRING = 0x0182,
  LB_RESETCONTENT = 0x0184,
  LB_SETSEL = 0x0185,
  LB_SETCURSEL = 0x0186,
  LB_GETSEL = 0x0187,
  LB_GETCURSEL = 0x0188,
  LB_GETTEXT = 0x0189,      // lParam: std::string*
  LB_GETTEXTLEN = 0x018A,
  LB_GETCOUNT = 0x018B,
  LB_GETTOPINDEX = 0x018E,
  LB_FINDSTRING = 0x018F,
  LB_GETSELCOUNT = 0x0190,
  LB_SETTOPINDEX = 0x0197,
  LB_GETITEMDATA = 0x0199,
  LB_SETITEMDATA = 0x019A,
  LB_FINDSTRINGEXACT = 0x01A2,
  SBM_SETPOS = 0x00E0,
  SBM_GETPOS = 0x00E1,
  SBM_SETRANGE = 0x00E2,
  SBM_GETRANGE = 0x00E3,
  PBM_SETRANGE = WM_USER + 1,
  PBM_SETPOS = WM_USER + 2,
  PBM_DELTAPOS = WM_USER + 3,
  PBM_SETSTEP = WM_USER + 4,
  PBM_STEPIT = WM_USER + 5,
  PBM_GETPOS = WM_USER + 8,
  PBM_SETBARCOLOR = WM_USER + 9,
};
constexpr LResult CB_ERR = -1;
constexpr LResult LB_ERR = -1;
}  // namespace ui
