#pragma once
// The text lines of the QC print-outs on the built-in thermal printer.
#include <cstdint>
#include <string>

#include "printing/thermal_printer.h"

namespace qc {

// A line in double height, and a plain line at a character pitch.
inline void ThermalWide(const std::string& text) { PrinterPrintText(text, 16, 1, 1); }
inline void ThermalPlain(const std::string& text, uint8_t pitch = 16) { PrinterPrintText(text, pitch, 0, 1); }

// The text filled with blanks to `n` characters (a longer one stays as it is).
inline std::string PadRight(std::string s, size_t n) {
  if (s.size() < n) s.append(n - s.size(), ' ');
  return s;
}

}  // namespace qc
