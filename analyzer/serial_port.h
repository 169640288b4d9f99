#pragma once
// CSerialPort: the program's serial port with its worker thread. The worker reads every byte
// that arrives and hands it, one at a time and in order, to the owner's byte sink before it
// reads the next; it also writes the queued buffers, first in first out, each one whole.
// Every byte sent and received is traced in serialdata.txt beside the program; send errors
// go to checksum.txt.
//
// The owner of a screen's port is its window: the sink then hands WM_USER+7 (byte in the
// first parameter, port number in the second) to the window's thread without waiting for it
// (serial_window_sink.h), so a screen that holds up its thread (a message box) never holds up
// the link, and closing a port from that window never deadlocks against a byte.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/serial/port.h"

namespace sys {
class Thread;
}

namespace analyzer {

// The message that carries one received byte to the owner window.
inline constexpr uint32_t kSerialByteMessage = 0x0400 + 7;  // WM_USER+7

// Called on the worker thread for every received byte, in order; a sink that waits for its
// owner holds up the reading and writing meanwhile. An empty sink means no owner: bytes are
// only traced.
using ByteSink = std::function<void(uint8_t byte, unsigned port)>;

// Event mask bits the callers pass (kept for the settings a screen reads back).
inline constexpr uint32_t kEvRxChar = 0x0001;
inline constexpr uint32_t kEvCts = 0x0008;

class CSerialPort {
 public:
  // How long Close waits for the worker before it lets it end on its own.
  static constexpr int64_t kStopWaitMs = 500;
  // How long one queued buffer may take to leave before it counts as a send error.
  static constexpr int kWriteTimeoutMs = 2000;

  CSerialPort();
  virtual ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // Opens "COM<portNumber>" (QUORVEX_COMn names the device) exclusively with the settings;
  // parity is 'N', 'E', 'O', 'M' or 'S'. Returns 1, or 0 when the device cannot be opened or
  // refuses a setting (the reason is in LastError()). An open port is closed first, its
  // worker stopped.
  int Open(ByteSink owner, unsigned portNumber, unsigned baud, wchar_t parity, unsigned dataBits,
           unsigned stopBits, uint32_t eventMask, uint32_t writeBufferSize);
  // The same for a device path of one's own (tests).
  int OpenDevice(ByteSink owner, const std::string& device, unsigned portNumber, unsigned baud, wchar_t parity,
                 unsigned dataBits, unsigned stopBits, uint32_t eventMask, uint32_t writeBufferSize);

  // Starts the worker: 1 when it started, 0 when the port is not open or it already runs.
  int StartReader();

  // Queues bytes for the worker to write after everything queued before; returns at once.
  // Returns 0 when the port is not open or too much is waiting already.
  int QueueWrite(const uint8_t* bytes, size_t length);
  // Queues bytes as QueueWrite does and waits until the worker has written them (each buffer
  // ahead of them takes it at most kWriteTimeoutMs). Returns how many of them left: all, fewer
  // when the device took no more in time, 0 when the port is not open, its worker does not run,
  // the queue refused them or the port is closing.
  size_t QueueWriteAndWait(const uint8_t* bytes, size_t length);
  // Converts UTF-8 text to the code page of the language and queues it: 1 when queued, 0 when
  // the port is not open or the queue refused it (as QueueWrite).
  int QueueWriteString(const std::string& utf8, int language = 1);
  // Converts UTF-8 text to GBK and writes it at once, past the worker. Bytes written or 0.
  int WriteText(const std::string& utf8);

  // Stops the worker (waiting at most kStopWaitMs) and releases the device; the object can
  // be opened again. Safe to repeat.
  void Close();

  // Holds or releases the worker between bytes. Both return 1.
  int Suspend();
  int Resume();

  serial::Settings GetDcb() const;
  uint32_t GetEventMask() const { return eventMask_; }
  uint32_t GetWriteBufferSize() const { return writeBufferSize_; }
  unsigned PortNumber() const { return portNumber_; }
  bool IsOpen() const;
  // True when the last queued buffer could not be written (cleared by Open and by every
  // write); a write still on its way is not an error.
  bool SendError() const;
  // The worker has started and not yet ended.
  bool ThreadRunning() const;
  // Why the last Open failed.
  const std::string& LastError() const { return lastError_; }

  // "WARNING:  %s Failed with the following error: \n%s\nPort: %d\n" for the failed call
  // and the system's reason; shown through the handler when one is installed (the
  // application shows it in a message box titled "Application Error"), else written to the
  // debug output.
  void ReportError(const std::string& callName, const std::string& reason = {});
  static std::string ReportErrorText(const std::string& callName, const std::string& reason, unsigned port);
  static void SetErrorReporter(std::function<void(const std::string& title, const std::string& text)> fn);

 private:
  struct State;
  void StopWorker();

  std::shared_ptr<State> state_;
  std::unique_ptr<sys::Thread> thread_;
  unsigned portNumber_ = 0;
  uint32_t eventMask_ = 0;
  uint32_t writeBufferSize_ = 0;
  serial::Settings settings_;
  std::string lastError_;
};

}  // namespace analyzer
