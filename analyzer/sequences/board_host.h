#pragma once
// What every board-driving sequence needs of its screen and what the screen feeds it, and the
// way the one-command sequences read a short frame of the board.
#include <cstdint>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"

namespace analyzer {

enum class BoxIcon { None, Warning, Error, Question };

// The screen side every sequence uses: the board port and the message box.
class BoardHost {
 public:
  virtual ~BoardHost() = default;
  // Queues a command frame on the board port.
  virtual void Send(const CommandFrame& frame) = 0;
  virtual void Message(const std::string& text, BoxIcon icon) = 0;
};

// A screen with a status line and a progress bar (start-up, shutdown).
class ProgressHost : public virtual BoardHost {
 public:
  virtual void ShowStatus(const std::string& text) = 0;
  virtual void SetProgress(int position) = 0;
};

// The sequence side a screen drives: the board's bytes and the program clock.
class BoardDriven {
 public:
  virtual ~BoardDriven() = default;
  // One byte from the board port `port` (1 to 4); -1 for another port.
  virtual int OnSerialByte(uint8_t byte, unsigned port) = 0;
  // Runs the time-outs that are due at `nowMs`.
  virtual void Poll(int64_t nowMs) = 0;
};

// The one command a sequence has sent and waits for. Only the board's answer to that command
// moves the sequence on: its acknowledgement (the same class and command byte), its own fault
// report (class DD with the same command byte) or, for a data request, the data frame asked
// for. An answer to another command, or a second answer to the same one once the sequence has
// moved on, is not awaited and is ignored. A command sent with a time-out expires when its
// answer has not come in that time.
class AwaitedReply {
 public:
  // `cls` `command` went out; `timeoutMs` 0 waits without a time-out.
  void Sent(uint8_t cls, uint8_t command, int64_t timeoutMs = 0);
  // Nothing is awaited any more (the answer was taken, or the sequence ended).
  void Clear() { waiting_ = false, due_ = 0; }
  bool waiting() const { return waiting_; }
  uint8_t cls() const { return cls_; }
  uint8_t command() const { return command_; }
  // Whether a frame of class `cls` with command byte `command` answers the awaited command.
  bool Answers(uint8_t cls, uint8_t command) const;
  // The awaited command's answer: true once, and nothing is awaited afterwards.
  bool Take(uint8_t cls, uint8_t command);
  // The time-out has passed without the answer (true once; the wait then ends).
  bool Expired(int64_t nowMs);

 private:
  bool waiting_ = false;
  uint8_t cls_ = 0, command_ = 0;
  int64_t due_ = 0;
};

// A short board frame as the one-command sequences act on it.
struct BoardReply {
  bool complete = false;  // false: no frame finished with this byte
  bool checksumOk = false;
  uint8_t cls = 0, command = 0, status = 0;
  uint8_t param2 = 0, param3 = 0;  // the frame's bytes 4 and 5 (a reading's low byte, a version)
};

// A sequence that acts on the board's short frames one at a time: bytes of other ports are
// refused (-1), each finished frame goes to OnReply.
class ShortReplySequence : public BoardDriven {
 public:
  int OnSerialByte(uint8_t byte, unsigned port) final;

 protected:
  virtual void OnReply(const BoardReply& reply) = 0;
  ShortCollector rx_;
};

// Feeds `byte` to the collector; a finished frame is taken out and the collector emptied.
BoardReply TakeBoardReply(ShortCollector& rx, uint8_t byte);

// A lyse or cleanser level sensor report (and the diluent one when `withDiluent`) booked in
// the reagent accounting, with the shortage warning on `host` once the reagent is exhausted
// (ShowSensorShortage). True when the frame was such a report.
bool TakeSensorReport(const BoardReply& reply, bool withDiluent, BoardHost& host);
// The shortage warning of a sensor (reagent 1 lyse, 2 cleanser, 3 diluent) in the language; in
// Chinese the text is written as a log line first.
void ShowSensorShortage(int reagent, int language, BoardHost& host);

}  // namespace analyzer
