#pragma once
// The count cycle of the test screen as a state machine: bytes from the board, ticks of the
// program clock and the screen's answers go in; command frames and calls to the screen come
// out. One sample: key press, start, then per count the run header and the WBC, RBC and PLT
// histograms; two counts, a third when the first two disagree; the end-of-test command, the
// result processing and the board's end-of-test reply with the aperture readings.
//
// Everything runs on the thread that feeds it (the screen's user-interface thread).
#include <array>
#include <cstdint>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/resend.h"
#include "core/zentil_binding.h"
#include "measurement/histograms.h"
#include "measurement/repeat_agreement.h"
#include "measurement/result_intake.h"

namespace measurement {

struct RunInputs;

enum class CycleState {
  Idle,        // waiting for the count key (when ready)
  Starting,    // start command sent
  Header,      // run header requested
  Histograms,  // histograms requested in turn
  NextCount,   // AA 00 sent
  Finishing,   // AA 11 sent, result processed
  Aborted,     // time-out: AA FF sent
};

enum class CycleStatus { Ready, Testing, FinishTesting, AddingDiluent };

// The screen's decision at a count key press (after its own checks: rinse window, stand-by,
// the existing-sample question, the pre-diluted prompt).
enum class KeyDecision { Ignore, Start, DispenseDiluent };

// What the board's end-of-test reply said about the apertures.
enum class ApertureWarning { None, Clogged, AirBubble };
// Mean pressure time in seconds: (b4 + b5) / 2, or (b4 + b5 + b6) / 3 after a third count, in
// integer division, then divided by 10.
float ApertureSeconds(uint8_t b4, uint8_t b5, uint8_t b6, bool thirdCount);
ApertureWarning JudgeAperture(float seconds, float blockTime, float leakTime);

struct EndOfTestReport {
  float apertureSeconds = 0.0f;
  bool thirdCount = false;
  // False when the test ended without the board's good reply (damaged beyond the resend
  // allowance, or not answered in time): there are no aperture readings to judge.
  bool readings = true;
};

// Whether the cycle waits for the board's answer to this command: the data requests, the
// commands of a count (start, next count, end of test) and the reset.
bool AwaitsReply(uint8_t cls, uint8_t command, int bloodMode);
// How long the answer to an awaited command may take before it is asked for again: a count is
// acknowledged once counted, so its commands add the longer of the two count times.
int64_t ReplyDeadlineMs(uint8_t cls, uint8_t command, int bloodMode, uint8_t wbcTenths, uint8_t rbcTenths);

// The screen's side of the cycle. Defaults do nothing, so a test implements what it watches.
class CountCycleHost {
 public:
  virtual ~CountCycleHost() = default;
  // Queues a frame on the board port.
  virtual void SendFrame(const analyzer::CommandFrame& frame) = 0;
  // Whether the port's last write failed (the resend check sends the frame again).
  virtual bool LastWriteFailed() { return false; }
  // Closes and re-opens the board port (the link watchdog saw a frame broken off).
  virtual void ReopenPort() {}
  // Bytes are dropped while the patient screen holds a question open.
  virtual bool DiscardBoardInput() { return false; }
  virtual int Language() { return 1; }
  virtual int BloodMode() { return 0; }
  // The count times (tenths of a second) to send with a start command; false keeps the last.
  virtual bool ReadCountTimes(uint8_t* wbcTenths, uint8_t* rbcTenths) { return false; }
  // The screen's checks at a count key press.
  virtual KeyDecision OnKeyPress() { return KeyDecision::Start; }
  virtual void ShowStatus(CycleStatus status) {}
  // A frame still failed its check after ten resend requests in this test.
  virtual void ShowChecksumError(const std::string& message) {}
  // The HGB readings of a run header (for the engineering display).
  virtual void OnHgbReadings(uint16_t blank, uint16_t sample) {}
  // Quick values of a count. The default computes them through the library.
  virtual CountValues ComputeQuickValues(int count, const HistogramBuffers& histograms, const CountInputs& inputs) {
    return ComputeCountValues(inputs, histograms);
  }
  // The rest of the count inputs (calibration factors); the cycle fills mode, time and HGB.
  virtual void FillCountInputs(CountInputs& inputs) {}
  virtual void OnCountValues(int count, const CountValues& values) {}
  // Result processing after the last count. The cycle's data (FillRunInputs) are valid here.
  virtual void ProcessRunResult(bool thirdCount) {}
  // The test has ended: the end-of-test reply arrived (or, without `readings`, it could not be
  // had). Reagents, aperture warning, soak reminder and rinse are the screen's.
  virtual void OnEndOfTest(const EndOfTestReport& report) {}
  // A step passed its deadline without the board's answer (true): the screen says the
  // analyzer does not answer; the awaited answer came after all (false): it takes that back.
  virtual void OnNoAnswer(bool waiting) {}
  // The count timed out: the screen shows "Test time out" and books the aborted count.
  virtual void OnTimeout() {}
  // The name the serial trace is copied under (after the date and time) on a time-out.
  virtual std::string TimeoutTraceName() { return "Timeout_serialdata.txt"; }
  // Whether counts 1 and 2 disagree (a mark orders a third count). The sample count's rules by
  // default; a control count compares PLT by its own rule, calibration its calibrator counts by
  // rules of its own.
  virtual DisagreementMarks CompareFirstCounts(const QuickValues& q) { return CheckFirstTwoCounts(q); }
  // What a time-out does on the link: the sample count resets the board (AA FF) and waits for
  // its reply; a screen that answers false goes straight back to waiting for the count key.
  virtual bool ResetBoardOnTimeout() { return true; }
  // The diluent dispensing finished (AA A2 FF).
  virtual void OnDiluentDispensed() {}
  // A finished test's result is pending: set when the end-of-test command goes out, cleared by
  // its reply (and by a time-out). The test screen publishes it to the patient screen.
  virtual void OnResultPending(bool pending) {}
  // Every other frame the board sends (sensor, temperature, fault and rinse reports).
  virtual void OnBoardReport(const analyzer::CollectedFrame& frame) {}
};

class CountCycle {
 public:
  static constexpr int64_t kCountTimeoutMs = 120000;
  static constexpr int64_t kReadyDelayMs = 3000;
  static constexpr int64_t kWatchdogMs = 2000;
  static constexpr int64_t kResendCheckMs = 1000;
  // A data request (run header, histogram) or a command of the count (start, next count, end of
  // test) not answered this long after it (plus the count time for a count), or after the last
  // request for that frame to be sent again, is sent again, and the screen is told at once
  // that the analyzer does not answer. After kRequestRetries of these the count waits for its
  // own time-out (kCountTimeoutMs); after the end-of-test command the test ends as finished,
  // without the aperture readings. A reset not answered is sent again the same way; after the
  // allowance the cycle is idle again. Longer than the link watchdog's two quiet ticks, so a
  // frame broken off is first asked for with 5A 01.
  static constexpr int64_t kRequestRetryMs = 7000;
  static constexpr int kRequestRetries = 3;

  explicit CountCycle(CountCycleHost& host) : host_(host) {}

  // One byte from the board.
  void OnByte(uint8_t byte);
  void OnBytes(const uint8_t* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) OnByte(bytes[i]);
  }
  // Runs the timers that are due on the program clock. Call it often (every tick of a window
  // timer, or after advancing a manual clock).
  void Tick();

  // Sends a command frame: clears the receive buffer, puts the count times into parameter bytes
  // 3 and 4 when asked, keeps a copy for the resend check.
  void SendCommand(uint8_t cls, uint8_t command, bool withCountTimes = false);

  // State the screen sets from the board's other reports.
  void SetSampleMode(bool on) { sampleMode_ = on; }
  void SetRinseRunning(bool running) { noRinseRunning_ = !running; }
  void SetReady(bool ready) { ready_ = ready; }
  // A board fault during a count: the count ends through the time-out path after `ms`. Between
  // counts it does nothing.
  void StartFaultTimeout(int64_t ms = 500);

  CycleState state() const { return state_; }
  bool ready() const { return ready_; }
  bool sampleMode() const { return sampleMode_; }
  bool resultPending() const { return resultPending_; }
  int countNumber() const { return countNumber_; }
  bool thirdCount() const { return repeatCount_; }
  const DisagreementMarks& marks() const { return marks_; }
  const QuickValues& quickValues() const { return quick_; }
  const CountHistograms& count(int n) const { return counts_[n - 1]; }
  HistogramBuffers& histograms() { return buffers_; }
  // The blank reading is the one process-wide value of the last run header (start-up blank,
  // sample, calibration and QC counts alike).
  uint16_t hgbBlank() const;
  uint16_t hgbSample() const { return hgbSample_; }
  uint8_t wbcTimeTenths() const { return wbcTimeTenths_; }
  int resendRequests() const { return resend_.Used(); }
  size_t pendingBytes() const { return collector_.Count(); }
  bool countTimerRunning() const { return countDeadline_ >= 0; }
  // Whether any of the cycle's deadlines is armed: the screen keeps ticking it until none is.
  bool NeedsTicks() const {
    return countDeadline_ >= 0 || readyDeadline_ >= 0 || watchdogNext_ >= 0 || resendDeadline_ >= 0 ||
           requestDeadline_ >= 0;
  }

  // The cycle's part of the result processing inputs: counts, quick values, third count, the
  // HGB readings (pointing into the cycle) and the count inputs.
  void FillRunInputs(RunInputs& inputs);
  CountInputs MakeCountInputs();

 private:
  void Handle(const analyzer::CollectedFrame& f);
  bool Checked(const analyzer::CollectedFrame& f, analyzer::CheckedFrame which);
  void OnKey(const analyzer::CollectedFrame& f);
  void OnHistogram(const analyzer::CollectedFrame& f);
  void EndOfCount();
  void EndTest();
  void OnEndOfTestReply(const analyzer::CollectedFrame& f);
  // The parts of a test's end with and without the board's reply.
  // `replied`: a reply came, damaged beyond the resend allowance.
  void EndTestCommon(bool replied);
  void EndTestWithoutReply(bool replied);
  // An awaited answer came: a no-answer notice shown is taken back.
  void Answered();
  void BackToReady();
  // The board is idle again (its reset answer, or a temperature report after an abort).
  void BackToIdle();
  void Timeout();
  // The board's reset answer: it ends only a reset this cycle (or its screen) asked for.
  void OnResetDone(const analyzer::CollectedFrame& f);
  // A count between the key press and the end-of-test reply.
  bool CountRunning() const;

  CountCycleHost& host_;
  analyzer::FullCollector collector_;
  analyzer::ResendCounter resend_;
  CycleState state_ = CycleState::Idle;
  bool ready_ = false, sampleMode_ = false, noRinseRunning_ = true, resultPending_ = false;
  bool resetAsked_ = false;  // AA FF sent, its answer not yet taken
  bool noAnswer_ = false;    // the screen says the analyzer does not answer
  int countNumber_ = 1;
  bool repeatCount_ = false;
  uint8_t expectedChannel_ = analyzer::ChannelWbc;
  bool received_[3] = {false, false, false};
  DisagreementMarks marks_;
  QuickValues quick_;
  CountHistograms counts_[2];
  HistogramBuffers buffers_;
  uint16_t hgbSample_ = 1;
  uint8_t wbcTimeTenths_ = 50, rbcTimeTenths_ = 50;
  // The algorithm library, loaded for the count's end as soon as the count's first histogram has
  // come; released with a count that ends otherwise.
  ZentilPreload library_;

  analyzer::CommandFrame lastSent_{};
  bool byteSeen_ = false, prevByteSeen_ = false, replySeen_ = false;
  int64_t countDeadline_ = -1, readyDeadline_ = -1, watchdogNext_ = -1, resendDeadline_ = -1;
  // The data request awaiting its frame, and how often it was sent again.
  int64_t requestDeadline_ = -1;
  uint8_t requestClass_ = 0, requestCommand_ = 0;
  int requestRetries_ = 0;
};

}  // namespace measurement
