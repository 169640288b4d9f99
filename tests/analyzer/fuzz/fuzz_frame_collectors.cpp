// Fuzz target of the board's frame collectors: any byte stream is fed to the full collector
// (command frames, run headers, histograms) and to the short collector (command frames), and
// every frame handed out must have the shape of its kind, its check result must agree with the
// check bytes worked out here from the frame rules, and the bytes held must stay within the
// buffer. The first input byte chooses where a Clear() falls, as a screen does between counts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "analyzer/frame_collector.h"

namespace {

using analyzer::CollectedFrame;
using analyzer::FrameKind;

void Require(bool ok) {
  if (!ok) std::abort();
}

uint8_t Xor(std::span<const uint8_t> b, size_t from, size_t to) {  // bytes [from, to)
  uint8_t x = 0;
  for (size_t i = from; i < to; ++i) x ^= b[i];
  return x;
}

void CheckCommand(const CollectedFrame& f) {
  Require(f.bytes.size() == 14);
  Require(f.bytes[0] == 0x7E && f.bytes[13] == 0xE7);
  Require(f.checksumOk == (Xor(f.bytes, 1, 12) == f.bytes[12]));
}

void CheckFrame(const CollectedFrame& f) {
  switch (f.kind) {
    case FrameKind::None:
      return;
    case FrameKind::Command:
      CheckCommand(f);
      return;
    case FrameKind::RunHeader: {
      // 7E BB 04 L(2) ... check at L, E7 at L + 1.
      Require(f.bytes.size() >= 12 && f.bytes.size() <= analyzer::FullCollector::kLongestFrame);
      Require(f.bytes[0] == 0x7E && f.bytes[1] == 0xBB && f.bytes[2] == 0x04);
      const size_t length = (static_cast<size_t>(f.bytes[3]) << 8) | f.bytes[4];
      Require(f.bytes.size() == length + 2 && f.bytes[length + 1] == 0xE7);
      Require(f.checksumOk == (Xor(f.bytes, 1, length) == f.bytes[length]));
      return;
    }
    case FrameKind::Histogram: {
      // 7E 00 BB 00 channel ... odd check at n-3, even check at n-2, E7 at n-1.
      const size_t n = f.bytes.size();
      const uint8_t channel = f.bytes.size() > 4 ? f.bytes[4] : 0;
      Require(channel >= 1 && channel <= 3);
      Require(n == (channel == 3 ? 266u : 522u));
      Require(f.bytes[0] == 0x7E && f.bytes[1] == 0x00 && f.bytes[2] == 0xBB && f.bytes[3] == 0x00 && f.bytes[n - 1] == 0xE7);
      uint8_t odd = 0, even = 0;
      for (size_t i = 1; i <= n - 5; i += 2) odd ^= f.bytes[i];
      for (size_t i = 2; i <= n - 4; i += 2) even ^= f.bytes[i];
      Require(f.checksumOk == (odd == f.bytes[n - 3] && even == f.bytes[n - 2]));
      return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t clearAt = data[0] == 0 ? size : 1 + static_cast<size_t>(data[0]) * 7;
  analyzer::FullCollector full;
  analyzer::ShortCollector shortOne;
  for (size_t i = 1; i < size; ++i) {
    if (i == clearAt) {
      full.Clear();
      shortOne.Clear();
    }
    const CollectedFrame f = full.Feed(data[i]);
    CheckFrame(f);
    Require(full.Count() <= analyzer::FullCollector::kCapacity);
    const CollectedFrame s = shortOne.Feed(data[i]);
    Require(s.kind == FrameKind::None || s.kind == FrameKind::Command);
    if (s) CheckCommand(s);
    Require(shortOne.Count() <= 14);
  }
  return 0;
}
