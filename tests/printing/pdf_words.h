#pragma once
// The words of a PDF page with their boxes, as poppler's pdftotext -bbox reports them (points,
// y growing downwards from the top of the sheet).
#include <cstdint>
#include <string>
#include <vector>

struct PdfWord {
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::string text;
};

// The words of every page, page by page; empty when the PDF cannot be read.
std::vector<std::vector<PdfWord>> PdfWords(const std::vector<uint8_t>& pdf);
// The first word of `page` equal to `text`, or nullptr.
const PdfWord* FindWord(const std::vector<PdfWord>& page, const std::string& text, int occurrence = 0);
// Logical report units (7200 per inch, origin at the printable area's corner 100 dots of 600 dpi
// into the sheet) to points on the sheet.
inline double UnitsToPoints(double units) { return units / 100.0 + 12.0; }
// Renders the first page as png/<name>.png beside the test program (to look at); false when it
// could not be rendered.
bool SavePagePng(const std::vector<uint8_t>& pdf, const std::string& name);
