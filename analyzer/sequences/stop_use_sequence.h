#pragma once
// Taking the analyzer out of use: drain, rinse with distilled water, drain again, record the
// start of the soak interval, save what the shutdown saves and switch the PC off. Each step is
// the operator's OK followed by the board's AA 30 FF. A step the board does not acknowledge in
// time ends in a message, and OK (to try again) and Cancel (to leave) are offered.
#include <cstdint>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/sequences/startup_sequence.h"

class CADOConn;

namespace analyzer {

class StopUseHost : public virtual BoardHost {
 public:
  virtual void SetPrompt(const std::string& text) = 0;
  virtual void EnableOk(bool enable) = 0;
  virtual void EnableCancel(bool enable) = 0;
  virtual void ShutdownPc() = 0;
  // Closes the port and ends the screen.
  virtual void Close() = 0;
};

class StopUseSequence : public ShortReplySequence {
 public:
  static constexpr int64_t kReplyTimeoutMs = 180000;

  // `portOpen` false: no command can go out, so OK only tells the operator.
  StopUseSequence(StopUseHost& host, CADOConn* conn, bool portOpen);
  // Texts, and AutoCleanTime read from the settings.
  void Begin();
  void OnOk();
  void OnCancel();
  void Poll(int64_t nowMs) override;

  int step() const { return step_; }
  bool waiting() const { return awaited_.waiting(); }
  uint8_t autoCleanTime() const { return autoCleanTime_; }

  static std::string InitialPrompt(int language);

 private:
  void OnReply(const BoardReply& reply) override;
  StopUseHost& host_;
  CADOConn* conn_;
  bool portOpen_;
  int step_ = 0;
  AwaitedReply awaited_;  // the AA 30 just sent
  bool started_ = false;
  bool failed_ = false;  // the last step was not acknowledged in time
  bool cancelAllowed() const { return failed_; }
  uint8_t autoCleanTime_ = 0;
};

}  // namespace analyzer
