#pragma once
// Message numbers. Screens name their messages by number (WM_USER + 7 for a serial byte), so
// the numbers are fixed here once; user messages start at WM_USER.
#include <cstdint>

#include "platform/ui/types.h"

namespace ui {

inline constexpr uint32_t WM_NULL = 0x0000;
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_ACTIVATE = 0x0006;
inline constexpr uint32_t WM_SETFOCUS = 0x0007;
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr uint32_t WM_ENABLE = 0x000A;
inline constexpr uint32_t WM_SETREDRAW = 0x000B;
inline constexpr uint32_t WM_SETTEXT = 0x000C;  // lParam: const char* (UTF-8)
inline constexpr uint32_t WM_GETTEXT = 0x000D;  // wParam: buffer size, lParam: char* buffer; returns length copied
inline constexpr uint32_t WM_GETTEXTLENGTH = 0x000E;
inline constexpr uint32_t WM_PAINT = 0x000F;  // wParam: draw::DC* clipped to the invalid area
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_ERASEBKGND = 0x0014;  // wParam: draw::DC*; returns non-zero when erased
inline constexpr uint32_t WM_SYSCOLORCHANGE = 0x0015;
inline constexpr uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr uint32_t WM_SETTINGCHANGE = 0x001A;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;  // wParam: window under the pointer, lParam: MakeLong(hit, mouse message); non-zero: set
inline constexpr uint32_t WM_DRAWITEM = 0x002B;  // wParam: control id, lParam: DrawItemInfo*
inline constexpr uint32_t WM_SETFONT = 0x0030;  // wParam: const draw::Font* (null: the default), lParam: redraw
inline constexpr uint32_t WM_GETFONT = 0x0031;  // returns const draw::Font*
inline constexpr uint32_t WM_NOTIFY = 0x004E;
inline constexpr uint32_t WM_CONTEXTMENU = 0x007B;  // wParam: control id, lParam: NotifyHeader*
inline constexpr uint32_t WM_HELP = 0x0053;
inline constexpr uint32_t WM_SETICON = 0x0080;
inline constexpr uint32_t WM_GETDLGCODE = 0x0087;  // wParam: the key, lParam: Message* (may be null); returns DLGC_ flags
inline constexpr uint32_t WM_KEYDOWN = 0x0100;  // wParam: virtual key; lParam: repeat count in the low word
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;  // wParam: Unicode code point
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_SYSCHAR = 0x0106;
inline constexpr uint32_t WM_INITDIALOG = 0x0110;
inline constexpr uint32_t WM_COMMAND = 0x0111;  // wParam: MakeWParam(id, code), lParam: control handle
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_TIMER = 0x0113;  // wParam: timer id
inline constexpr uint32_t WM_HSCROLL = 0x0114;  // wParam: MakeWParam(code, position), lParam: bar handle
inline constexpr uint32_t WM_VSCROLL = 0x0115;
inline constexpr uint32_t WM_CTLCOLORMSGBOX = 0x0132;  // every colour query: wParam draw::DC*, lParam control handle;
inline constexpr uint32_t WM_CTLCOLOREDIT = 0x0133;  // returns a const draw::Brush* (0: the default colours)
inline constexpr uint32_t WM_CTLCOLORLISTBOX = 0x0134;
inline constexpr uint32_t WM_CTLCOLORBTN = 0x0135;
inline constexpr uint32_t WM_CTLCOLORDLG = 0x0136;
inline constexpr uint32_t WM_CTLCOLORSCROLLBAR = 0x0137;
inline constexpr uint32_t WM_CTLCOLORSTATIC = 0x0138;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;  // wParam: MK_ flags, lParam: client point
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;  // wParam: MakeWParam(flags, delta), lParam: screen point
inline constexpr uint32_t WM_CAPTURECHANGED = 0x0215;
inline constexpr uint32_t WM_IME_CHAR = 0x0286;
inline constexpr uint32_t WM_MOUSEHOVER = 0x02A1;
inline constexpr uint32_t WM_MOUSELEAVE = 0x02A3;
inline constexpr uint32_t WM_HOTKEY = 0x0312;
inline constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WM_MOUSEFIRST = WM_MOUSEMOVE;
constexpr uint32_t WM_MOUSELAST = WM_MOUSEWHEEL;
constexpr uint32_t WM_KEYFIRST = WM_KEYDOWN;
constexpr uint32_t WM_KEYLAST = 0x0109;

// The kinds of control that a colour query names (the parent's OnCtlColor gets one of these).
inline constexpr int CTLCOLOR_MSGBOX = 0;
inline constexpr int CTLCOLOR_EDIT = 1;
inline constexpr int CTLCOLOR_LISTBOX = 2;
inline constexpr int CTLCOLOR_BTN = 3;
inline constexpr int CTLCOLOR_DLG = 4;
inline constexpr int CTLCOLOR_SCROLLBAR = 5;
inline constexpr int CTLCOLOR_STATIC = 6;

// Dialog results and the standard command ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// WM_SIZE kinds, WM_ACTIVATE states, WM_SYSCOMMAND commands.
 inline constexpr int SIZE_RESTORED = 0; inline constexpr int SIZE_MINIMIZED = 1; inline constexpr int SIZE_MAXIMIZED = 2;
 inline constexpr int WA_INACTIVE = 0; inline constexpr int WA_ACTIVE = 1; inline constexpr int WA_CLICKACTIVE = 2;
 inline constexpr uint32_t SC_CLOSE = 0xF060; inline constexpr uint32_t SC_MINIMIZE = 0xF020; inline constexpr uint32_t SC_MAXIMIZE = 0xF030; inline constexpr uint32_t SC_RESTORE = 0xF120;

// Notification codes (WM_COMMAND high word, or NotifyHeader::code).
inline constexpr int BN_CLICKED = 0;
inline constexpr int BN_DOUBLECLICKED = 5;
inline constexpr int BN_SETFOCUS = 6;
inline constexpr int BN_KILLFOCUS = 7;
inline constexpr int EN_SETFOCUS = 0x0100;
inline constexpr int EN_KILLFOCUS = 0x0200;
inline constexpr int EN_CHANGE = 0x0300;
inline constexpr int EN_UPDATE = 0x0400;
inline constexpr int EN_MAXTEXT = 0x0501;
inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int CBN_DBLCLK = 2;
inline constexpr int CBN_SETFOCUS = 3;
inline constexpr int CBN_KILLFOCUS = 4;
inline constexpr int CBN_EDITCHANGE = 5;
inline constexpr int CBN_EDITUPDATE = 6;
inline constexpr int CBN_DROPDOWN = 7;
inline constexpr int CBN_CLOSEUP = 8;
inline constexpr int CBN_SELENDOK = 9;
inline constexpr int CBN_SELENDCANCEL = 10;
inline constexpr int LBN_SELCHANGE = 1;
inline constexpr int LBN_DBLCLK = 2;
inline constexpr int LBN_SETFOCUS = 4;
inline constexpr int LBN_KILLFOCUS = 5;
inline constexpr int STN_CLICKED = 0;
inline constexpr int STN_DBLCLK = 1;
// WM_NOTIFY codes of the common controls.
inline constexpr int NM_CLICK = -2;
inline constexpr int NM_DBLCLK = -3;
inline constexpr int TCN_SELCHANGE = -551;
inline constexpr int TCN_SELCHANGING = -552;
inline constexpr int UDN_DELTAPOS = -722;
inline constexpr int DTN_DATETIMECHANGE = -759;
inline constexpr int IPN_FIELDCHANGED = -860;
// Scroll codes (WM_HSCROLL / WM_VSCROLL low word).
inline constexpr int SB_LINEUP = 0; inline constexpr int SB_LINELEFT = 0;
inline constexpr int SB_LINEDOWN = 1; inline constexpr int SB_LINERIGHT = 1;
inline constexpr int SB_PAGEUP = 2; inline constexpr int SB_PAGELEFT = 2;
inline constexpr int SB_PAGEDOWN = 3; inline constexpr int SB_PAGERIGHT = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6; inline constexpr int SB_LEFT = 6;
inline constexpr int SB_BOTTOM = 7; inline constexpr int SB_RIGHT = 7;
inline constexpr int SB_ENDSCROLL = 8;

// Owner drawing (WM_DRAWITEM).
 inline constexpr unsigned ODT_MENU = 1; inline constexpr unsigned ODT_LISTBOX = 2; inline constexpr unsigned ODT_COMBOBOX = 3; inline constexpr unsigned ODT_BUTTON = 4; inline constexpr unsigned ODT_STATIC = 5;
 inline constexpr unsigned ODA_DRAWENTIRE = 1; inline constexpr unsigned ODA_SELECT = 2; inline constexpr unsigned ODA_FOCUS = 4;
inline constexpr unsigned ODS_SELECTED = 0x0001;
inline constexpr unsigned ODS_GRAYED = 0x0002;
inline constexpr unsigned ODS_DISABLED = 0x0004;
inline constexpr unsigned ODS_CHECKED = 0x0008;
inline constexpr unsigned ODS_FOCUS = 0x0010;
inline constexpr unsigned ODS_DEFAULT = 0x0020;
inline constexpr unsigned ODS_COMBOBOXEDIT = 0x1000;
inline constexpr unsigned ODS_HOTLIGHT = 0x0040;

// What keys a control wants for itself in a dialog (WM_GETDLGCODE).
inline constexpr unsigned DLGC_WANTARROWS = 0x0001;
inline constexpr unsigned DLGC_WANTTAB = 0x0002;
inline constexpr unsigned DLGC_WANTALLKEYS = 0x0004;
inline constexpr unsigned DLGC_WANTMESSAGE = 0x0004;
inline constexpr unsigned DLGC_HASSETSEL = 0x0008;
inline constexpr unsigned DLGC_DEFPUSHBUTTON = 0x0010;
inline constexpr unsigned DLGC_UNDEFPUSHBUTTON = 0x0020;
inline constexpr unsigned DLGC_RADIOBUTTON = 0x0040;
inline constexpr unsigned DLGC_WANTCHARS = 0x0080;
inline constexpr unsigned DLGC_STATIC = 0x0100;
inline constexpr unsigned DLGC_BUTTON = 0x2000;

// Mouse and key state flags in mouse messages.
 inline constexpr unsigned MK_LBUTTON = 0x1; inline constexpr unsigned MK_RBUTTON = 0x2; inline constexpr unsigned MK_SHIFT = 0x4; inline constexpr unsigned MK_CONTROL = 0x8; inline constexpr unsigned MK_MBUTTON = 0x10;

// Hover and leave tracking requests.
 inline constexpr unsigned TME_HOVER = 0x1; inline constexpr unsigned TME_LEAVE = 0x2; inline constexpr unsigned TME_CANCEL = 0x80000000u;
constexpr unsigned HOVER_DEFAULT = 0xFFFFFFFFu;  // 400 ms

}  // namespace ui

namespace ui {
// Control messages (sent to a control; text parameters are UTF-8).
inline constexpr uint32_t BM_GETCHECK = 0x00F0;
inline constexpr uint32_t BM_SETCHECK = 0x00F1;
inline constexpr uint32_t BM_GETSTATE = 0x00F2;
inline constexpr uint32_t BM_SETSTATE = 0x00F3;
inline constexpr uint32_t BM_SETSTYLE = 0x00F4;
inline constexpr uint32_t BM_CLICK = 0x00F5;
inline constexpr uint32_t EM_GETSEL = 0x00B0;  // returns MakeLong(start, end)
inline constexpr uint32_t EM_SETSEL = 0x00B1;
inline constexpr uint32_t EM_REPLACESEL = 0x00C2;  // lParam: const char*
inline constexpr uint32_t EM_LIMITTEXT = 0x00C5;
inline constexpr uint32_t EM_SETREADONLY = 0x00CF;
inline constexpr uint32_t EM_SETPASSWORDCHAR = 0x00CC;
inline constexpr uint32_t EM_GETLIMITTEXT = 0x00D5;
inline constexpr uint32_t STM_SETICON = 0x0170;
inline constexpr uint32_t STM_SETIMAGE = 0x0172;
inline constexpr uint32_t CB_ADDSTRING = 0x0143;  // lParam: const char*; returns the index
inline constexpr uint32_t CB_DELETESTRING = 0x0144;
inline constexpr uint32_t CB_GETCOUNT = 0x0146;
inline constexpr uint32_t CB_GETCURSEL = 0x0147;
inline constexpr uint32_t CB_GETLBTEXT = 0x0148;  // lParam: std::string*
inline constexpr uint32_t CB_GETLBTEXTLEN = 0x0149;
inline constexpr uint32_t CB_INSERTSTRING = 0x014A;
inline constexpr uint32_t CB_RESETCONTENT = 0x014B;
inline constexpr uint32_t CB_FINDSTRING = 0x014C;
inline constexpr uint32_t CB_SELECTSTRING = 0x014D;
inline constexpr uint32_t CB_SETCURSEL = 0x014E;
inline constexpr uint32_t CB_SHOWDROPDOWN = 0x014F;
inline constexpr uint32_t CB_GETITEMDATA = 0x0150;
inline constexpr uint32_t CB_SETITEMDATA = 0x0151;
inline constexpr uint32_t CB_GETDROPPEDSTATE = 0x0157;
inline constexpr uint32_t CB_FINDSTRINGEXACT = 0x0158;
inline constexpr uint32_t LB_ADDSTRING = 0x0180;
inline constexpr uint32_t LB_INSERTSTRING = 0x0181;
inline constexpr uint32_t LB_DELETESTRING = 0x0182;
inline constexpr uint32_t LB_RESETCONTENT = 0x0184;
inline constexpr uint32_t LB_SETSEL = 0x0185;
inline constexpr uint32_t LB_SETCURSEL = 0x0186;
inline constexpr uint32_t LB_GETSEL = 0x0187;
inline constexpr uint32_t LB_GETCURSEL = 0x0188;
inline constexpr uint32_t LB_GETTEXT = 0x0189;  // lParam: std::string*
inline constexpr uint32_t LB_GETTEXTLEN = 0x018A;
inline constexpr uint32_t LB_GETCOUNT = 0x018B;
inline constexpr uint32_t LB_GETTOPINDEX = 0x018E;
inline constexpr uint32_t LB_FINDSTRING = 0x018F;
inline constexpr uint32_t LB_GETSELCOUNT = 0x0190;
inline constexpr uint32_t LB_SETTOPINDEX = 0x0197;
inline constexpr uint32_t LB_GETITEMDATA = 0x0199;
inline constexpr uint32_t LB_SETITEMDATA = 0x019A;
inline constexpr uint32_t LB_FINDSTRINGEXACT = 0x01A2;
inline constexpr uint32_t SBM_SETPOS = 0x00E0;
inline constexpr uint32_t SBM_GETPOS = 0x00E1;
inline constexpr uint32_t SBM_SETRANGE = 0x00E2;
inline constexpr uint32_t SBM_GETRANGE = 0x00E3;
inline constexpr uint32_t PBM_SETRANGE = WM_USER + 1;
inline constexpr uint32_t PBM_SETPOS = WM_USER + 2;
inline constexpr uint32_t PBM_DELTAPOS = WM_USER + 3;
inline constexpr uint32_t PBM_SETSTEP = WM_USER + 4;
inline constexpr uint32_t PBM_STEPIT = WM_USER + 5;
inline constexpr uint32_t PBM_GETPOS = WM_USER + 8;
inline constexpr uint32_t PBM_SETBARCOLOR = WM_USER + 9;
constexpr LResult CB_ERR = -1;
constexpr LResult LB_ERR = -1;
}  // namespace ui
