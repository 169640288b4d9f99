#pragma once
// Byte-fed collectors that turn the board's byte stream into frames.
//
// Both keep a bounded buffer and resynchronise on 0x7E: bytes before a frame start are
// dropped, and as soon as the bytes collected can no longer become a frame (a wrong class,
// a 14-byte frame whose last byte is not 0xE7, a frame longer than its announced length, a
// length the buffer cannot hold) the collector moves on to the next 0x7E it holds. A frame
// is handed out once, with the result of its check; the caller acts only on checked frames.
// A frame dropped that way is remembered until the next frame is taken or the buffer is
// cleared, so a link watchdog still sees that a frame was broken off and asks for it again
// (a byte doubled on the line makes a histogram one byte too long).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "analyzer/frame.h"

namespace analyzer {

enum class FrameKind {
  None,        // nothing complete yet
  Command,     // a 14-byte command frame (acknowledgements, status, sensor and fault reports)
  RunHeader,   // the run header (answer to BB 04)
  Histogram,   // a histogram frame (answer to BB 01, 02, 03)
};

struct CollectedFrame {
  FrameKind kind = FrameKind::None;
  bool checksumOk = false;
  // The frame's bytes; valid until the next Feed or Clear.
  std::span<const uint8_t> bytes;
  // The check values computed over the received bytes (for the trace): the XOR for command
  // frames and run headers in `check`, the odd and even XORs of a histogram frame.
  uint8_t check = 0;
  HistogramChecks histogramChecks;

  explicit operator bool() const { return kind != FrameKind::None; }
  uint8_t cls() const { return kind == FrameKind::Command ? bytes[1] : (kind == FrameKind::RunHeader ? bytes[1] : 0); }
  uint8_t command() const { return kind == FrameKind::Command ? bytes[2] : 0; }
  uint8_t status() const { return kind == FrameKind::Command ? bytes[3] : 0; }
  uint8_t channel() const { return kind == FrameKind::Histogram ? bytes[4] : 0; }
};

// Collects every frame kind the board sends: command frames, run headers and histograms.
// Used by the screens that run counts.
class FullCollector {
 public:
  static constexpr size_t kCapacity = 1034;
  // No frame is longer than this; a run header that announces more is dropped at once.
  static constexpr size_t kLongestFrame = 1000;

  CollectedFrame Feed(uint8_t byte);
  void Clear() {
    count_ = 0;
    taken_ = false;
    broken_ = false;
  }
  size_t Count() const { return taken_ ? 0 : count_; }
  std::span<const uint8_t> Pending() const { return {buf_.data(), Count()}; }
  // A frame was started and not finished: bytes are held, or a started frame was dropped by
  // the resynchronisation since the last frame was taken or the buffer cleared.
  bool Unfinished() const { return Count() != 0 || broken_; }

 private:
  enum class Head { InProgress, Complete, Dead };
  Head Judge() const;
  void Resync();  // drop the head and continue from the next 0x7E held
  CollectedFrame Take();

  std::array<uint8_t, kCapacity> buf_{};
  size_t count_ = 0;
  bool taken_ = false;  // the buffer holds a frame handed out by the previous Feed
  bool broken_ = false;  // a started frame was dropped since the last frame or Clear
};

// Collects 14-byte command frames only. Used by the screens that send one command at a time
// and by the board simulator for what the PC sends.
class ShortCollector {
 public:
  CollectedFrame Feed(uint8_t byte);
  void Clear() {
    count_ = 0;
    taken_ = false;
  }
  size_t Count() const { return taken_ ? 0 : count_; }

 private:
  void Resync();
  std::array<uint8_t, kCommandFrameSize> buf_{};
  size_t count_ = 0;
  bool taken_ = false;
};

}  // namespace analyzer
