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
