// The serial port over a pseudo-terminal pair: settings, byte order, exclusive open, stop
// requests, deadlines and XON/XOFF.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/serial/port.h"
#include "platform/serial/pty.h"

namespace {

using serial::Error;
using serial::Parity;
using serial::Settings;

Settings Line(int baud, int data, Parity parity, int stop, bool xon) {
  Settings s;
  s.baud = baud;
  s.dataBits = data;
  s.parity = parity;
  s.stopBits = stop;
  s.xonXoff = xon;
  return s;
}

// Reads exactly n bytes from a port, or fails after the time limit.
std::vector<unsigned char> ReadExactly(serial::Port& p, size_t n, int limitMs = 2000) {
  std::vector<unsigned char> out;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  unsigned char buf[4096];
  while (out.size() < n && std::chrono::steady_clock::now() < end) {
    auto r = p.Read(buf, std::min(sizeof buf, n - out.size()), 50);
    if (!r.ok() && !r.timedOut()) break;
    out.insert(out.end(), buf, buf + r.count);
  }
  return out;
}

class SerialOverPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.Create().ok()); }
  serial::PtyPair pty;
};

TEST_F(SerialOverPty, SettingsAreAppliedAndReadBack) {
  const Settings cases[] = {
      Line(9600, 8, Parity::None, 1, false),     Line(19200, 8, Parity::Even, 1, true),
      Line(38400, 7, Parity::Odd, 2, false),     Line(57600, 6, Parity::Mark, 1, false),
      Line(115200, 5, Parity::Space, 2, false),  Line(230400, 8, Parity::None, 1, true),
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.baud) + " " + std::to_string(c.dataBits) + serial::ParityLetter(c.parity) +
                 std::to_string(c.stopBits) + (c.xonXoff ? " xon" : ""));
    serial::Port port;
    const auto st = port.Open(pty.SlavePath(), c);
    ASSERT_TRUE(st.ok()) << st.text;
    Settings got, seen;
    ASSERT_TRUE(port.GetSettings(&got).ok());
    ASSERT_TRUE(pty.SlaveSettings(&seen).ok());
    EXPECT_TRUE(port.IsPseudoTerminal());
    EXPECT_EQ(got.baud, c.baud);
    EXPECT_EQ(got.dataBits, c.dataBits);
    EXPECT_EQ(got.parity, c.parity);
    EXPECT_EQ(got.stopBits, c.stopBits);
    EXPECT_EQ(got.xonXoff, c.xonXoff);
    // What the peer can see on a pseudo-terminal: speed, stop bits and flow control.
    EXPECT_EQ(seen.baud, c.baud);
    EXPECT_EQ(seen.stopBits, c.stopBits);
    EXPECT_EQ(seen.xonXoff, c.xonXoff);
  }
}

TEST_F(SerialOverPty, ReconfigureAnOpenPort) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Line(115200, 8, Parity::None, 1, false)).ok());
  ASSERT_TRUE(port.Configure(Line(19200, 8, Parity::Even, 1, true)).ok());
  Settings seen;
  ASSERT_TRUE(pty.SlaveSettings(&seen).ok());
  EXPECT_EQ(seen.baud, 19200);
  EXPECT_TRUE(seen.xonXoff);
  Settings got;
  ASSERT_TRUE(port.GetSettings(&got).ok());
  EXPECT_EQ(got.parity, Parity::Even);
  // Applying the same parity line again (as the printer does after opening) is accepted too.
  ASSERT_TRUE(port.Configure(Line(19200, 8, Parity::Even, 1, true)).ok());
  // A bad setting is refused before it reaches the device, and the line stays as it was.
  const auto bad = port.Configure(Line(12345, 8, Parity::None, 1, false));
  EXPECT_EQ(bad.error, Error::BadSetting);
  ASSERT_TRUE(pty.SlaveSettings(&seen).ok());
  EXPECT_EQ(seen.baud, 19200);
}

TEST_F(SerialOverPty, TenThousandBytesArriveInOrderBothWays) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Line(115200, 8, Parity::None, 1, false)).ok());
  std::vector<unsigned char> data(10000);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>((i * 7 + i / 256) & 0xff);

  // Program to peer, written in uneven pieces while the peer reads.
  std::vector<unsigned char> atMaster;
  std::thread reader([&] { atMaster = ReadExactly(pty.Master(), data.size()); });
  for (size_t at = 0; at < data.size();) {
    const size_t n = std::min<size_t>(997, data.size() - at);
    auto w = port.Write(data.data() + at, n, 1000);
    ASSERT_TRUE(w.ok()) << w.text;
    ASSERT_EQ(w.count, n);
    at += n;
  }
  reader.join();
  EXPECT_EQ(atMaster, data);

  // Peer to program, one write; every byte value including XON/XOFF and CR/LF passes untouched.
  std::vector<unsigned char> atPort;
  std::thread reader2([&] { atPort = ReadExactly(port, data.size()); });
  auto w = pty.Master().Write(data.data(), data.size(), 1000);
  EXPECT_TRUE(w.ok()) << w.text;
  reader2.join();
  EXPECT_EQ(atPort, data);
}

TEST_F(SerialOverPty, OpenIsExclusive) {
  serial::Port first, second;
  ASSERT_TRUE(first.Open(pty.SlavePath(), Settings{}).ok());
  auto st = second.Open(pty.SlavePath(), Settings{});
  EXPECT_EQ(st.error, Error::Busy);
  EXPECT_NE(st.text.find(pty.SlavePath()), std::string::npos);
  EXPECT_FALSE(second.IsOpen());

  // Another process is refused as well.
  const pid_t child = fork();
  if (child == 0) {
    serial::Port p;
    _exit(p.Open(pty.SlavePath(), Settings{}).error == Error::Busy ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

  // Once released, the device can be taken again.
  first.Close();
  EXPECT_TRUE(second.Open(pty.SlavePath(), Settings{}).ok());
}

TEST(SerialOpen, FailuresSayWhy) {
  unsetenv("QUORVEX_COM77");
  const struct { const char* name; Settings s; Error e; } cases[] = {
      {"/dev/no-such-serial-device", Settings{}, Error::NotFound},
      {"/dev/null", Settings{}, Error::NotSerial},
      {"COM0", Settings{}, Error::BadSetting},
      {"/dev/null", Line(9600, 9, Parity::None, 1, false), Error::BadSetting},
  };
  for (const auto& c : cases) {
    serial::Port p;
    const auto st = p.Open(c.name, c.s);
    EXPECT_EQ(st.error, c.e) << c.name << ": " << st.text;
    EXPECT_FALSE(st.text.empty());
    EXPECT_FALSE(p.IsOpen());
    p.Close();  // closing a port that never opened is harmless
  }
}

TEST(SerialOpen, ComNameFollowsEnvironment) {
  serial::PtyPair pty;
  ASSERT_TRUE(pty.Create().ok());
  setenv("QUORVEX_COM4", pty.SlavePath().c_str(), 1);
  serial::Port p;
  EXPECT_TRUE(p.Open("COM4", Settings{}).ok());
  EXPECT_EQ(p.DevicePath(), pty.SlavePath());
  unsetenv("QUORVEX_COM4");
}

TEST(SerialOpen, ThroughAFixedLinkName) {
  const std::string link = "/tmp/quorvex-serial-test-link-" + std::to_string(getpid());
  {
    serial::PtyPair pty;
    ASSERT_TRUE(pty.Create().ok());
    ASSERT_TRUE(pty.LinkSlave(link).ok());
    serial::Port p;
    ASSERT_TRUE(p.Open(link, Settings{}).ok());
    serial::Port other;  // the link and the slave path name one device
    EXPECT_EQ(other.Open(pty.SlavePath(), Settings{}).error, Error::Busy);
    ASSERT_TRUE(p.Write("\x7e", 1, 100).ok());
    unsigned char b[2];
    EXPECT_EQ(pty.Master().Read(b, sizeof b, 1000).count, 1u);
  }
  struct stat st{};
  EXPECT_NE(lstat(link.c_str(), &st), 0) << "the link outlived its pair";
}

TEST_F(SerialOverPty, StopInterruptsABlockedRead) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
  serial::IoResult r;
  std::thread t([&] {
    unsigned char b[16];
    r = port.Read(b, sizeof b);  // no time-out
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  port.RequestStop();
  t.join();
  EXPECT_EQ(r.error, Error::Stopped);
  EXPECT_EQ(r.count, 0u);

  // The stop stays in force until cleared, so a request made just before a read is not lost.
  unsigned char b[4];
  EXPECT_EQ(port.Read(b, sizeof b, 1000).error, Error::Stopped);
  port.ClearStop();
  ASSERT_TRUE(pty.Master().Write("\x7e", 1, 100).ok());
  auto r2 = port.Read(b, sizeof b, 1000);
  EXPECT_TRUE(r2.ok());
  EXPECT_EQ(r2.count, 1u);
}

TEST_F(SerialOverPty, CloseFromAnotherThreadWakesTheReader) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
  serial::IoResult r;
  std::thread t([&] {
    unsigned char b[16];
    r = port.Read(b, sizeof b);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  port.Close();
  t.join();
  EXPECT_EQ(r.error, Error::Stopped);
  EXPECT_FALSE(port.IsOpen());
  unsigned char b[1];
  EXPECT_EQ(port.Read(b, 1, 0).error, Error::NotOpen);
  // The port object can open the device again.
  EXPECT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
}

TEST_F(SerialOverPty, ReadTimesOutAndReturnsWhatIsThere) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
  unsigned char b[64];
  auto r = port.Read(b, sizeof b, 30);
  EXPECT_TRUE(r.timedOut());
  EXPECT_EQ(r.count, 0u);
  ASSERT_TRUE(pty.Master().Write("\x7e\x01\x02", 3, 100).ok());
  auto got = ReadExactly(port, 3);
  EXPECT_EQ(got, (std::vector<unsigned char>{0x7e, 0x01, 0x02}));
}

TEST_F(SerialOverPty, OpenAndPurgeDiscardStaleInput) {
  // Bytes the peer sent while nobody had the port open are not delivered to the next owner.
  ASSERT_TRUE(pty.Master().Write("stale", 5, 100).ok());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
  unsigned char b[16];
  EXPECT_TRUE(port.Read(b, sizeof b, 20).timedOut());

  ASSERT_TRUE(pty.Master().Write("old", 3, 100).ok());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_TRUE(port.Purge(serial::PurgeWhat::Input).ok());
  ASSERT_TRUE(pty.Master().Write("new", 3, 100).ok());
  auto got = ReadExactly(port, 3);
  EXPECT_EQ(std::string(got.begin(), got.end()), "new");
}

TEST_F(SerialOverPty, WriteGivesUpWhenThePeerStopsReading) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
  std::vector<unsigned char> big(1 << 20, 0x55);
  const auto t0 = std::chrono::steady_clock::now();
  auto w = port.Write(big.data(), big.size(), 40);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_TRUE(w.timedOut()) << w.text;
  EXPECT_GT(w.count, 0u);
  EXPECT_LT(w.count, big.size());
  EXPECT_NE(w.text.find("timed out"), std::string::npos);
  EXPECT_LT(ms, 1000);

  // A stop request ends a writer that has no deadline.
  serial::IoResult w2;
  std::thread t([&] { w2 = port.Write(big.data(), big.size(), -1); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  port.RequestStop();
  t.join();
  EXPECT_EQ(w2.error, Error::Stopped);
}

TEST_F(SerialOverPty, XoffHoldsOutputUntilXon) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Line(19200, 8, Parity::Even, 1, true)).ok());
  // The printer says "stop": nothing more may leave, and the writer must not hang.
  ASSERT_TRUE(pty.Master().Write("\x13", 1, 100).ok());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::string row(200, 'A');
  auto w = port.Write(row, 40);
  EXPECT_TRUE(w.timedOut()) << w.text;
  unsigned char b[256];
  EXPECT_TRUE(pty.Master().Read(b, sizeof b, 30).timedOut());

  // "Go on": what was held comes through, then the rest of the row.
  ASSERT_TRUE(pty.Master().Write("\x11", 1, 100).ok());
  auto w2 = port.Write(row.data() + w.count, row.size() - w.count, 1000);
  EXPECT_TRUE(w2.ok()) << w2.text;
  auto got = ReadExactly(pty.Master(), row.size());
  EXPECT_EQ(std::string(got.begin(), got.end()), row);
  // The flow-control bytes themselves were taken by the line, not passed to the program.
  EXPECT_TRUE(port.Read(b, sizeof b, 20).timedOut());
}

TEST_F(SerialOverPty, ProgramSeesHangUpWhenThePeerGoes) {
  serial::Port port;
  ASSERT_TRUE(port.Open(pty.SlavePath(), Settings{}).ok());
  pty.Close();
  unsigned char b[8];
  auto r = port.Read(b, sizeof b, 500);
  EXPECT_EQ(r.error, Error::Closed) << r.text;
}

TEST_F(SerialOverPty, ModemLinesOnAPseudoTerminal) {
  serial::Port port;
  Settings s;
  s.rts = true;  // a line without RTS still opens
  ASSERT_TRUE(port.Open(pty.SlavePath(), s).ok());
  EXPECT_EQ(port.SetRts(false).error, Error::BadSetting);
}

}  // namespace
