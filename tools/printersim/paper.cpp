#include "tools/printersim/paper.h"

#include <algorithm>

#include "platform/ui/draw/bitmap.h"

namespace printersim {

Paper::Paper(int maxRows) : maxRows_(std::max(maxRows, 64)) {}

void Paper::Ensure(int rows) {
  while (static_cast<int>(rows_.size()) < rows) rows_.emplace_back(kPaperDots, 0);
}

void Paper::Trim() {
  // A long session drops its oldest rows so memory stays bounded.
  const int excess = std::max(pos_, static_cast<int>(rows_.size())) - maxRows_;
  if (excess <= 0) return;
  const int drop = std::min(excess, static_cast<int>(rows_.size()));
  rows_.erase(rows_.begin(), rows_.begin() + drop);
  pos_ -= excess;
  if (pos_ < 0) pos_ = 0;
}

void Paper::Plot(int x, int row) {
  if (x < 0 || x >= kPaperDots || row < 0) return;
  const long r = static_cast<long>(pos_) + row;
  if (r >= maxRows_ + static_cast<long>(pos_)) return;
  Ensure(static_cast<int>(r) + 1);
  rows_[static_cast<size_t>(r)][static_cast<size_t>(x)] = 1;
  if (static_cast<int>(rows_.size()) > maxRows_ * 2) Trim();
}

void Paper::Advance(int n) {
  if (n <= 0) return;
  pos_ += n;
  Trim();
}

void Paper::Back(int n) {
  if (n <= 0) return;
  pos_ = std::max(0, pos_ - n);
}

int Paper::Height() const { return std::max(pos_, static_cast<int>(rows_.size())); }

bool Paper::Dot(int x, int row) const {
  if (x < 0 || x >= kPaperDots || row < 0 || row >= static_cast<int>(rows_.size())) return false;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(x)] != 0;
}

void Paper::Clear() {
  rows_.clear();
  pos_ = 0;
}

bool Paper::SavePng(const std::string& path, int scale, std::string* error) const {
  scale = std::clamp(scale, 1, 8);
  int rows = std::max(Height(), 1);
  // A picture is at most 16384 pixels high; the newest rows are the ones shown.
  const int maxRows = 16384 / scale;
  if (rows > maxRows) rows = maxRows;
  const int total = Height();
  draw::Bitmap bmp = draw::Bitmap::Create(kPaperDots * scale, rows * scale, draw::kWhite);
  if (!bmp) {
    if (error) *error = "cannot make a picture of the paper";
    return false;
  }
  uint8_t* data = bmp.Data();
  const int stride = bmp.Stride();
  for (int y = 0; y < rows; ++y) {
    const int row = total - 1 - y;  // picture row 0 is the newest paper row
    for (int x = 0; x < kPaperDots; ++x) {
      if (!Dot(x, row)) continue;
      for (int sy = 0; sy < scale; ++sy) {
        auto* px = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y * scale + sy) * stride) + x * scale;
        for (int sx = 0; sx < scale; ++sx) px[sx] = 0xFF000000u;
      }
    }
  }
  bmp.MarkDirty();
  return bmp.SavePng(path, error);
}

}  // namespace printersim
