#include "analyzer/sequences/board_host.h"

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "core/app_settings.h"
#include "core/write_log.h"
#include "platform/sys/clock.h"

namespace analyzer {

void AwaitedReply::Sent(uint8_t cls, uint8_t command, int64_t timeoutMs) {
  waiting_ = true;
  cls_ = cls;
  command_ = command;
  due_ = timeoutMs > 0 ? sys::Clock::TickMs() + timeoutMs : 0;
}

bool AwaitedReply::Answers(uint8_t cls, uint8_t command) const {
  if (!waiting_ || command != command_) return false;
  // A data request is answered by its data frame, which the caller names by the request's class.
  return cls == cls_ || (cls == FrameClassFault && cls_ != FrameClassData);
}

bool AwaitedReply::Take(uint8_t cls, uint8_t command) {
  if (!Answers(cls, command)) return false;
  Clear();
  return true;
}

bool AwaitedReply::Expired(int64_t nowMs) {
  if (!waiting_ || due_ == 0 || nowMs < due_) return false;
  Clear();
  return true;
}

BoardReply TakeBoardReply(ShortCollector& rx, uint8_t byte) {
  BoardReply r;
  const CollectedFrame f = rx.Feed(byte);
  if (!f) return r;
  r.complete = true;
  r.checksumOk = f.checksumOk;
  r.cls = f.bytes[1];
  r.command = f.bytes[2];
  r.status = f.bytes[3];
  r.param2 = f.bytes[4];
  r.param3 = f.bytes[5];
  rx.Clear();
  return r;
}

int ShortReplySequence::OnSerialByte(uint8_t byte, unsigned port) {
  if (port < 1 || port > 4) return -1;
  const BoardReply reply = TakeBoardReply(rx_, byte);
  if (reply.complete) OnReply(reply);
  return 0;
}

bool TakeSensorReport(const BoardReply& reply, bool withDiluent, BoardHost& host) {
  if (reply.cls != FrameClassStatus || reply.status > 1) return false;
  const bool sensor = reply.command == status::LyseSensor || reply.command == status::CleanserSensor ||
                      (withDiluent && reply.command == status::DiluentSensor);
  if (!sensor) return false;
  const SensorReport r = Reagents().ApplySensorReport(reply.command, reply.status);
  if (r.exhausted) ShowSensorShortage(r.reagent, AppSettings.LanguageIndex, host);
  return true;
}

void ShowSensorShortage(int reagent, int language, BoardHost& host) {
  const std::string text = SensorShortageMessage(reagent, language);
  if (language == 0) WriteLog(text);
  host.Message(text, BoxIcon::Warning);
}

}  // namespace analyzer
