#pragma once
// Two further cell kinds with editors of their own: CGridCellCombo (edited through a
// drop-down list) and CGridCellNumeric (holds a number, shown in the number format).
#include <string>
#include <vector>

#include "controls/grid/grid_cell.h"

class CGridCellCombo : public CGridCell {
 public:
  enum : uint32_t { kDropDown = 2, kDropDownList = 3 };
  void SetOptions(const std::vector<std::string>& options) { options_ = options; }
  const std::vector<std::string>& GetOptions() const { return options_; }
  void SetStyle(uint32_t style) { style_ = style; }
  uint32_t GetStyle() const { return style_; }

  draw::Size GetCellExtent(GridTextMeasurer* measurer) const override;
  bool Draw(draw::DC& dc, int row, int col, draw::Rect rect, bool eraseBackground) override;
  bool Edit(int row, int col, const draw::Rect& rect, draw::Point point, unsigned id, unsigned firstChar) override;
  CellEditorHandle* GetEditWnd() const override;

 private:
  std::vector<std::string> options_;
  uint32_t style_ = kDropDown;
};

// How numbers are written: the separators, digits after the point, grouping and where
// the sign and the currency symbol go (the meanings of the desktop's number settings).
struct GridNumberFormat {
  int digits = 2;
  bool leadingZero = true;
  int grouping = 3;
  std::string decimalSep = ".";
  std::string thousandSep = ",";
  std::string negativeSign = "-";
  int negativeOrder = 1;  // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
  std::string currencySymbol = "$";
  int currencyPositiveOrder = 0;  // 0 "$1.1", 1 "1.1$", 2 "$ 1.1", 3 "1.1 $"
  int currencyNegativeOrder = 0;  // 0 "($1.1)", 1 "-$1.1", 3 "$1.1-", 4 "(1.1$)", 5 "-1.1$"
};
// The user's settings.
const GridNumberFormat& UserNumberFormat();

class CGridCellNumeric : public CGridCell {
 public:
  enum : unsigned { kReal = 1, kCurrency = 2, kNegative = 4, kSilent = 8 };
  // Parses `text` and stores it reformatted; a text that is no number leaves the cell as
  // it was.
  void SetText(const std::string& text) override;
  // Returns the previous flags, or -1 (nothing changed) for real and currency together.
  int SetFlags(unsigned flags);
  unsigned GetFlags() const { return flags_; }
  double GetNumber() const { return value_; }
  void SetNumber(double value);
  void SetNumberFormat(const GridNumberFormat* format) { format_ = format; }
  const GridNumberFormat& Format() const { return format_ ? *format_ : UserNumberFormat(); }
  bool Edit(int row, int col, const draw::Rect& rect, draw::Point point, unsigned id, unsigned firstChar) override;

  // The parsing and formatting the cell applies; nullopt when `text` is no number.
  static std::optional<std::pair<double, std::string>> ParseAndFormat(const std::string& text, unsigned flags,
                                                                      const GridNumberFormat& f);

 private:
  unsigned flags_ = 0;
  double value_ = 0.0;
  const GridNumberFormat* format_ = nullptr;
};

inline std::unique_ptr<CGridCellBase> MakeGridCellCombo() { return std::make_unique<CGridCellCombo>(); }
inline std::unique_ptr<CGridCellBase> MakeGridCellNumeric() { return std::make_unique<CGridCellNumeric>(); }
