// The printer's port, the raw write with its time-out, and the status reader.
#include <atomic>
#include <cstddef>
#include <vector>

#include "platform/serial/port.h"
#include "printing/thermal_printer.h"
#include "printing/thermal_printer_state.h"

namespace {

// A printer may hold XOFF for a few seconds while it prints what it has buffered (a dot page);
// only a much longer silence means it has stopped (paper out, cover open, cable gone).
constexpr int kDefaultWriteTimeoutMs = 10000;

serial::Port& ThePort() {
  static serial::Port port;
  return port;
}

std::atomic<ThermalOutput*> g_output{nullptr};
std::atomic<int> g_writeTimeoutMs{kDefaultWriteTimeoutMs};
std::atomic<bool> g_writeFault{false};
std::atomic<uint64_t> g_shortWrites{0};
std::atomic<PrinterMessageFn> g_statusMessage{nullptr};

// A command is written whole or not at all: the printer reads a cut command's missing bytes
// from whatever comes next (a page header followed by part of its rows eats the next commands
// as dots). So the bytes of a command the printer stopped taking half-way are kept here and go
// out before anything else; while they cannot, later commands are not written at all.
std::vector<uint8_t> g_unsent;
// A command sent in several writes (a dot page: its header, then a write per row).
enum class Group { None, Starting, Taken, Dropped };
Group g_group = Group::None;

// The serial port as the driver's output.
class PortOutput : public ThermalOutput {
 public:
  size_t Send(const uint8_t* data, size_t len, int timeoutMs, bool* timedOut) override {
    serial::IoResult r = ThePort().Write(data, len, timeoutMs);
    *timedOut = r.timedOut();
    return r.count;
  }
};

void StatusMessage(const char* text) {
  if (PrinterMessageFn fn = g_statusMessage.load()) fn(text);
}

}  // namespace

serial::Settings PrinterLineSettings() {
  serial::Settings s;
  s.baud = 19200;
  s.dataBits = 8;
  s.parity = serial::Parity::Even;
  s.stopBits = 1;
  s.xonXoff = true;
  s.rts = true;
  return s;
}

void PrinterSetOutput(ThermalOutput* out) {
  g_output.store(out);
  g_unsent.clear();  // what a former output did not take belongs to it
}

void ThermalBeginCommand() { g_group = Group::Starting; }
void ThermalEndCommand() { g_group = Group::None; }

int PrinterOpen(const std::string& portName) {
  g_unsent.clear();
  serial::Status st = ThePort().Open(portName, PrinterLineSettings());
  if (!st) return 0;
  return 1;
}

int SetPrinterCommState() {
  if (!ThePort().IsOpen()) return 0;
  return ThePort().Configure(PrinterLineSettings()) ? 1 : 0;
}

namespace {
int WriteOnce(const void* bytes, int count);
}

int PrinterWrite(const void* bytes, int count) {
  if (!bytes || count <= 0) return 0;
  const int sent = WriteOnce(bytes, count);
  if (sent < count) g_shortWrites.fetch_add(1);
  return sent;
}

uint64_t PrinterShortWrites() { return g_shortWrites.load(); }

namespace {

int WriteOnce(const void* bytes, int count) {
  static PortOutput portOutput;
  ThermalOutput* out = g_output.load();
  if (!out) {
    if (!ThePort().IsOpen()) return 0;
    out = &portOutput;
  }
  if (g_group == Group::Dropped) return 0;  // the command's start never went: nor does the rest
  const auto* data = static_cast<const uint8_t*>(bytes);
  const size_t len = static_cast<size_t>(count);
  // Once the printer has stalled, later writes take only what it accepts at once: a dead
  // printer must not cost the full time-out for every one of a report's hundreds of writes.
  int timeout = g_writeFault.load() ? 0 : g_writeTimeoutMs.load();
  bool timedOut = false;
  if (!g_unsent.empty()) {
    const size_t done = out->Send(g_unsent.data(), g_unsent.size(), timeout, &timedOut);
    g_unsent.erase(g_unsent.begin(), g_unsent.begin() + static_cast<std::ptrdiff_t>(done));
    if (!g_unsent.empty()) {
      g_writeFault.store(true);
      if (g_group == Group::Taken) {
        // A later part of a command whose start went out: it must follow, so it waits too.
        g_unsent.insert(g_unsent.end(), data, data + len);
      } else if (g_group == Group::Starting) {
        g_group = Group::Dropped;
      }
      return 0;
    }
    // The printer took the rest of the cut command: it is taking bytes again.
    g_writeFault.store(false);
    timeout = g_writeTimeoutMs.load();
  }
  const size_t sent = out->Send(data, len, timeout, &timedOut);
  if (sent < len) {
    g_writeFault.store(true);
    if (sent == 0 && g_group != Group::Taken) {
      if (g_group == Group::Starting) g_group = Group::Dropped;
      return 0;  // nothing of it went: the command is left out
    }
    g_unsent.assign(data + sent, data + len);
  } else {
    g_writeFault.store(false);
  }
  if (g_group == Group::Starting) g_group = Group::Taken;
  return static_cast<int>(sent);
}

}  // namespace

int PrinterClose() {
  g_unsent.clear();
  if (!ThePort().IsOpen()) return 0;
  ThePort().Close();
  return 1;
}

bool PrinterIsOpen() { return ThePort().IsOpen(); }

void PrinterSetWriteTimeout(int ms) { g_writeTimeoutMs.store(ms < 0 ? 0 : ms); }
int PrinterGetWriteTimeout() { return g_writeTimeoutMs.load(); }
bool PrinterWriteFaulted() { return g_writeFault.load(); }
void PrinterClearWriteFault() { g_writeFault.store(false); }

void PrinterSetStatusMessageHandler(PrinterMessageFn fn) { g_statusMessage.store(fn); }

unsigned PrinterStatusReader(void*) {
  serial::Port& port = ThePort();
  while (port.IsOpen()) {
    uint8_t byte = 0;
    serial::IoResult r = port.Read(&byte, 1, 1000);
    if (r.timedOut()) continue;
    if (r.error == serial::Error::NotOpen || r.error == serial::Error::Closed || r.stopped()) {
      return 0;  // the port went away
    }
    if (!r.ok()) {
      // Reported once; a device that keeps failing would otherwise flood the operator.
      StatusMessage("Reading data error!");
      return 0;
    }
    if (r.count == 1 && byte != 0) StatusMessage("Paper empty!");
  }
  return 0;
}

void ThermalResetPortState() {
  g_unsent.clear();
  g_group = Group::None;
  g_writeTimeoutMs.store(kDefaultWriteTimeoutMs);
  g_writeFault.store(false);
}
