#pragma once
// A program folder of the test's own with a fresh data store, the manual clock, and a host that
// records what a sequence asks of its screen.
#include <cstdint>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/sequences/startup_sequence.h"
#include "tests/support/program_folder.h"

// Also sets the manual clock (Thursday 2026-03-05 09:30) and resets the process values.
class SequenceFolder : public support::ScratchProgramFolder {
 public:
  SequenceFolder();
};

// SQL straight on the data store of the current program folder.
inline void RawExec(const std::string& sql) { support::ExecSql(sql); }
inline std::string RawScalar(const std::string& sql) { return support::QueryText(sql); }
int RawCount(const std::string& sql);

// Resets the process-wide values the sequences touch.
void ResetProcessValues();

// A 14-byte command frame as the board would send it; `badCheck` spoils byte 12.
std::vector<uint8_t> Frame(uint8_t cls, uint8_t command, uint8_t p1 = 0, uint8_t p2 = 0, bool badCheck = false);

class RecordingHost : public analyzer::StartupHost {
 public:
  void Send(const analyzer::CommandFrame& frame) override { sent.push_back(frame); }
  void ShowStatus(const std::string& text) override { statuses.push_back(text); }
  void SetProgress(int position) override { progress.push_back(position); }
  void Message(const std::string& text, analyzer::BoxIcon) override { messages.push_back(text); }
  bool AskOkCancel(const std::string& text) override {
    messages.push_back(text);
    return answerOk;
  }
  void ShutdownPc() override { ++shutdowns; }
  void ReopenPort() override { ++reopens; }
  void CopyTraceToLog() override { ++traceCopies; }
  void DeleteTrace() override { ++traceDeletes; }
  void End() override { ++ends; }

  // "AA FF", "BB 04", ... of every frame sent.
  std::vector<std::string> Commands() const;
  std::string Last() const;

  std::vector<analyzer::CommandFrame> sent;
  std::vector<std::string> statuses, messages;
  std::vector<int> progress;
  bool answerOk = true;
  int shutdowns = 0, reopens = 0, traceCopies = 0, traceDeletes = 0, ends = 0;
};

std::string CommandName(const analyzer::CommandFrame& f);
