#pragma once
// What the QC page print-outs change for the dot-matrix printers a laboratory may have as its
// default printer: a narrower inset of the table texts, and smaller point marks on one model.
#include <string>

namespace qc {

// EPSON LX-300+, Jolimark LQ-300KII, Panasonic KX-P1121, EPSON LQ-300K+II, EPSON LQ-300+II
// ESC/P2, compared without regard to letter case.
bool IsDotMatrixPrinter(const std::string& name);
// The EPSON LX-300+: its point marks are drawn smaller.
bool HasSmallPointMarks(const std::string& name);
// The inset of a table text from the top-left corner of its cell, in device units.
inline int TableTextInset(const std::string& printer) { return IsDotMatrixPrinter(printer) ? 1 : 6; }

}  // namespace qc
