#pragma once
// What the service screens share on the board link: a sequence that collects the board's short
// frames (resynchronising on 0x7E, never beyond one frame), sends one command at a time and gives
// up waiting for its reply after a time-out, so no screen can be left waiting for ever; and the
// messages the service screens have in common.
#include <cstdint>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/sequences/board_host.h"

namespace service {

class ServiceSequence : public analyzer::BoardDriven {
 public:
  explicit ServiceSequence(analyzer::BoardHost& host) : host_(host) {}

  // Bytes of ports other than 1 to 4 are refused (-1); 1 when a frame was handled, else 0.
  int OnSerialByte(uint8_t byte, unsigned port) override;
  // Ends a wait whose time is up (OnTimeout).
  void Poll(int64_t nowMs) override;

  bool waiting() const { return deadline_ >= 0; }
  // The command the sequence waits for (class, command); meaningful while waiting().
  uint8_t awaitedClass() const { return awaitedClass_; }
  uint8_t awaitedCommand() const { return awaitedCommand_; }

 protected:
  // Drops a partly received frame and queues the command. With `timeoutMs` above 0 the reply
  // is awaited: OnTimeout runs when none has come by then.
  void SendCommand(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0, int64_t timeoutMs = 0);
  void StopWaiting() { deadline_ = -1; }
  // A complete frame (its check already judged: reply.checksumOk).
  virtual void OnFrame(const analyzer::BoardReply& reply) = 0;
  virtual void OnTimeout() = 0;

  analyzer::BoardHost& host_;
  analyzer::ShortCollector rx_;
  // The bytes of the frame OnFrame is handling.
  analyzer::CommandFrame frame_{};

 private:
  int64_t deadline_ = -1;
  uint8_t awaitedClass_ = 0, awaitedCommand_ = 0;
};

// A lyse, cleanser or diluent sensor report booked and, when the reagent is out, shown; in
// Chinese the shortage is also written to the log. True when the frame was such a report.
bool TakeSensorReportLogged(const analyzer::BoardReply& reply, analyzer::BoardHost& host);

// Texts the service screens share, in the language (0 Chinese .. 4 Ukrainian).
std::string OperationFinishedText(int language);     // "Operation finished!"
std::string OperationNotFinishedText(int language);  // "Operation not finished!"
std::string ChecksumErrorText(int language);         // "Checksum error"
std::string NoReplyText(int language);               // the board did not answer in time
std::string RefusedText(int language);               // the board kept refusing a command
std::string NoAuthorityText(int language);           // "Your identity doesn't have this authority!"
std::string ExitText(int language);                  // "Exit(&X)"
std::string DataSavedText(int language);             // "Data saved!"
std::string NotSavedText(int language);              // "The data could not be saved!"

// The typed-integer checks of the service screens: numeric (CUtilies::IsNumericText) without a
// decimal point, and the value at the start of the text.
bool IsIntegerText(const std::string& text);
long LeadingInteger(const std::string& text);
// A decimal number as a whole: optional sign, digits with at most one point (nothing else, not
// empty, not a lone point or sign).
bool ParseDecimal(const std::string& text, double* value);

}  // namespace service
