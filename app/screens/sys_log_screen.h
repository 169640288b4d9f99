#pragma once
// CSysLog: the system log screen. Lists SysLog oldest first, prints it on the built-in
// thermal printer or the page printer (on a thread; the Print button turns into Cancel while
// the job runs), and deletes all of it after a question. The grid's fixed row 0 holds the
// headings; data rows follow from row 1.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/ado_conn.h"
#include "app/screens/sys_log_print.h"
#include "controls/grid/grid_ctrl.h"
#include "controls/xp_button.h"
#include "controls/xp_group_box.h"
#include "platform/sys/thread.h"
#include "platform/ui/dialog.h"

class PrintHintHolder;

inline constexpr int IDD_SYS_LOG = 185;
inline constexpr int IDC_SYSLOG_PRINT = 1043;
inline constexpr int IDC_SYSLOG_DELETE = 1388;
inline constexpr int IDC_SYSLOG_GRID = 1387;
inline constexpr int IDC_SYSLOG_OUTER = 2040;
inline constexpr int IDC_SYSLOG_INNER = 2041;

ui::DialogTemplate SysLogTemplate();

// The Print button's texts: to start a job, and to cancel the running one.
std::string SysLogPrintText(int language);
std::string SysLogCancelText(int language);

// The font the log's grid gets, if any: on a Chinese system "宋体" 14 x scale (Arial 16 x scale
// on the old platform); in Ukrainian Arial 15 x scale whatever the system. Elsewhere the grid
// keeps its own font (false).
bool SysLogGridFont(int language, bool chineseSystem, uint8_t platformFlag, float scale, draw::Font* font);

// Process-wide state of the log's printing.
extern std::atomic<uint8_t> SysLogPrintCancel;
extern int SysLogPrintPresses;

class CSysLog : public ui::Dialog {
 public:
  explicit CSysLog(ui::Window* parent = nullptr);
  ~CSysLog() override;

  int deleted = 0;
  int printKind = 0;
  uint8_t busy = 0;
  CGridCtrl& Grid() { return grid_; }
  // Waits for a running print thread (tests; the screen's end does it too).
  void WaitForPrint();

 protected:
  void DoDataExchange(ui::DataExchange& dx) override;
  bool OnInitDialog() override;
  bool OnCommand(int id, int code, ui::Window* control) override;
  bool PreTranslateMessage(ui::Message& msg) override;
  bool OnEraseBkgnd(draw::DC& dc) override;
  ui::LResult WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) override;
  void OnDestroy() override;

 private:
  void BuildHeader();
  void OnPrint();
  void OnDelete();
  std::vector<SysLogRow> Snapshot() const;

  CXPGroupBox outer_, inner_;
  CXPButton print_, delete_, exit_;
  CGridCtrl grid_;
  draw::Font gridFont_;
  CADOConn conn_;
  std::unique_ptr<PrintHintHolder> hint_;
  std::unique_ptr<sys::Thread> thread_;
};
