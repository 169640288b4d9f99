// Fuzz target of the simulators' input: the board simulator's intake of the PC's bytes (the
// command collector and the board model answering every frame) and its profile values typed by
// the operator, and the LIS simulator's readers of HL7 frames and serial text records. Any
// input is taken without reading outside the buffers, and
//  * the text records cut from a stream follow each other from its start, each beginning with
//    its prefix;
//  * profile values that are refused leave the profile as it was.
//
// The first byte steers: bit 0 makes well-formed command frames of the bytes (class, command
// and two parameters each) in place of feeding them raw.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "analyzer/frame.h"
#include "analyzer/frame_collector.h"
#include "tools/boardsim/board_model.h"
#include "tools/boardsim/settable_profile.h"
#include "tools/lissim/serial_reader.h"
#include "tools/lissim/server.h"

namespace {

void TakeEmissions(const std::vector<boardsim::Emission>& out) {
  for (const boardsim::Emission& e : out)
    if (e.delayMs < 0) std::abort();
}

bool SameProfile(const boardsim::BloodProfile& a, const boardsim::BloodProfile& b) {
  return a.name == b.name && a.wbc == b.wbc && a.lymPct == b.lymPct && a.midPct == b.midPct && a.rbc == b.rbc &&
         a.mcv == b.mcv && a.rdwSd == b.rdwSd && a.hgb == b.hgb && a.plt == b.plt && a.mpv == b.mpv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t steer = data[0];
  const uint8_t* in = data + 1;
  const size_t n = size - 1;
  const std::string text(reinterpret_cast<const char*>(in), n);

  // The board: what the PC sends, raw through the collector or as frames.
  boardsim::BoardOptions options;
  options.noise = false;
  boardsim::BoardModel board(options);
  if (steer & 1) {
    for (size_t i = 0; i + 4 <= n; i += 4)
      TakeEmissions(board.OnFrame(analyzer::BuildCommandFrame(in[i], in[i + 1], in[i + 2], in[i + 3]), true));
  } else {
    analyzer::ShortCollector collector;
    for (size_t i = 0; i < n; ++i) {
      const analyzer::CollectedFrame f = collector.Feed(in[i]);
      if (!f) continue;
      if (f.bytes.size() != analyzer::kCommandFrameSize) std::abort();
      analyzer::CommandFrame frame{};
      std::memcpy(frame.data(), f.bytes.data(), frame.size());
      TakeEmissions(board.OnFrame(frame, f.checksumOk));
    }
  }
  if (steer & 2) TakeEmissions(board.PressCountKey());

  // Profile values as the operator types them.
  boardsim::BloodProfile profile = boardsim::CalibratorProfile();
  const boardsim::BloodProfile kept = profile;
  std::string why;
  if (!boardsim::ParseProfileValues(text, profile, &why) && !SameProfile(profile, kept)) std::abort();

  // The LIS simulator: an HL7 frame and a stream of serial text records.
  lissim::Received m;
  m.bytes = text;
  m.segments = lissim::SplitFrame(text);
  (void)m.Field("MSH", 9);
  (void)m.Field("MSH", 10);
  (void)m.Field("ORC", steer % 8);
  size_t at = 0;
  for (const lissim::TextRecord& r : lissim::SplitRecords(text)) {
    if (text.compare(at, r.bytes.size(), r.bytes) != 0) std::abort();
    if (r.bytes.compare(0, r.prefix.size(), r.prefix) != 0) std::abort();
    at += r.bytes.size();
    (void)lissim::SumBeforeChecksum(r);
  }
  return 0;
}
