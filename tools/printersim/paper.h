#pragma once
// The paper strip of the simulated thermal printer, as the operator reads it: the printer
// adds each new row above the ones before (the row printed first ends up at the bottom), so
// the picture shows the newest row at the top. One dot is one pixel (times a scale).
#include <cstdint>
#include <string>
#include <vector>

namespace printersim {

constexpr int kPaperDots = 384;  // dots across the print head

class Paper {
 public:
  // Keeps at most `maxRows` dot rows; beyond that the oldest rows are dropped.
  explicit Paper(int maxRows = 16000);

  // Sets the dot at column x (0 = the reader's left), `row` rows above the current position.
  // Outside the strip's width: ignored.
  void Plot(int x, int row);
  // Moves the current position `n` rows up (forward feed) or down (reverse feed; not below
  // the start of the strip).
  void Advance(int n);
  void Back(int n);

  // Rows printed or fed so far (the height of the picture).
  int Height() const;
  int Position() const { return pos_; }
  // Dot at column x, row `row` counted from the bottom (the first row printed).
  bool Dot(int x, int row) const;
  void Clear();

  // The strip as a PNG, newest row at the top; each dot `scale` x `scale` pixels. An empty
  // strip gives a picture one row high.
  bool SavePng(const std::string& path, int scale = 1, std::string* error = nullptr) const;

 private:
  void Ensure(int rows);
  void Trim();
  int maxRows_;
  int pos_ = 0;
  std::vector<std::vector<uint8_t>> rows_;  // rows_[0] is the oldest row kept
};

}  // namespace printersim
