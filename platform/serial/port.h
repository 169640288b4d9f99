#pragma once
// A serial device on termios: exclusive open, line settings, raw mode, purge, reads that a
// stop request from another thread interrupts, and writes bounded by a deadline.
//
// Threads: one thread may read while another writes; RequestStop and Close may be called from
// any thread and wake a blocked Read or Write promptly. Close waits for calls in progress to
// leave before it releases the device.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace serial {

enum class Error {
  None,
  NotFound,     // the device does not exist
  Busy,         // another port object or process holds the device
  Permission,   // no right to open the device
  BadSetting,   // a setting the device or this layer does not accept
  NotSerial,    // the path is not a terminal device
  NotOpen,      // the port object has no open device
  TimedOut,     // the time-out passed (a write may still have sent part of the buffer)
  Stopped,      // RequestStop or Close interrupted the call
  Closed,       // the other end hung up (device removed, pseudo-terminal master gone)
  Io,           // any other system error
};

// Result of Open, Configure and the other calls that have no byte count.
struct Status {
  Error error = Error::None;
  std::string text;  // for the log and the operator; empty on success
  bool ok() const { return error == Error::None; }
  explicit operator bool() const { return ok(); }
};

// Result of Read and Write: how many bytes went through, and why the call ended early.
struct IoResult {
  size_t count = 0;
  Error error = Error::None;
  std::string text;
  bool ok() const { return error == Error::None; }
  bool timedOut() const { return error == Error::TimedOut; }
  bool stopped() const { return error == Error::Stopped; }
};

enum class Parity { None, Even, Odd, Mark, Space };

struct Settings {
  int baud = 9600;          // 9600, 19200, 38400, 57600, 115200 or 230400
  int dataBits = 8;         // 5 to 8
  Parity parity = Parity::None;
  int stopBits = 1;         // 1 or 2
  bool xonXoff = false;     // software flow control in both directions (XON 0x11, XOFF 0x13)
  bool rts = true;          // RTS line raised while the port is open
};

// The baud rates the layer accepts, lowest first.
extern const int kBaudRates[6];

// Parity from its letter: 'N', 'E', 'O', 'M' or 'S' (either case). False for any other.
bool ParityFromLetter(int letter, Parity* out);
char ParityLetter(Parity p);

// Checks a settings record without touching a device; the text names the bad field.
Status ValidateSettings(const Settings& s);

// Maps a port name to a device path: "COMn" (any case, also "\\.\COMn") is /dev/ttyS(n-1)
// unless the environment variable QUORVEX_COMn names another device; a name that starts with
// '/' is a path already. False (and an explanation) for anything else, such as "COM0".
bool DevicePathFor(const std::string& name, std::string* path, std::string* why = nullptr);
// The same for port number n ("COMn"); false for 0.
bool DevicePathForNumber(unsigned n, std::string* path, std::string* why = nullptr);

enum class PurgeWhat { Input, Output, Both };

class Port {
 public:
  Port();
  ~Port();
  Port(const Port&) = delete;
  Port& operator=(const Port&) = delete;

  // Opens `name` (a "COMn" name or a device path) exclusively and applies `settings` in raw
  // mode; both directions are purged. A second open of the same device, by this process or
  // another, fails with Busy. A setting the device refuses fails the whole Open (the device is
  // released again). Opening an open port closes it first. Clears a pending stop request.
  Status Open(const std::string& name, const Settings& settings);

  // Takes over an already open terminal descriptor (such as a pseudo-terminal master) without
  // locking or configuring it beyond raw mode. The port owns the descriptor afterwards.
  Status Adopt(int fd, const std::string& name);

  // Applies new line settings to the open device; they are read back and compared.
  Status Configure(const Settings& settings);
  // Reads the settings currently in force on the device. A pseudo-terminal keeps no character
  // size or parity (the kernel always reports 8 bits, no parity), so for one the data bits and
  // parity are those this port last applied; baud, stop bits and XON/XOFF come from the device.
  Status GetSettings(Settings* out) const;
  // True when the open device is the slave side of a pseudo-terminal.
  bool IsPseudoTerminal() const;

  // Raises or drops RTS. Devices without modem lines (pseudo-terminals) report BadSetting.
  Status SetRts(bool on);

  // Discards bytes received and not yet read, bytes written and not yet sent, or both.
  Status Purge(PurgeWhat what = PurgeWhat::Both);

  // Waits for at least one byte, then returns what is there, up to `max` bytes.
  // timeoutMs < 0 waits without limit; 0 only looks. Ends early with Stopped on RequestStop
  // or Close, with TimedOut when the time passed and nothing came.
  IoResult Read(void* buf, size_t max, int timeoutMs = -1);

  // Writes the whole buffer unless the deadline passes first (a peer holding XOFF or not
  // reading): then `count` says how much went out and the error is TimedOut.
  // timeoutMs < 0 waits without limit (a stop request still ends it).
  IoResult Write(const void* buf, size_t len, int timeoutMs);
  IoResult Write(const std::string& bytes, int timeoutMs) { return Write(bytes.data(), bytes.size(), timeoutMs); }

  // Waits until everything written has left the device, or the time-out passes.
  Status Drain(int timeoutMs);

  // Makes Read and Write calls in progress and to come return Stopped, until ClearStop or the
  // next Open. Safe from any thread.
  void RequestStop();
  void ClearStop();
  bool StopRequested() const { return stop_.load(); }

  // Releases the device (after waking and waiting for calls in progress). Safe to repeat.
  void Close();

  bool IsOpen() const;
  // The device path in use ("/dev/ttyS3"), or the adopted name; empty when closed.
  std::string DevicePath() const;
  // The raw descriptor, for callers that need to poll it themselves; -1 when closed.
  int Fd() const;

 private:
  bool Enter();   // counts a call in; false when the port is closed or closing
  void Leave();
  void Wake();
  void DrainWake();
  // Waits for `events` on the device or a wake-up; returns 1 ready, 0 time-out, -1 stopped,
  // -2 error with errno kept in *err.
  int WaitFor(short events, int timeoutMs, short* revents, int* err);

  mutable std::mutex mutex_;
  std::condition_variable idle_;
  int fd_ = -1;
  int wakeFd_ = -1;     // eventfd: readable while a stop or close is pending
  int active_ = 0;      // Read/Write/... calls in progress
  std::atomic<bool> closing_{false};
  bool locked_ = false; // we hold flock and TIOCEXCL on fd_
  bool pty_ = false;    // fd_ is a pseudo-terminal slave
  Settings applied_;    // the settings last applied by Open or Configure
  std::string path_;
  std::atomic<bool> stop_{false};
  std::mutex writeMutex_;  // one writer at a time, so buffers never interleave
};

}  // namespace serial
