#pragma once
// Cell addresses of every grid operation: one cell, or an inclusive block of cells.
// -1 means "none" in either.


struct CCellID {
  int row = -1;
  int col = -1;

  constexpr CCellID() = default;
  constexpr CCellID(int r, int c) : row(r), col(c) {}
  constexpr bool IsValid() const { return row >= 0 && col >= 0; }
  friend constexpr bool operator==(const CCellID&, const CCellID&) = default;
};

class CCellSpan {
 public:
  constexpr CCellSpan() = default;
  constexpr CCellSpan(int minRow, int minCol, int maxRow, int maxCol)
      : minRow_(minRow), minCol_(minCol), maxRow_(maxRow), maxCol_(maxCol) {}

  constexpr void Set(int minRow, int minCol, int maxRow, int maxCol) {
    minRow_ = minRow;
    minCol_ = minCol;
    maxRow_ = maxRow;
    maxCol_ = maxCol;
  }
  constexpr int GetMinRow() const { return minRow_; }
  constexpr int GetMinCol() const { return minCol_; }
  constexpr int GetMaxRow() const { return maxRow_; }
  constexpr int GetMaxCol() const { return maxCol_; }
  constexpr void SetMinRow(int v) { minRow_ = v; }
  constexpr void SetMinCol(int v) { minCol_ = v; }
  constexpr void SetMaxRow(int v) { maxRow_ = v; }
  constexpr void SetMaxCol(int v) { maxCol_ = v; }

  // A span by itself: all four bounds set and not reversed.
  constexpr bool IsValid() const {
    return minRow_ >= 0 && minCol_ >= 0 && maxRow_ >= 0 && maxCol_ >= 0 && minRow_ <= maxRow_ &&
           minCol_ <= maxCol_;
  }
  constexpr bool Contains(int row, int col) const {
    return minRow_ <= row && row <= maxRow_ && minCol_ <= col && col <= maxCol_;
  }
  constexpr bool Contains(const CCellID& c) const { return Contains(c.row, c.col); }
  constexpr CCellID TopLeft() const { return CCellID(minRow_, minCol_); }
  // The overlap; may be an invalid span when the two do not meet.
  constexpr CCellSpan Intersect(const CCellSpan& o) const {
    return CCellSpan(minRow_ > o.minRow_ ? minRow_ : o.minRow_, minCol_ > o.minCol_ ? minCol_ : o.minCol_,
                     maxRow_ < o.maxRow_ ? maxRow_ : o.maxRow_, maxCol_ < o.maxCol_ ? maxCol_ : o.maxCol_);
  }
  friend constexpr bool operator==(const CCellSpan&, const CCellSpan&) = default;

 private:
  int minRow_ = -1, minCol_ = -1, maxRow_ = -1, maxCol_ = -1;
};
