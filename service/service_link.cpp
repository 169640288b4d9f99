#include "service/service_link.h"

#include <cstdlib>

#include "core/app_settings.h"
#include "core/utilies.h"
#include "platform/sys/clock.h"

namespace service {

int ServiceSequence::OnSerialByte(uint8_t byte, unsigned port) {
  if (port < 1 || port > 4) return -1;
  const analyzer::CollectedFrame f = rx_.Feed(byte);
  if (!f) return 0;
  analyzer::BoardReply reply;
  reply.complete = true;
  reply.checksumOk = f.checksumOk;
  frame_.fill(0);
  for (size_t i = 0; i < f.bytes.size() && i < frame_.size(); ++i) frame_[i] = f.bytes[i];
  reply.cls = frame_[1];
  reply.command = frame_[2];
  reply.status = frame_[3];
  rx_.Clear();
  OnFrame(reply);
  return 1;
}

void ServiceSequence::Poll(int64_t nowMs) {
  if (deadline_ < 0 || nowMs < deadline_) return;
  deadline_ = -1;
  OnTimeout();
}

void ServiceSequence::SendCommand(uint8_t cls, uint8_t command, uint8_t p1, uint8_t p2, int64_t timeoutMs) {
  rx_.Clear();
  if (timeoutMs > 0) {
    awaitedClass_ = cls;
    awaitedCommand_ = command;
    deadline_ = sys::Clock::TickMs() + timeoutMs;
  }
  host_.Send(analyzer::BuildCommandFrame(cls, command, p1, p2));
}

bool TakeSensorReportLogged(const analyzer::BoardReply& reply, analyzer::BoardHost& host) {
  return analyzer::TakeSensorReport(reply, true, host);
}

std::string OperationFinishedText(int lang) {
  return PickText(lang, "操作完成！", "Operation finished!", "¡Operación finalizada!", "Opération terminée!",
                  "Операцію завершено!");
}

std::string OperationNotFinishedText(int lang) {
  return PickText(lang, "操作未完成！", "Operation not finished!", "¡Operación no finalizada!",
                  "Opération non terminée!", "Операцію не завершено!");
}

std::string ChecksumErrorText(int lang) {
  return PickText(lang, "校验错误", "Checksum error", "Error de suma de verificación", "Checksum error",
                  "Помилка контрольної суми");
}

std::string NoReplyText(int lang) {
  return PickText(lang, "前端无应答，操作已停止！", "No reply from the analyzer, the operation was stopped!",
                  "¡El analizador no responde, la operación se detuvo!",
                  "L'analyseur ne répond pas, l'opération a été arrêtée!",
                  "Аналізатор не відповідає, операцію зупинено!");
}

std::string RefusedText(int lang) {
  return PickText(lang, "前端多次拒绝执行该操作！", "The analyzer refused the operation repeatedly!",
                  "¡El analizador rechazó la operación repetidamente!", "L'analyseur a refusé l'opération à plusieurs reprises!",
                  "Аналізатор неодноразово відхилив операцію!");
}

std::string NoAuthorityText(int lang) {
  return PickText(lang, "您的身份没有此权限！", "Your identity doesn't have this authority!",
                  "¡Su identidad no tiene esta autoridad!", "Votre identité n'a pas cette autorisation!",
                  "Ваш обліковий запис не має цих повноважень!");
}

std::string ExitText(int lang) { return PickText(lang, "退出(&X)", "Exit(&X)", "Salir(&X)", "Quitter(&X)", "Вихід(&X)"); }

std::string DataSavedText(int lang) {
  return PickText(lang, "数据已保存！", "Data saved!", "¡Datos guardados!", "Données enregistrées!", "Дані збережено!");
}

std::string NotSavedText(int lang) {
  return PickText(lang, "数据未能保存！", "The data could not be saved!", "¡No se pudieron guardar los datos!",
                  "Les données n'ont pas pu être enregistrées!", "Дані не вдалося зберегти!");
}

bool IsIntegerText(const std::string& text) {
  return CUtilies::IsNumericText(text) && text.find('.') == std::string::npos;
}

long LeadingInteger(const std::string& text) { return std::strtol(text.c_str(), nullptr, 10); }

bool ParseDecimal(const std::string& text, double* value) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int digits = 0, points = 0;
  for (size_t j = i; j < text.size(); ++j) {
    if (text[j] >= '0' && text[j] <= '9') ++digits;
    else if (text[j] == '.') ++points;
    else return false;
  }
  if (digits == 0 || points > 1) return false;
  if (value) *value = std::strtod(text.c_str(), nullptr);
  return true;
}

}  // namespace service
