#pragma once
// Bounds on asking the board again: resend requests for damaged frames, and repeats of
// commands the board refused.
#include <cstdint>
#include <string>

#include "analyzer/frame_collector.h"

namespace analyzer {

// Resend requests (5A 01) for frames that failed their check, counted per count: all frames
// of one count share the allowance. Reset when the count key starts a new count.
class ResendCounter {
 public:
  static constexpr int kDefaultLimit = 10;
  explicit ResendCounter(int limit = kDefaultLimit) : limit_(limit) {}

  // True when another request may go out (and counts it); false once the limit is reached,
  // when the caller reports the frame's checksum message instead.
  bool TryRequest() {
    if (used_ >= limit_) return false;
    ++used_;
    return true;
  }
  void Reset() { used_ = 0; }
  int Used() const { return used_; }
  int Limit() const { return limit_; }

 private:
  int limit_;
  int used_ = 0;
};

// Repeats of a refused command (DD xx FF of a priming or maintenance command, answered by
// AA xx again). A board that keeps refusing would otherwise be asked for ever; after the
// limit the refusal is reported instead. Any acknowledgement ends the run of refusals.
class RefusalRepeater {
 public:
  static constexpr int kDefaultLimit = 5;
  explicit RefusalRepeater(int limit = kDefaultLimit) : limit_(limit) {}

  // For a refusal of `command`: true when the command should be sent again (and counts it).
  bool OnRefusal(uint8_t command) {
    if (command != command_) {
      command_ = command;
      repeats_ = 0;
    }
    if (repeats_ >= limit_) return false;
    ++repeats_;
    return true;
  }
  // The board acknowledged something: the next refusal starts a new run.
  void OnAcknowledged() {
    command_ = -1;
    repeats_ = 0;
  }
  int Repeats() const { return repeats_; }

 private:
  int limit_;
  int command_ = -1;
  int repeats_ = 0;
};

// Which frame of a count failed its check: decides the line in checksum.txt and the message
// shown once the resend allowance is used up.
enum class CheckedFrame {
  CountKey,       // CC FF
  StartAck,       // AA 01, AA 02, AA 03
  NextCountAck,   // AA 00
  EndOfCountAck,  // AA 11
  RunHeader,
  WbcHistogram,
  RbcHistogram,
  PltHistogram,
};

// The frame role of a collected frame, or false when it is not one of a count's checked
// frames.
bool CheckedFrameOf(const CollectedFrame& f, CheckedFrame* out);
// "TestChksum=%02x", "HGBchksum=%02x", "WBCchkHigh=%02x WBCchkLow=%02x" ... with the check
// values computed over the received bytes.
std::string ChecksumLogLine(CheckedFrame which, const CollectedFrame& f);
// "HGB data checksum error！" ... (Chinese for language 0, English otherwise).
std::string ChecksumMessage(CheckedFrame which, int language);

}  // namespace analyzer
