// The printer's port: opening with the line settings, and writes that give up when the
// printer stops taking bytes.
#include <gtest/gtest.h>

#include <termios.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial/line_settings.h"
#include "platform/serial/pty.h"
#include "printing/thermal_printer.h"
#include "recording_output.h"

namespace {

class PrinterPort : public ::testing::Test {
 protected:
  void SetUp() override {
    PrinterSetOutput(nullptr);
    PrinterResetState();
    ASSERT_TRUE(pty_.Create().ok());
  }
  void TearDown() override {
    PrinterClose();
    PrinterResetState();
  }
  std::string ReadMaster(size_t want) {
    std::string got;
    char buf[4096];
    while (got.size() < want) {
      serial::IoResult r = pty_.Master().Read(buf, sizeof buf, 2000);
      if (!r.ok()) break;
      got.append(buf, r.count);
    }
    return got;
  }
  serial::PtyPair pty_;
};

TEST_F(PrinterPort, OpensWithThePrinterLineSettings) {
  ::setenv("QUORVEX_COM3", pty_.SlavePath().c_str(), 1);
  ASSERT_EQ(PrinterOpen("COM3"), 1);
  EXPECT_TRUE(PrinterIsOpen());
  serial::Settings s;
  ASSERT_TRUE(pty_.SlaveSettings(&s).ok());
  EXPECT_EQ(s.baud, 19200);
  EXPECT_EQ(s.stopBits, 1);
  EXPECT_TRUE(s.xonXoff);

  PrinterSendEscU(1);
  PrinterFeedDots(1, 10);
  EXPECT_EQ(ReadMaster(6), Bytes({0x1B, 'U', 1, 0x1B, 'J', 10}));

  EXPECT_EQ(PrinterClose(), 1);
  EXPECT_EQ(PrinterClose(), 0);
  EXPECT_EQ(SetPrinterCommState(), 0);
  ::unsetenv("QUORVEX_COM3");
}

// The termios of the device `path` as this process holds it open (the printer's own
// descriptor), read without opening the device again.
bool HeldTermios(const std::string& path, termios* t) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
    std::error_code ec2;
    if (std::filesystem::read_symlink(e.path(), ec2) != path) continue;
    const int fd = std::atoi(e.path().filename().c_str());
    if (::tcgetattr(fd, t) == 0) return true;
  }
  return false;
}

// 19200 baud, 8 data bits, even parity checked on what comes in, 1 stop bit, XON (DC1) and
// XOFF (DC3) both ways, RTS raised but no hardware handshake. A pseudo-terminal keeps the
// speed, the stop bits and the flow control, but always runs 8 bits without parity; the data
// bits and the parity are checked on the line the driver asks the port for.
TEST_F(PrinterPort, TheLineIs19200EvenParityOneStopBitWithXonXoff) {
  const serial::Settings asked = PrinterLineSettings();
  EXPECT_EQ(asked.baud, 19200);
  EXPECT_EQ(asked.dataBits, 8);
  EXPECT_EQ(asked.parity, serial::Parity::Even);
  EXPECT_EQ(asked.stopBits, 1);
  EXPECT_TRUE(asked.xonXoff);
  EXPECT_TRUE(asked.rts);
  termios want{};
  serial::MakeRawTermios(asked, &want);
  EXPECT_EQ(want.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(want.c_cflag & (PARENB | PARODD), static_cast<tcflag_t>(PARENB));
  EXPECT_NE(want.c_iflag & INPCK, 0u) << "parity checked";

  ASSERT_EQ(PrinterOpen(pty_.SlavePath()), 1);
  termios t{};
  ASSERT_TRUE(HeldTermios(pty_.SlavePath(), &t));
  EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
  EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B19200));
  EXPECT_EQ(t.c_cflag & CSTOPB, 0u) << "one stop bit";
  EXPECT_EQ(t.c_cflag & CRTSCTS, 0u) << "no RTS/CTS handshake";
  EXPECT_NE(t.c_iflag & IXON, 0u);
  EXPECT_NE(t.c_iflag & IXOFF, 0u);
  EXPECT_EQ(t.c_cc[VSTART], 0x11);
  EXPECT_EQ(t.c_cc[VSTOP], 0x13);
  // Applying the settings again keeps them.
  EXPECT_NE(SetPrinterCommState(), 0);
  termios again{};
  ASSERT_TRUE(HeldTermios(pty_.SlavePath(), &again));
  EXPECT_EQ(again.c_iflag & (IXON | IXOFF), t.c_iflag & (IXON | IXOFF));
  EXPECT_EQ(cfgetospeed(&again), static_cast<speed_t>(B19200));
}

// A dot page's header announces its rows: the printer takes that many bytes as dots, so a
// page cut off half-way would eat the commands after it. When the printer stops taking bytes
// in the middle of a page, the page still goes whole once it takes bytes again, and what is
// sent meanwhile goes whole or not at all: the stream stays a sequence of whole commands.
TEST_F(PrinterPort, AStalledPrinterNeverGetsACommandCutInHalf) {
  ASSERT_EQ(PrinterOpen(pty_.SlavePath()), 1);
  PrinterSetWriteTimeout(100);
  PrinterSetPageSize(360, 150);
  PrinterClearDots();
  for (int y = 0; y < 150; ++y) PrinterDrawLine(0, y, 2 * y + 10, y);
  // The other end does not read: the line fills up in the middle of some page.
  int pages = 0;
  while (!PrinterWriteFaulted() && pages < 200) {
    PrinterPrintDots(1);
    ++pages;
  }
  ASSERT_TRUE(PrinterWriteFaulted());
  PrinterFeedDots(1, 10);
  PrinterPrintDots(1);
  PrinterFeedDots(1, 20);

  // The other end reads again; the next command follows the rest of the cut page.
  std::string got;
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    char buf[4096];
    for (;;) {
      serial::IoResult r = pty_.Master().Read(buf, sizeof buf, 300);
      if (r.count > 0) got.append(buf, r.count);
      else if (stop.load()) break;
    }
  });
  PrinterSetWriteTimeout(5000);
  PrinterClearWriteFault();
  PrinterFeedDots(1, 5);
  stop = true;
  reader.join();

  size_t i = 0;
  int whole = 0;
  std::vector<int> feeds;
  while (i + 3 <= got.size()) {
    const auto at = [&](size_t k) { return static_cast<uint8_t>(got[k]); };
    if (at(i) == 0x12 && at(i + 1) == 'T' && i + 6 <= got.size()) {
      ASSERT_EQ(at(i + 3), 45) << "page " << whole;
      ASSERT_EQ(at(i + 4) + 256 * at(i + 5), 150) << "page " << whole;
      i += 6 + 45 * 150;
      ++whole;
    } else if (at(i) == 0x1B && at(i + 1) == 'J') {
      feeds.push_back(at(i + 2));
      i += 3;
    } else {
      break;
    }
  }
  EXPECT_EQ(i, got.size()) << "the stream breaks at byte " << i << " of " << got.size();
  // Every page begun before the stall went, the cut one too (only a page whose header found
  // the line already full may be left out whole).
  EXPECT_GE(whole, pages - 1);
  ASSERT_FALSE(feeds.empty());
  EXPECT_EQ(feeds.back(), 5);
}

TEST_F(PrinterPort, OpenFailsOnAMissingDevice) {
  EXPECT_EQ(PrinterOpen("/dev/quorvex-no-such-printer"), 0);
  EXPECT_FALSE(PrinterIsOpen());
  EXPECT_EQ(PrinterOpen("COM0"), 0);
  const uint8_t b = 'x';
  EXPECT_EQ(PrinterWrite(&b, 1), 0);
}

TEST_F(PrinterPort, APrinterHoldingXoffCannotFreezeTheWriter) {
  ASSERT_EQ(PrinterOpen(pty_.SlavePath()), 1);
  PrinterSetWriteTimeout(100);
  const uint8_t xoff = 0x13, xon = 0x11;
  ASSERT_EQ(pty_.Master().Write(&xoff, 1, 1000).count, 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the line discipline see it

  const std::string page(6000, 'A');
  const auto start = std::chrono::steady_clock::now();
  const int sent = PrinterWrite(page.data(), static_cast<int>(page.size()));
  EXPECT_LT(sent, static_cast<int>(page.size()));
  EXPECT_TRUE(PrinterWriteFaulted());
  // The rest of a report goes by without waiting out every command.
  for (int i = 0; i < 200; ++i) PrinterFeedDots(1, 10);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(5));

  // The printer takes bytes again: a write goes through and the fault clears.
  ASSERT_EQ(pty_.Master().Write(&xon, 1, 1000).count, 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ReadMaster(static_cast<size_t>(sent));  // what went out before the stall
  PrinterSetWriteTimeout(2000);
  PrinterClearWriteFault();
  const uint8_t cr = 0x0D;
  EXPECT_EQ(PrinterWrite(&cr, 1), 1);
  EXPECT_FALSE(PrinterWriteFaulted());
}

TEST(PrinterWriteBound, AStalledPrinterIsNotWaitedForAgainUntilItTakesBytes) {
  RecordingOutput out;
  PrinterSetWriteTimeout(250);
  out.acceptLimit = 20;
  PrinterPrintText("0123456789ABCDEFGHIJKLMNOP", 4, 0, 1);  // 9 header bytes, then one byte a write
  EXPECT_TRUE(PrinterWriteFaulted());
  ASSERT_GE(out.timeouts.size(), 3u);
  EXPECT_EQ(out.timeouts.front(), 250);
  // The write that stalled got the full time; every later one only a look.
  size_t stalled = 0;
  while (stalled < out.writes.size() && out.writes[stalled] != 0) ++stalled;
  ASSERT_LT(stalled, out.writes.size());
  EXPECT_EQ(out.timeouts[stalled], 250);
  for (size_t i = stalled + 1; i < out.timeouts.size(); ++i) EXPECT_EQ(out.timeouts[i], 0) << "write " << i;
  EXPECT_EQ(out.bytes.size(), 20u);

  const uint8_t cr = 0x0D;
  EXPECT_EQ(PrinterWrite(&cr, 1), 0) << "the caller learns that nothing went";
  out.acceptLimit = -1;
  EXPECT_EQ(PrinterWrite(&cr, 1), 1);
  EXPECT_FALSE(PrinterWriteFaulted());
  out.timeouts.clear();
  PrinterCarriageReturn();
  EXPECT_EQ(out.timeouts, std::vector<int>{250});
}

TEST(PrinterWriteBound, PartialWritesReportTheirCount) {
  RecordingOutput out;
  out.acceptLimit = 3;
  const uint8_t buf[10] = {};
  EXPECT_EQ(PrinterWrite(buf, 10), 3);
  EXPECT_TRUE(PrinterWriteFaulted());
  PrinterClearWriteFault();
  EXPECT_FALSE(PrinterWriteFaulted());
  EXPECT_EQ(PrinterWrite(nullptr, 5), 0);
  EXPECT_EQ(PrinterWrite(buf, 0), 0);
}

}  // namespace
