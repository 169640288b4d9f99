#include "qc/qc_run_screen.h"
#include "core/sys_setting.h"

#include "measurement/screen/board_reports.h"

#include <cstdlib>
#include <memory>

#include "analyzer/board_port.h"
#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/soak_reminder.h"
#include "analyzer/serial_window_sink.h"
#include "controls/screen_common.h"
#include "core/app_settings.h"
#include "core/app_ui.h"
#include "core/dialog_layout.h"
#include "core/field_read.h"
#include "core/layout.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "core/write_log.h"
#include "measurement/count_settings.h"
#include "measurement/result_intake.h"
#include "measurement/result_save.h"
#include "measurement/zentil_call.h"
#include "platform/sys/clock.h"
#include "platform/ui/data_exchange.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"
#include "qc/qc_common.h"
#include "qc/qc_names.h"
#include "qc/run_list_grid.h"

namespace qc {

namespace cmd = analyzer::cmd;

namespace {

ui::DialogTemplate RunTemplate(const QcRunLayout& l) {
  const uint32_t V = ui::WS_VISIBLE;
  ui::DialogTemplate t = ScreenTemplate(320, 240);
  // The run table between the lot line and the buttons (BuildGrid) holds its 23 rows and the
  // horizontal scroll bar of the result columns at 640 x 480: the lot line and the buttons sit
  // close to the frame to leave it the room.
  t.Add("Button", l.frameId, "", 4, 4, 312, 232, V | ui::BS_GROUPBOX);
  // The run table between the lot line and the buttons (BuildGrid) holds its 23 rows and the
  // horizontal scroll bar of the result columns at 640 x 480: the lot line and the buttons sit
  // close to the frame to leave it the room. The message line shares the lot line.
  t.Add("Static", l.lotCaptionId, "Lot:", 12, 8, 34, 12, V | ui::SS_LEFT);
  t.Add("Static", IDC_QC_RUN_BATCH, "", 48, 8, 70, 12, V | ui::SS_LEFT);
  t.Add("Static", l.validityCaptionId, "Validity:", 120, 8, 40, 12, V | ui::SS_LEFT);
  t.Add("Static", IDC_QC_RUN_EXPIRY, "", 162, 8, 44, 12, V | ui::SS_LEFT);
  t.Add("Static", IDC_QC_RUN_MESSAGE, "", 208, 8, 104, 12, V | ui::SS_LEFT);
  t.Add("Button", IDC_QC_RUN_DELETE, "Delete(&D)", 40, 214, 60, 18, V | ui::WS_TABSTOP);
  t.Add("Button", IDC_QC_RUN_HELP, "Help(&H)", 130, 214, 60, 18, V | ui::WS_TABSTOP);
  t.Add("Button", ui::IDCANCEL, "Exit(&X)", 220, 214, 60, 18, V | ui::WS_TABSTOP);
  return t;
}

}  // namespace

bool QcMaterialExpired(const std::string& exp, int year, int month, int day) {
  if (exp.size() < 8) return false;
  const int y = std::atoi(exp.substr(0, 4).c_str());
  const int m = std::atoi(exp.substr(5, 2).c_str());
  const int d = std::atoi(exp.substr(exp.size() - 2).c_str());
  return y < year || (y == year && m < month) || (y == year && m == month && d < day);
}

QcRunScreen::QcRunScreen(const QcRunLayout& layout, ui::Window* parent)
    : ui::Dialog(layout.templateId, parent), usedColumns_(layout.firstRunColumn), layout_(layout) {
  if (!ui::Resources::FindDialog(layout.templateId)) ui::Resources::AddDialog(layout.templateId, RunTemplate(layout));
  popup_ = std::make_unique<CTesting>(this);
  chosen_.fill(1);
}

QcRunScreen::~QcRunScreen() {
  measurement::SetZentilMessageHook({});
  popup_.reset();
  port_.reset();
}

void QcRunScreen::DoDataExchange(ui::DataExchange& dx) {
  ui::ExchangeControl(dx, layout_.frameId, frame_);
  ui::ExchangeControl(dx, ui::IDCANCEL, exit_);
  ui::ExchangeControl(dx, IDC_QC_RUN_HELP, help_);
  ui::ExchangeControl(dx, IDC_QC_RUN_DELETE, delete_);
  ui::ExchangeText(dx, IDC_QC_RUN_BATCH, batchText_);
  ui::ExchangeText(dx, IDC_QC_RUN_EXPIRY, expiryText_);
}

int QcRunScreen::Language() { return AppSettings.LanguageIndex; }

bool QcRunScreen::OnInitDialog() {
  ui::Dialog::OnInitDialog();
  ScaleDialogLayout(this);
  ApplyDialogFontToChildren(this, &SharedDialogFont());
  const int lang = Language();
  // A control sample goes on without the library and gives no result; a box would hold the count.
  measurement::SetZentilMessageHook(
      measurement::TellOncePerCount(libraryTold_, [this](const std::string& m) { TellNotComputed(m); }));
  SetWindowText(Title(lang));

  auto port = std::make_unique<analyzer::CSerialPort>();
  if (analyzer::OpenBoardPort(*port, analyzer::WindowByteSink(this))) port_ = std::move(port);
  else QcMessage(this, "Failed to initialize communications COM port!", ui::MB_OK);

  BuildGrid();
  LoadFile();
  ReadQcUnits(conn_, &units_);
  TakeSetting(LoadSysSetting(conn_).row.AutoCleanTime, autoCleanTime_);
  SetDlgItemText(layout_.lotCaptionId, PickText(lang, "批号:", "Lot:", "Lote:", "Lot:", "Група №:"));
  SetDlgItemText(layout_.validityCaptionId, PickText(lang, "有效期:", "Validity:", "Caducidad:", "Validite:", "Термін дії:"));
  delete_.SetWindowText(DeleteButtonText(lang));
  help_.SetWindowText(HelpButtonText(lang));
  exit_.SetWindowText(PickText(lang, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)"));
  delete_.SetBitmaps(457, 456, 454);
  help_.SetBitmaps(460, 459, 458);
  exit_.SetBitmaps(455, 462, 461);
  UpdateData(false);

  cycle_.SetReady(true);
  if (!expired_) cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
  return true;
}

void QcRunScreen::ShowExpiredIfSo() {
  const sys::LocalTime now = sys::Clock::Now();
  if (expiryText_.empty() || !QcMaterialExpired(expiryText_, now.year, now.month, now.day)) return;
  QcMessage(this,
            PickText(Language(), "质控物已过期,请更换质控物!", "Quality control material has expired, please change it!",
                     "El material de control ha caducado, por favor cambielo!",
                     "Le materiel de controle a expire, veuillez le changer!",
                     "Термін дії контрольного матеріалу закінчився, будь ласка, замініть його!"),
            ui::MB_ICONWARNING);
  expired_ = true;
}

void QcRunScreen::BuildGrid() {
  const float s = AppSettings.LayoutScale;
  const ui::Rect area = frame_.GetRectInParent();
  const ui::Rect exitRect = exit_.GetRectInParent();
  ui::Window* lot = GetDlgItem(layout_.lotCaptionId);
  const int top = lot ? lot->GetRectInParent().bottom + 4 : area.top + static_cast<int>(24 * s);
  grid_.Create(ui::Rect(area.left + 6, top, area.right - 6, exitRect.top - 6), this, layout_.gridId);
  gridFont_ = draw::Font("Arial", static_cast<int>(16 * s));
  grid_.SetFont(&gridFont_, true);
  grid_.SetEditable(false);
  grid_.SetRowResize(false);
  const int first = layout_.firstRunColumn, columns = first + 100;
  grid_.SetRowCount(23);
  grid_.SetColumnCount(columns);
  grid_.SetFixedRowCount(1);
  grid_.SetFixedColumnCount(1);
  const int lang = Language();
  grid_.SetItemText(0, 0, NumberHeading(lang));
  if (first == 3) {
    grid_.SetItemText(0, 1, PickText(lang, "参考值", "Targets", "Referencia", "Reference", "Довідник"));
    grid_.SetItemText(0, 2, PickText(lang, "偏差值", "Limits", "Limites", "Limites", "Відхилення"));
  }
  grid_.SetItemText(1, 0, PickText(lang, "日期", "Date", "Fecha", "Date", "Дата"));
  grid_.SetItemText(2, 0, PickText(lang, "时间", "Time", "Hora", "Heure", "Час"));
  for (int p = 0; p < 20; ++p) grid_.SetItemText(p + 3, 0, kDisplayNames[p]);
  grid_.SetRowHeight(0, static_cast<int>(25 * s));
  for (int r = 1; r < 3; ++r) grid_.SetRowHeight(r, static_cast<int>(18 * s));
  for (int r = 3; r < 23; ++r) grid_.SetRowHeight(r, static_cast<int>(15 * s));
  SetRunColumnWidth(grid_, 0, static_cast<int>(70 * s), false);
  for (int c = 1; c < columns; ++c) SetRunColumnWidth(grid_, c, static_cast<int>(78 * s), c >= first);
  for (int r = 1; r < 23; ++r)
    for (int c = 1; c < columns; ++c)
      grid_.SetItemBkColour(r, c, r % 2 == 0 ? draw::RGB(190, 198, 201) : draw::RGB(205, 213, 215));
  grid_.Refresh();
}

void QcRunScreen::SendFrame(const analyzer::CommandFrame& frame) {
  if (port_) port_->QueueWrite(frame.data(), frame.size());
  if (!cycleTimerOn_ && IsWindow()) cycleTimerOn_ = SetTimer(kCycleTimer, 500) != 0;
}

bool QcRunScreen::LastWriteFailed() { return port_ && port_->SendError(); }

bool QcRunScreen::ReadCountTimes(uint8_t* wbc, uint8_t* rbc) { return measurement::ReadCountTimes(conn_, wbc, rbc); }

measurement::KeyDecision QcRunScreen::OnKeyPress() {
  if (!SampleAllowed()) return measurement::KeyDecision::Ignore;
  const int lang = Language();
  const analyzer::ReagentVolumes& v = analyzer::Reagents().volumes();
  if (v.ReagentAlarmType == 0) {
    const analyzer::ReagentShortage s = analyzer::CheckReagents(analyzer::ReagentCheck::CountKeyCalibrationQc, v);
    if (s.any()) {
      const std::string q = analyzer::ReagentShortageText(s, lang) +
                            PickText(lang, ",继续?", ",continue?", ",continuar?", ",continuer?", ",продовжити?");
      if (QcMessage(this, q, ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) return measurement::KeyDecision::Ignore;
    }
  }
  return measurement::KeyDecision::Start;
}

void QcRunScreen::ShowPopup(bool show) {
  if (show) {
    if (!popup_->IsWindow()) popup_->Create(this);
    popup_->ShowWindow(ui::SW_SHOW);
  } else if (popup_->IsWindow()) {
    popup_->ShowWindow(ui::SW_HIDE);
  }
}

void QcRunScreen::ShowStatus(measurement::CycleStatus status) {
  if (status != measurement::CycleStatus::Testing) return;
  ShowMessage("");  // a new sample: the last one's notice is over
  libraryTold_ = false;
  ShowPopup(true);
}

void QcRunScreen::ShowMessage(const std::string& text) {
  ui::Window* label = GetDlgItem(IDC_QC_RUN_MESSAGE);
  if (label == nullptr || label->GetWindowText() == text) return;
  label->SetWindowText(text);
  // The label is transparent: the screen's background is drawn again under it, so the new text
  // never lies over the old one.
  const ui::Rect r = label->GetRectInParent();
  InvalidateRect(&r, true);
}

void QcRunScreen::TellNotComputed(const std::string& why) {
  const std::string text = measurement::NotComputedText(Language());
  ShowMessage(text);
  unsavedLogs_.push_back(text + " (" + why + ")");
  WriteUnsavedLogs();
}

DbErrorDiversion QcRunScreen::CountStoreErrors() {
  return DbErrorDiversion([this](const std::string& text) {
    WriteLog(text);
    lastStoreError_ = text;
  });
}

void QcRunScreen::ShowChecksumError(const std::string& message) { ui::MessageBox(this, message, "", ui::MB_ICONWARNING); }

void QcRunScreen::ProcessRunResult(bool thirdCount) {
  measurement::QuickValues q = cycle_.quickValues();
  measurement::HistogramBuffers& buffers = cycle_.histograms();
  if (thirdCount) {
    const measurement::CountValues v3 = measurement::ComputeCountValues(cycle_.MakeCountInputs(), buffers);
    q.values[measurement::CountWbc][2] = v3.wbc;
    q.values[measurement::CountRbc][2] = v3.rbc;
    q.values[measurement::CountPlt][2] = v3.plt;
  }
  CombineControlCounts(cycle_.count(1), cycle_.count(2), q, thirdCount, buffers);

  measurement::CountInputs in = cycle_.MakeCountInputs();
  measurement::LoadCalibrationFactors(conn_, 0, in.calibration);
  auto input = std::make_unique<AlgorithmInput>();
  auto result = std::make_unique<AlgorithmResult>();
  measurement::FillAlgorithmInput(*input, in, buffers);
  const measurement::ZentilStatus status = measurement::CallAlgorithmMain(*result, *input);
  ShowPopup(false);
  // Without the library there is no result: nothing is shown, judged or stored as if the
  // control had counted zero; the message line and the system log have said so.
  if (status != measurement::ZentilStatus::Computed) return;
  const ControlValues v = TakeControlValues(*result, units_, chosen_);

  const int col = usedColumns_++;
  // Every result made while the screen is open gets a column.
  if (col >= grid_.GetColumnCount()) {
    grid_.SetColumnCount(col + 1);
    SetRunColumnWidth(grid_, col, static_cast<int>(78 * AppSettings.LayoutScale), true);
  }
  const sys::LocalTime now = sys::Clock::Now();
  const std::string date = StrPrintf("%d-%.2d-%.2d", now.year, now.month, now.day);
  const std::string time = StrPrintf("%.2d:%.2d:%.2d", now.hour, now.minute, now.second);
  grid_.SetItemText(0, col, StrPrintf("%d", col - layout_.firstRunColumn + 1));
  grid_.SetItemText(1, col, date);
  grid_.SetItemText(2, col, time);
  for (int d = 0; d < 20; ++d) grid_.SetItemText(d + 3, col, RunCellText(v.values[d]));
  grid_.Refresh();
  tableRuns_.push_back(v.values);
  lastStoreError_.clear();
  const std::string notSaved = TakeResult(v, date, time);
  // The result stays in the table; the message line says it was not kept, the system log says
  // why as soon as the store takes a row again (at the latest with the next result).
  if (!notSaved.empty()) {
    ShowMessage(notSaved);
    unsavedLogs_.push_back(date + " " + time + ": " + notSaved + " (" + lastStoreError_ + ")");
  }
  WriteUnsavedLogs();
}

void QcRunScreen::WriteUnsavedLogs() {
  while (!unsavedLogs_.empty() && WriteSysLog(conn_, Title(Language()), unsavedLogs_.front()) == 1)
    unsavedLogs_.erase(unsavedLogs_.begin());
}

void QcRunScreen::OnEndOfTest(const measurement::EndOfTestReport&) {
  analyzer::Reagents().Book(analyzer::ReagentOperation::QcSample, Language());
  // In sensor mode the board is asked for its reagent state after each sample.
  if (analyzer::Reagents().volumes().ReagentAlarmType == 1)
    cycle_.SendCommand(analyzer::FrameClassCommand, cmd::ReagentQuery);
  ++analyzer::Soak.TestsSinceAutoClean;
  const std::string soakSql = analyzer::CountSoakSample();
  if (!soakSql.empty()) conn_.Execute(soakSql);
  analyzer::CheckSoakAfterSample();
  AutoRinse();
}

void QcRunScreen::AutoRinse() {
  measurement::AutoRinseRule rule;  // over the declines every counting screen shares
  const measurement::AutoRinseRule::Step step =
      rule.Next(autoCleanTime_, static_cast<int>(analyzer::Soak.TestsSinceAutoClean));
  if (step == measurement::AutoRinseRule::Step::None) return;
  if (step == measurement::AutoRinseRule::Step::Ask) {
    const std::string q = PickText(Language(), "系统将自动清洗,确认后请等待", "System will rinse automatically, please wait after confirmation",
                                   "El sistema se enjuagara automaticamente, espere tras confirmar",
                                   "Le systeme va rincer automatiquement, patientez apres confirmation",
                                   "Система автоматично промиється, зачекайте після підтвердження");
    if (QcMessage(this, q, ui::MB_OKCANCEL | ui::MB_ICONQUESTION) != ui::IDOK) {
      rule.Declined();
      return;
    }
  } else {
    // Postponed three times: the rinse starts by itself after a short pause.
    rinseRunning_ = true;
    cycle_.SetRinseRunning(true);
    SetTimer(kRinseTimer, 2000);
    return;
  }
  StartRinse();
}

void QcRunScreen::StartRinse() {
  measurement::AutoRinseRule().Started();
  analyzer::Soak.TestsSinceAutoClean = 0;
  rinseRunning_ = true;
  cycle_.SetRinseRunning(true);
  SetTimer(kRinseDeadlineTimer, measurement::kRinseDeadlineMs);
  cycle_.SendCommand(analyzer::FrameClassCommand, cmd::CleanChambers);
}

void QcRunScreen::GiveUpRinse() {
  KillTimer(kRinseDeadlineTimer);
  if (!rinseRunning_) return;
  // The board never said the rinse ended (a fault stopped it): the screen counts and can be
  // left again, and says why the rinse is over.
  rinseRunning_ = false;
  ShowMessage(measurement::GiveUpAutoRinse(cycle_, Language()));
}

void QcRunScreen::OnTimeout() {
  ShowPopup(false);
  QcMessage(this, PickText(Language(), "测试超时!", "Test time out!", "Tiempo de prueba agotado!", "Delai de test depasse!",
                           "Час тесту вийшов!"),
            ui::MB_ICONWARNING);
}

void QcRunScreen::OnNoAnswer(bool waiting) {
  const ui::Window* label = GetDlgItem(IDC_QC_RUN_MESSAGE);
  if (label != nullptr) ShowMessage(measurement::NoAnswerLine(waiting, label->GetWindowText(), Language()));
}

void QcRunScreen::OnBoardReport(const analyzer::CollectedFrame& f) {
  if (!f.checksumOk || f.kind != analyzer::FrameKind::Command) return;
  const int lang = Language();
  if (f.cls() == analyzer::FrameClassCommand && f.command() == cmd::CleanChambers && f.status() == analyzer::kReplyDone) {
    // Only the rinse this screen started ends here: a repeated or unasked answer books nothing.
    if (!rinseRunning_) return;
    rinseRunning_ = false;
    KillTimer(kRinseDeadlineTimer);
    cycle_.SetRinseRunning(false);
    analyzer::Reagents().Book(analyzer::ReagentOperation::CleanChambersService, lang);
    cycle_.SendCommand(analyzer::FrameClassCommand, cmd::EnterSampleMode);
    QcMessage(this,
              PickText(lang, "清洗完毕,按吸样键继续测试或按\"退出\"退出",
                       "Rinsing finished, press aspirate key to continue with sample test or press \"Exit\" to exit",
                       "Enjuague terminado, pulse la tecla de aspiracion para continuar o \"Salir\" para salir",
                       "Rincage termine, appuyez sur la touche d'aspiration pour continuer ou \"Quitter\" pour sortir",
                       "Промивання завершено, натисніть клавішу аспірації для продовження або \"Вихід\" для виходу"),
              ui::MB_ICONINFORMATION);
    return;
  }
  if (f.cls() == analyzer::FrameClassFault) {
    bool error = false;
    const std::string text = BoardFaultText(f.command(), f.status(), lang, &error);
    if (!text.empty()) QcMessage(this, text, error ? ui::MB_ICONERROR : ui::MB_ICONWARNING);
    return;
  }
  if (f.cls() == analyzer::FrameClassStatus) {
    const analyzer::SensorReport r = analyzer::Reagents().ApplySensorFrame(f);
    if (r.handled && r.exhausted) {
      const std::string text = analyzer::SensorShortageMessage(r.reagent, lang);
      if (lang == 0) WriteLog(text);  // in Chinese also a log line, before the box
      QcMessage(this, text, ui::MB_ICONWARNING);
    }
  }
}

bool QcRunScreen::OnCommand(int id, int code, ui::Window* control) {
  if (code == ui::BN_CLICKED) {
    if (id == IDC_QC_RUN_DELETE) {
      OnDelete();
      return true;
    }
    if (id == IDC_QC_RUN_HELP) {
      OpenHelp();
      return true;
    }
  }
  return ui::Dialog::OnCommand(id, code, control);
}

void QcRunScreen::OnDelete() {
  if (!cycle_.ready()) return;
  const int lang = Language();
  const int first = layout_.firstRunColumn;
  const CCellSpan range = grid_.GetSelectedCellRange();
  if (!grid_.IsValidRange(range)) {
    QcMessage(this, PickText(lang, "请选择一列数据!", "Please select a column of data!", "Por favor seleccione una columna de datos!",
                             "Veuillez selectionner une colonne de donnees!", "Будь ласка, виберіть стовпець даних!"),
              ui::MB_ICONWARNING);
    return;
  }
  const int col = range.GetMinCol();
  if (col < first) return;  // the label, target and limit columns are never results
  if (col >= usedColumns_ || grid_.GetItemText(0, col).empty()) {
    QcMessage(this, PickText(lang, "无数据!", "No data!", "Sin datos!", "Pas de donnees!", "Немає даних!"), ui::MB_ICONINFORMATION);
    return;
  }
  if (!ConfirmDeleteSelected(this, lang)) return;
  // A delete the data store refused leaves the table as it was.
  if (!DeleteStored(grid_.GetItemText(1, col), grid_.GetItemText(2, col), col - first)) return;
  for (int c = col; c < usedColumns_; ++c)
    for (int r = 0; r < 23; ++r) grid_.SetItemText(r, c, c + 1 < usedColumns_ ? grid_.GetItemText(r, c + 1) : "");
  tableRuns_.erase(tableRuns_.begin() + (col - first));
  --usedColumns_;
  for (int c = first; c < usedColumns_; ++c) grid_.SetItemText(0, c, StrPrintf("%d", c - first + 1));
  grid_.Refresh();
}

void QcRunScreen::OnCancel() {
  if (!cycle_.ready()) return;
  if (rinseRunning_) {
    QcMessage(this, PickText(Language(), "清洗程序进行中!", "Rinse procedure in progress!", "Procedimiento de enjuague en curso!",
                             "Procedure de rincage en cours!", "Триває процедура промивання!"),
              ui::MB_ICONWARNING);
    return;
  }
  {
    // The last chance for the system log rows of unsaved results; a store still refusing them
    // stops nobody from leaving.
    const DbErrorDiversion quiet = CountStoreErrors();
    WriteUnsavedLogs();
  }
  // Leave test mode, then give the board a moment to take the command before the port closes.
  if (port_) {
    cycle_.SendCommand(analyzer::FrameClassCommand, cmd::LeaveSampleMode);
    SetTimer(kExitTimer, 500);
  } else {
    conn_.Disconnect();
    EndDialog(ui::IDCANCEL);
  }
}

void QcRunScreen::OnTimer(uintptr_t id) {
  if (id == kCycleTimer) {
    const DbErrorDiversion quiet = CountStoreErrors();
    cycle_.Tick();
    return;
  }
  if (id == kRinseTimer) {
    KillTimer(kRinseTimer);
    StartRinse();
    return;
  }
  if (id == kRinseDeadlineTimer) {
    GiveUpRinse();
    return;
  }
  if (id == kExitTimer) {
    KillTimer(kExitTimer);
    conn_.Disconnect();
    EndDialog(ui::IDCANCEL);
    return;
  }
  ui::Dialog::OnTimer(id);
}

bool QcRunScreen::PreTranslateMessage(ui::Message& msg) {
  if (IsEnterOrEscapeKey(msg)) return true;
  return ui::Dialog::PreTranslateMessage(msg);
}

bool QcRunScreen::OnEraseBkgnd(draw::DC& dc) {
  ui::Dialog::OnEraseBkgnd(dc);
  DrawBottomBars(dc, this, layout_.frameId, IDC_QC_RUN_DELETE, ui::IDCANCEL);
  return true;
}

const draw::Brush* QcRunScreen::OnCtlColor(draw::DC& dc, ui::Window* control, int ctlType) {
  if (ctlType == ui::CTLCOLOR_STATIC)
    return TransparentLabel(dc, control != nullptr && control->GetDlgCtrlID() == IDC_QC_RUN_MESSAGE ? draw::RGB(200, 0, 0)
                                                                                                      : draw::RGB(66, 85, 92));
  return ui::Dialog::OnCtlColor(dc, control, ctlType);
}

ui::LResult QcRunScreen::WindowProc(uint32_t msg, ui::WParam w, ui::LParam l) {
  if (msg == analyzer::kSerialByteMessage) {
    if (static_cast<unsigned>(l) == analyzer::kBoardPortNumber) {
      const DbErrorDiversion quiet = CountStoreErrors();
      cycle_.OnByte(static_cast<uint8_t>(w));
    }
    return 0;
  }
  return ui::Dialog::WindowProc(msg, w, l);
}

}  // namespace qc
