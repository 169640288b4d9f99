#pragma once
// The cells of a grid. CGridCellBase holds the state word and the operations the grid calls;
// CGridCell is the ordinary cell; CGridDefaultCell is a grid's template whose attributes a
// cell falls back to while its own are unset (format -1, margin -1, no font of its own,
// colours CLR_DEFAULT). Text is UTF-8.
#include <memory>
#include <optional>
#include <string>

#include "controls/grid/grid_defs.h"

class CGridCtrl;
class CGridDefaultCell;
namespace draw {
class DC;
}

class CGridCellBase {
 public:
  virtual ~CGridCellBase() = default;

  virtual void SetText(const std::string& text) {}
  virtual void SetImage(int image) {}
  virtual void SetData(intptr_t data) {}
  virtual void SetState(unsigned state) { state_ = state; }
  virtual void SetFormat(unsigned format) {}
  virtual void SetTextClr(draw::Color c) {}
  virtual void SetBackClr(draw::Color c) {}
  virtual void SetFont(const draw::Font* font) {}
  virtual void SetMargin(int margin) {}
  virtual void SetGrid(CGridCtrl* grid) {}
  virtual void SetCoords(int row, int col) {}

  virtual std::string GetText() const { return std::string(); }
  virtual std::string GetTipText() const { return GetText(); }
  virtual int GetImage() const { return -1; }
  virtual intptr_t GetData() const { return 0; }
  virtual unsigned GetState() const { return state_; }
  virtual unsigned GetFormat() const { return 0; }
  virtual draw::Color GetTextClr() const { return CLR_DEFAULT; }
  virtual draw::Color GetBackClr() const { return CLR_DEFAULT; }
  virtual const draw::Font* GetFont() const { return nullptr; }
  virtual CGridCtrl* GetGrid() const { return nullptr; }
  virtual CellEditorHandle* GetEditWnd() const { return nullptr; }
  virtual int GetMargin() const { return 0; }
  // The grid's default cell for this cell's region, chosen by the fixed-row and fixed-column
  // bits; null without a grid.
  virtual const CGridDefaultCell* GetDefaultCell() const;
  virtual bool IsDefaultFont() const { return true; }
  virtual bool IsEditing() const { return false; }

  bool IsFocused() const { return GetState() & GVIS_FOCUSED; }
  bool IsFixed() const { return GetState() & GVIS_FIXED; }
  bool IsFixedCol() const { return GetState() & GVIS_FIXEDCOL; }
  bool IsFixedRow() const { return GetState() & GVIS_FIXEDROW; }
  bool IsSelected() const { return GetState() & GVIS_SELECTED; }
  bool IsReadOnly() const { return GetState() & GVIS_READONLY; }
  bool IsModified() const { return GetState() & GVIS_MODIFIED; }
  bool IsDropHighlighted() const { return GetState() & GVIS_DROPHILITED; }

  // Copies every attribute through the source's getters, so the source's fallbacks (format,
  // font, margin) arrive as resolved values.
  CGridCellBase& operator=(const CGridCellBase& other);
  virtual void Reset() { state_ = 0; }

  // Extent of `text` in this cell's font with its margins (4 margins across, 2 down); the
  // default cell's size when there is no text or nothing to measure with.
  virtual draw::Size GetTextExtent(const std::string& text, GridTextMeasurer* measurer) const;
  // Extent of the cell's own text (images are the window side's business).
  virtual draw::Size GetCellExtent(GridTextMeasurer* measurer) const {
    return GetTextExtent(GetText(), measurer);
  }

  // Draws the cell into `rect` (inclusive: right = left + width - 1) with its colours, its
  // selected or focused look, the 3-D border of a fixed cell and the sort marker of the
  // sorted column's header. False, drawing nothing, without a grid or for an empty rect.
  virtual bool Draw(draw::DC& dc, int row, int col, draw::Rect rect, bool eraseBackground);
  // The same on a printer page (black text unless the grid prints colours).
  virtual bool PrintCell(draw::DC& dc, int row, int col, draw::Rect rect);
  // Narrows a cell rectangle to where the text goes (past an image); true.
  virtual bool GetTextRect(draw::Rect* rect) { return rect != nullptr; }
  virtual bool GetTipTextRect(draw::Rect* rect) { return GetTextRect(rect); }

  // Editing hooks. The base cell is not editable.
  virtual bool Edit(int row, int col, const draw::Rect& rect, draw::Point point, unsigned id,
                    unsigned firstChar) {
    return false;
  }
  virtual bool ValidateEdit(const std::string& text) { return true; }
  virtual void EndEdit() {}
  virtual void OnEndEdit() {}

  // Pointer hooks; the grid calls them, ordinary cells ignore them.
  virtual void OnMouseOver() {}
  virtual void OnClick(draw::Point) {}
  virtual void OnClickDown(draw::Point) {}
  virtual void OnRClick(draw::Point) {}
  virtual void OnDblClick(draw::Point) {}

 protected:
  CGridCellBase() = default;
  CGridCellBase(const CGridCellBase&) = default;

 private:
  unsigned state_ = 0;
};

class CGridCell : public CGridCellBase {
 public:
  CGridCell() = default;
  CGridCell& operator=(const CGridCellBase& other) {
    CGridCellBase::operator=(other);
    return *this;
  }

  void SetText(const std::string& text) override { text_ = text; }
  void SetImage(int image) override { image_ = image; }
  void SetData(intptr_t data) override { data_ = data; }
  void SetFormat(unsigned format) override { format_ = format; }
  void SetTextClr(draw::Color c) override { textColour_ = c; }
  void SetBackClr(draw::Color c) override { backColour_ = c; }
  void SetFont(const draw::Font* font) override;
  void SetMargin(int margin) override { margin_ = margin; }
  void SetGrid(CGridCtrl* grid) override { grid_ = grid; }

  std::string GetText() const override { return text_; }
  int GetImage() const override { return image_; }
  intptr_t GetData() const override { return data_; }
  unsigned GetFormat() const override;
  draw::Color GetTextClr() const override { return textColour_; }
  draw::Color GetBackClr() const override { return backColour_; }
  const draw::Font* GetFont() const override;
  CGridCtrl* GetGrid() const override { return grid_; }
  CellEditorHandle* GetEditWnd() const override { return editor_; }
  int GetMargin() const override;
  bool IsDefaultFont() const override { return !font_; }
  bool IsEditing() const override { return editing_; }

  void Reset() override;

  // Opens the grid's in-place editor over the cell (or passes a character to the open one).
  bool Edit(int row, int col, const draw::Rect& rect, draw::Point point, unsigned id,
            unsigned firstChar) override;
  void EndEdit() override;
  void OnEndEdit() override {
    editing_ = false;
    editor_ = nullptr;
  }

 protected:
  // For cell kinds with editors of their own: the editor now open (null: none).
  void SetEditor(CellEditorHandle* editor) {
    editor_ = editor;
    editing_ = editor != nullptr;
  }

 private:
  std::string text_;
  intptr_t data_ = 0;
  int image_ = -1;
  unsigned format_ = static_cast<unsigned>(-1);
  draw::Color textColour_ = CLR_DEFAULT;
  draw::Color backColour_ = CLR_DEFAULT;
  std::unique_ptr<draw::Font> font_;
  int margin_ = -1;
  bool editing_ = false;
  CGridCtrl* grid_ = nullptr;
  CellEditorHandle* editor_ = nullptr;
};

class CGridDefaultCell : public CGridCell {
 public:
  CGridDefaultCell();

  void SetData(intptr_t) override {}
  void SetState(unsigned) override {}
  unsigned GetState() const override { return CGridCell::GetState() | GVIS_READONLY; }
  // A default cell's own values are the fallbacks, so it never falls back further.
  unsigned GetFormat() const override { return ownFormat_; }
  void SetFormat(unsigned format) override { ownFormat_ = format; }
  int GetMargin() const override { return ownMargin_; }
  void SetMargin(int margin) override { ownMargin_ = margin; }
  const draw::Font* GetFont() const override { return &font_; }
  // Stores the font and recomputes margin, width and height from it with the measurer
  // given (the grid's), or fixed sizes when there is none. Null does nothing.
  void SetFont(const draw::Font* font) override;
  void SetFont(const draw::Font* font, GridTextMeasurer* measurer);

  int GetExtra() const { return extra_; }
  void SetExtra(int v) { extra_ = v; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  void SetWidth(int w) { width_ = w; }
  void SetHeight(int h) { height_ = h; }

 private:
  draw::Font font_;
  unsigned ownFormat_ = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
  int ownMargin_ = 3;
  int width_ = 30;
  int height_ = 10;
  int extra_ = 0;
};

// Makes a new cell of one kind; the grid's cell class.
using GridCellFactory = std::unique_ptr<CGridCellBase> (*)();
inline std::unique_ptr<CGridCellBase> MakeGridCell() { return std::make_unique<CGridCell>(); }
