#pragma once
// Values shared by the grid, its cells and the screens that fill grids: cell state bits, the
// cell record and its mask, notification codes, text format flags, and the two seams through
// which the window side measures text and opens in-place editors.
#include <cstdint>
#include <string>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/font.h"
#include "platform/ui/draw/geometry.h"

// Cell state bits.
enum : unsigned {
  GVIS_FOCUSED = 0x01,
  GVIS_SELECTED = 0x02,
  GVIS_DROPHILITED = 0x04,
  GVIS_READONLY = 0x08,
  GVIS_FIXED = 0x10,
  GVIS_FIXEDROW = 0x20,
  GVIS_FIXEDCOL = 0x40,
  GVIS_MODIFIED = 0x80,
};

// Which fields of a CellRecord are meant. One meaning everywhere: the grid's ApplyCellRecord,
// the virtual-mode request and the in-place editor's end-of-edit record.
enum : unsigned {
  GVIF_TEXT = 0x01,
  GVIF_DATA = 0x02,
  GVIF_IMAGE = 0x04,
  GVIF_STATE = 0x08,
  GVIF_BKCLR = 0x10,
  GVIF_FGCLR = 0x20,
  GVIF_FORMAT = 0x40,
  GVIF_FONT = 0x80,
  GVIF_MARGIN = 0x100,
  GVIF_ALL = 0xFFFFFFFFu,
};

// Notification codes sent to the grid's owner.
enum : int {
  GVN_CLICK = -2,
  GVN_DBLCLK = -3,
  GVN_RCLICK = -5,
  GVN_SELCHANGING = -100,
  GVN_SELCHANGED = -101,
  GVN_BEGINDRAG = -109,
  GVN_ODCACHEHINT = -113,
  GVN_BEGINLABELEDIT = -175,
  GVN_ENDLABELEDIT = -176,
  GVN_GETDISPINFO = -177,
};

// Text drawing format flags a cell carries.
enum : unsigned {
  DT_LEFT = 0x0,
  DT_CENTER = 0x1,
  DT_RIGHT = 0x2,
  DT_VCENTER = 0x4,
  DT_WORDBREAK = 0x10,
  DT_SINGLELINE = 0x20,
  DT_CALCRECT = 0x400,
  DT_NOPREFIX = 0x800,
  DT_END_ELLIPSIS = 0x8000,
};

// A cell colour of this value means "the colour of the cell's default cell".
inline constexpr draw::Color CLR_DEFAULT = 0xFF000000u;

// The control id of the in-place editor.
inline constexpr unsigned IDC_INPLACE_CONTROL = 8;

// One cell's contents, as exchanged with the owner (virtual mode, in-place editing) and
// applied through CGridCtrl::ApplyCellRecord. Text is UTF-8.
struct CellRecord {
  int row = -1;
  int col = -1;
  unsigned mask = 0;
  unsigned state = 0;
  unsigned format = 0;
  intptr_t data = 0;
  draw::Color backColour = CLR_DEFAULT;
  draw::Color textColour = CLR_DEFAULT;
  int image = -1;
  draw::Font font;
  unsigned margin = 0;
  std::string text;
};

// The in-place editor's end-of-edit record: the final text and, in `data`, the key that
// ended the edit (so the grid can move on with Tab or an arrow key).
inline CellRecord MakeEndEditRecord(int row, int col, const std::string& text, unsigned lastKey) {
  CellRecord r;
  r.row = row;
  r.col = col;
  r.mask = GVIF_TEXT | GVIF_DATA;
  r.text = text;
  r.data = static_cast<intptr_t>(lastKey);
  return r;
}

// Text measuring, supplied by the window side (a device context of the grid window). Without
// one the grid measures nothing: default cells take fixed sizes and fitting does nothing.
class GridTextMeasurer {
 public:
  virtual ~GridTextMeasurer() = default;
  // Extent of one line of text in the font, in pixels.
  virtual draw::Size LineExtent(const draw::Font& font, const std::string& text) = 0;
  // The font's overhang (extra width of italic or synthesised faces); usually 0.
  virtual int Overhang(const draw::Font& font) { return 0; }
};

// An open in-place editor, as a cell sees it. The window side makes these.
class CellEditorHandle {
 public:
  virtual ~CellEditorHandle() = default;
  virtual void EndEdit() = 0;                 // finish the edit (sends the end-of-edit record)
  virtual void SendChar(unsigned ch) = 0;     // a character typed while the editor is open
  virtual bool Paste() { return false; }      // paste into the editor; false when it cannot
};
