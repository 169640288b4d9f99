#include "service/adjust_download.h"

#include "analyzer/command_catalogue.h"
#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/sys_log.h"

namespace service {

using analyzer::BoxIcon;

void AdjustDownload::Start(const AdjustValues& v) {
  v_ = v;
  step_ = 0;
  SendStep();
}

void AdjustDownload::SendStep() {
  const uint8_t A = analyzer::FrameClassCommand;
  if (step_ < 8) {
    SendCommand(A, static_cast<uint8_t>(analyzer::cmd::Zydw1 + step_), v_.pot[step_], 0, kAckTimeoutMs);
  } else if (step_ == 8) {
    const uint16_t p = static_cast<uint16_t>(v_.fpressure);
    SendCommand(A, analyzer::cmd::FPressure, static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), kAckTimeoutMs);
  } else if (step_ == 9) {
    const uint16_t p = static_cast<uint16_t>(v_.apressure);
    SendCommand(A, analyzer::cmd::APressure, static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), kAckTimeoutMs);
  } else {
    SendCommand(A, static_cast<uint8_t>(analyzer::cmd::Para1 + step_ - 10), v_.para[step_ - 10], 0, kAckTimeoutMs);
  }
}

void AdjustDownload::OnFrame(const analyzer::BoardReply& r) {
  const int lang = AppSettings.LanguageIndex;
  if (!r.checksumOk) {
    // The chain waits for a good acknowledgement (or its time-out).
    host_.Message("Checksum error!", BoxIcon::Warning);
    return;
  }
  if (TakeSensorReportLogged(r, host_)) return;
  if (!waiting() || r.cls != analyzer::FrameClassCommand || r.status != analyzer::kReplyDone ||
      r.command != awaitedCommand())
    return;
  ++step_;
  if (step_ < kSteps) {
    SendStep();
    return;
  }
  step_ = 0;
  StopWaiting();
  host_.Message(PickText(lang, "设置完成！", "Setting finished!", "¡Configuración finalizada!", "Réglage terminé!",
                         "Налаштування завершено!"),
                BoxIcon::None);
  if (conn_ != nullptr)
    WriteSysLog(*conn_,
                PickText(lang, "更新工程参数", "Update engineering parameters", "Actualizar parámetros de ingeniería",
                         "Mise à jour des paramètres techniques", "Оновлення інженерних параметрів"),
                SysLogText(SysLogWord::Finished, lang));
}

void AdjustDownload::OnTimeout() {
  step_ = 0;
  host_.Message(NoReplyText(AppSettings.LanguageIndex), BoxIcon::Warning);
}

}  // namespace service
