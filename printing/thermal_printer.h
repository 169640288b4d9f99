#pragma once
// Driver of the analyzer's built-in serial thermal micro-printer: plain functions on
// process-wide state (one port, a page size and print mode, one dot buffer).
//
//  - a raw write and one sender per printer command, each writing the command's exact bytes;
//  - text printing: a text is cut into pieces of at most 48 columns and sent character by
//    character; a character above code 128 is drawn into a 16 x 16 glyph, downloaded to the
//    printer and printed from there;
//  - bitmap printing: dots, lines and histogram axes are drawn into the dot buffer, which is
//    then sent as rows of bytes.
//
// The printer puts the row it receives first at the bottom of the strip, so reports send
// their rows last row first.
//
// There is no lock: callers run one print job at a time. Every write is bounded in time, so a
// printer that stops taking bytes (XOFF held, paper out) cannot hang a print thread: the write
// gives up, returns what went out, and PrinterWriteFaulted() says so until cleared.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/serial/port.h"

// ---- where the bytes go ----------------------------------------------------------------------

// The printer's end of the line. The serial port in production; tests put a recorder here.
class ThermalOutput {
 public:
  virtual ~ThermalOutput() = default;
  // Sends `len` bytes, giving up after `timeoutMs`; returns how many went out.
  // `*timedOut` is set when the time ran out before everything went.
  virtual size_t Send(const uint8_t* data, size_t len, int timeoutMs, bool* timedOut) = 0;
};

// Makes every later write go to `out` instead of the port; nullptr goes back to the port.
// The caller keeps `out` alive while it is installed.
void PrinterSetOutput(ThermalOutput* out);

// ---- port and raw write ----------------------------------------------------------------------

// The printer's line: 19200 baud, 8 data bits, even parity (checked on what comes in), 1 stop
// bit, XON/XOFF both ways, RTS raised (not used for flow control).
serial::Settings PrinterLineSettings();

// Opens the printer's port ("COM3" on the instrument) and sets 19200 baud, 8 data bits, even
// parity, 1 stop bit, XON/XOFF both ways. 1 on success, 0 when the port is unusable.
int PrinterOpen(const std::string& portName);
// Applies the line settings to the open port again; nonzero on success, 0 without a port.
int SetPrinterCommState();
// Writes `count` bytes; returns the number written, 0 when nothing could be written (port not
// open, write failed). A write the printer does not take within the write time-out gives up
// with the count that went out and marks the write fault; the rest of that command goes out
// first once the printer takes bytes again, and until then later writes send nothing, so the
// printer only ever gets whole commands.
int PrinterWrite(const void* bytes, int count);
// Releases the port; 1 when one was open.
int PrinterClose();
bool PrinterIsOpen();

// Most a single write may wait for the printer to take its bytes (default 10000 ms).
void PrinterSetWriteTimeout(int ms);
int PrinterGetWriteTimeout();
// True once a write gave up or failed; cleared by PrinterClearWriteFault. While it is set a
// write only takes what the printer accepts at once, so the rest of a job stalled by a dead
// printer finishes without waiting out every command; a write that goes through clears it.
bool PrinterWriteFaulted();
void PrinterClearWriteFault();
// How many writes so far did not send all their bytes (no port, a failed write, a write that
// gave up, or one left out after a cut command). Never cleared: a job compares it before and
// after to learn whether all of it went out.
uint64_t PrinterShortWrites();

// Reads status bytes from the printer while the port is open: a failed read reports
// "Reading data error!", a nonzero byte "Paper empty!". Thread procedure; returns 0 when the
// port closes. The system does not start it.
unsigned PrinterStatusReader(void* unused);
// Where the status reader's messages go (none installed: they are dropped).
using PrinterMessageFn = void (*)(const char* text);
void PrinterSetStatusMessageHandler(PrinterMessageFn fn);

// ---- command senders; each writes exactly the bytes named -----------------------------------

// The command lead-in bytes: LF, CR, SO, DC2, DC3, DC4, CAN, ESC, FS.
extern const uint8_t kPrinterControlBytes[9];

void PrinterCarriageReturn();                  // CR
void PrinterSetCharSpacing(uint8_t n);         // ESC ' ' n
void PrinterFeedDots(int forward, uint8_t n);  // ESC 'J' n forward, ESC 'j' n back
void PrinterSendEscU(int flag);                // ESC 'U' (1|0)
void PrinterSendEscSmallW(int flag);           // ESC 'w' (1|0)
void PrinterSendDc2F(int flag);                // DC2 'F' (1|0)
void PrinterSendDc2G(int flag);                // DC2 'G' (1|0)
void PrinterSendDc2S(uint8_t a, uint8_t b);    // DC2 'S' a b
void PrinterSendDc2V();                        // DC2 'V'
void PrinterSendDc2U(uint8_t n);               // DC2 'U' n
// ESC '+' 'w' n and the 32 glyph bytes, each with its bit order reversed.
void PrinterDefineGlyph(uint8_t n, const uint8_t glyph[32]);
// DC2 'O' 1, ESC 'W' 0, ESC 'w' d, ESC 'I' 0, ESC 'K' 'w' n, ESC 'H' in one write.
void PrinterPrintGlyph(uint8_t n, uint8_t d);
// The separator: DC3 "(ACV", 24 pairs FF 00, '+', n times 'P', "C-)", then a 16-dot feed.
void PrinterSendDc3Pattern(int n);
void PrinterSendEscMinus(uint8_t n);           // ESC '-' n
void PrinterSendEscW(int flag);                // ESC 'W' (1|0)
void PrinterSendEscSmallS(uint8_t a, uint8_t b);  // ESC 's' a b
void PrinterSendEscI(int flag);                // ESC 'I' (1|0)
void PrinterSendEscHash(int v);                // ESC '#' (1 when v is 0, else 0)
void PrinterInitialize();                      // ESC '@', then 2000 ms on the program clock
void PrinterSendCancel();                      // CAN
void PrinterSendDc2Greater(int flag);          // DC2 '>' (1|0)
void PrinterSendDc2Percent(uint8_t n);         // DC2 '%' n
void PrinterSendDc2Tilde(uint8_t n);           // DC2 '~' n
void PrinterSendDc2W();                        // DC2 'W'
void PrinterSendDc2D(int flag);                // DC2 'D' (1|0)
void PrinterSendDc2SmallE();                   // DC2 'e' 1
// Sets the print mode (0 normal: page width 360; otherwise 104) and sends DC2 'Y' with 1 for
// mode 1, 2 for mode 2, else 0.
void PrinterSetPrintMode(int mode);

// ---- text ------------------------------------------------------------------------------------

// Prints a UTF-8 text: DC2 'G' 1, DC2 'F' 0, ESC 'A' n, then the pieces of at most 48 columns
// last piece first, a CR between pieces, and a CR at the end when `finalCr` is nonzero.
// Trailing white space is dropped unless nothing else is left. `d` nonzero prints double
// width. Characters above code 128 are downloaded as glyphs numbered 34, 35, … in each call.
void PrinterPrintText(const std::string& text, uint8_t n, uint8_t d, int finalCr);
// Cuts a text into pieces of at most about `width` columns: a character above code 128
// counts 2, any other 1; characters are taken while the count is below width - 1 (so at
// width 48 a piece holds 47 plain characters, or 48 columns ending in a double one). Every
// piece holds at least one character, whatever the width. An empty text gives no piece.
void SplitTextToWidth(const std::string& text, std::vector<std::string>* pieces, int8_t width);

// Across the print head: 384 dots; a plain character takes 8 of them, one sent as a
// downloaded glyph (above code 128) 16, each followed by the character spacing (ESC ' ' n).
constexpr int kPrinterHeadDots = 384;
constexpr int kPrinterCharDots = 8;
constexpr int kPrinterGlyphDots = 16;
// Cuts a text into pieces that each fit `headDots` at character spacing `spacing`, so that no
// piece runs over the head (the printer would carry the overflow to a line of its own, which
// stands above the rest once the strip is read). Every piece holds at least one character.
void SplitTextToDots(const std::string& text, int spacing, int headDots, std::vector<std::string>* pieces);

// Draws one character into a 16 x 16 glyph as the printer takes it before bit reversal:
// byte 2r holds columns 0-7 of row r, byte 2r+1 columns 8-15, the left-most column in the
// highest bit, 1 for ink. The face is "Arial", or "黑体" when the language is Chinese (0);
// bold, 13 units high.
void PrinterRenderGlyph(char32_t c, int language, uint8_t glyph[32]);

// ---- dot buffer and page ---------------------------------------------------------------------

constexpr int kPrinterDotRows = 180;
constexpr int kPrinterDotRowBytes = 45;  // 360 dots

// width' = min(width, 360), height' = min(height, 180); both nonzero: they become the page.
void PrinterSetPageSize(uint16_t width, uint16_t height);
int PrinterPageWidth();
int PrinterPageHeight();
int PrinterPrintMode();
// Bytes of a dot row the page is sent with: the page width in dots divided by 8, truncated
// (45 for 360 dots, 40 for 325), the row length the printer's firmware reads.
int PrinterPageRowBytes();
// Zeroes the page's part of the buffer, including the part-used byte of a page whose width is
// no multiple of 8 (so no dot of it is left for a wider page later).
void PrinterClearDots();
// Sets one dot. Mode 0: buffer row y, p = page width - 1 - x, bit (p mod 8) of byte (p div 8).
// Mode 1: axes swapped (row x, p = page width - 1 - y). Dots outside the page, and any dot in
// another mode, are ignored.
void PrinterSetDot(int x, int y);
// One-dot line; the end point (x2, y2) is not drawn.
void PrinterDrawLine(int x1, int y1, int x2, int y2);
// The line and a copy one dot beside it (to the right when steep, else above).
void PrinterDrawThickLine(int x1, int y1, int x2, int y2);
// Axes and ticks of a histogram page: kind 0 eight, 1 five, 2 six intervals.
void PrinterDrawHistogramAxes(int kind);
// Sends the page: DC2 'T' m w (h mod 256) (h div 256), then h rows of w bytes, one write a
// row (w = PrinterPageRowBytes(), h = page height). The buffer is kept.
void PrinterPrintDots(uint8_t m);
// One row of the dot buffer (kPrinterDotRowBytes bytes); nullptr for a row outside it.
const uint8_t* PrinterDotRow(int row);

// Back to the start-up state: page 360 x 150, mode 0, empty buffer, no write fault, default
// write time-out. The port and the installed output are kept.
void PrinterResetState();
