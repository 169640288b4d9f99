// The simulated printer on a pseudo-terminal, driven by the real driver over the port.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "printing/thermal_printer.h"
#include "tools/printersim/server.h"

namespace {

using printersim::Paper;
using printersim::Printer;
using printersim::Server;

class PrinterServer : public ::testing::Test {
 protected:
  void TearDown() override {
    PrinterClose();
    PrinterResetState();
    server_.Stop();
  }
  void Open(const printersim::ServerOptions& o = {}) {
    ASSERT_TRUE(server_.Start(o).ok());
    PrinterSetOutput(nullptr);
    PrinterResetState();
    ASSERT_EQ(PrinterOpen(server_.SlavePath()), 1);
  }
  int PaperHeight() {
    return server_.WithPaper([](Paper& p, Printer&) { return p.Height(); });
  }
  Server server_;
};

TEST_F(PrinterServer, PrintsWhatTheDriverSends) {
  Open();
  PrinterSendEscU(1);
  PrinterPrintText("Sample 中", 4, 0, 1);
  PrinterFeedDots(1, 10);
  PrinterSendEscU(0);
  const long expected = 3 + 9 + 7 + (36 + 18) + 1 + 3 + 3;
  ASSERT_TRUE(server_.WaitPrinted(expected, 3000)) << server_.BytesPrinted();
  EXPECT_EQ(server_.BytesReceived(), expected);
  EXPECT_EQ(PaperHeight(), 16 + 4 + 10);
  const std::string png = ::testing::TempDir() + "printersim_server.png";
  EXPECT_TRUE(server_.SavePng(png, 2));
}

TEST_F(PrinterServer, PaperOutHoldsXoffAndTheDriverGivesUp) {
  Open();
  PrinterSetWriteTimeout(100);
  server_.SetPaperOut(true);
  EXPECT_TRUE(server_.XoffSent());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));

  const auto start = std::chrono::steady_clock::now();
  const std::string big(8000, 'A');
  const int sent = PrinterWrite(big.data(), static_cast<int>(big.size()));
  EXPECT_LT(sent, static_cast<int>(big.size()));
  EXPECT_TRUE(PrinterWriteFaulted());
  for (int i = 0; i < 100; ++i) PrinterPrintText("row", 4, 1, 1);  // a whole report, stalled
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  // Paper back in: the printer takes bytes again.
  server_.SetPaperOut(false);
  EXPECT_FALSE(server_.XoffSent());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  PrinterSetWriteTimeout(2000);
  PrinterClearWriteFault();
  const long before = server_.BytesReceived();
  PrinterCarriageReturn();
  EXPECT_FALSE(PrinterWriteFaulted());
  EXPECT_TRUE(server_.WaitPrinted(before + 1, 3000));
}

TEST_F(PrinterServer, ASlowPrinterThrottlesTheDriverWithXonXoff) {
  printersim::ServerOptions o;
  o.bytesPerSecond = 40000;
  o.bufferHigh = 600;
  o.bufferLow = 100;
  Open(o);
  // A 360 x 150 dot page: 6756 bytes, far more than the printer's buffer.
  PrinterDrawHistogramAxes(0);
  PrinterPrintDots(1);
  EXPECT_FALSE(PrinterWriteFaulted());
  const long total = 6 + 150 * 45;
  ASSERT_TRUE(server_.WaitPrinted(total, 5000)) << server_.BytesPrinted();
  EXPECT_EQ(server_.BytesReceived(), total) << "nothing lost while the printer held XOFF";
  EXPECT_GE(server_.XoffCount(), 1);
  EXPECT_EQ(PaperHeight(), 150);
  const bool axis = server_.WithPaper([](Paper& p, Printer&) { return p.Dot(0, 50) && p.Dot(200, 0); });
  EXPECT_TRUE(axis);
}

}  // namespace
