#pragma once
// ui::Dialog: a window built from a dialog template, run modally (a nested loop until
// EndDialog, its owner disabled meanwhile) or modeless.
//
// A screen derives from Dialog, overrides OnInitDialog / OnOK / OnCancel / DoDataExchange and
// the handlers it needs, and reads its controls by id (GetDlgItem):
//
//   class CAboutDlg : public ui::Dialog {
//    public:
//     CAboutDlg() : Dialog(108) {}
//     bool OnInitDialog() override { Dialog::OnInitDialog(); SetTimer(1, 1000); return true; }
//    protected:
//     void OnTimer(uintptr_t id) override { ... }
//     LResult WindowProc(uint32_t msg, WParam w, LParam l) override {
//       if (msg == ui::WM_USER + 7) { OnSerialByte(static_cast<uint8_t>(w)); return 0; }
//       return Dialog::WindowProc(msg, w, l);
//     }
//   };
#include <optional>

#include "platform/ui/dialog_template.h"
#include "platform/ui/window.h"

namespace ui {

class DataExchange;

// DoModal's result when a quit ended the loop.
inline constexpr int kModalQuit = -1;

class Dialog : public Window {
 public:
  // A dialog made from template `templateId` of the resource store (0: set it later).
  explicit Dialog(int templateId = 0, Window* parent = nullptr);
  Dialog(const DialogTemplate& tmpl, Window* parent = nullptr);
  ~Dialog() override;

  void SetTemplate(const DialogTemplate& tmpl) { template_ = tmpl; }
  void SetTemplateId(int id) { templateId_ = id; }
  int TemplateId() const { return templateId_; }
  void SetParentWindow(Window* parent) { parentWanted_ = parent; }

  // Runs the dialog modally: creates it, OnInitDialog, shows it, loops until EndDialog,
  // then destroys the window. Returns the EndDialog result (kModalQuit on quit).
  virtual int DoModal();
  // Creates the dialog modeless; shown when its template has WS_VISIBLE.
  bool CreateModeless(Window* parent = nullptr);
  void EndDialog(int result);
  bool IsModal() const { return modal_; }
  bool IsEnded() const { return ended_; }
  int ModalResult() const { return result_; }

  // Runs DoDataExchange; false when a value failed its check (the prompt was shown).
  bool UpdateData(bool saveAndValidate = true);

  // Keyboard navigation: Tab, arrows in a radio group, Enter (default button), Escape.
  bool PreTranslateMessage(Message& msg) override;
  LResult WindowProc(uint32_t msg, WParam w, LParam l) override;

  void GotoDlgCtrl(Window* control);
  void NextDlgCtrl(bool previous = false);
  // The id Enter presses: the button with BS_DEFPUSHBUTTON, else IDOK.
  int GetDefID() const;
  void SetDefID(int id) { defId_ = id; }

 protected:
  virtual bool OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(DataExchange& dx) {}
  bool OnEraseBkgnd(draw::DC& dc) override;
  void OnClose() override { OnCancel(); }
  void OnActivate(int state, Window* other) override;

  // Builds the window and its controls from the template.
  bool CreateFromTemplate(Window* parentOrOwner);
  int RunModalLoop();

 private:
  int templateId_ = 0;
  std::optional<DialogTemplate> template_;
  Window* parentWanted_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  int result_ = IDCANCEL;
  int defId_ = 0;
};

}  // namespace ui
