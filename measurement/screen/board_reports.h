#pragma once
// What the test screen does with the board's reports besides the count: a fault, a reply to a
// rinse, wake or reset, a temperature. Decided here in plain functions the screen carries out,
// so the rules run without a window. The automatic rinse's rule and deadline, and the message
// line's notice of an analyzer that does not answer, serve the other counting screens too (QC run,
// automatic calibration).
#include <cstdint>
#include <string>

#include "analyzer/sequences/process_values.h"

#include "platform/sys/clock.h"

namespace measurement {

// What a fault frame (class DD, `command`, status `code`) asks of the screen.
struct FaultAction {
  std::string warning;      // the message line's text (empty: none)
  std::string box;          // a message box with the exclamation icon (empty: none)
  bool logLines = false;    // the warning and box texts also go to the log (Chinese only)
  bool enableButtons = false;  // Exit and Service work again, the pending re-enable is dropped
  std::string resetWithLog;    // non-empty: the count is given up, this goes to the test log and the board is reset
  bool alarm = false;          // the message line turns red (a fault code), the reagent warning is gone
  std::string sysLogSql;       // the fault's row of the system log (empty: none)
  bool faultTimeout = false;   // the count ends half a second later
};
FaultAction DecideFault(uint8_t command, uint8_t code, int language, const sys::LocalTime& now);

// What a reply frame (class AA) asks of the screen, given whether Exit waits for the reset and
// whether the reagents are watched by sensors.
enum class ReplyAction {
  None,
  SampleModeEntered,   // Exit and Service work again
  RinseDone,           // back to sample mode, the rinse is booked and reported finished
  Woken,               // the stand-by ends: the restore pop-up closes, the wake is booked
  ResetExit,           // after a reset the screen closes
  ResetQueryReagents,  // after a reset the sensors are asked for the reagents
  ResetDone,           // after a reset only the buttons work again
};
ReplyAction DecideReply(uint8_t command, uint8_t status, bool exitPending, bool sensorMode);

// The automatic rinse after a number of samples: asked up to three times in a row, then run
// without asking. The declines are counted for the whole run of the program.
class AutoRinseRule {
 public:
  enum class Step { None, Ask, Start };
  // The declines are counted in `declines`: by default the one count the test, calibration and
  // QC screens share for the whole run.
  explicit AutoRinseRule(int32_t& declines = analyzer::Soak.RinsePromptsDeclined) : declines_(declines) {}
  // Due when the limit is set (not 0) and as many samples were counted since the last rinse.
  Step Next(int limit, int samplesSince) const {
    if (limit == 0 || samplesSince < limit) return Step::None;
    return declines_ < 3 ? Step::Ask : Step::Start;
  }
  void Declined() { ++declines_; }
  void Started() { declines_ = 0; }

 private:
  int32_t& declines_;
};

// The automatic rinse not ended by the board this long after AA 40 is given up: the longest
// a board operation takes, as the start-up and the maintenance menu allow it, with a margin.
inline constexpr unsigned kRinseDeadlineMs = 180000 + 10000;

class CountCycle;
// The automatic rinse passed its deadline without the board's end (a fault stopped it): the
// cycle counts again and the log has the notice. Returns the notice, for where the screen tells
// its operator; the screen also lets itself be left again.
std::string GiveUpAutoRinse(CountCycle& cycle, int language);

// The message line's text after the count cycle said that the analyzer does not answer
// (`waiting`) or that the awaited answer came after all: the notice, or, while `line` still
// shows the notice, nothing (a warning shown since then stays).
std::string NoAnswerLine(bool waiting, const std::string& line, int language);

// The message line's text for a temperature reading: too low below 10 °C, too high above
// 40 °C, else empty.
std::string TemperatureWarning(double celsius, int language);

}  // namespace measurement
