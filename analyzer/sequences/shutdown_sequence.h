#pragma once
// The shutdown screen's conversation with the board: leave the working state (AA 91), power
// down (AA A1), and the saves that must not be lost. The reagent volumes, the running time and
// the "Shut Down" row of the system log (Result OK) are saved at once when the screen opens; an
// outcome on the way (a needle fault, a damaged confirmation, no reply) then updates the row.
#include <cstdint>
#include <string>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "analyzer/sequences/startup_sequence.h"
#include "platform/sys/clock.h"

class CADOConn;

namespace analyzer {

class ShutdownHost : public virtual ProgressHost {
 public:
  // Closes the port and ends the screen with IDOK.
  virtual void Close() = 0;
};

// The texts of the shutdown rows.
std::string ShutdownNoReplyText(int language);

// Volumes, running time and their booking as the shutdown saves them (also used by the
// stop-use sequence before it switches the PC off). `bookConsumption` subtracts the shutdown's
// own reagent use first.
void SaveShutdownVolumesAndTime(CADOConn& conn, bool bookConsumption);
// Adds the minutes of this run not yet added to the statistics' total time, so a run ended by
// more than one of the stop-use screen, the shutdown screen and the termination save counts
// each minute once.
void SaveRunningTime(CADOConn& conn);
// The "Shut Down" row with its result, after trimming the log to below 1000 rows; returns the
// moment it carries.
sys::LocalTime WriteShutdownRow(CADOConn& conn, const std::string& result);
// A later outcome of the shutdown written by WriteShutdownRow at `written`.
void UpdateShutdownRow(CADOConn& conn, const sys::LocalTime& written, const std::string& result);

// The SQL that keeps the sample counters of `SampleCounters` in Statistic, with the day they
// count ("YYYY-MM-DD").
std::string SampleCountersUpdateSql(const std::string& dateText);

// The program is ended by the system (a termination signal) instead of its Exit path: the same
// things are saved as there (the sample counters of today, the reagent volumes, the running
// time not saved yet and, unless this run wrote one already, the shut-down row of the system
// log), but the board is not driven and nothing is booked for a shutdown it did not run. Ended
// before the start-up read the store, it writes no counters or volumes.
void SaveOnTermination(CADOConn& conn);
std::string EndedBySystemText(int language);

class ShutdownSequence : public ShortReplySequence {
 public:
  static constexpr int kLastStep = 23;
  static int64_t StepPeriodMs(int language) { return language == 0 ? 12840 : 6077; }

  ShutdownSequence(ShutdownHost& host, CADOConn* conn);
  // Sends AA 91, saves volumes and time, starts the timers.
  void Begin();
  void Poll(int64_t nowMs) override;

  bool ended() const { return ended_; }
  int step() const { return step_; }
  // The Result the Shut Down row got (empty until it is written).
  const std::string& writtenResult() const { return written_; }

 private:
  void OnReply(const BoardReply& reply) override;
  void Send(uint8_t cls, uint8_t command, uint8_t p1);
  void Finish(const std::string& result);

  ShutdownHost& host_;
  CADOConn* conn_;
  std::string resultText_;  // a fault seen on the way (needle malfunction)
  std::string written_;
  sys::LocalTime rowWritten_{};  // when the Shut Down row was stored
  int step_ = 1;
  bool ended_ = false;
  int64_t dotsDue_ = 0;
  int64_t stepDue_ = 0;
  AwaitedReply awaited_;  // the command just sent
};

}  // namespace analyzer
