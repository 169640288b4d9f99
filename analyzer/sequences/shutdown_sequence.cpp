#include "analyzer/sequences/shutdown_sequence.h"

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "analyzer/sequences/process_values.h"
#include "analyzer/sequences/startup_store.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/person_row.h"
#include "core/sys_log.h"
#include "core/value_format.h"
#include "platform/sys/clock.h"

namespace analyzer {
namespace {

std::string StatusText(int lang) {
  return PickText(lang, "正在执行关机程序", "Performing the shut-down procedure", "Realizando el procedimiento de apagado",
                  "Procédure d'arrêt en cours", "Виконується процедура вимикання");
}

std::string NeedleMalfunctionText(int lang) {
  return PickText(lang, "针故障", "Needle malfunction", "Aguja anormal", "Needle anormale", "Несправність голки");
}

}  // namespace

std::string ShutdownNoReplyText(int language) {
  return PickText(language, "前端无应答", "No reply from the analyzer", "El analizador no responde",
                  "L'analyseur ne répond pas", "Аналізатор не відповідає");
}

void SaveShutdownVolumesAndTime(CADOConn& conn, bool bookConsumption) {
  if (bookConsumption) Reagents().Book(ReagentOperation::Shutdown, AppSettings.LanguageIndex);
  SaveRunningTime(conn);
  conn.Execute(VolumesUpdateSql(Reagents().volumes()));
}

void SaveRunningTime(CADOConn& conn) {
  SampleCounterValues& c = SampleCounters;
  // Only what was not added yet: after a reset of the statistics the count starts again below
  // what had been saved, and all of it is new.
  const int32_t minutes = c.RunningMinutes >= c.RunningMinutesSaved ? c.RunningMinutes - c.RunningMinutesSaved
                                                                     : c.RunningMinutes;
  if (minutes <= 0) {
    c.RunningMinutesSaved = c.RunningMinutes;
    return;
  }
  if (conn.Execute(StrPrintf("update Statistic set TotalTime = TotalTime + %d", minutes)))
    c.RunningMinutesSaved = c.RunningMinutes;
}

std::string SampleCountersUpdateSql(const std::string& dateText) {
  return StrPrintf("update Statistic set SampleCountToday=%d,SampleCountAll=%d,DateToday='%s'",
                   SampleCounters.SampleCountToday, SampleCounters.SampleCountAll, dateText.c_str());
}

std::string EndedBySystemText(int language) {
  return PickText(language, "程序被系统结束", "Ended by the system", "Finalizado por el sistema",
                  "Arrêté par le système", "Завершено системою");
}

void SaveOnTermination(CADOConn& conn) {
  // Ended before the start-up read the store, the counters and volumes in memory are mere
  // placeholders (0 samples, -10000 mL): writing them would wipe the stored ones.
  if (StartupStoreRead) {
    conn.Execute(SampleCountersUpdateSql(TodayText()));
    conn.Execute(VolumesUpdateSql(Reagents().volumes()));
  }
  SaveRunningTime(conn);
  // After the shutdown or the stop-use screen (whose power-off sends the signal) the run's end
  // is recorded already.
  if (!ShutdownRowWritten) WriteShutdownRow(conn, EndedBySystemText(AppSettings.LanguageIndex));
}

sys::LocalTime WriteShutdownRow(CADOConn& conn, const std::string& result) {
  TrimSysLogAtShutdown(conn);
  const sys::LocalTime now = sys::Clock::Now();
  if (conn.Execute(SysLogInsertSql(now, SysLogText(SysLogWord::ShutDown, AppSettings.LanguageIndex), result)))
    ShutdownRowWritten = 1;
  return now;
}

void UpdateShutdownRow(CADOConn& conn, const sys::LocalTime& written, const std::string& result) {
  conn.Execute("update SysLog set Result='" + SqlSafeText(result) + "' where Date='" + StoredDateText(written) +
               "' and Time='" + StoredTimeText(written) + "' and Event='" +
               SqlSafeText(SysLogText(SysLogWord::ShutDown, AppSettings.LanguageIndex)) + "'");
}

ShutdownSequence::ShutdownSequence(ShutdownHost& host, CADOConn* conn) : host_(host), conn_(conn) {}

void ShutdownSequence::Send(uint8_t cls, uint8_t command, uint8_t p1) {
  rx_.Clear();
  host_.Send(BuildCommandFrame(cls, command, p1, 0));
  awaited_.Sent(cls, command);
}

void ShutdownSequence::Begin() {
  const int lang = AppSettings.LanguageIndex;
  host_.ShowStatus(StatusText(lang) + ".");
  Send(FrameClassCommand, cmd::LeaveSampleMode, 0);
  // Saved before the board does anything, so a failing board or a power cut loses none of it;
  // the row says OK until an outcome on the way says otherwise.
  if (conn_ != nullptr) {
    SaveShutdownVolumesAndTime(*conn_, true);
    rowWritten_ = WriteShutdownRow(*conn_, SysLogText(SysLogWord::ShutDownOk, lang));
  }
  const int64_t now = sys::Clock::TickMs();
  stepDue_ = now + StepPeriodMs(lang);
  dotsDue_ = now + 1000;
  host_.SetProgress(1);
}

void ShutdownSequence::OnReply(const BoardReply& f) {
  if (ended_) return;
  const uint8_t cls = f.cls, command = f.command, st = f.status;
  const int lang = AppSettings.LanguageIndex;
  // Only the answer to the command just sent counts: a power-down confirmation before the
  // power-down was sent, or a second answer to a command already answered, is ignored.
  if (!awaited_.Answers(cls, command)) return;
  if (cls == FrameClassCommand && st != kReplyDone) return;
  awaited_.Clear();
  if (cls == FrameClassCommand && command == cmd::LeaveSampleMode) {
    // Taken without its check byte: a damaged answer still means the board has stopped.
    Send(FrameClassCommand, cmd::PowerDown, lang == 0 ? 1 : 0);
  } else if (cls == FrameClassFault && command == cmd::LeaveSampleMode) {
    resultText_ = NeedleMalfunctionText(lang);
    if (conn_ != nullptr) WriteSysLog(*conn_, SysLogText(SysLogWord::SampleTest, lang), resultText_);
  } else if (cls == FrameClassCommand && command == cmd::PowerDown) {
    std::string result = resultText_;
    if (!f.checksumOk) {
      const std::string text = PickText(lang, "前端命令校验错！", "Front end command check error!",
                                        "¡Error de comprobación del comando del analizador!",
                                        "Erreur de contrôle de la commande de l'analyseur!",
                                        "Помилка перевірки команди аналізатора!");
      host_.Message(text, BoxIcon::Warning);
      if (result.empty()) result = text;
    }
    host_.SetProgress(21);
    Finish(result.empty() ? SysLogText(SysLogWord::ShutDownOk, lang) : result);
  }
}

void ShutdownSequence::Finish(const std::string& result) {
  if (ended_) return;
  ended_ = true;
  dotsDue_ = stepDue_ = 0;
  written_ = result;
  if (conn_ != nullptr) {
    if (result != SysLogText(SysLogWord::ShutDownOk, AppSettings.LanguageIndex))
      UpdateShutdownRow(*conn_, rowWritten_, result);
    conn_->Disconnect();
  }
  host_.Close();
}

void ShutdownSequence::Poll(int64_t nowMs) {
  if (ended_) return;
  const int lang = AppSettings.LanguageIndex;
  while (dotsDue_ != 0 && nowMs >= dotsDue_) {
    dotsDue_ += 1000;
    if (ShutdownDotsCount < 1 || ShutdownDotsCount > 6) ShutdownDotsCount = 1;
    host_.ShowStatus(StatusText(lang) + std::string(static_cast<size_t>(ShutdownDotsCount), '.'));
    ShutdownDotsCount = ShutdownDotsCount == 6 ? 1 : ShutdownDotsCount + 1;
  }
  while (stepDue_ != 0 && nowMs >= stepDue_ && !ended_) {
    stepDue_ += StepPeriodMs(lang);
    ++step_;
    host_.SetProgress(step_);
    if (step_ >= kLastStep) {
      // The board never confirmed the power-down.
      Finish(resultText_.empty() ? ShutdownNoReplyText(lang) : resultText_);
    }
  }
}

}  // namespace analyzer
