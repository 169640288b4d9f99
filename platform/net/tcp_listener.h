#pragma once
// A small TCP listener for tests and simulators (a loopback LIS host): listen on an address,
// accept connections into TcpClient objects, Shutdown from another thread to wake Accept.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "platform/net/tcp_client.h"

namespace net {

class TcpListener {
 public:
  TcpListener();
  ~TcpListener();
  TcpListener(const TcpListener&) = delete;
  TcpListener& operator=(const TcpListener&) = delete;

  // Listens on host:port; port 0 picks a free one (see Port()). `backlog` is the number of
  // connections the system completes before Accept takes them.
  Status Listen(const std::string& host = "127.0.0.1", uint16_t port = 0, int backlog = 8);
  // The port actually listened on; 0 when not listening.
  uint16_t Port() const { return port_; }

  // Waits for a connection and hands it to `client`. timeoutMs < 0 waits without limit.
  // Ends with TimedOut, or Stopped after Shutdown.
  Status Accept(TcpClient* client, int timeoutMs);

  // Wakes a waiting Accept (and every later one) from any thread.
  void Shutdown();
  // Stops listening. Call it only when no Accept is running.
  void Close();

 private:
  int fd_ = -1;
  int wakeFd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
};

}  // namespace net
