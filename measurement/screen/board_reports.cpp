#include "measurement/screen/board_reports.h"

#include <cstdio>

#include "analyzer/command_catalogue.h"
#include "analyzer/frame.h"
#include "core/sys_log.h"
#include "core/write_log.h"
#include "measurement/count_cycle.h"
#include "measurement/screen/sample_test_screen_texts.h"

namespace measurement {

namespace cmd = analyzer::cmd;

FaultAction DecideFault(uint8_t c, uint8_t code, int lang, const sys::LocalTime& now) {
  FaultAction a;
  a.logLines = lang == 0;
  if (c == 0x60 || c == 0x62) {
    a.warning = StepFaultText(c, code, lang);
    return a;
  }
  if (c == 0x61 || c == 0x63 || c == 0x90 || c == 0x91) {
    a.box = FaultBoxText(c, lang);
    a.enableButtons = c == 0x90;
    a.resetWithLog = FaultLogText(c);
    return a;
  }
  // Any other fault aborts the count half a second later.
  if (code >= 1 && code <= 5) {
    a.box = FaultCodeBoxText(code, lang);
    a.alarm = true;
    char type[16];
    std::snprintf(type, sizeof type, "TYPE:%02x ", code);
    a.sysLogSql = SysLogInsertSql(now, type, FaultCodeLogText(code));
  }
  a.faultTimeout = true;
  return a;
}

ReplyAction DecideReply(uint8_t command, uint8_t status, bool exitPending, bool sensorMode) {
  if (status != analyzer::kReplyDone && command != cmd::Reset) return ReplyAction::None;
  switch (command) {
    case cmd::EnterSampleMode: return ReplyAction::SampleModeEntered;
    case cmd::CleanChambers: return ReplyAction::RinseDone;
    case cmd::Wake: return ReplyAction::Woken;
    case cmd::Reset:
      if (exitPending) return ReplyAction::ResetExit;
      return sensorMode ? ReplyAction::ResetQueryReagents : ReplyAction::ResetDone;
    default: return ReplyAction::None;
  }
}

std::string GiveUpAutoRinse(CountCycle& cycle, int language) {
  cycle.SetRinseRunning(false);
  std::string text = TestScreenText(ScreenText::RinseNoAnswer, language);
  WriteLog(text);
  return text;
}

std::string NoAnswerLine(bool waiting, const std::string& line, int language) {
  const std::string notice = TestScreenText(ScreenText::NoAnswer, language);
  if (waiting) return notice;
  return line == notice ? std::string() : line;
}

std::string TemperatureWarning(double celsius, int lang) {
  if (celsius < 10.0) return TestScreenText(ScreenText::TemperatureLow, lang);
  if (celsius > 40.0) return TestScreenText(ScreenText::TemperatureHigh, lang);
  return {};
}

}  // namespace measurement
