#pragma once
// A TCP client: connect with a time-out, send with a time-out, receive on a thread of its own,
// and Shutdown from any thread to wake that receive (or a connect in progress).
//
// Threads: one thread receives while others send; each Send goes out whole before another
// Send's bytes start, so buffers from two threads never interleave on the wire. Shutdown and
// Close may be called from any thread; Close waits for calls in progress to leave before it
// releases the socket.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace net {

enum class Error {
  None,
  HostUnknown,   // the host name is malformed or has no address
  Refused,       // nothing listens on the port (or the peer refused)
  Unreachable,   // no route to the network or host
  TimedOut,      // the time-out passed (a send may still have sent part of the buffer)
  Reset,         // the peer reset the connection
  Closed,        // the peer closed the connection in order
  Stopped,       // Shutdown or Close interrupted the call
  NotConnected,  // the client has no connection
  Io,            // any other system error
};

struct Status {
  Error error = Error::None;
  std::string text;  // for the log and the operator; empty on success
  bool ok() const { return error == Error::None; }
  explicit operator bool() const { return ok(); }
};

struct IoResult {
  size_t count = 0;  // bytes sent or received
  Error error = Error::None;
  std::string text;
  bool ok() const { return error == Error::None; }
  bool timedOut() const { return error == Error::TimedOut; }
};

class TcpClient {
 public:
  TcpClient();
  ~TcpClient();
  TcpClient(const TcpClient&) = delete;
  TcpClient& operator=(const TcpClient&) = delete;

  // Connects to host (a dotted address, an IPv6 address or a name) and port within timeoutMs
  // (< 0: the system's own limit). A connection held before is closed first, and a Shutdown
  // made before this call no longer applies. Shutdown from another thread ends a connect in
  // progress with Stopped (a name lookup itself cannot be interrupted).
  Status Connect(const std::string& host, uint16_t port, int timeoutMs);

  // Takes over a connected socket (such as one a listener accepted). The client owns it.
  Status Adopt(int fd);

  // Sends every byte unless the time-out passes first or the connection fails; `count` says
  // how much went out. timeoutMs < 0 waits without limit (Shutdown still ends it).
  IoResult Send(const void* data, size_t len, int timeoutMs);
  IoResult Send(const std::string& bytes, int timeoutMs) { return Send(bytes.data(), bytes.size(), timeoutMs); }

  // Waits for data and returns what is there, up to `max` bytes. Ends with Closed when the
  // peer closed the connection, Reset when it reset it, Stopped on Shutdown or Close, TimedOut
  // when timeoutMs (>= 0) passed without data.
  IoResult Receive(void* buf, size_t max, int timeoutMs = -1);

  // Ends the connection from any thread: a blocked Receive, Send or Connect returns Stopped at
  // once, and so does every later call until the next Connect. The peer sees the connection
  // closed. The socket itself is released by Close.
  void Shutdown();

  // Releases the socket (the peer sees an orderly close). Safe to repeat and from any thread.
  void Close();
  // Releases the socket with a reset instead of an orderly close.
  void Abort();

  // True from a successful Connect or Adopt until Shutdown, Close, or a receive or send that
  // found the connection closed or reset.
  bool IsConnected() const;
  // "127.0.0.1:5100" of the peer while connected, else empty.
  std::string PeerText() const;
  int Fd() const;

 private:
  bool Enter(bool needConnected);
  void Leave();
  void Wake();
  void DrainWake();
  void Release(bool reset);
  void MarkBroken();
  // Waits for `events` on the socket or a wake-up: 1 ready, 0 time-out, -1 stopped, -2 error.
  int WaitFor(int fd, short events, int timeoutMs, int* err);
  Status ConnectOne(const void* addr, unsigned addrLen, int64_t deadline, const std::string& where);

  mutable std::mutex mutex_;
  std::condition_variable idle_;
  int fd_ = -1;
  int wakeFd_ = -1;
  int active_ = 0;
  std::atomic<bool> connected_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> closing_{false};
  std::string peer_;
  std::mutex sendMutex_;
};

}  // namespace net
