#include "tools/printersim/server.h"

#include <chrono>

namespace printersim {

namespace {

constexpr uint8_t XON = 0x11, XOFF = 0x13;

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

Server::Server() : printer_(&paper_) {}

Server::~Server() { Stop(); }

serial::Status Server::Start(const ServerOptions& options) {
  Stop();
  options_ = options;
  paper_ = Paper(options.maxPaperRows);
  printer_ = Printer(&paper_);
  printer_.EnableLog(options.log);
  serial::Status st = pty_.Create();
  if (!st) return st;
  lastByteMs_ = NowMs();
  running_ = true;
  thread_ = std::thread([this] { Run(); });
  return {};
}

void Server::Stop() {
  if (!running_.exchange(false)) return;
  pty_.Master().RequestStop();
  if (thread_.joinable()) thread_.join();
  pty_.Close();
}

void Server::SendFlow(uint8_t b) {
  pty_.Master().Write(&b, 1, 1000);
  xoff_ = b == XOFF;
  if (b == XOFF) ++xoffCount_;
}

void Server::SetPaperOut(bool out) {
  std::lock_guard<std::mutex> g(mutex_);  // the reader thread sends flow bytes under it too
  if (paperOut_.exchange(out) == out) return;
  if (out) {
    SendFlow(XOFF);
  } else if (static_cast<int>(pending_.size()) < options_.bufferHigh) {
    SendFlow(XON);
  }
}

long Server::IdleMs() const { return static_cast<long>(NowMs() - lastByteMs_.load()); }

bool Server::WaitPrinted(long count, int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return printedCv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return printed_.load() >= count; });
}

bool Server::SavePng(const std::string& path, int scale, std::string* error) {
  std::lock_guard<std::mutex> g(mutex_);
  return paper_.SavePng(path, scale, error);
}

void Server::PrintPending(size_t max) {
  // Called with the lock held.
  uint8_t chunk[512];
  while (max > 0 && !pending_.empty()) {
    size_t n = 0;
    while (n < sizeof chunk && n < max && !pending_.empty()) {
      chunk[n++] = pending_.front();
      pending_.pop_front();
    }
    printer_.Feed(chunk, n);
    max -= n;
    printed_ += static_cast<long>(n);
  }
  printedCv_.notify_all();
}

void Server::Run() {
  uint8_t buf[4096];
  long long lastTick = NowMs();
  double budget = 0;
  while (running_) {
    serial::IoResult r = pty_.Master().Read(buf, sizeof buf, 10);
    if (r.stopped()) break;
    const long long now = NowMs();
    std::lock_guard<std::mutex> g(mutex_);
    if (r.count > 0) {
      pending_.insert(pending_.end(), buf, buf + r.count);
      received_ += static_cast<long>(r.count);
      lastByteMs_ = now;
    }
    if (!paperOut_) {
      if (options_.bytesPerSecond <= 0) {
        PrintPending(pending_.size());
      } else {
        budget += static_cast<double>(now - lastTick) * options_.bytesPerSecond / 1000.0;
        const size_t take = static_cast<size_t>(budget);
        if (take > 0) {
          const size_t before = pending_.size();
          PrintPending(take);
          budget -= static_cast<double>(before - pending_.size());
          if (pending_.empty()) budget = 0;
        }
      }
    }
    lastTick = now;
    const int waiting = static_cast<int>(pending_.size());
    if (!xoff_ && waiting >= options_.bufferHigh) SendFlow(XOFF);
    if (xoff_ && !paperOut_ && waiting <= options_.bufferLow) SendFlow(XON);
    if (r.error == serial::Error::Closed) {
      // Nobody holds the port; wait briefly instead of spinning on the hang-up.
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
}

}  // namespace printersim
