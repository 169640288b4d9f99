#pragma once
// The engineering debug page's work with the board: the debug commands (60 V output, power
// saving, motor enable, the X and Z motors, the injector and the pressure pump, the five needle
// positions, the pressure target and its once-a-second poll, the machine reset), their replies,
// the repeat test (test mode once, then whole-blood count and end of count, a given number of
// times or until stopped) and the exit, which stores the needle positions and resets the board
// when it was moved.
//
// Every wait for a reply has a time-out, after which the page is idle again (and an exit that
// waited closes), so the debug screen can always be left.
#include <cstdint>
#include <string>

#include "measurement/count_cycle.h"
#include "service/service_link.h"

class CADOConn;

namespace service {

// Clear while the repeat test runs: neither page of the debug screen can then be left.
extern bool DebugExitAllowed;

class DebugPageHost : public virtual analyzer::BoardHost {
 public:
  // The switch button `which` (0 60 V output, 1 power saving, 2 motor enable) shows "Close"
  // (the switch is on) or "Open".
  virtual void SetSwitchCaption(int which, bool on) = 0;
  virtual void EnableSwitches(bool enable) = 0;
  virtual void EnableTestStart(bool enable) = 0;
  virtual void EnablePressureSend(bool enable) = 0;
  virtual void EnableExit(bool enable) = 0;
  virtual void ShowPressure(const std::string& text) = 0;
  virtual void ShowPollTime(const std::string& text) = 0;
  virtual void StartPoll() = 0;
  virtual void StopPoll() = 0;
  // The test-count field.
  virtual void SetTestCount(const std::string& text) = 0;
  // Before the positions are stored at exit: target "2300", deviation "0", test count "0".
  virtual void ResetExitFields() = 0;
  // Closes the debug screen.
  virtual void ClosePage() = 0;
  // Closes a prompt box of the program that is still open.
  virtual void ClosePrompt() = 0;
};

struct NeedleTexts {
  std::string pos[5];
};

class EngineeringDebug : public ServiceSequence {
 public:
  static constexpr int64_t kReplyTimeoutMs = 10000;
  // A count of the repeat test may take as long as a sample count on the test screen.
  static constexpr int64_t kCountTimeoutMs = measurement::CountCycle::kCountTimeoutMs;

  EngineeringDebug(DebugPageHost& host, CADOConn* conn);

  // Reads the stored needle positions (a NULL column leaves 0).
  void Load();
  const int* needles() const { return needles_; }

  void OnSwitch(int which);
  // Motor 0 X, 1 Z, 2 injector, 3 pressure pump; direction 0 or 1.
  void OnStep(int motor, int direction, const std::string& stepsText);
  void OnNeedleSend(int index, const NeedleTexts& texts);
  void OnPressureSend(const std::string& target, const std::string& deviation, const NeedleTexts& texts);
  void OnMachineReset();
  void OnPollTick();
  void OnTestStart(const std::string& countText);
  void OnTestStop() { stopRequested_ = true; }
  void OnExit(const NeedleTexts& texts);
  // Leaving the page for the hidden settings page: a moved board is reset first, but never
  // while the repeat test runs.
  void OnLeaveTab();

  bool commandIdle() const { return commandIdle_; }
  bool boardMoved() const { return boardMoved_; }
  bool testRunning() const { return testRunning_; }
  int testsDone() const { return testsDone_; }
  int testCount() const { return testCount_; }
  bool pollRunning() const { return pollRunning_; }
  uint8_t switchState(int which) const { return switches_[which]; }

  // The checks of typed values; false after the message.
  bool CheckSteps(const std::string& text);
  bool CheckNeedlePositions(const NeedleTexts& texts);

 private:
  void OnFrame(const analyzer::BoardReply& reply) override;
  void OnTimeout() override;
  // A wait ended without the awaited reply (time-out or refusal): the page is idle again, a
  // running repeat test ends, an exit closes the page.
  void EndWait(const std::string& message);
  void EndTest();
  void SaveNeedles();
  void FinishExit();
  void SendTest(uint8_t command, bool withParameters);
  // Every command of the page but the repeat test's closes an open prompt first.
  void SendClosingPrompt(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0, int64_t timeoutMs = 0);

  DebugPageHost& page_;
  CADOConn* conn_;
  int needles_[5] = {};
  uint8_t switches_[3] = {1, 1, 1};
  bool boardMoved_ = false;
  bool commandIdle_ = true;
  bool closing_ = false;
  bool pollRunning_ = false;
  bool testRunning_ = false;
  bool stopRequested_ = true;
  int testCount_ = 0;
  int testsDone_ = 0;
};

}  // namespace service
