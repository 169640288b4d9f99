// Fuzz target of the count cycle against a model board on the manual clock. The input is a
// script: count key presses, clock steps, and for each frame the board sends whether it arrives
// whole, damaged in one byte, cut short, twice, late or not at all. The board keeps its order on
// the line (a late frame holds back the ones after it) and repeats its data when asked again.
//  * a stored count's histograms are exactly counts the board sent for that sample, the first
//    count's before the second's, each channel of one count;
//  * the cycle always comes back to ready: with the line well again, every count ends within
//    the count's time-out either as a result or as a reported time-out, and the cycle is idle.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <vector>

#include "analyzer/frame.h"
#include "measurement/count_cycle.h"
#include "platform/sys/clock.h"
#include "platform/sys/program_dir.h"
#include "tools/boardsim/board_model.h"

namespace {

using measurement::CountCycle;
using measurement::CountHistograms;

// The input, read a byte at a time; 0 once it is used up.
struct Script {
  const uint8_t* data;
  size_t size, pos = 0;
  bool more() const { return pos < size; }
  uint8_t next() { return pos < size ? data[pos++] : 0; }
};

struct Sent {
  int64_t dueMs;
  std::vector<uint8_t> bytes;
};

class FuzzHost : public measurement::CountCycleHost {
 public:
  explicit FuzzHost(Script& script) : script_(script) {}

  boardsim::BoardModel board{boardsim::BoardOptions{0, 0, true, 7}};
  CountCycle cycle{*this};
  bool lineWell = false;  // from the end of the script on nothing is damaged
  int keys = 0, results = 0, timeouts = 0;

  void SendFrame(const analyzer::CommandFrame& f) override {
    // A start begins a new sample on the board; a start or a next count makes a new count of it.
    const bool start = f[1] == 0xAA && f[2] >= 0x01 && f[2] <= 0x04;
    if (start) countsOfSample_.clear();
    for (auto& e : board.OnFrame(f, analyzer::CommandFrameValid(f))) Line(std::move(e.bytes));
    if (start || (f[1] == 0xAA && f[2] == 0x00)) countsOfSample_.push_back(Rounded(board.lastCount()));
  }
  measurement::CountValues ComputeQuickValues(int count, const measurement::HistogramBuffers&,
                                              const measurement::CountInputs&) override {
    // The script decides whether the first two counts disagree (a third count follows).
    const float wbc = count == 2 && disagree_ ? 9.0f : 5.0f;
    return measurement::CountValues{wbc, 4.5f, 200.0f, measurement::ZentilStatus::Computed};
  }
  measurement::KeyDecision OnKeyPress() override {
    ++keys;
    disagree_ = !lineWell && (script_.next() & 1) != 0;
    return measurement::KeyDecision::Start;
  }
  void ProcessRunResult(bool) override {
    ++results;
    // Each count kept is a count the board generated for this sample, in the sample's order.
    int first = -1, second = -1;
    for (size_t i = 0; i < countsOfSample_.size(); ++i) {
      if (first < 0 && Same(cycle.count(1), countsOfSample_[i])) first = static_cast<int>(i);
      if (Same(cycle.count(2), countsOfSample_[i])) second = static_cast<int>(i);
    }
    if (first < 0 || second < 0 || second <= first) std::abort();
  }
  void OnTimeout() override { ++timeouts; }

  // Delivers the frames that are due, in their order on the line.
  void Deliver() {
    const int64_t now = sys::Clock::TickMs();
    while (!line_.empty() && line_.front().dueMs <= now) {
      const std::vector<uint8_t> bytes = std::move(line_.front().bytes);
      line_.pop_front();
      cycle.OnBytes(bytes.data(), bytes.size());
    }
  }
  void Step(int64_t ms) {
    sys::Clock::Advance(ms);
    Deliver();
    cycle.Tick();
    Deliver();
  }
  void PressKey() {
    for (auto& e : board.PressCountKey()) Line(std::move(e.bytes));
  }
  bool LineEmpty() const { return line_.empty(); }

 private:
  static CountHistograms Rounded(const boardsim::CountData& c) {
    CountHistograms h{};
    for (size_t i = 0; i < c.wbc.size() && i < 256; ++i) h.wbc[i] = c.wbc[i];
    for (size_t i = 0; i < c.rbc.size() && i < 256; ++i) h.rbc[i] = c.rbc[i];
    for (size_t i = 0; i < c.plt.size() && i < 128; ++i) h.plt[i] = c.plt[i];
    return h;
  }
  static bool Same(const CountHistograms& a, const CountHistograms& b) {
    for (int i = 0; i < 256; ++i)
      if (a.wbc[i] != b.wbc[i] || a.rbc[i] != b.rbc[i]) return false;
    for (int i = 0; i < 128; ++i)
      if (a.plt[i] != b.plt[i]) return false;
    return true;
  }
  // A frame of the board goes onto the line as the script says; the line keeps its order.
  void Line(std::vector<uint8_t> bytes) {
    const int64_t now = sys::Clock::TickMs();
    int64_t due = line_.empty() ? now : line_.back().dueMs;
    if (lineWell) {
      line_.push_back({due, std::move(bytes)});
      return;
    }
    const uint8_t how = script_.next();
    const uint8_t arg = script_.next();
    switch (how % 8) {
      case 1:  // withheld
        return;
      case 2:  // one byte damaged (every byte but the frame marks is covered by a check)
        if (bytes.size() > 3) bytes[1 + arg % (bytes.size() - 3)] ^= static_cast<uint8_t>(1 + script_.next() % 255);
        break;
      case 3:  // cut short
        bytes.resize(arg % bytes.size());
        break;
      case 4:  // sent twice
        line_.push_back({due, bytes});
        break;
      case 5:  // late, by up to about 25 s
        due = std::max(due, now + 100 * static_cast<int64_t>(arg));
        break;
      default:
        break;
    }
    line_.push_back({due, std::move(bytes)});
  }

  Script& script_;
  std::deque<Sent> line_;
  std::vector<CountHistograms> countsOfSample_;
  bool disagree_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool once = [] {
    sys::SetProgramDir("/nonexistent/quorvex-fuzz");  // trace files are not written
    return true;
  }();
  (void)once;
  sys::Clock::UseManual();
  Script script{data, size};
  FuzzHost host(script);
  host.lineWell = true;
  host.cycle.SendCommand(0xAA, 0x90);
  host.Deliver();
  host.lineWell = false;
  while (script.more()) {
    const uint8_t op = script.next();
    if (op % 4 == 0) host.PressKey();
    host.Step(100 * static_cast<int64_t>(script.next()));
  }
  // The line is well again: every count ends within its time-out, and the cycle is idle.
  host.lineWell = true;
  for (int64_t t = 0; t <= CountCycle::kCountTimeoutMs + 60000; t += 500) host.Step(500);
  if (host.cycle.state() != measurement::CycleState::Idle || !host.cycle.ready() || !host.LineEmpty()) std::abort();
  // Each count started ended once: as a result or as a reported time-out.
  if (host.results + host.timeouts != host.keys) std::abort();
  sys::Clock::UseReal();
  return 0;
}
