#include "service/mech_check.h"

#include "analyzer/command_catalogue.h"
#include "core/app_settings.h"

namespace service {

using analyzer::BoxIcon;
namespace cmd = analyzer::cmd;

uint8_t AllValvesPending = 0;

std::string FrontEndCheckErrorText(int lang) {
  return PickText(lang, "前端命令校验错！", "Front end command check error!", "¡Error de verificación del comando del analizador!",
                  "Erreur de contrôle de la commande de l'analyseur!", "Помилка перевірки команди аналізатора!");
}

MechCheck::MechCheck(MechanicsHost& host) : ServiceSequence(host), mech_(host) { AllValvesPending = 0; }

void MechCheck::Send(uint8_t command) {
  outstanding_.insert(command);
  SendCommand(analyzer::FrameClassCommand, command, 0, 0, kReplyTimeoutMs);
}

void MechCheck::SendCheck(int part) {
  if (part < 0 || part > 3) return;
  Send(static_cast<uint8_t>(cmd::CheckNeedle + part));
}

void MechCheck::SendValve(int valve) {
  if (valve < 1 || valve > 11) return;
  Send(static_cast<uint8_t>(cmd::Valve1 + valve - 1));
}

void MechCheck::SendAllValves() {
  if (AllValvesPending) {
    host_.Message(OperationNotFinishedText(AppSettings.LanguageIndex), BoxIcon::None);
    return;
  }
  AllValvesPending = 1;
  Send(cmd::AllValves);
}

bool MechCheck::CanExit() {
  if (idle()) return true;
  host_.Message(OperationNotFinishedText(AppSettings.LanguageIndex), BoxIcon::None);
  return false;
}

void MechCheck::Answered(uint8_t command) {
  outstanding_.erase(command);
  if (outstanding_.empty()) StopWaiting();
}

void MechCheck::OnFrame(const analyzer::BoardReply& r) {
  const int lang = AppSettings.LanguageIndex;
  if (!r.checksumOk) {
    // The answer is lost: the check stays outstanding until its time is up or the board answers
    // again; it is not reported as finished.
    host_.Message(FrontEndCheckErrorText(lang), BoxIcon::Warning);
    SendCommand(analyzer::FrameClassFault, analyzer::fault::ChecksumNotice);
    return;
  }
  if (TakeSensorReportLogged(r, host_)) return;
  if (!outstanding_.count(r.command)) return;  // not the answer to a command sent from here
  const bool isValve = r.command >= cmd::Valve1 && r.command <= cmd::AllValves;
  if (r.cls == analyzer::FrameClassCommand && r.status == analyzer::kReplyDone) {
    Answered(r.command);
    if (isValve) {
      AllValvesPending = 0;
      host_.Message(OperationFinishedText(lang), BoxIcon::None);
    } else {
      mech_.SetResult(r.command - cmd::CheckNeedle, "OK");
    }
  } else if (r.cls == analyzer::FrameClassFault) {
    Answered(r.command);
    if (isValve) {
      AllValvesPending = 0;
      host_.Message(RefusedText(lang), BoxIcon::Warning);
    } else if (r.status != analyzer::kReplyDone) {
      mech_.SetResult(r.command - cmd::CheckNeedle, "Error");
    }
  }
}

void MechCheck::OnTimeout() {
  outstanding_.clear();
  AllValvesPending = 0;
  host_.Message(NoReplyText(AppSettings.LanguageIndex), BoxIcon::Warning);
}

}  // namespace service
