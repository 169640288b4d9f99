#include "tools/boardsim/simulator.h"

#include <algorithm>
#include <chrono>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "analyzer/frame_collector.h"

namespace boardsim {


Simulator::Simulator(SimulatorOptions options) : options_(std::move(options)), model_(options_.board) {
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

Simulator::~Simulator() {
  Stop();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void Simulator::Wake() {
  const uint64_t one = 1;
  if (wakeFd_ >= 0) [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

int64_t Simulator::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

serial::Status Simulator::Start() {
  Stop();
  serial::Status s = pty_.Create();
  if (!s) return s;
  stop_ = false;
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  return s;
}

void Simulator::Stop() {
  stop_ = true;
  Wake();
  if (pty_.IsOpen()) pty_.Master().RequestStop();
  if (thread_.joinable()) thread_.join();
  running_ = false;
  pty_.Close();
}

std::string Simulator::DevicePath() const { return pty_.SlavePath(); }

void Simulator::Queue(const std::vector<Emission>& out) {
  const int64_t now = NowMs();
  for (const Emission& e : out) {
    // Keep the order of frames: one never overtakes a frame queued before it.
    int64_t due = now + e.delayMs;
    if (!pending_.empty()) due = std::max(due, pending_.back().dueMs);
    pending_.push_back({due, e.bytes});
  }
  if (!out.empty()) Wake();
}

void Simulator::PressCountKey() {
  std::lock_guard<std::mutex> lock(mutex_);
  Queue(model_.PressCountKey());
}
void Simulator::ReportCouplerFault(uint8_t unit) {
  std::lock_guard<std::mutex> lock(mutex_);
  Queue(model_.CouplerFault(unit));
}
void Simulator::SetBottleEmpty(Reagent r, bool empty) {
  std::lock_guard<std::mutex> lock(mutex_);
  Queue(model_.SetBottleEmpty(r, empty));
}
void Simulator::SetProfile(Profile p) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetProfile(p);
}
void Simulator::SetProfileSource(BoardModel::ProfileSource source) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetProfileSource(std::move(source));
}

void Simulator::SetCustomProfile(const BloodProfile& p) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetCustomProfile(p);
}
void Simulator::CorruptNext(Target t, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.CorruptNext(t, times);
}
void Simulator::DropNext(Target t, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.DropNext(t, times);
}
void Simulator::DoubleByteNext(Target t, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.DoubleByteNext(t, times);
}

void Simulator::SetSilent(bool silent) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetSilent(silent);
}
void Simulator::SetCountDelay(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetCountDelay(ms);
}
void Simulator::FailNextCount(uint8_t code) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.FailNextCount(code);
}
void Simulator::RefuseNext(uint8_t command, uint8_t code, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.RefuseNext(command, code, times);
}
void Simulator::AnswerNext(uint8_t command, uint8_t status, int times) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.AnswerNext(command, status, times);
}
void Simulator::SetTemperature(double celsius) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetTemperature(celsius);
}
void Simulator::SetApertureTenths(uint8_t tenths) {
  std::lock_guard<std::mutex> lock(mutex_);
  model_.SetApertureTenths(tenths);
}
void Simulator::SendRaw(const std::vector<uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  Queue({Emission{0, bytes}});
}
void Simulator::WithModel(const std::function<void(BoardModel&)>& fn) {
  std::lock_guard<std::mutex> lock(mutex_);
  fn(model_);
}

std::vector<analyzer::CommandFrame> Simulator::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

size_t Simulator::ReceivedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_.size();
}

bool Simulator::WaitForReceived(size_t count, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return received_cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return received_.size() >= count; });
}

void Simulator::Run() {
  serial::Port& port = pty_.Master();
  analyzer::ShortCollector collector;
  uint8_t buf[512];
  while (!stop_) {
    // Send what is due.
    std::vector<std::vector<uint8_t>> due;
    int waitMs = -1;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const int64_t now = NowMs();
      size_t n = 0;
      while (n < pending_.size() && pending_[n].dueMs <= now) ++n;
      for (size_t i = 0; i < n; ++i) due.push_back(std::move(pending_[i].bytes));
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n));
      if (!pending_.empty()) waitMs = static_cast<int>(std::max<int64_t>(pending_.front().dueMs - now, 0));
    }
    for (const auto& bytes : due) {
      const serial::IoResult w = port.Write(bytes.data(), bytes.size(), 2000);
      bytesSent_ += w.count;
      if (options_.trace) options_.trace(false, bytes);
    }
    if (stop_) break;
    if (!due.empty()) continue;  // more may have become due meanwhile

    // Sleep until the PC sends, a control call queues a frame, or the next frame is due.
    pollfd fds[2] = {{port.Fd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(fds, 2, waitMs) <= 0) continue;
    if (fds[1].revents & POLLIN) {
      uint64_t v;
      while (::read(wakeFd_, &v, sizeof v) > 0) {
      }
    }
    if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    const serial::IoResult r = port.Read(buf, sizeof buf, 0);
    if (r.count == 0) {
      // Nobody holds the slave side just now (a hang-up): look again a little later.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    for (size_t i = 0; i < r.count; ++i) {
      const analyzer::CollectedFrame f = collector.Feed(buf[i]);
      if (!f) continue;
      analyzer::CommandFrame frame{};
      std::copy(f.bytes.begin(), f.bytes.end(), frame.begin());
      if (options_.trace) options_.trace(true, std::vector<uint8_t>(f.bytes.begin(), f.bytes.end()));
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(frame);
      Queue(model_.OnFrame(frame, f.checksumOk));
      received_cv_.notify_all();
    }
  }
}

}  // namespace boardsim
