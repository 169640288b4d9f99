// The command senders: each writes one printer command with its exact bytes.
#include <vector>

#include "platform/sys/clock.h"
#include "printing/thermal_printer.h"
#include "printing/thermal_printer_state.h"

using namespace thermal_detail;

const uint8_t kPrinterControlBytes[9] = {0x0A, 0x0D, 0x0E, 0x12, 0x13, 0x14, 0x18, 0x1B, 0x1C};

void PrinterCarriageReturn() { Send({kCR}); }
void PrinterSetCharSpacing(uint8_t n) { Send({kESC, ' ', n}); }
void PrinterFeedDots(int forward, uint8_t n) { Send({kESC, static_cast<uint8_t>(forward ? 'J' : 'j'), n}); }
void PrinterSendEscU(int flag) { Send({kESC, 'U', Flag(flag)}); }
void PrinterSendEscSmallW(int flag) { Send({kESC, 'w', Flag(flag)}); }
void PrinterSendDc2F(int flag) { Send({kDC2, 'F', Flag(flag)}); }
void PrinterSendDc2G(int flag) { Send({kDC2, 'G', Flag(flag)}); }
void PrinterSendDc2S(uint8_t a, uint8_t b) { Send({kDC2, 'S', a, b}); }
void PrinterSendDc2V() { Send({kDC2, 'V'}); }
void PrinterSendDc2U(uint8_t n) { Send({kDC2, 'U', n}); }

static uint8_t ReverseBits(uint8_t b) {
  uint8_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (b & (1u << i)) r |= static_cast<uint8_t>(0x80u >> i);
  }
  return r;
}

void PrinterDefineGlyph(uint8_t n, const uint8_t glyph[32]) {
  uint8_t buf[4 + 32] = {kESC, '+', 'w', n};
  for (int i = 0; i < 32; ++i) buf[4 + i] = ReverseBits(glyph[i]);
  PrinterWrite(buf, sizeof buf);
}

void PrinterPrintGlyph(uint8_t n, uint8_t d) {
  Send({kDC2, 'O', 0x01, kESC, 'W', 0x00, kESC, 'w', d, kESC, 'I', 0x00, kESC, 'K', 'w', n, kESC, 'H'});
}

void PrinterSendDc3Pattern(int n) {
  std::vector<uint8_t> buf = {kDC3, '(', 'A', 'C', 'V'};
  for (int i = 0; i < 24; ++i) {
    buf.push_back(0xFF);
    buf.push_back(0x00);
  }
  buf.push_back('+');
  for (int i = 0; i < n; ++i) buf.push_back('P');
  buf.push_back('C');
  buf.push_back('-');
  buf.push_back(')');
  PrinterWrite(buf.data(), static_cast<int>(buf.size()));
  PrinterFeedDots(1, 16);
}

void PrinterSendEscMinus(uint8_t n) { Send({kESC, '-', n}); }
void PrinterSendEscW(int flag) { Send({kESC, 'W', Flag(flag)}); }
void PrinterSendEscSmallS(uint8_t a, uint8_t b) { Send({kESC, 's', a, b}); }
void PrinterSendEscI(int flag) { Send({kESC, 'I', Flag(flag)}); }
void PrinterSendEscHash(int v) { Send({kESC, '#', static_cast<uint8_t>(v == 0 ? 1 : 0)}); }

void PrinterInitialize() {
  Send({kESC, 0x40});
  sys::Clock::SleepMs(2000);  // the printer takes this long to come back after a reset
}

void PrinterSendCancel() { Send({kCAN}); }
void PrinterSendDc2Greater(int flag) { Send({kDC2, '>', Flag(flag)}); }
void PrinterSendDc2Percent(uint8_t n) { Send({kDC2, '%', n}); }
void PrinterSendDc2Tilde(uint8_t n) { Send({kDC2, '~', n}); }
void PrinterSendDc2W() { Send({kDC2, 'W'}); }
void PrinterSendDc2D(int flag) { Send({kDC2, 'D', Flag(flag)}); }
void PrinterSendDc2SmallE() { Send({kDC2, 'e', 0x01}); }
