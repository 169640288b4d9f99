#pragma once
// The download of the engineering adjustment to the front-end board: AA 80 to AA 87 (the
// potentiometers), AA 88 and AA 89 (the two pressures, high byte then low byte), AA B0 to
// AA B3 (the pulse widths), each sent after the board has acknowledged the one before. Only
// the acknowledgement of the command just sent advances the chain; a chain that gets no
// acknowledgement in kAckTimeoutMs ends with a message.
#include <cstdint>

#include "service/adjust_values.h"
#include "service/service_link.h"

class CADOConn;

namespace service {

class AdjustDownload : public ServiceSequence {
 public:
  static constexpr int64_t kAckTimeoutMs = 10000;
  static constexpr int kSteps = 14;

  AdjustDownload(analyzer::BoardHost& host, CADOConn* conn) : ServiceSequence(host), conn_(conn) {}

  // Starts (or starts again) from AA 80.
  void Start(const AdjustValues& v);
  bool running() const { return waiting(); }
  int step() const { return step_; }

 private:
  void SendStep();
  void OnFrame(const analyzer::BoardReply& reply) override;
  void OnTimeout() override;

  CADOConn* conn_;
  AdjustValues v_;
  int step_ = 0;
};

}  // namespace service
