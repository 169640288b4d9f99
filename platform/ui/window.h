#pragma once
// ui::Window: one window of our own window system.
//
// A window has a handle, a class name, a style, a rectangle (relative to its parent's
// client area, or to the screen for a top-level window), a parent or an owner, children in
// z-order, a text, a font and visible/enabled states. Messages reach it through WindowProc,
// which hands the common ones to the typed virtual handlers below; a class overrides
// WindowProc for its own numbered messages (WM_USER + 7 ...) and calls the base for the rest.
//
// Everything here runs on the UI thread. Called from another thread, the operations that
// create, change or query a window are carried out on the UI thread and wait for it.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/draw/brush.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/font.h"
#include "platform/ui/messages.h"
#include "platform/ui/styles.h"
#include "platform/ui/types.h"

namespace ui {

class Window;

// The record of an owner-draw request (WM_DRAWITEM).
struct DrawItemInfo {
  unsigned ctlType = 0;    // ODT_
  int ctlId = 0;
  int itemId = -1;
  unsigned itemAction = ODA_DRAWENTIRE;
  unsigned itemState = 0;  // ODS_
  Window* item = nullptr;  // the control
  draw::DC* dc = nullptr;
  Rect rcItem;             // in the control's client coordinates
  uintptr_t itemData = 0;
};

// The head of every WM_NOTIFY record.
struct NotifyHeader {
  Window* from = nullptr;
  int idFrom = 0;
  int code = 0;
};

// A window's own scroll bars (WS_HSCROLL / WS_VSCROLL), in its non-client area.
enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
enum : unsigned {
  SIF_RANGE = 0x1,
  SIF_PAGE = 0x2,
  SIF_POS = 0x4,
  SIF_DISABLENOSCROLL = 0x8,
  SIF_TRACKPOS = 0x10,
  SIF_ALL = 0x17,
};
struct ScrollInfo {
  unsigned mask = SIF_ALL;
  int min = 0;
  int max = 0;
  unsigned page = 0;
  int pos = 0;
  int trackPos = 0;
};
inline constexpr int kScrollBarSize = 16;

// Where SetWindowPos puts a window in the z-order.
enum class ZOrder { Keep, Top, Bottom, TopMost, NoTopMost };
enum : unsigned {
  SWP_NOSIZE = 0x1,
  SWP_NOMOVE = 0x2,
  SWP_NOZORDER = 0x4,
  SWP_NOREDRAW = 0x8,
  SWP_NOACTIVATE = 0x10,
  SWP_SHOWWINDOW = 0x40,
  SWP_HIDEWINDOW = 0x80,
};

class Window {
 public:
  Window();
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Creates the window. With WS_CHILD, `parentOrOwner` is the parent and `rect` is in its
  // client coordinates; otherwise the window is top-level, `parentOrOwner` its owner and
  // `rect` in screen coordinates. The class name selects the class style (double clicks)
  // registered for it. Sends WM_CREATE; false when the handler refuses (returns -1).
  bool Create(const std::string& className, const std::string& text, uint32_t style, const Rect& rect,
              Window* parentOrOwner, int id = 0, uint32_t exStyle = 0);
  // Destroys the window and its children (and owned top-level windows). Sends WM_DESTROY;
  // kills its timers; messages still queued for it are dropped.
  virtual void DestroyWindow();
  bool IsWindow() const { return handle_ != 0; }
  WindowHandle Handle() const { return handle_; }
  static Window* FromHandle(WindowHandle h);
  // The framework deletes the object when the window is destroyed (controls made from a
  // dialog template). Off by default: members and stack objects belong to their owner.
  void SetAutoDelete(bool on) { autoDelete_ = on; }
  bool AutoDelete() const { return autoDelete_; }

  // Takes over control `id` of `parent`: this object becomes that window (same handle, id,
  // rectangle, text, style and control state) and the one created for it is retired.
  bool SubclassDlgItem(int id, Window* parent);

  // --- tree ----------------------------------------------------------------------------------
  Window* GetParent() const { return parent_; }
  Window* GetOwner() const { return owner_; }
  void SetOwner(Window* owner) { owner_ = owner; }
  Window* GetTopLevel();  // this window or the top-level ancestor
  bool IsTopLevel() const { return parent_ == nullptr; }
  bool IsChild(const Window* w) const;  // w is a descendant of this window
  const std::vector<Window*>& Children() const { return children_; }
  Window* GetDlgItem(int id) const;  // a direct child with that id
  int GetDlgCtrlID() const { return id_; }
  void SetDlgCtrlID(int id) { id_ = id; }
  const std::string& ClassName() const { return className_; }
  uint32_t ClassStyle() const { return classStyle_; }

  uint32_t GetStyle() const { return style_; }
  uint32_t GetExStyle() const { return exStyle_; }
  void ModifyStyle(uint32_t remove, uint32_t add);
  void ModifyStyleEx(uint32_t remove, uint32_t add);

  // --- text and font ------------------------------------------------------------------------
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  int GetWindowTextLength() const;
  void SetFont(const draw::Font* font, bool redraw = true);  // null: the default font
  const draw::Font* GetFont() const;  // the window's font (the default when none was set)

  // --- geometry -----------------------------------------------------------------------------
  Rect GetWindowRect() const;  // in screen coordinates
  Rect GetClientRect() const;  // (0, 0, width, height) of the client area
  Rect GetRectInParent() const { return rect_; }
  void MoveWindow(int x, int y, int width, int height, bool repaint = true);
  void MoveWindow(const Rect& r, bool repaint = true) { MoveWindow(r.left, r.top, r.Width(), r.Height(), repaint); }
  bool SetWindowPos(ZOrder z, int x, int y, int cx, int cy, unsigned flags);
  void CenterWindow(Window* alternateOwner = nullptr);
  Point ClientToScreen(Point p) const;
  Point ScreenToClient(Point p) const;
  Rect ClientToScreen(const Rect& r) const;
  Rect ScreenToClient(const Rect& r) const;
  // The client area's top-left corner on the screen.
  Point ClientOrigin() const;
  // Height of the title bar and width of the border (non-client area) for this style.
  Rect NonClientInsets() const;

  // --- states -------------------------------------------------------------------------------
  bool ShowWindow(int cmd);  // returns whether it was visible
  bool IsWindowVisible() const;  // this window and all its ancestors have WS_VISIBLE
  bool EnableWindow(bool enable);  // returns whether it was disabled
  bool IsWindowEnabled() const { return handle_ && !(style_ & WS_DISABLED); }
  void BringWindowToTop();
  void SetActiveWindow();
  void SetForegroundWindow() { SetActiveWindow(); }
  static Window* GetActiveWindow();

  // --- painting -----------------------------------------------------------------------------
  void Invalidate(bool erase = true);
  void InvalidateRect(const Rect* rect, bool erase = true);  // client coordinates, null: all
  void ValidateRect(const Rect* rect);
  bool GetUpdateRect(Rect* rect) const;
  // Paints what is invalid now (the whole tree of this window's top-level window).
  void UpdateWindow();
  // A DC drawing straight onto the window's client area, outside the paint cycle.
  std::unique_ptr<draw::DC> GetDC();

  // --- messages -----------------------------------------------------------------------------
  LResult SendMessage(uint32_t msg, WParam w = 0, LParam l = 0);
  bool PostMessage(uint32_t msg, WParam w = 0, LParam l = 0);
  LResult SendDlgItemMessage(int id, uint32_t msg, WParam w = 0, LParam l = 0);
  virtual LResult WindowProc(uint32_t msg, WParam w, LParam l);
  // The handling a message gets when no class does anything special with it.
  LResult DefWindowProc(uint32_t msg, WParam w, LParam l);
  // Looks at a message before it is dispatched (the message goes to this window or one of
  // its descendants); true swallows it.
  virtual bool PreTranslateMessage(Message& msg);

  // --- timers (on the program clock) ------------------------------------------------------
  uintptr_t SetTimer(uintptr_t id, unsigned elapseMs);  // 0 on failure
  bool KillTimer(uintptr_t id);

  // --- focus, capture, mouse tracking ------------------------------------------------------
  Window* SetFocus();  // returns the window that had it
  static Window* GetFocus();
  Window* SetCapture();
  static Window* GetCapture();
  static void ReleaseCapture();
  bool TrackMouseEvent(unsigned flags, unsigned hoverMs = HOVER_DEFAULT);

  // --- the window's own scroll bars (SB_HORZ / SB_VERT) ----------------------------------
  // The bars send WM_HSCROLL / WM_VSCROLL (lParam 0) to the window itself; the window moves
  // the position with SetScrollPos, as its handler decides.
  int SetScrollPos(int bar, int pos, bool redraw = true);  // returns the old position
  int GetScrollPos(int bar) const;
  void SetScrollRange(int bar, int minPos, int maxPos, bool redraw = true);
  void GetScrollRange(int bar, int* minPos, int* maxPos) const;
  int SetScrollInfo(int bar, const ScrollInfo& info, bool redraw = true);
  bool GetScrollInfo(int bar, ScrollInfo& info) const;
  void ShowScrollBar(int bar, bool show = true);
  bool HasScrollBar(int bar) const;
  // Classes that draw their own bars for these styles (list and combo boxes) say false.
  virtual bool UsesWindowScrollBars() const { return true; }

  // --- dialog-item conveniences ------------------------------------------------------------
  void SetDlgItemText(int id, const std::string& text);
  std::string GetDlgItemText(int id) const;
  void SetDlgItemInt(int id, long value, bool isSigned = true);
  long GetDlgItemInt(int id, bool* ok = nullptr, bool isSigned = true) const;
  void CheckDlgButton(int id, int check);
  int IsDlgButtonChecked(int id) const;
  void CheckRadioButton(int firstId, int lastId, int checkId);
  int GetCheckedRadioButton(int firstId, int lastId) const;

  // Any value the owner wants to hang on the window.
  void SetUserData(uintptr_t v) { userData_ = v; }
  uintptr_t GetUserData() const { return userData_; }

  // Marks the window as a message box so tests and helpers can find it.
  void SetMessageBoxRole(bool on) { messageBox_ = on; }
  bool IsMessageBox() const { return messageBox_; }
  // Hit tests pass through the window to what lies beneath (group boxes).
  virtual bool IsHitTransparent() const { return false; }

 protected:
  // --- typed handlers, called by WindowProc; the base versions give the default behaviour ---
  virtual int OnCreate() { return 0; }
  virtual void OnDestroy() {}
  virtual bool OnEraseBkgnd(draw::DC& dc);
  virtual void OnPaint(draw::DC& dc) {}
  virtual void OnTimer(uintptr_t id) {}
  // WM_COMMAND: a control's notification or a command; return true when handled.
  virtual bool OnCommand(int id, int code, Window* control) { return false; }
  virtual LResult OnNotify(int id, NotifyHeader* header) { return 0; }
  // Colour query from a child before it paints; return a brush (kept alive by the caller)
  // to fill its background, or null for the default colours.
  virtual const draw::Brush* OnCtlColor(draw::DC& dc, Window* control, int ctlType);
  // The control's own answer to its colour query, asked before the parent (a label class
  // that keeps its colours itself); null leaves the question to the parent.
  virtual const draw::Brush* CtlColorReflect(draw::DC& dc, int ctlType) { return nullptr; }
  virtual void OnDrawItem(int id, DrawItemInfo& info);
  virtual void OnLButtonDown(unsigned flags, Point pt) {}
  virtual void OnLButtonUp(unsigned flags, Point pt) {}
  virtual void OnLButtonDblClk(unsigned flags, Point pt) {}
  virtual void OnRButtonDown(unsigned flags, Point pt) {}
  virtual void OnRButtonUp(unsigned flags, Point pt) {}
  virtual void OnMouseMove(unsigned flags, Point pt) {}
  virtual bool OnMouseWheel(unsigned flags, int delta, Point screenPt);
  virtual void OnMouseHover(unsigned flags, Point pt) {}
  virtual void OnMouseLeave() {}
  virtual void OnKeyDown(unsigned vk, unsigned repeat, unsigned flags) {}
  virtual void OnKeyUp(unsigned vk, unsigned repeat, unsigned flags) {}
  virtual void OnChar(unsigned ch, unsigned repeat, unsigned flags) {}
  virtual void OnSysKeyDown(unsigned vk, unsigned repeat, unsigned flags) {}
  virtual void OnSetFocus(Window* old) {}
  virtual void OnKillFocus(Window* next) {}
  virtual void OnCaptureChanged(Window* next) {}
  virtual void OnSize(int type, int cx, int cy) {}
  virtual void OnMove(int x, int y) {}
  virtual void OnShowWindow(bool show) {}
  virtual void OnEnable(bool enable) {}
  virtual void OnActivate(int state, Window* other) {}
  virtual void OnClose();
  virtual void OnSysCommand(uint32_t cmd, LParam l);
  virtual void OnHScroll(int code, int pos, Window* bar) {}
  virtual void OnVScroll(int code, int pos, Window* bar) {}
  virtual void OnSetText(const std::string& text);
  virtual void OnFontChanged() {}

  // Called once this object has taken over an existing window (SubclassDlgItem).
  virtual void PreSubclassWindow() {}
  // Copies the class's own state from the window being taken over (same control kind).
  virtual void TakeOverState(Window& from) {}

  // Asks the parent for colours (WM_CTLCOLOR...) and returns its brush or null. Sets the
  // default text and background colours on `dc` first.
  const draw::Brush* QueryCtlColor(draw::DC& dc, int ctlType);
  // Sends a notification to the parent (WM_COMMAND with this window's id and `code`), after
  // offering it to the control itself (ReflectNotification).
  void NotifyParent(int code);
  // A control's own handling of its notification (a skinned combo box repainting when its
  // list closes); true keeps it from the parent.
  virtual bool ReflectNotification(int code) { return false; }
  // Paints the non-client frame (border and title bar) of a top-level window.
  virtual void PaintNonClient(draw::DC& dc);

  // The text as stored, without a message round trip.
  const std::string& Text() const { return text_; }

 private:
  friend struct WindowAccess;
  void DestroyInternal();

  WindowHandle handle_ = 0;
  std::string className_;
  uint32_t classStyle_ = 0;
  uint32_t style_ = 0;
  uint32_t exStyle_ = 0;
  int id_ = 0;
  std::string text_;
  Rect rect_;
  Window* parent_ = nullptr;
  Window* owner_ = nullptr;
  std::vector<Window*> children_;
  std::optional<draw::Font> font_;
  bool autoDelete_ = false;
  bool messageBox_ = false;
  bool destroying_ = false;
  uintptr_t userData_ = 0;
  // Invalid part of the client area and whether it needs erasing first.
  Rect invalid_;
  bool eraseNeeded_ = false;
  bool nonClientDirty_ = true;
  // Top-level windows: the back buffer the window is painted into, and the child that had
  // the focus when the window was last active.
  draw::Bitmap backing_;
  WindowHandle lastFocus_ = 0;
  // Mouse tracking requested by TrackMouseEvent.
  unsigned trackFlags_ = 0;
  unsigned hoverMs_ = 400;
  // The window's own scroll bars: [SB_HORZ], [SB_VERT].
  struct BarState {
    int min = 0, max = 100, pos = 0, trackPos = 0;
    unsigned page = 0;
  };
  BarState bars_[2];
  bool barsDirty_ = true;
};

// Calls `fn` for every descendant of `parent`, depth first, until it returns false.
void EnumChildWindows(Window* parent, const std::function<bool(Window*)>& fn);

// Default colours of the framework (dialog face, text ...), by COLOR_ number.
Color SysColor(int index);
// The framework's default font (the dialog font when nothing else was set).
const draw::Font& DefaultFont();

}  // namespace ui
