#pragma once
// The mechanics check's work with the board: the checks of the sample needle, the carriage and
// the two syringes (AA 60 to AA 63) with "OK" or "Error" from the board's answer, and the valve
// commands (AA 70 to AA 7B) that the valve check sends over the same link. Each answer is
// matched to a command that is outstanding; the screen is busy while any is, and for no longer
// than kReplyTimeoutMs, so it can always be left.
#include <cstdint>
#include <set>
#include <string>

#include "service/service_link.h"

namespace service {

// Set while an "All Valves" run is unanswered; cleared by any valve answer and when a
// mechanics check opens.
extern uint8_t AllValvesPending;

class MechanicsHost : public virtual analyzer::BoardHost {
 public:
  // Result field 0..3 (needle, carriage, liquid syringe, pressure syringe).
  virtual void SetResult(int part, const std::string& text) = 0;
};

class MechCheck : public ServiceSequence {
 public:
  static constexpr int64_t kReplyTimeoutMs = 60000;

  explicit MechCheck(MechanicsHost& host);

  // Needle, carriage, liquid syringe, pressure syringe: AA 60 .. AA 63 (sent also while busy).
  void SendCheck(int part);
  // A single valve 1..11 (AA 70 .. AA 7A); sent at any time.
  void SendValve(int valve);
  // "All Valves" (AA 7B): refused with "Operation not finished!" while one is unanswered.
  void SendAllValves();
  // Exit: true when nothing is outstanding (else the message).
  bool CanExit();

  bool idle() const { return outstanding_.empty(); }

 private:
  void Send(uint8_t command);
  void OnFrame(const analyzer::BoardReply& reply) override;
  void OnTimeout() override;
  void Answered(uint8_t command);

  MechanicsHost& mech_;
  std::set<uint8_t> outstanding_;
};

std::string FrontEndCheckErrorText(int language);  // "Front end command check error!"

}  // namespace service
