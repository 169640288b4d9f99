// The grid's texts as a delimited text file: one line per row, row 0 first (the headings),
// fields separated by the caller's separator, lines ended by CR LF, text in UTF-8.
#include <fstream>
#include <string>

#include "controls/grid/grid_ctrl.h"
#include "platform/sys/atomic_file.h"

bool CGridCtrl::SaveToTextFile(const std::string& path, char separator) {
  std::string text;
  for (int r = 0; r < rowCount_; ++r) {
    for (int c = 0; c < columnCount_; ++c) {
      text += GetItemText(r, c);
      if (c + 1 < columnCount_) text += separator;
    }
    text += "\r\n";
  }
  if (!sys::WriteFileAtomic(path, text)) {
    ReportError("Unable to save grid list");
    return false;
  }
  return true;
}

namespace {

std::vector<std::string> SplitFields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t end = line.find(separator, start);
    fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return fields;
}

}  // namespace

void CGridCtrl::LoadFromTextFile(const std::string& path, char separator) {
  if (virtualMode_) return;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ReportError("Unable to load grid data");
    return;
  }
  DeleteAllItems();
  std::string line;
  bool first = true;
  // Lines are read whole, however long: a long line is one row, not several.
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = SplitFields(line, separator);
    if (first) {
      first = false;
      for (const std::string& f : fields) InsertColumn(f, DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1);
      continue;
    }
    const int row = InsertRow(fields[0], -1);
    if (row < 0) break;
    for (size_t m = 1; m < fields.size() && static_cast<int>(m) < columnCount_; ++m) {
      if (CGridCellBase* cell = GetCell(row, static_cast<int>(m))) {
        cell->SetText(fields[m]);
        MarkModified(true, row, static_cast<int>(m));
      }
    }
  }
  if (in.bad()) ReportError("Unable to load grid data");
  for (int c = 0; c < columnCount_; ++c)
    if (ColumnWidthAt(c) > 0) FitColumnToContent(c, static_cast<unsigned>(autoSizeStyle_), false);
  UpdateScrollBars();
}
