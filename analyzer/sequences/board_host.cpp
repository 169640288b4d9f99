#include "analyzer/sequences/board_host.h"

#include "analyzer/command_catalogue.h"
#include "analyzer/reagent.h"
#include "core/app_settings.h"
#include "core/write_log.h"

namespace analyzer {

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
