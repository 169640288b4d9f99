#include "app/screens/sys_log_screen.h"

#include "core/app_settings.h"
#include "core/app_startup.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "controls/screen_common.h"
#include "platform/ui/app.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/keys.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "printing/print_hint_dlg.h"
#include "core/sys_setting.h"

std::atomic<uint8_t> SysLogPrintCancel{0};
int SysLogPrintPresses = 0;

ui::DialogTemplate SysLogTemplate() {
  const uint32_t V = ui::WS_VISIBLE, TS = ui::WS_TABSTOP;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  t.Add("Button", IDC_SYSLOG_OUTER, "", 4, 4, 312, 232, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SYSLOG_INNER, "", 12, 10, 296, 186, V | ui::BS_GROUPBOX);
  t.Add("Button", IDC_SYSLOG_PRINT, "Print(&P)", 40, 206, 60, 22, V | TS);
  t.Add("Button", IDC_SYSLOG_DELETE, "Delete(&D)", 130, 206, 60, 22, V | TS);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 220, 206, 60, 22, V | TS);
  return t;
}

std::string SysLogPrintText(int language) {
  return PickText(language, "打印(&P)", "Print(&P)", "Imprimir(&P)", "Imprimer(&P)", "Друк(&P)");
}

std::string SysLogCancelText(int language) {
  return PickText(language, "取消(&C)", "Cancel(&C)", "Cancelar(&C)", "Annuler(&C)", "Відміна(&C)");
}

bool SysLogGridFont(int language, bool chineseSystem, uint8_t platformFlag, float scale, draw::Font* font) {
  if (language == 4) {
    *font = draw::Font("Arial", static_cast<int>(15 * scale), draw::kFontWeightNormal);
    font->charset = 1;
    return true;
  }
  if (!chineseSystem) return false;
  // A cleared description: only the face and the height are given.
  *font = platformFlag ? draw::Font("宋体", static_cast<int>(14 * scale), draw::kFontWeightDontCare)
                       : draw::Font("Arial", static_cast<int>(16 * scale), draw::kFontWeightDontCare);
  return true;
}

CSysLog::CSysLog(ui::Window* parent) : ui::Dialog(IDD_SYS_LOG, parent), hint_(std::make_unique<PrintHintHolder>()) {
  if (!ui::Resources::FindDialog(IDD_SYS_LOG)) ui::Resources::AddDialog(IDD_SYS_LOG, SysLogTemplate());
}

CSysLog::~CSysLog() { WaitForPrint(); }

void CSysLog::WaitForPrint() {
  if (thread_) {
    thread_->Join();
    thread_.reset();
  }
}

void CSysLog::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, IDC_SYSLOG_OUTER, outer_);
  ui::ExchangeControl(dx, IDC_SYSLOG_INNER, inner_);
  ui::ExchangeControl(dx, IDC_SYSLOG_PRINT, print_);
  ui::ExchangeControl(dx, IDC_SYSLOG_DELETE, delete_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
}

void CSysLog::BuildHeader() {
  const int lang = AppSettings.LanguageIndex;
  const float s = AppSettings.LayoutScale;
  auto w = [s](int v) { return static_cast<int>(v * s); };
  std::vector<std::string> heads;
  if (lang == 4) heads = {"Дата ", "Час", "Подія ", "Результат "};
  else
    heads = {PickText(lang, "日期", "Date", "Fecha", "Date", ""), PickText(lang, "时间", "Time", "Hora", "Heure", ""),
             PickText(lang, "事件", "Event", "Evento", "Evenement", ""),
             PickText(lang, "结果", "Result", "Resultado", "Resultat", "")};
  const std::vector<int> widths = lang == 4 ? std::vector<int>{w(100), w(90), w(160), w(180)}
                                            : std::vector<int>{w(100), w(100), w(140), w(140)};
  grid_.DeleteAllItems();
  grid_.SetColumnCount(4);
  grid_.SetRowCount(1);
  grid_.SetFixedRowCount(1);
  grid_.SetListMode(true);
  // The log is read, never edited: Delete or a typed key must not blank a row on screen and in
  // the print-out, which is printed from the grid.
  grid_.SetEditable(false);
  for (int c = 0; c < 4; ++c) {
    grid_.SetColumnWidth(c, widths[static_cast<size_t>(c)]);
    grid_.SetItemText(0, c, heads[static_cast<size_t>(c)]);
  }
  grid_.SetRowHeight(0, w(25));
  grid_.Invalidate(true);
}

bool CSysLog::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  const int lang = AppSettings.LanguageIndex;
  ui::Rect area = inner_.GetRectInParent();
  grid_.Create(ui::Rect(area.left + 8, area.top + 10, area.right - 8, area.bottom - 8), this, IDC_SYSLOG_GRID);
  const float s = AppSettings.LayoutScale;
  // Elsewhere the grid would keep the small font it is made with (rows about 9 px high): it
  // takes the screens' own font instead.
  if (!SysLogGridFont(lang, ChineseEditionFromSystemLanguage() == 1, AppSettings.PlatformFlag, s, &gridFont_))
    gridFont_ = MakeSharedDialogFont(s);
  grid_.SetFont(&gridFont_, true);
  SetWindowText(PickText(lang, "系统日志", "System Log", "Registro del sistema", "Systeme log", "Журнал"));
  delete_.SetWindowText(PickText(lang, "删除(&D)", "Delete(&D)", "Borrar(&D)", "Effacer(&D)", "Видалити(&D)"));
  exit_.SetWindowText(ExitButtonText(lang));
  print_.SetWindowText(SysLogPrintText(lang));
  BuildHeader();
  RecordsetPtr& rs = conn_.OpenRecordset("Select * from SysLog order by Date,Time");
  if (conn_.RecordsetOpen()) {
    while (!rs->IsEOF()) {
      std::vector<std::string> cells(4);
      ReadField(*rs, "Date", cells[0]);
      ReadField(*rs, "Time", cells[1]);
      ReadField(*rs, "Event", cells[2]);
      ReadField(*rs, "Result", cells[3]);
      const int row = grid_.InsertRow(cells[0]);
      for (int c = 1; c < 4; ++c) grid_.SetItemText(row, c, cells[static_cast<size_t>(c)]);
      grid_.SetRowHeight(row, static_cast<int>(18 * s));
      rs->MoveNext();
    }
  }
  conn_.CloseRecordset();
  TakeSetting(LoadSysSetting(conn_).row.Printer, printKind);
  for (CXPButton* b : {&print_, &delete_, &exit_}) b->SetBitmaps(479, 481, 480);
  return true;
}

std::vector<SysLogRow> CSysLog::Snapshot() const {
  std::vector<SysLogRow> rows;
  for (int r = 1; r < grid_.GetRowCount(); ++r)
    rows.push_back({grid_.GetItemText(r, 0), grid_.GetItemText(r, 1), grid_.GetItemText(r, 2), grid_.GetItemText(r, 3)});
  return rows;
}

bool CSysLog::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED && id == IDC_SYSLOG_PRINT) {
    OnPrint();
    return true;
  }
  if (code == ui::BN_CLICKED && id == IDC_SYSLOG_DELETE) {
    OnDelete();
    return true;
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void CSysLog::OnPrint() {
  const int lang = AppSettings.LanguageIndex;
  const std::string caption = print_.GetWindowText();
  // Any language's start text counts, the French one too.
  bool start = false;
  for (int l = 0; l < 5; ++l)
    if (caption == SysLogPrintText(l)) start = true;
  if (start) {
    SysLogPrintPresses = 0;
  } else if (SysLogPrintPresses == 1) {
    print_.EnableWindow(false);
    SysLogPrintCancel = 1;
    SysLogPrintPresses = 0;
    return;
  } else if (SysLogPrintPresses != 0) {
    return;
  }
  if (busy) return;
  busy = 1;
  SysLogPrintCancel = 0;
  WaitForPrint();
  const std::vector<SysLogRow> rows = Snapshot();
  const sys::LocalTime now = sys::Clock::Now();
  const ui::WindowHandle self = Handle();
  const int kind = printKind;
  thread_ = std::make_unique<sys::Thread>();
  thread_->Start([rows, lang, now, self, kind] {
    ui::SendMessageTo(self, WM_PRINT_PROGRESS, 1, 0);
    if (kind == 0) PrintSysLogTextJob(rows, lang, now, SysLogPrintCancel);
    else PrintSysLogGraphicsJob(rows, lang, now, SysLogPrintCancel);
    ui::SendMessageTo(self, WM_PRINT_PROGRESS, 0, 0);
  });
  print_.SetWindowText(SysLogCancelText(lang));
  ui::RemoveMouseMessages(this);
  ++SysLogPrintPresses;
  busy = 0;
}

ui::LResult CSysLog::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == WM_PRINT_PROGRESS) {
    if (w == 1) {
      exit_.EnableWindow(false);
      delete_.EnableWindow(false);
      hint_->Show();
    } else {
      hint_->Hide();
      busy = 0;
      print_.EnableWindow(true);
      print_.SetWindowText(SysLogPrintText(AppSettings.LanguageIndex));
      exit_.EnableWindow(true);
      delete_.EnableWindow(true);
      SysLogPrintPresses = 0;  // the next press starts a new job
    }
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

void CSysLog::OnDelete() {
  if (deleted) return;
  const int lang = AppSettings.LanguageIndex;
  if (ui::MessageBox(nullptr,
                     PickText(lang, "确定要删除系统日志吗？", "Are you sure to delete the system log?",
                              "iEsta seguro que desea borrar el registro del sistema?",
                              "Etes-vous sur de supprimer le systeme log?", "Ви впевнені, що хочете очистити журнал?"),
                     "", ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK)
    return;
  // The list is emptied only once the table really is: a refused delete leaves both.
  if (!conn_.Execute("delete from SysLog")) return;
  BuildHeader();
  deleted = 1;
}

bool CSysLog::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool CSysLog::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawDialogFrame(dc, this, kDialogFrameWidth);
  return true;
}

void CSysLog::OnDestroy() {
  WaitForPrint();
  hint_->Hide();
  ui::Dialog::OnDestroy();
}
