#pragma once
// The simulated thermal printer's command interpreter, fed byte by byte. It knows the
// commands the analyzer's driver sends and lays their output onto the paper:
//  - printable bytes fill a line; CR or LF prints it (an empty line feeds one line);
//  - ESC 'w' 1 enlarges what follows to double height (a full 48-column row still fits the
//    384-dot head); ESC ' ' n adds n dots after each character; ESC 'A' n adds n dot rows
//    after each printed line;
//  - ESC '+' 'w' n <32 bytes> defines a 16 x 16 glyph (left-most column in bit 0 of each
//    byte), ESC 'K' 'w' n prints it as a double-width character;
//  - ESC 'J' n feeds n dot rows, ESC 'j' n goes back n rows;
//  - DC2 'T' m w hL hH <rows> prints a dot page: the first row received at the bottom, the
//    page's right-most column in bit 0 of each row's first byte;
//  - DC3 "(ACV" <48 pattern bytes> '+' 'P'… "C-)" prints a separator, one pattern row per 'P';
//  - CAN drops the line being collected; ESC '@' resets the modes and the glyphs;
//  - the other commands of the driver are taken with their arguments and leave the paper as
//    it is. Unknown ESC and DC2 commands are taken as two bytes.
// The input is never held beyond one command's fixed part, so garbage cannot grow memory.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/printersim/paper.h"

namespace printersim {

class Printer {
 public:
  explicit Printer(Paper* paper);

  void Feed(const uint8_t* data, size_t len);
  void Feed(const std::string& bytes) { Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()); }

  // Prints the line being collected, as a CR would.
  void FlushLine();
  // One entry per command taken ("ESC J 10", "DC2 T 1 45 150", "TEXT Hello"), when enabled.
  void EnableLog(bool on) { logOn_ = on; }
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  // Commands taken since the start (for a session summary).
  long CommandCount() const { return commands_; }

 private:
  struct Cell {
    bool glyph = false;
    uint8_t code = 0;
    bool tall = false;
  };
  enum class State { Idle, Command, DotRows, Pattern };

  void Byte(uint8_t b);
  void StartCommand(uint8_t b);
  void CommandByte(uint8_t b);
  // Total length of the command collected so far, or 0 while it is not known yet.
  size_t CommandLength() const;
  void Execute();
  void PatternByte(uint8_t b);
  void DotRowByte(uint8_t b);
  void PrintLine();
  void AddCell(const Cell& c);
  int CellWidth(const Cell& c) const;
  void Note(const std::string& s);
  void Reset();

  Paper* paper_;
  State state_ = State::Idle;
  std::vector<uint8_t> cmd_;
  // Dot page in progress.
  int rowBytes_ = 0, rowsLeft_ = 0, rowIndex_ = 0;
  std::vector<uint8_t> row_;
  // Separator in progress.
  std::vector<uint8_t> pattern_;
  int patternRows_ = 0;
  int patternStage_ = 0;  // 0 bytes, 1 'P's, 2 '-', 3 ')'
  // Modes.
  bool tall_ = false;
  int charSpacing_ = 0;
  int lineSpacing_ = 0;
  std::vector<Cell> line_;
  int lineWidth_ = 0;
  std::string lineText_;
  std::array<std::array<uint8_t, 32>, 256> glyphs_{};
  std::array<bool, 256> glyphDefined_{};
  bool logOn_ = false;
  std::vector<std::string> log_;
  long commands_ = 0;
};

}  // namespace printersim
