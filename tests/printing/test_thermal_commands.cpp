// Every command sender writes exactly its command's bytes.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "platform/serial/pty.h"
#include "platform/sys/clock.h"
#include "printing/thermal_printer.h"
#include "recording_output.h"

namespace {

constexpr int ESC = 0x1B, DC2 = 0x12, DC3 = 0x13, CR = 0x0D, CAN = 0x18;

struct SenderCase {
  const char* name;
  std::function<void()> send;
  std::string expected;
};

std::string PatternBytes(int ps) {
  std::string s = Bytes({DC3, '(', 'A', 'C', 'V'});
  for (int i = 0; i < 24; ++i) s += Bytes({0xFF, 0x00});
  s += "+" + std::string(ps, 'P') + "C-)";
  return s + Bytes({ESC, 'J', 16});
}

TEST(ThermalCommands, EachSenderWritesItsExactBytes) {
  const SenderCase cases[] = {
      {"CarriageReturn", [] { PrinterCarriageReturn(); }, Bytes({CR})},
      {"SetCharSpacing", [] { PrinterSetCharSpacing(3); }, Bytes({ESC, ' ', 3})},
      {"FeedDots forward", [] { PrinterFeedDots(1, 125); }, Bytes({ESC, 'J', 125})},
      {"FeedDots forward any nonzero", [] { PrinterFeedDots(-7, 10); }, Bytes({ESC, 'J', 10})},
      {"FeedDots back", [] { PrinterFeedDots(0, 5); }, Bytes({ESC, 'j', 5})},
      {"EscU on", [] { PrinterSendEscU(1); }, Bytes({ESC, 'U', 1})},
      {"EscU nonzero is 1", [] { PrinterSendEscU(42); }, Bytes({ESC, 'U', 1})},
      {"EscU off", [] { PrinterSendEscU(0); }, Bytes({ESC, 'U', 0})},
      {"EscSmallW", [] { PrinterSendEscSmallW(5); }, Bytes({ESC, 'w', 1})},
      {"Dc2F", [] { PrinterSendDc2F(0); }, Bytes({DC2, 'F', 0})},
      {"Dc2G", [] { PrinterSendDc2G(1); }, Bytes({DC2, 'G', 1})},
      {"Dc2S", [] { PrinterSendDc2S(1, 0); }, Bytes({DC2, 'S', 1, 0})},
      {"Dc2V", [] { PrinterSendDc2V(); }, Bytes({DC2, 'V'})},
      {"Dc2U", [] { PrinterSendDc2U(1); }, Bytes({DC2, 'U', 1})},
      {"PrintGlyph", [] { PrinterPrintGlyph(34, 1); },
       Bytes({DC2, 'O', 1, ESC, 'W', 0, ESC, 'w', 1, ESC, 'I', 0, ESC, 'K', 'w', 34, ESC, 'H'})},
      {"Dc3Pattern 3", [] { PrinterSendDc3Pattern(3); }, PatternBytes(3)},
      {"Dc3Pattern 0", [] { PrinterSendDc3Pattern(0); }, PatternBytes(0)},
      {"Dc3Pattern negative", [] { PrinterSendDc3Pattern(-2); }, PatternBytes(0)},
      {"EscMinus", [] { PrinterSendEscMinus(2); }, Bytes({ESC, '-', 2})},
      {"EscW", [] { PrinterSendEscW(1); }, Bytes({ESC, 'W', 1})},
      {"EscSmallS", [] { PrinterSendEscSmallS(7, 9); }, Bytes({ESC, 's', 7, 9})},
      {"EscI", [] { PrinterSendEscI(0); }, Bytes({ESC, 'I', 0})},
      {"EscHash of 0", [] { PrinterSendEscHash(0); }, Bytes({ESC, '#', 1})},
      {"EscHash of nonzero", [] { PrinterSendEscHash(3); }, Bytes({ESC, '#', 0})},
      {"Cancel", [] { PrinterSendCancel(); }, Bytes({CAN})},
      {"Dc2Greater", [] { PrinterSendDc2Greater(9); }, Bytes({DC2, '>', 1})},
      {"Dc2Percent", [] { PrinterSendDc2Percent(200); }, Bytes({DC2, '%', 200})},
      {"Dc2Tilde", [] { PrinterSendDc2Tilde(4); }, Bytes({DC2, '~', 4})},
      {"Dc2W", [] { PrinterSendDc2W(); }, Bytes({DC2, 'W'})},
      {"Dc2D", [] { PrinterSendDc2D(0); }, Bytes({DC2, 'D', 0})},
      {"Dc2SmallE", [] { PrinterSendDc2SmallE(); }, Bytes({DC2, 'e', 1})},
      {"SetPrintMode 0", [] { PrinterSetPrintMode(0); }, Bytes({DC2, 'Y', 0})},
      {"SetPrintMode 1", [] { PrinterSetPrintMode(1); }, Bytes({DC2, 'Y', 1})},
      {"SetPrintMode 2", [] { PrinterSetPrintMode(2); }, Bytes({DC2, 'Y', 2})},
      {"SetPrintMode 3", [] { PrinterSetPrintMode(3); }, Bytes({DC2, 'Y', 0})},
  };
  for (const SenderCase& c : cases) {
    RecordingOutput out;
    c.send();
    EXPECT_EQ(out.bytes, c.expected) << c.name;
  }
}

TEST(ThermalCommands, DefineGlyphReversesTheBitsOfEveryByte) {
  RecordingOutput out;
  uint8_t glyph[32];
  for (int i = 0; i < 32; ++i) glyph[i] = static_cast<uint8_t>(i);
  glyph[0] = 0x01;  // bit 0 becomes bit 7
  glyph[1] = 0xC0;
  glyph[2] = 0x12;
  PrinterDefineGlyph(77, glyph);
  ASSERT_EQ(out.bytes.size(), 36u);
  EXPECT_EQ(out.bytes.substr(0, 4), Bytes({ESC, '+', 'w', 77}));
  EXPECT_EQ(static_cast<uint8_t>(out.bytes[4]), 0x80);
  EXPECT_EQ(static_cast<uint8_t>(out.bytes[5]), 0x03);
  EXPECT_EQ(static_cast<uint8_t>(out.bytes[6]), 0x48);
  EXPECT_EQ(static_cast<uint8_t>(out.bytes[4 + 31]), 0xF8);  // 31 = 0001 1111
  EXPECT_EQ(out.writes.size(), 1u) << "the definition goes out in one write";
}

TEST(ThermalCommands, PrintModeSetsThePageWidth) {
  RecordingOutput out;
  PrinterSetPageSize(325, 150);
  PrinterSetPrintMode(1);
  EXPECT_EQ(PrinterPrintMode(), 1);
  EXPECT_EQ(PrinterPageWidth(), 104);
  PrinterSetPrintMode(0);
  EXPECT_EQ(PrinterPageWidth(), 360);
  EXPECT_EQ(PrinterPageHeight(), 150);
}

TEST(ThermalCommands, InitializeWaitsTwoSecondsOnTheProgramClock) {
  RecordingOutput out;
  sys::Clock::UseManual();
  std::atomic<bool> done{false};
  std::thread t([&] {
    PrinterInitialize();
    done = true;
  });
  // The reset command goes out at once; the call returns only after two seconds of the program
  // clock. The clock moves in steps until the call has returned: however late the thread begins
  // its wait, it cannot return before two seconds have gone by since the command was sent.
  for (int i = 0; i < 10000 && out.bytes.empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  int64_t advanced = 0;
  while (!done.load() && advanced < 600000) {
    sys::Clock::Advance(100);
    advanced += 100;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  t.join();
  EXPECT_TRUE(done.load());
  EXPECT_GE(advanced, 2000);
  EXPECT_EQ(out.bytes, Bytes({ESC, '@'}));
  sys::Clock::UseReal();
}

TEST(ThermalCommands, WithoutAPortNothingIsSentNorKeptForLater) {
  serial::PtyPair pty;
  ASSERT_TRUE(pty.Create().ok());
  PrinterSetOutput(nullptr);
  PrinterResetState();
  ASSERT_EQ(PrinterOpen(pty.SlavePath()), 1);
  ASSERT_EQ(PrinterClose(), 1);
  ASSERT_FALSE(PrinterIsOpen());
  const uint8_t b[3] = {1, 2, 3};
  EXPECT_EQ(PrinterWrite(b, 3), 0);
  // Senders and whole print-outs finish normally, and none of their bytes reach the line.
  PrinterPrintText("Sample 12 中文", 4, 1, 1);
  PrinterDrawHistogramAxes(0);
  PrinterPrintDots(1);
  PrinterSendDc3Pattern(3);
  char buf[64];
  EXPECT_EQ(pty.Master().Read(buf, sizeof buf, 200).count, 0u);
  // Once the port is open again, a command goes alone: nothing of the port-less job follows.
  ASSERT_EQ(PrinterOpen(pty.SlavePath()), 1);
  PrinterCarriageReturn();
  const serial::IoResult r = pty.Master().Read(buf, sizeof buf, 2000);
  EXPECT_EQ(std::string(buf, r.count), Bytes({CR}));
  EXPECT_EQ(pty.Master().Read(buf, sizeof buf, 200).count, 0u);
  PrinterClose();
  PrinterResetState();
}

}  // namespace
