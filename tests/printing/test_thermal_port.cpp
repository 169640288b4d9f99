// The printer's port: opening with the line settings, and writes that give up when the
// printer stops taking bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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
