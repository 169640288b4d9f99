#pragma once
// The priming part of the reagent replacement screen: one prime command outstanding at a time,
// refused before sending when a reagent is short (volume mode), booked when the board reports
// that prime done. Only the acknowledgement of the outstanding command ends it; a damaged
// frame is reported and the board asked with DD 00, refusals are answered by a bounded number
// of resends, and a board that stays silent releases the screen after a time-out.
#include <cstdint>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/resend.h"
#include "analyzer/sequences/startup_sequence.h"

namespace analyzer {

class PrimeHost : public virtual BoardHost {
 public:
  virtual void SetStatus(const std::string& text) = 0;
};

enum class PrimeChoice { All = 0, Diluent = 1, Lyse = 2, Cleanser = 3 };

std::string PrimeButtonText(PrimeChoice c, int language);
uint8_t PrimeCommandOf(PrimeChoice c);

class PrimeOperation : public ShortReplySequence {
 public:
  static constexpr int64_t kReplyTimeoutMs = 120000;
  static constexpr int kMaxResends = RefusalRepeater::kDefaultLimit;

  PrimeOperation(PrimeHost& host, bool portOpen) : host_(host), portOpen_(portOpen) {}

  // A button: true when the prime command went out.
  bool Press(PrimeChoice choice);
  void Poll(int64_t nowMs) override;
  // Exit: refused with "Operation not finished!" while a command is outstanding.
  bool TryExit();

  bool idle() const { return !awaited_.waiting(); }
  uint8_t outstanding() const { return awaited_.waiting() ? awaited_.command() : 0; }

 private:
  void OnReply(const BoardReply& reply) override;
  void Send(uint8_t cls, uint8_t command);
  void Finish(const std::string& status);

  PrimeHost& host_;
  bool portOpen_;
  RefusalRepeater repeats_{kMaxResends};
  AwaitedReply awaited_;  // the prime command just sent
};

}  // namespace analyzer
