#pragma once
// The start-up screen's conversation with the front-end board, as a state machine fed with the
// board's bytes and the program clock: mechanical reset, needle offsets, mechanics check,
// hardware parameters, the optional start-up clean and blank test, the evaluation of the blank,
// the start-up row of the system log and the reagent alarm mode.
//
// Every state that waits for the board has a time-out; a step that cannot go on (no reply, a
// damaged frame, a check that failed) ends in the start-up log with the failure as its Result,
// so the start-up always reaches the main menu.
#include <cstdint>
#include <functional>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/sequences/board_host.h"
#include "analyzer/sequences/startup_store.h"
#include "core/zentil_binding.h"

class CADOConn;
struct AlgorithmInput;
struct AlgorithmResult;

namespace analyzer {

// What the sequence needs of its screen.
class StartupHost : public virtual ProgressHost {
 public:
  // An OK/Cancel box with the error icon; true on OK.
  virtual bool AskOkCancel(const std::string& text) = 0;
  // Switches the PC off (the operator chose it after a coupler fault).
  virtual void ShutdownPc() = 0;
  // Deletes the board port, waits 300 ms and opens it again (showing its failure box).
  virtual void ReopenPort() = 0;
  // Copies serialdata.txt to the Log folder; deletes serialdata.txt.
  virtual void CopyTraceToLog() = 0;
  virtual void DeleteTrace() = 0;
  // Deletes the board port and ends the screen.
  virtual void End() = 0;
};

// How the blank's values were obtained.
using AlgorithmStatus = ZentilCallStatus;
// Calls AlgorithmMain of the algorithm library; the result is zero-filled before.
using AlgorithmCall = std::function<AlgorithmStatus(AlgorithmResult& result, AlgorithmInput& input)>;
// The library call by name at each use (program folder libZentil.so, or `path` when given).
AlgorithmStatus CallZentilLibrary(AlgorithmResult& result, AlgorithmInput& input, const std::string& path = {});

// The blank values the decision looks at.
struct BlankValues {
  float wbc = 0, rbc = 0, hct = 0, plt = 0;
};
// High when WBC > 0.2, RBC > 0.03, PLT > 10.0 or HCT > 0.5 (strictly). With `invalidIsHigh`
// a value the library could not give (-100000.0) counts as high too (the test screen's view of
// the start-up background).
bool BlankIsHigh(const BlankValues& v, bool invalidIsHigh = false);
// Fills the input of a blank count: constants, count times WBCTIME/10 (whole seconds), the six
// calibration factors (display order: WBC, HGB, RBC, MCV, PLT, MPV) and the blank histograms.
void FillBlankInput(AlgorithmInput& input, uint8_t wbcTimeTenths, const float factors[6]);
// The six factors of the whole-blood calibration row; 1.0 each when there is none.
void ReadWholeBloodFactors(CADOConn& conn, float factors[6]);

// LZLON and LZLVAL of setting.ini: scans the file for "LZLON"; when absent writes LZLON=1 and
// LZLVAL=0 to section Setting. A missing file leaves the values.
void ReadLzlonSettings(const std::string& iniPath, int32_t* lzlon, int32_t* lzlval);
// The EF 07 parameters: (1, LZLVAL) for LZLON 1, (0, low byte of -LZLVAL) for -1, else (0, 0).
void LzlonParams(int32_t lzlon, int32_t lzlval, uint8_t* p1, uint8_t* p2);

class StartupSequence : public BoardDriven {
 public:
  enum class State {
    Idle, Reset, Offsets, Mechanics, Parameters, Lzlon, Clean, EnterTest, BlankCount, AlarmMode, Ended
  };
  static constexpr int64_t kResetPeriodMs = 12000;
  static constexpr int kResetRetries = 8;
  static constexpr int64_t kReplyTimeoutMs = 30000;       // an acknowledgement or a data frame
  static constexpr int64_t kLongReplyTimeoutMs = 180000;  // the clean and the blank counts
  static constexpr int64_t kAlarmModeTimeoutMs = 3000;

  StartupSequence(StartupHost& host, const StartupStoreValues& values, CADOConn* conn);

  void SetLzlon(int32_t lzlon, int32_t lzlval) { lzlon_ = lzlon, lzlval_ = lzlval; }
  // The Windows user default language is Chinese: the start-up clean is due.
  void SetSystemLanguageChinese(bool chinese) { systemChinese_ = chinese; }
  void SetAlgorithm(AlgorithmCall call) { algorithm_ = std::move(call); }

  // "Mechanics Reset...", the reset timer and AA FF.
  void Begin();
  // One byte from the board port; -1 for a port number outside 1..4.
  int OnSerialByte(uint8_t byte, unsigned port) override;
  // Runs the timers that are due at `nowMs` (program clock ticks).
  void Poll(int64_t nowMs) override;
  // Alt+F4: finishes without the board unless the clean or the blank test has begun. Returns
  // whether it was taken.
  bool OnAltF4();

  State state() const { return state_; }
  const std::string& resultText() const { return resultText_; }
  int endOfCountCount() const { return endOfCount_; }
  int resetExpiries() const { return resetExpiries_; }
  bool blankRunning() const { return blankRunning_; }
  bool cleanStarted() const { return cleanStarted_; }

  // Part of the screen's work that tests call directly.
  void EvaluateStartupBlank();
  void WriteStartupLog();

 private:
  void Send(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0, int64_t timeoutMs = kReplyTimeoutMs);
  void SendPair(uint8_t command);  // WBCTIME, RBCTIME
  void SendSigned(uint8_t command, int32_t value);
  void OnFrame(const CollectedFrame& f);
  void OnCommandFrame(const CollectedFrame& f);
  void StartupDecision();
  void BlankDecision();
  // A step that cannot go on: the failure becomes the Result and the start-up log follows.
  void Fail(const std::string& result);
  void SetResult(const std::string& text) { resultText_ = text; }
  void SetResultIfEmpty(const std::string& text) {
    if (resultText_.empty()) resultText_ = text;
  }

  StartupHost& host_;
  StartupStoreValues values_;
  CADOConn* conn_;
  FullCollector rx_;
  State state_ = State::Idle;
  int32_t lzlon_ = 1, lzlval_ = 0;
  bool systemChinese_ = false;
  AlgorithmCall algorithm_;

  bool blankRunning_ = false;
  bool cleanStarted_ = false;
  int endOfCount_ = 0;
  int resetExpiries_ = 0;
  bool histReceived_[3] = {false, false, false};
  std::string resultText_;

  // Timers, as program clock deadlines; 0 = not running.
  int64_t resetDue_ = 0;
  int64_t alarmDue_ = 0;
  // The command just sent, whose answer alone moves the sequence on, with its time-out.
  AwaitedReply awaited_;
};

}  // namespace analyzer
