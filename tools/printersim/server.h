#pragma once
// The simulated printer on a pseudo-terminal: the program opens the slave side as its
// printer port; a thread reads what arrives on the master side and prints it on the paper.
//
// Flow control is XON/XOFF, as on the real printer: with a print speed set, bytes wait in the
// printer's buffer and the printer sends XOFF when the buffer is nearly full and XON when it
// has room again; with the paper out it sends XOFF and takes nothing until paper is back.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/serial/pty.h"
#include "tools/printersim/paper.h"
#include "tools/printersim/printer.h"

namespace printersim {

struct ServerOptions {
  int bytesPerSecond = 0;     // print speed; 0 prints everything at once
  int bufferHigh = 2048;      // XOFF when this many bytes wait
  int bufferLow = 256;        // XON again at this many
  int maxPaperRows = 16000;
  bool log = false;           // keep the command log of the interpreter
};

class Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  serial::Status Start(const ServerOptions& options = {});
  void Stop();
  const std::string& SlavePath() const { return pty_.SlavePath(); }
  serial::PtyPair& Pty() { return pty_; }

  // Paper out: XOFF now, nothing is taken; paper in: XON, printing goes on.
  void SetPaperOut(bool out);
  bool PaperOut() const { return paperOut_.load(); }
  bool XoffSent() const { return xoff_.load(); }
  // How often the printer has said XOFF so far.
  long XoffCount() const { return xoffCount_.load(); }

  // Bytes received from the program so far, and bytes printed (taken from the buffer).
  long BytesReceived() const { return received_.load(); }
  long BytesPrinted() const { return printed_.load(); }
  // Milliseconds since the last byte arrived (real time); a large value means the job ended.
  long IdleMs() const;
  // Waits (real time, at most `timeoutMs`) until `count` bytes have been printed.
  bool WaitPrinted(long count, int timeoutMs);

  // Work on the paper or the interpreter under the server's lock.
  template <class Fn>
  auto WithPaper(Fn fn) {
    std::lock_guard<std::mutex> g(mutex_);
    return fn(paper_, printer_);
  }
  bool SavePng(const std::string& path, int scale = 1, std::string* error = nullptr);

 private:
  void Run();
  void SendFlow(uint8_t b);
  void PrintPending(size_t max);

  ServerOptions options_;
  serial::PtyPair pty_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<bool> paperOut_{false};
  std::atomic<bool> xoff_{false};
  std::atomic<long> xoffCount_{0};
  std::atomic<long> received_{0};
  std::atomic<long> printed_{0};
  std::atomic<long long> lastByteMs_{0};
  mutable std::mutex mutex_;
  std::condition_variable printedCv_;
  std::deque<uint8_t> pending_;
  Paper paper_;
  Printer printer_;
};

}  // namespace printersim
