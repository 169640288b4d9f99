#include "analyzer/sequences/prime_operation.h"

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "core/app_settings.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"

namespace analyzer {
namespace {

std::string T(const char* zh, const char* en, const char* es, const char* fr, const char* ua) {
  return PickText(zh, en, es, fr, ua);
}
std::string FinishedText() {
  return T("操作完成！", "Operation finished!", "¡Operación terminada!", "Opération terminée!", "Операцію завершено!");
}

}  // namespace

std::string PrimeButtonText(PrimeChoice c, int lang) {
  switch (c) {
    case PrimeChoice::All: return PickText(lang, "所有试剂", "All Reagents", "Todos los reactivos", "Tous les réactifs", "Усі реагенти");
    case PrimeChoice::Diluent: return PickText(lang, "稀释液", "Diluent", "Diluyente", "Diluant", "Розчинник");
    case PrimeChoice::Lyse: return PickText(lang, "溶血剂", "Lyse", "Lisante", "Lysant", "Лізуючий реагент");
    case PrimeChoice::Cleanser: return PickText(lang, "清洗液", "Cleanser", "Limpiador", "Nettoyant", "Очищувач");
  }
  return {};
}

uint8_t PrimeCommandOf(PrimeChoice c) { return static_cast<uint8_t>(cmd::PrimeAll + static_cast<int>(c)); }

void PrimeOperation::Send(uint8_t cls, uint8_t command) {
  rx_.Clear();
  host_.Send(BuildCommandFrame(cls, command));
  awaited_.Sent(cls, command, kReplyTimeoutMs);
}

bool PrimeOperation::Press(PrimeChoice choice) {
  if (!idle()) return false;
  const int lang = AppSettings.LanguageIndex;
  if (!portOpen_) {
    host_.Message(T("通讯串口初始化失败！", "Failed to initialize communications COM port!",
                    "¡No se pudo inicializar el puerto de comunicaciones!", "Échec de l'initialisation du port de communication!",
                    "Не вдалося ініціалізувати комунікаційний порт!"),
                  BoxIcon::Warning);
    return false;
  }
  if (Reagents().volumes().ReagentAlarmType == 0) {
    static const ReagentCheck kChecks[4] = {ReagentCheck::PrimeAll, ReagentCheck::PrimeDiluent, ReagentCheck::PrimeLyse,
                                            ReagentCheck::PrimeCleanser};
    const std::string shortage =
        ReagentShortageText(CheckReagents(kChecks[static_cast<int>(choice)], Reagents().volumes()), lang);
    if (!shortage.empty()) {
      WriteLog(shortage);
      host_.Message(shortage, BoxIcon::Warning);
      return false;
    }
  }
  host_.SetStatus(PrimeButtonText(choice, lang) +
                  T(" 灌注中，请稍候...", " Prime,please wait...", " Cebando,espere...", " Amorçage,veuillez patienter...",
                    " Заповнення,зачекайте..."));
  repeats_.OnAcknowledged();
  Send(FrameClassCommand, PrimeCommandOf(choice));
  return true;
}

void PrimeOperation::Finish(const std::string& status) {
  awaited_.Clear();
  host_.SetStatus(status);
}

void PrimeOperation::OnReply(const BoardReply& f) {
  const uint8_t cls = f.cls, command = f.command, st = f.status;
  const int lang = AppSettings.LanguageIndex;
  if (!f.checksumOk) {
    host_.SetStatus("");
    host_.Message(T("校验错误", "Checksum error", "Error de suma de comprobación", "Erreur de somme de contrôle",
                    "Помилка контрольної суми"),
                  BoxIcon::Warning);
    // Ask again; the outstanding operation goes on until its own acknowledgement.
    rx_.Clear();
    host_.Send(BuildCommandFrame(FrameClassFault, fault::ChecksumNotice));
    return;
  }
  if (TakeSensorReport(f, true, host_)) return;
  // Only the answer to the prime just sent counts, and only once.
  if (!awaited_.Answers(cls, command) || st != kReplyDone) return;
  if (cls == FrameClassCommand) {
    static const ReagentOperation kOps[4] = {ReagentOperation::PrimeAll, ReagentOperation::PrimeDiluent,
                                             ReagentOperation::PrimeLyse, ReagentOperation::PrimeCleanser};
    Reagents().Book(kOps[command - cmd::PrimeAll], lang);
    repeats_.OnAcknowledged();
    Finish(FinishedText());
    return;
  }
  if (cls == FrameClassFault) {
    if (repeats_.OnRefusal(command)) {
      Send(FrameClassCommand, command);
    } else {
      Finish("");
      host_.Message(T("仪器拒绝执行该操作，请检查仪器！", "The analyzer refused the operation, please check the instrument!",
                      "¡El analizador rechazó la operación, revise el instrumento!",
                      "L'analyseur a refusé l'opération, vérifiez l'instrument!",
                      "Аналізатор відхилив операцію, перевірте прилад!"),
                    BoxIcon::Warning);
    }
  }
}

void PrimeOperation::Poll(int64_t nowMs) {
  if (!awaited_.Expired(nowMs)) return;
  Finish("");
  host_.Message(T("前端无应答", "No reply from the analyzer", "El analizador no responde", "L'analyseur ne répond pas",
                  "Аналізатор не відповідає"),
                BoxIcon::Warning);
}

bool PrimeOperation::TryExit() {
  if (idle()) return true;
  host_.Message(T("操作未完成！", "Operation not finished!", "¡Operación no terminada!", "Opération non terminée!",
                  "Операцію не завершено!"),
                BoxIcon::None);
  return false;
}

}  // namespace analyzer
