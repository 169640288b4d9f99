#pragma once
// The standard controls, drawn by us. Each sends its notifications to its parent
// (WM_COMMAND with the control id and code, or WM_NOTIFY), asks its parent for colours
// before it paints (WM_CTLCOLOR...), and owner-drawn kinds ask DrawItem to paint them; a
// derived class takes a control over from a dialog template with ExchangeControl.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/sys/clock.h"
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/window.h"

namespace ui {

// Text helpers shared by the controls (UTF-8 text, indices counted in characters).
size_t Utf8Length(const std::string& s);
size_t Utf8Offset(const std::string& s, size_t chars);
std::string Utf8Encode(unsigned codePoint);

// Runs `fn` on the UI thread when called on another one; true when it was carried over.
bool ForwardToUiThread(const std::function<void()>& fn);

// Draws a raised (or sunken) 3-D frame inside `r`.
void Draw3dFrame(draw::DC& dc, const Rect& r, bool sunken);

class Static;

// Chooses the size a static's own text fits at from the window's font, the text, the rectangle
// the text is laid out in and the text format; none installed: the window's font.
using TextFontFitter =
    std::function<draw::Font(draw::DC&, const std::string& text, const draw::Font& font, const Rect& room, unsigned format)>;
// Chooses the font a static draws its text in, given the static (so that it may look at the
// static's siblings and draw its text in one size with theirs); none installed: the size its own
// text fits at (OwnTextFont).
using TextFontGrouping = std::function<draw::Font(draw::DC&, Static& label)>;
void SetStaticTextFitter(TextFontFitter fitter, TextFontGrouping grouping = {});

class Static : public Window {
 public:
  // The font the text was last drawn in (the window's font before the first paint).
  draw::Font TextFont() const { return drawn_ ? textFont_ : *GetFont(); }
  // The size the static's own text fits its room at, as the installed fitter chooses it; measured
  // again only when the text, the window's font, the rectangle or the format changes.
  draw::Font OwnTextFont(draw::DC& dc);
  // Picture statics (SS_BITMAP, SS_ICON) show this bitmap.
  void SetBitmap(const draw::Bitmap& bmp);
  draw::Bitmap GetBitmap() const { return image_; }
  bool IsHitTransparent() const override { return !(GetStyle() & SS_NOTIFY); }
  // Owner-drawn statics (SS_OWNERDRAW) are painted here; the default asks the parent.
  virtual void DrawItem(DrawItemInfo& info);

 protected:
  int OnCreate() override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned, Point) override;
  void OnLButtonDblClk(unsigned, Point) override;
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void TakeOverState(Window& from) override;

 private:
  // Where the text is laid out (the client area inside a sunken edge or border) and how.
  Rect TextRoom() const;
  unsigned TextFormat() const;

  draw::Bitmap image_;
  draw::Font textFont_;
  bool drawn_ = false;
  // What the own text's size was last chosen for: choosing measures the text, and it changes
  // only with the text, the window's font, the rectangle or the format.
  draw::Font ownFont_;
  std::string fittedText_;
  draw::Font fittedNominal_;
  Rect fittedRoom_;
  unsigned fittedFormat_ = 0;
  bool fitted_ = false;
};

class Button : public Window {
 public:
  int GetCheck() const { return check_; }
  void SetCheck(int check);
  unsigned GetState() const;
  void SetState(bool pushed);
  uint32_t GetButtonStyle() const { return GetStyle() & 0xFFFF; }
  void SetButtonStyle(uint32_t style, bool redraw = true);
  // Bitmap buttons (BS_BITMAP) show this bitmap.
  void SetBitmap(const draw::Bitmap& bmp);
  draw::Bitmap GetBitmap() const { return bitmap_; }
  // Presses the button as a click would.
  void Click();
  bool IsHitTransparent() const override { return Kind() == BS_GROUPBOX; }
  uint32_t Kind() const { return GetStyle() & BS_TYPEMASK; }
  // Owner-drawn buttons (BS_OWNERDRAW) are painted here; the default asks the parent.
  virtual void DrawItem(DrawItemInfo& info);

 protected:
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnLButtonDblClk(unsigned flags, Point pt) override;
  void OnLButtonUp(unsigned flags, Point pt) override;
  void OnMouseMove(unsigned flags, Point pt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnKeyUp(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window* old) override;
  void OnKillFocus(Window* next) override;
  void OnCaptureChanged(Window* next) override;
  void TakeOverState(Window& from) override;

  bool IsPushed() const { return pushed_; }
  bool HasFocusState() const { return focused_; }

 private:
  void PaintPush(draw::DC& dc);
  void PaintCheck(draw::DC& dc, bool radio);
  void PaintGroup(draw::DC& dc);
  int check_ = 0;
  bool pushed_ = false;
  bool tracking_ = false;
  bool focused_ = false;
  bool spaceDown_ = false;
  draw::Bitmap bitmap_;
};

class Edit : public Window {
 public:
  bool UsesWindowScrollBars() const override { return false; }
  void GetSel(int& start, int& end) const;
  void SetSel(int start, int end, bool noScroll = false);
  void ReplaceSel(const std::string& text, bool canUndo = false);
  void SetLimitText(int maxChars);
  int GetLimitText() const { return limit_; }
  void SetReadOnly(bool readOnly = true);
  void SetPasswordChar(unsigned ch);
  void Copy();
  void Cut();
  void Paste();
  void Clear();
  int CaretPos() const { return caret_; }

 protected:
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnSetText(const std::string& text) override;
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnLButtonDblClk(unsigned flags, Point pt) override;
  void OnLButtonUp(unsigned flags, Point pt) override;
  void OnMouseMove(unsigned flags, Point pt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window* old) override;
  void OnKillFocus(Window* next) override;
  void TakeOverState(Window& from) override;

 private:
  std::string Shown() const;  // the text as drawn (password characters)
  int HitTest(Point pt);
  void MoveCaret(int pos, bool extend);
  // Replaces the selection by user input; false when refused (read-only, limit, digits).
  bool UserReplace(const std::string& text);
  void Changed();
  Rect TextRect() const;
  int caret_ = 0;
  int anchor_ = 0;
  int limit_ = 30000;
  int scrollX_ = 0;
  unsigned passwordChar_ = 0;
  bool focused_ = false;
  bool dragging_ = false;
};

class ListBox : public Window {
 public:
  bool UsesWindowScrollBars() const override { return false; }
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const { return static_cast<int>(items_.size()); }
  int GetCurSel() const { return cur_; }
  int SetCurSel(int index);
  std::string GetText(int index) const;
  int FindStringExact(int start, const std::string& text) const;
  int FindString(int start, const std::string& prefix) const;
  uintptr_t GetItemData(int index) const;
  int SetItemData(int index, uintptr_t data);
  int GetSel(int index) const;
  int SetSel(int index, bool select);
  int GetSelCount() const;
  int GetTopIndex() const { return top_; }
  void SetTopIndex(int index);
  int ItemHeight() const;
  Rect GetItemRect(int index) const;
  int ItemFromPoint(Point pt) const;
  virtual void DrawItem(DrawItemInfo& info);

  // The drop-down list of a combo box reports to its combo instead of notifying.
  void SetComboOwner(class ComboBox* combo) { combo_ = combo; }

 protected:
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnLButtonUp(unsigned flags, Point pt) override;
  void OnLButtonDblClk(unsigned flags, Point pt) override;
  void OnMouseMove(unsigned flags, Point pt) override;
  bool OnMouseWheel(unsigned flags, int delta, Point screenPt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window*) override;
  void OnKillFocus(Window*) override;
  void TakeOverState(Window& from) override;

 private:
  friend class ComboBox;
  struct Item {
    std::string text;
    uintptr_t data = 0;
    bool selected = false;
  };
  int VisibleCount() const;
  bool HasOwnBar() const;
  void Select(int index, bool notify);
  void EnsureVisible(int index);
  std::vector<Item> items_;
  int cur_ = -1;
  int top_ = 0;
  bool focused_ = false;
  bool dragging_ = false;
  ComboBox* combo_ = nullptr;
};

class ComboBox : public Window {
 public:
  ComboBox() { list_.SetComboOwner(this); }
  bool UsesWindowScrollBars() const override { return false; }
  ~ComboBox() override;
  int AddString(const std::string& text);
  int InsertString(int index, const std::string& text);
  int DeleteString(int index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const { return cur_; }
  int SetCurSel(int index);
  std::string GetLBText(int index) const;
  int FindStringExact(int start, const std::string& text) const;
  int SelectString(int start, const std::string& prefix);
  uintptr_t GetItemData(int index) const;
  int SetItemData(int index, uintptr_t data);
  void ShowDropDown(bool show = true);
  bool GetDroppedState() const;
  // The list of a dropped combo box (null while closed).
  ListBox* DroppedList() const;
  Window* EditChild() const { return edit_; }
  virtual void DrawItem(DrawItemInfo& info);

  // Called by the drop-down list.
  void ListPicked(int index);
  void ListCancelled();

 protected:
  int OnCreate() override;
  void OnDestroy() override;
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  bool OnMouseWheel(unsigned flags, int delta, Point screenPt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window*) override;
  void OnKillFocus(Window*) override;
  bool OnCommand(int id, int code, Window* control) override;
  void OnFontChanged() override;
  void TakeOverState(Window& from) override;

 private:
  bool Editable() const { return (GetStyle() & 0x3) == CBS_DROPDOWN || (GetStyle() & 0x3) == CBS_SIMPLE; }
  void Notify(int code) { NotifyParent(code); }
  void SetSelection(int index, bool notify);
  ListBox list_;      // holds the items; shown as the drop-down when dropped
  Window* edit_ = nullptr;
  int cur_ = -1;
  bool focused_ = false;
  bool dropped_ = false;
  int dropHeight_ = 100;
};

class ScrollBar : public Window {
 public:
  bool UsesWindowScrollBars() const override { return false; }
  void SetScrollRange(int minPos, int maxPos, bool redraw = true);
  void GetScrollRange(int& minPos, int& maxPos) const { minPos = min_; maxPos = max_; }
  int SetScrollPos(int pos, bool redraw = true);
  int GetScrollPos() const { return pos_; }
  void SetPageSize(int page) { page_ = page; Invalidate(); }
  bool Vertical() const { return GetStyle() & SBS_VERT; }

 protected:
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnLButtonUp(unsigned flags, Point pt) override;
  void OnMouseMove(unsigned flags, Point pt) override;
  void TakeOverState(Window& from) override;

 private:
  Rect ThumbRect() const;
  void Scroll(int code, int pos);
  int min_ = 0, max_ = 100, pos_ = 0, page_ = 0;
  bool dragging_ = false;
  int dragOffset_ = 0;
};

class ProgressBar : public Window {
 public:
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const { lower = lower_; upper = upper_; }
  int SetPos(int pos);
  int GetPos() const { return pos_; }
  int OffsetPos(int delta) { return SetPos(pos_ + delta); }
  int SetStep(int step) { int o = step_; step_ = step; return o; }
  int StepIt();
  void SetBarColor(Color c) { barColor_ = c; Invalidate(); }

 protected:
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void TakeOverState(Window& from) override;

 private:
  int lower_ = 0, upper_ = 100, pos_ = 0, step_ = 10;
  Color barColor_ = RGB(0, 160, 60);
};

// The record of UDN_DELTAPOS: a non-zero answer from the parent refuses the change.
struct UpDownNotify {
  NotifyHeader hdr;
  int pos = 0;
  int delta = 0;
};

class UpDown : public Window {
 public:
  void SetBuddy(Window* buddy);
  Window* GetBuddy() const;
  void SetRange(int lower, int upper);
  void GetRange(int& lower, int& upper) const { lower = lower_; upper = upper_; }
  int SetPos(int pos);
  int GetPos() const { return pos_; }
  // One step up (+1) or down (-1), as a click on an arrow.
  void Step(int delta);

 protected:
  int OnCreate() override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnLButtonUp(unsigned flags, Point pt) override;
  void TakeOverState(Window& from) override;

 private:
  WindowHandle buddy_ = 0;
  int lower_ = 0, upper_ = 100, pos_ = 0;
  int pressed_ = 0;  // +1 upper arrow, -1 lower arrow
};

class TabControl : public Window {
 public:
  int InsertItem(int index, const std::string& text);
  // With the item's own value and an image index (-1: none).
  int InsertItem(int index, const std::string& text, uintptr_t data, int image);
  uintptr_t GetItemData(int index) const;
  int GetItemImage(int index) const;
  bool DeleteItem(int index);
  void DeleteAllItems();
  int GetItemCount() const { return static_cast<int>(items_.size()); }
  std::string GetItemText(int index) const;
  bool SetItemText(int index, const std::string& text);
  int GetCurSel() const { return cur_; }
  int SetCurSel(int index);
  Rect GetItemRect(int index) const;
  // The page area below the tabs (client coordinates).
  Rect GetPageRect() const;

 protected:
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void TakeOverState(Window& from) override;

 private:
  void UserSelect(int index);
  std::vector<std::string> items_;
  std::vector<uintptr_t> data_;
  std::vector<int> images_;
  int cur_ = -1;
};

class IpAddress : public Window {
 public:
  void SetAddress(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3);
  // Returns the number of non-blank fields.
  int GetAddress(uint8_t& b0, uint8_t& b1, uint8_t& b2, uint8_t& b3) const;
  void ClearAddress();
  bool IsBlank() const;
  int FocusedField() const { return field_; }

 protected:
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window*) override;
  void OnKillFocus(Window*) override;
  void TakeOverState(Window& from) override;

 private:
  void SyncText();
  void FieldChanged(int field);
  std::string fields_[4];
  int field_ = 0;
  bool focused_ = false;
};

class DateTimePicker : public Window {
 public:
  void SetTime(const sys::LocalTime& t);
  sys::LocalTime GetTime() const { return time_; }
  bool TimeFormat() const { return (GetStyle() & DTS_TIMEFORMAT) == DTS_TIMEFORMAT; }
  int FocusedField() const { return field_; }
  // Steps the focused field (year, month, day or hour, minute, second) by `delta`.
  void StepField(int delta);

 protected:
  int OnCreate() override;
  void OnPaint(draw::DC& dc) override;
  bool OnEraseBkgnd(draw::DC&) override { return true; }
  void OnLButtonDown(unsigned flags, Point pt) override;
  void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) override;
  void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
  void OnSetFocus(Window*) override;
  void OnKillFocus(Window*) override;
  void TakeOverState(Window& from) override;

 private:
  void SetField(int field, int value);
  void Notify();
  void SyncText();
  sys::LocalTime time_;
  int field_ = 0;
  int typed_ = -1;  // digits typed into the focused field so far
  bool focused_ = false;
};

// The record of DTN_DATETIMECHANGE.
struct DateTimeNotify {
  NotifyHeader hdr;
  sys::LocalTime time;
};
// The record of IPN_FIELDCHANGED.
struct IpFieldNotify {
  NotifyHeader hdr;
  int field = 0;
  int value = -1;  // -1: blank
};

}  // namespace ui
