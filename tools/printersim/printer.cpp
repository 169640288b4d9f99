#include "tools/printersim/printer.h"

#include <algorithm>
#include <cstdio>

#include "tools/printersim/builtin_font.h"

namespace printersim {

namespace {

constexpr uint8_t LF = 0x0A, CR = 0x0D, DC2 = 0x12, DC3 = 0x13, CAN = 0x18, ESC = 0x1B;
constexpr int kPatternBytes = 48;
constexpr int kMaxPatternRows = 64;

std::string Hex(uint8_t b) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%u", b);
  return buf;
}

std::string Printable(uint8_t b) {
  if (b >= 0x21 && b < 0x7F) return std::string(1, static_cast<char>(b));
  return "0x" + [&] {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", b);
    return std::string(buf);
  }();
}

}  // namespace

Printer::Printer(Paper* paper) : paper_(paper) {}

void Printer::Note(const std::string& s) {
  ++commands_;
  if (logOn_) log_.push_back(s);
}

void Printer::Reset() {
  tall_ = false;
  charSpacing_ = 0;
  lineSpacing_ = 0;
  line_.clear();
  lineWidth_ = 0;
  lineText_.clear();
  glyphDefined_.fill(false);
}

void Printer::Feed(const uint8_t* data, size_t len) {
  for (size_t i = 0; i < len; ++i) Byte(data[i]);
}

void Printer::Byte(uint8_t b) {
  switch (state_) {
    case State::Idle: break;
    case State::Command: CommandByte(b); return;
    case State::DotRows: DotRowByte(b); return;
    case State::Pattern: PatternByte(b); return;
  }
  if (b == ESC || b == DC2 || b == DC3) {
    StartCommand(b);
  } else if (b == CR || b == LF) {
    Note(b == CR ? "CR" : "LF");
    PrintLine();
  } else if (b == CAN) {
    Note("CAN");
    line_.clear();
    lineWidth_ = 0;
    lineText_.clear();
  } else if (b >= 0x20) {
    AddCell(Cell{false, b, tall_});
    lineText_ += static_cast<char>(b < 0x80 ? b : '?');
  }
  // Other control bytes have no meaning here and are dropped.
}

void Printer::StartCommand(uint8_t b) {
  cmd_.assign(1, b);
  state_ = State::Command;
}

size_t Printer::CommandLength() const {
  if (cmd_.size() < 2) return 0;
  const uint8_t c = cmd_[1];
  if (cmd_[0] == ESC) {
    switch (c) {
      case ' ': case 'J': case 'j': case 'U': case 'w': case 'W': case 'I': case 'A': case '-': case '#':
        return 3;
      case 's': case 'K': return 4;
      case '+': return 4 + 32;
      default: return 2;  // ESC '@', ESC 'H' and anything unknown
    }
  }
  if (cmd_[0] == DC2) {
    switch (c) {
      case 'F': case 'G': case 'U': case '>': case '%': case '~': case 'D': case 'e': case 'Y': case 'O':
        return 3;
      case 'S': return 4;
      case 'T': return 6;
      default: return 2;  // DC2 'V', DC2 'W' and anything unknown
    }
  }
  return 5;  // DC3 "(ACV"
}

void Printer::CommandByte(uint8_t b) {
  if (cmd_[0] == DC3) {
    static const uint8_t kLead[] = {'(', 'A', 'C', 'V'};
    const size_t k = cmd_.size() - 1;
    if (b != kLead[k]) {
      // Not a separator: the DC3 stands alone and this byte starts afresh.
      state_ = State::Idle;
      cmd_.clear();
      Note("DC3 ?");
      Byte(b);
      return;
    }
    cmd_.push_back(b);
    if (cmd_.size() == 5) {
      state_ = State::Pattern;
      pattern_.clear();
      patternRows_ = 0;
      patternStage_ = 0;
    }
    return;
  }
  cmd_.push_back(b);
  const size_t need = CommandLength();
  if (need == 0 || cmd_.size() < need) return;
  state_ = State::Idle;
  Execute();
}

void Printer::Execute() {
  const uint8_t lead = cmd_[0], c = cmd_[1];
  const uint8_t a1 = cmd_.size() > 2 ? cmd_[2] : 0;
  const std::string name = std::string(lead == ESC ? "ESC " : "DC2 ") + Printable(c);
  if (lead == ESC) {
    switch (c) {
      case 'w': tall_ = a1 != 0; break;
      case ' ': charSpacing_ = a1; break;
      case 'A': lineSpacing_ = a1; break;
      case 'J':
        FlushLine();
        paper_->Advance(a1);
        break;
      case 'j':
        FlushLine();
        paper_->Back(a1);
        break;
      case '@':
        Reset();
        break;
      case 'K':
        if (cmd_[2] == 'w') {
          AddCell(Cell{true, cmd_[3], tall_});
          lineText_ += "[g" + Hex(cmd_[3]) + "]";
        }
        Note(name + " " + Printable(cmd_[2]) + " " + Hex(cmd_[3]));
        return;
      case '+':
        if (cmd_[2] == 'w') {
          std::copy(cmd_.begin() + 4, cmd_.end(), glyphs_[cmd_[3]].begin());
          glyphDefined_[cmd_[3]] = true;
        }
        Note(name + " " + Printable(cmd_[2]) + " " + Hex(cmd_[3]));
        return;
      default: break;
    }
  } else if (c == 'T') {
    FlushLine();
    rowBytes_ = cmd_[3];
    rowsLeft_ = cmd_[4] + 256 * cmd_[5];
    rowIndex_ = 0;
    row_.clear();
    Note("DC2 T " + Hex(cmd_[2]) + " " + Hex(cmd_[3]) + " " + std::to_string(rowsLeft_));
    if (rowBytes_ > 0 && rowsLeft_ > 0) {
      state_ = State::DotRows;
    }
    return;
  }
  std::string text = name;
  for (size_t i = 2; i < cmd_.size(); ++i) text += " " + Hex(cmd_[i]);
  Note(text);
}

void Printer::DotRowByte(uint8_t b) {
  row_.push_back(b);
  if (static_cast<int>(row_.size()) < rowBytes_) return;
  const int w = rowBytes_ * 8;
  for (int i = 0; i < rowBytes_; ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      if (row_[static_cast<size_t>(i)] & (1u << bit)) paper_->Plot(w - 1 - (8 * i + bit), rowIndex_);
    }
  }
  row_.clear();
  ++rowIndex_;
  if (--rowsLeft_ == 0) {
    paper_->Advance(rowIndex_);
    state_ = State::Idle;
  }
}

void Printer::PatternByte(uint8_t b) {
  auto abandon = [&] {
    state_ = State::Idle;
    Note("DC3 ( incomplete");
    Byte(b);
  };
  switch (patternStage_) {
    case 0:
      if (static_cast<int>(pattern_.size()) < kPatternBytes) {
        pattern_.push_back(b);
        return;
      }
      if (b != '+') return abandon();
      patternStage_ = 1;
      return;
    case 1:
      if (b == 'P') {
        if (patternRows_ < kMaxPatternRows) ++patternRows_;
        return;
      }
      if (b != 'C') return abandon();
      patternStage_ = 2;
      return;
    case 2:
      if (b != '-') return abandon();
      patternStage_ = 3;
      return;
    default:
      if (b != ')') return abandon();
      break;
  }
  state_ = State::Idle;
  FlushLine();
  const int rows = std::max(1, patternRows_);
  for (int r = 0; r < rows; ++r) {
    for (int i = 0; i < kPatternBytes; ++i) {
      for (int k = 0; k < 8; ++k) {
        if (pattern_[static_cast<size_t>(i)] & (0x80u >> k)) paper_->Plot(8 * i + k, r);
      }
    }
  }
  paper_->Advance(rows);
  Note("DC3 PATTERN " + std::to_string(patternRows_));
}

int Printer::CellWidth(const Cell& c) const { return (c.glyph ? 16 : kFontWidth) + charSpacing_; }

void Printer::AddCell(const Cell& c) {
  const int w = CellWidth(c);
  if (!line_.empty() && lineWidth_ + w > kPaperDots) PrintLine();  // the head is full: wrap
  line_.push_back(c);
  lineWidth_ += w;
}

void Printer::FlushLine() {
  if (!line_.empty()) PrintLine();
}

void Printer::PrintLine() {
  int height = tall_ ? 2 * kFontHeight : kFontHeight;
  if (!line_.empty()) {
    height = 0;
    for (const Cell& c : line_) height = std::max(height, c.tall ? 32 : 16);
  }
  int x = 0;
  for (const Cell& c : line_) {
    const int h = c.tall ? 32 : 16;
    const int w = c.glyph ? 16 : kFontWidth;
    for (int r = 0; r < h; ++r) {
      const int src = c.tall ? r / 2 : r;  // source row, 0 at the top
      for (int cx = 0; cx < w; ++cx) {
        bool ink = false;
        if (c.glyph) {
          const auto& g = glyphs_[c.code];
          ink = glyphDefined_[c.code] && (g[static_cast<size_t>(2 * src + cx / 8)] & (1u << (cx % 8)));
        } else {
          ink = BuiltinFontDot(c.code, cx, src);
        }
        if (ink) paper_->Plot(x + cx, h - 1 - r);  // cells stand on the line's bottom row
      }
    }
    x += CellWidth(c);
  }
  if (!line_.empty()) Note("TEXT " + lineText_);
  paper_->Advance(height + lineSpacing_);
  line_.clear();
  lineWidth_ = 0;
  lineText_.clear();
}

}  // namespace printersim
