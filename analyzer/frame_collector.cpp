#include "analyzer/frame_collector.h"

#include <cstring>

namespace analyzer {
namespace {

bool IsCommandClass(uint8_t cls) {
  switch (cls) {
    case FrameClassCommand:
    case FrameClassStatus:
    case FrameClassFault:
    case FrameClassDebug:
    case FrameClassResend:
    case FrameClassData:  // a data request; only the run header (BB 04) is longer
      return true;
    default:
      return false;
  }
}

// Drops the first frame start and everything up to the next 0x7E held in buf[0..count).
size_t ShiftToNextStart(uint8_t* buf, size_t count) {
  for (size_t k = 1; k < count; ++k) {
    if (buf[k] == kFrameStart) {
      std::memmove(buf, buf + k, count - k);
      return count - k;
    }
  }
  return 0;
}

}  // namespace

FullCollector::Head FullCollector::Judge() const {
  const size_t n = count_;
  if (n == 0) return Head::InProgress;
  if (buf_[0] != kFrameStart) return Head::Dead;
  if (n == 1) return Head::InProgress;
  const uint8_t cls = buf_[1];

  if (cls == 0x00) {  // histogram: 7E 00 BB 00 channel ...
    if (n >= 3 && buf_[2] != FrameClassData) return Head::Dead;
    if (n >= 4 && buf_[3] != 0x00) return Head::Dead;
    if (n < 5) return Head::InProgress;
    const size_t len = HistogramFrameLength(buf_[4]);
    if (len == 0 || n > len) return Head::Dead;
    if (n < len) return Head::InProgress;
    return buf_[n - 1] == kFrameEnd ? Head::Complete : Head::Dead;
  }

  if (cls == FrameClassData && (n < 3 || buf_[2] == 0x04)) {  // run header
    if (n < 5) return Head::InProgress;
    const size_t len = static_cast<size_t>(RunHeaderLengthField({buf_.data(), n})) + 2;
    if (len < kRunHeaderMinLength + 2 || len > kLongestFrame || n > len) return Head::Dead;
    if (n < len) return Head::InProgress;
    return buf_[n - 1] == kFrameEnd ? Head::Complete : Head::Dead;
  }

  if (!IsCommandClass(cls)) return Head::Dead;
  if (n < kCommandFrameSize) return Head::InProgress;
  if (n > kCommandFrameSize) return Head::Dead;
  return buf_[n - 1] == kFrameEnd ? Head::Complete : Head::Dead;
}

void FullCollector::Resync() {
  if (count_ > 0) broken_ = true;
  count_ = ShiftToNextStart(buf_.data(), count_);
}

CollectedFrame FullCollector::Take() {
  CollectedFrame f;
  f.bytes = std::span<const uint8_t>(buf_.data(), count_);
  if (buf_[1] == 0x00) {
    f.kind = FrameKind::Histogram;
    f.histogramChecks = ComputeHistogramChecks(f.bytes);
    f.checksumOk = HistogramFrameValid(f.bytes);
  } else if (buf_[1] == FrameClassData && buf_[2] == 0x04) {
    // Judged by its length field, also when L = 12 gives it the size of a command frame.
    f.kind = FrameKind::RunHeader;
    f.check = RunHeaderCheck(f.bytes);
    f.checksumOk = RunHeaderValid(f.bytes);
  } else {
    f.kind = FrameKind::Command;
    f.check = CommandFrameCheck(f.bytes);
    f.checksumOk = CommandFrameValid(f.bytes);
  }
  taken_ = true;
  broken_ = false;
  return f;
}

CollectedFrame FullCollector::Feed(uint8_t byte) {
  if (taken_) {
    count_ = 0;
    taken_ = false;
  }
  if (count_ == 0 && byte != kFrameStart) return {};  // junk before a frame start
  if (count_ >= kCapacity) Resync();                  // cannot happen while judged per byte
  if (count_ == 0 && byte != kFrameStart) return {};
  buf_[count_++] = byte;
  for (;;) {
    switch (Judge()) {
      case Head::InProgress:
        return {};
      case Head::Complete:
        return Take();
      case Head::Dead:
        Resync();
        if (count_ == 0) return {};
        break;
    }
  }
}

void ShortCollector::Resync() { count_ = ShiftToNextStart(buf_.data(), count_); }

CollectedFrame ShortCollector::Feed(uint8_t byte) {
  if (taken_) {
    count_ = 0;
    taken_ = false;
  }
  if (count_ == 0 && byte != kFrameStart) return {};
  buf_[count_++] = byte;
  while (count_ == kCommandFrameSize) {
    if (buf_[kCommandFrameSize - 1] == kFrameEnd) {
      CollectedFrame f;
      f.kind = FrameKind::Command;
      f.bytes = std::span<const uint8_t>(buf_.data(), count_);
      f.check = CommandFrameCheck(f.bytes);
      f.checksumOk = CommandFrameValid(f.bytes);
      taken_ = true;
      return f;
    }
    Resync();
  }
  return {};
}

}  // namespace analyzer
