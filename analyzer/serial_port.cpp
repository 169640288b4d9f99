#include "analyzer/serial_port.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <vector>

#include "analyzer/serial_trace.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/encoding.h"
#include "platform/sys/thread.h"
#include "platform/sys/wake_event.h"

namespace analyzer {

namespace {

// More than this waiting to be written means the device does not take bytes any more.
constexpr size_t kMaxQueuedBytes = 1 << 20;

std::mutex g_reporterLock;
std::function<void(const std::string&, const std::string&)> g_reporter;

}  // namespace

// Everything the worker touches. The worker holds its own reference, so a worker that is
// still delivering a byte when Close gives up waiting finishes safely on its own.
struct CSerialPort::State {
  serial::Port port;
  ByteSink sink;
  unsigned portNumber = 0;
  sys::WakeEvent wake;  // a write was queued, a stop or resume was asked for

  std::mutex lock;  // the queue and the flags below
  std::condition_variable resumed;
  struct Queued {
    std::vector<uint8_t> bytes;
    uint64_t number = 0;  // 1, 2, ... in the order queued
  };
  std::deque<Queued> queue;
  size_t queuedBytes = 0;
  bool suspended = false;
  // For the writers that wait for their buffer: the number of the last buffer queued and of
  // the last one the worker finished with, and the byte counts of the recent ones that did not
  // leave whole.
  uint64_t lastQueued = 0, lastFinished = 0;
  std::deque<std::pair<uint64_t, size_t>> shortWrites;
  std::condition_variable finished;
  bool ended = false;  // the worker has left its loop

  std::atomic<bool> stop{false};
  std::atomic<bool> running{false};
  std::atomic<bool> sendError{false};

  void Wake() { wake.Signal(); }

  void WriteQueued() {
    for (;;) {
      std::vector<uint8_t> buf;
      uint64_t number = 0;
      {
        std::lock_guard<std::mutex> g(lock);
        if (queue.empty() || stop) return;
        buf = std::move(queue.front().bytes);
        number = queue.front().number;
        queue.pop_front();
        queuedBytes -= buf.size();
      }
      const serial::IoResult w = port.Write(buf.data(), buf.size(), kWriteTimeoutMs);
      AppendSerialLog(HexText(buf), kSerialDataFile, 0);
      {
        std::lock_guard<std::mutex> g(lock);
        lastFinished = number;
        if (w.count != buf.size()) {
          shortWrites.emplace_back(number, w.stopped() ? 0 : w.count);
          if (shortWrites.size() > 64) shortWrites.pop_front();
        }
      }
      finished.notify_all();
      if (w.stopped()) return;  // closing
      if (!w.ok() || w.count != buf.size()) {
        AppendSerialLog(SendErrorLine(static_cast<int>(w.error)), kChecksumFile, 1);
        if (!w.text.empty()) sys::DebugOutput("CSerialPort: write failed: " + w.text);
        sendError = true;
      } else {
        sendError = false;
      }
    }
  }

  void Run() {
    running = true;
    uint8_t buf[1024];
    while (!stop) {
      {
        std::unique_lock<std::mutex> g(lock);
        resumed.wait(g, [&] { return !suspended || stop; });
      }
      if (stop) break;
      WriteQueued();
      if (stop) break;

      const int seen = wake.WaitWith(port.Fd(), -1);
      if (seen == sys::WakeEvent::kInterrupted) continue;
      if (stop) break;
      if (seen & sys::WakeEvent::kDeviceReady) {
        const serial::IoResult r = port.Read(buf, sizeof buf, 0);
        if (r.count > 0) {
          // One delivery per byte, in order; each returns once the owner has handled it.
          for (size_t i = 0; i < r.count && !stop; ++i) {
            if (sink) sink(buf[i], portNumber);
          }
          AppendReceivedBytes({buf, r.count}, kSerialDataFile);
        } else if (!r.ok() && !r.timedOut() && !r.stopped()) {
          // The line is gone (the far end of a pseudo-terminal closed, the device was
          // removed): wait for a wake-up instead of spinning on the hang-up.
          wake.Wait(50);
        }
      }
    }
    running = false;
    {
      std::lock_guard<std::mutex> g(lock);
      ended = true;
    }
    finished.notify_all();
  }
};

CSerialPort::CSerialPort() : state_(std::make_shared<State>()) {}

CSerialPort::~CSerialPort() { Close(); }

void CSerialPort::StopWorker() {
  if (!thread_) return;
  state_->stop = true;
  {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->resumed.notify_all();
    state_->finished.notify_all();
  }
  state_->Wake();
  state_->port.RequestStop();
  // Bounded, and on a window thread the wait keeps serving the bytes the worker sends it.
  if (!thread_->Join(kStopWaitMs)) {
    sys::DebugOutput("CSerialPort: the worker of COM" + std::to_string(portNumber_) +
                     " did not stop in time; it ends on its own");
  }
  thread_.reset();  // a worker still running keeps its own reference to the state
}

void CSerialPort::Close() {
  StopWorker();
  state_->port.Close();
  // A fresh state for the next Open: the old one may still belong to a late worker.
  state_ = std::make_shared<State>();
}

int CSerialPort::OpenDevice(ByteSink owner, const std::string& device, unsigned portNumber, unsigned baud,
                            wchar_t parity, unsigned dataBits, unsigned stopBits, uint32_t eventMask,
                            uint32_t writeBufferSize) {
  Close();
  lastError_.clear();
  portNumber_ = portNumber;
  eventMask_ = eventMask;
  writeBufferSize_ = writeBufferSize;

  serial::Settings s;
  s.baud = static_cast<int>(baud);
  s.dataBits = static_cast<int>(dataBits);
  s.stopBits = static_cast<int>(stopBits);
  s.rts = true;
  if (!serial::ParityFromLetter(static_cast<int>(parity), &s.parity)) {
    lastError_ = "parity letter not one of N, E, O, M, S";
    return 0;
  }
  settings_ = s;
  state_->sink = std::move(owner);
  state_->portNumber = portNumber;
  const serial::Status st = state_->port.Open(device, s);
  if (!st) {
    lastError_ = st.text.empty() ? "cannot open " + device : st.text;
    sys::DebugOutput("CSerialPort: " + lastError_);
    return 0;
  }
  return 1;
}

int CSerialPort::Open(ByteSink owner, unsigned portNumber, unsigned baud, wchar_t parity, unsigned dataBits,
                      unsigned stopBits, uint32_t eventMask, uint32_t writeBufferSize) {
  std::string device, why;
  if (!serial::DevicePathForNumber(portNumber, &device, &why)) {
    Close();
    lastError_ = why;
    return 0;
  }
  return OpenDevice(std::move(owner), device, portNumber, baud, parity, dataBits, stopBits, eventMask,
                    writeBufferSize);
}

int CSerialPort::StartReader() {
  if (thread_ || !state_->port.IsOpen()) return 0;
  state_->port.Purge(serial::PurgeWhat::Both);
  auto thread = std::make_unique<sys::Thread>();
  std::shared_ptr<State> state = state_;
  if (!thread->Start([state] { state->Run(); })) return 0;
  thread_ = std::move(thread);
  return 1;
}

int CSerialPort::QueueWrite(const uint8_t* bytes, size_t length) {
  if (!state_->port.IsOpen() || (bytes == nullptr && length > 0)) return 0;
  {
    std::lock_guard<std::mutex> g(state_->lock);
    if (state_->queuedBytes + length > kMaxQueuedBytes) {
      state_->sendError = true;
      // The device takes no more bytes: counted as a write that timed out.
      AppendSerialLog(SendErrorLine(static_cast<int>(serial::Error::TimedOut)), kChecksumFile, 1);
      return 0;
    }
    state_->queue.push_back({std::vector<uint8_t>(bytes, bytes + length), ++state_->lastQueued});
    state_->queuedBytes += length;
  }
  state_->Wake();
  return 1;
}

size_t CSerialPort::QueueWriteAndWait(const uint8_t* bytes, size_t length) {
  std::shared_ptr<State> st = state_;  // Close may swap the state meanwhile
  if (length == 0 || !thread_) return 0;
  std::unique_lock<std::mutex> g(st->lock);
  if (!st->port.IsOpen() || bytes == nullptr || st->queuedBytes + length > kMaxQueuedBytes) return 0;
  const uint64_t number = ++st->lastQueued;
  st->queue.push_back({std::vector<uint8_t>(bytes, bytes + length), number});
  st->queuedBytes += length;
  g.unlock();
  st->Wake();
  g.lock();
  // Each buffer ahead takes the worker at most its write time-out; a stop ends the wait.
  st->finished.wait(g, [&] { return st->lastFinished >= number || st->stop.load() || st->ended; });
  if (st->lastFinished < number) {
    // Not taken up by the worker: it is never written, so none of it left.
    for (auto it = st->queue.begin(); it != st->queue.end(); ++it)
      if (it->number == number) {
        st->queuedBytes -= it->bytes.size();
        st->queue.erase(it);
        break;
      }
    return 0;
  }
  for (const auto& w : st->shortWrites)
    if (w.first == number) return w.second;
  return length;
}

int CSerialPort::QueueWriteString(const std::string& utf8, int language) {
  const sys::Conversion c = sys::Utf8ToAnsi(utf8, language);
  const std::string& text = c.ok ? c.text : utf8;
  return QueueWrite(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

int CSerialPort::WriteText(const std::string& utf8) {
  const sys::Conversion c = sys::Utf8ToAnsi(utf8, 0);
  if (!c.ok || c.text.empty() || !state_->port.IsOpen()) return 0;
  const serial::IoResult w = state_->port.Write(c.text.data(), c.text.size(), kWriteTimeoutMs);
  return w.ok() ? static_cast<int>(w.count) : 0;
}

int CSerialPort::Suspend() {
  std::lock_guard<std::mutex> g(state_->lock);
  state_->suspended = true;
  return 1;
}

int CSerialPort::Resume() {
  {
    std::lock_guard<std::mutex> g(state_->lock);
    state_->suspended = false;
    state_->resumed.notify_all();
  }
  state_->Wake();
  return 1;
}

serial::Settings CSerialPort::GetDcb() const { return settings_; }
bool CSerialPort::IsOpen() const { return state_->port.IsOpen(); }
bool CSerialPort::SendError() const { return state_->sendError.load(); }
bool CSerialPort::ThreadRunning() const { return state_->running.load(); }

std::string CSerialPort::ReportErrorText(const std::string& callName, const std::string& reason, unsigned port) {
  char buf[512];
  std::snprintf(buf, sizeof buf, "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n", callName.c_str(),
                reason.c_str(), static_cast<int>(port));
  return buf;
}

void CSerialPort::SetErrorReporter(std::function<void(const std::string&, const std::string&)> fn) {
  std::lock_guard<std::mutex> g(g_reporterLock);
  g_reporter = std::move(fn);
}

void CSerialPort::ReportError(const std::string& callName, const std::string& reason) {
  const std::string text = ReportErrorText(callName, reason.empty() ? lastError_ : reason, portNumber_);
  std::function<void(const std::string&, const std::string&)> fn;
  {
    std::lock_guard<std::mutex> g(g_reporterLock);
    fn = g_reporter;
  }
  if (fn) fn("Application Error", text);
  else sys::DebugOutput(text);
}

}  // namespace analyzer
