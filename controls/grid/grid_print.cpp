// Printing the grid on a page device: the page set-up when printing begins, each page
// with its header band, the repeated fixed rows and columns, the body part, and the footer.
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "controls/grid/grid_ctrl.h"
#include "core/look.h"
#include "platform/print/page_device.h"
#include "platform/sys/clock.h"

namespace {
std::string& ApplicationTitle() {
  static std::string title = "Quorvex";
  return title;
}
constexpr int kScreenDpi = 96;

// Where pages begin along one direction: the index of the first row (or column) of each
// page, given the sizes from `first` on and the room a page has. A row that alone is
// taller than a page gets a page of its own (and only one).
std::vector<int> PageStarts(const std::vector<int>& sizes, int first, int count, int room) {
  std::vector<int> starts{first};
  int sum = 0;
  for (int i = first; i < count; ++i) {
    if (sum > 0 && sum + sizes[i] > room) {
      starts.push_back(i);
      sum = 0;
    }
    sum += sizes[i];
  }
  return starts;
}
}  // namespace

void CGridCtrl::SetApplicationTitle(const std::string& title) { ApplicationTitle() = title; }

void CGridCtrl::SetPrintMargins(int header, int footer, int left, int right, int top, int bottom, int gap) {
  if (header > -1) headerLines_ = header;
  if (footer > -1) footerLines_ = footer;
  if (left > -1) leftMarginChars_ = left;
  if (right > -1) rightMarginChars_ = right;
  if (top > -1) printSpare1_ = top;
  if (bottom > -1) printSpare2_ = bottom;
  if (gap > -1) headerGapLines_ = gap;
}

void CGridCtrl::GetPrintMargins(int* header, int* footer, int* left, int* right, int* top, int* bottom,
                                int* gap) const {
  if (header) *header = headerLines_;
  if (footer) *footer = footerLines_;
  if (left) *left = leftMarginChars_;
  if (right) *right = rightMarginChars_;
  if (top) *top = printSpare1_;
  if (bottom) *bottom = printSpare2_;
  if (gap) *gap = headerGapLines_;
}

bool CGridCtrl::Print(print::PageDevice* device, int fromPage, int toPage) {
  std::unique_ptr<print::PageDevice> own;
  if (!device) {
    own = std::make_unique<print::PageDevice>(print::ApplicationDeviceMode());
    device = own.get();
  }
  std::string name = GetWindowText();
  for (ui::Window* w = GetParent(); name.empty() && w; w = w->GetParent()) name = w->GetWindowText();
  if (device->StartDoc(name) <= 0) return false;
  draw::DC& dc = device->Dc();
  GridPrintInfo info;
  info.drawRect = draw::Rect(0, 0, dc.GetDeviceCaps(draw::DeviceCap::HorzRes), dc.GetDeviceCaps(draw::DeviceCap::VertRes));
  OnBeginPrinting(dc, info);
  const int last = toPage < 0 ? info.lastPage : std::min(toPage, info.lastPage);
  bool ok = true;
  for (int page = std::max(1, fromPage); page <= last && ok; ++page) {
    if (device->StartPage() <= 0) {
      ok = false;
      break;
    }
    info.currentPage = page;
    OnPrint(dc, info);
    ok = device->EndPage() > 0;
  }
  OnEndPrinting(dc, info);
  if (ok) ok = device->EndDoc() > 0;
  else device->AbortDoc();
  return ok;
}

void CGridCtrl::OnBeginPrinting(draw::DC& dc, GridPrintInfo& info) {
  const int dpiX = std::max(1, dc.GetDeviceCaps(draw::DeviceCap::LogPixelsX));
  const int dpiY = std::max(1, dc.GetDeviceCaps(draw::DeviceCap::LogPixelsY));
  printFont_ = draw::Font("Arial", -10, 400);
  const draw::Font old = dc.SelectFont(*printFont_);
  const draw::Size s = dc.GetTextExtent("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ");
  PrintMetrics& m = print_;
  m.charWidth = s.cx / 52;
  m.charHeight = s.cy;
  const int marginWidth = (leftMarginChars_ + rightMarginChars_) * m.charWidth;
  m.deviceWidth = std::max(1, dc.GetDeviceCaps(draw::DeviceCap::HorzRes));
  m.deviceHeight = std::max(1, dc.GetDeviceCaps(draw::DeviceCap::VertRes));
  if (printAcross_) {
    m.pageWidth = m.deviceWidth * kScreenDpi / dpiX * 3 / 4;
    m.pageHeight = m.deviceHeight * kScreenDpi / dpiY * 3 / 4;
  } else {
    m.pageWidth = TotalWidth() + marginWidth;
    m.pageHeight = static_cast<int>((static_cast<int64_t>(m.pageWidth) * m.deviceHeight + m.deviceWidth / 2) /
                                    m.deviceWidth);
  }
  m.bodyHeight = m.pageHeight - (headerLines_ + footerLines_ + 2 * headerGapLines_) * m.charHeight - FixedRowsHeight();
  const int down = static_cast<int>(PageStarts(rowHeights_, fixedRowCount_, rowCount_, m.bodyHeight).size());
  m.bodyWidth = m.pageWidth - FixedColumnsWidth() - marginWidth;
  m.pagesAcross = 1;
  if (printAcross_)
    m.pagesAcross = static_cast<int>(PageStarts(columnWidths_, fixedColumnCount_, columnCount_, m.bodyWidth).size());
  m.pageCount = down * m.pagesAcross;
  info.lastPage = m.pageCount;
  info.currentPage = 1;
  dc.SelectFont(old);
}

void CGridCtrl::OnEndPrinting(draw::DC&, GridPrintInfo&) { printFont_.reset(); }

// One row's cells from `firstCol` to `lastCol` at (x, y), while they fit `widthLimit`
// (no limit when negative), with the grid lines.
void CGridCtrl::PrintRowCells(draw::DC& dc, int row, int firstCol, int lastCol, int x, int y, int widthLimit) {
  const int h = rowHeights_[row];
  if (h <= 0) return;
  int used = 0;
  bool first = true;
  const draw::Pen old = dc.SelectPen(draw::Pen::Solid(draw::RGB(0, 0, 0)));
  for (int col = firstCol; col <= lastCol && col < columnCount_; ++col) {
    const int w = columnWidths_[col];
    if (w <= 0) continue;
    const draw::Rect rect(x + used, y, x + used + w - 1, y + h - 1);
    // A column wider than the page still prints (alone) on its own page.
    if (widthLimit >= 0 && used + w > widthLimit && used > 0) break;
    if (CGridCellBase* cell = GetCell(row, col)) cell->PrintCell(dc, row, col, rect);
    if (gridLines_ == 1 || gridLines_ == 3) {
      dc.MoveTo(rect.left, rect.bottom);
      dc.LineTo(rect.right + 1, rect.bottom);
      if (row == 0) {
        dc.MoveTo(rect.left, rect.top);
        dc.LineTo(rect.right + 1, rect.top);
      }
    }
    if (gridLines_ == 2 || gridLines_ == 3) {
      dc.MoveTo(rect.right, rect.top);
      dc.LineTo(rect.right, rect.bottom + 1);
      if (first) {
        dc.MoveTo(rect.left, rect.top);
        dc.LineTo(rect.left, rect.bottom + 1);
      }
    }
    first = false;
    used += w;
  }
  dc.SelectPen(old);
}

void CGridCtrl::PrintColumnHeadings(draw::DC& dc, GridPrintInfo&) {
  draw::Font old;
  if (printFont_) old = dc.SelectFont(*printFont_);
  int y = 0;
  for (int row = 0; row < fixedRowCount_; ++row) {
    if (rowHeights_[row] <= 0) continue;
    if (print_.firstCol >= fixedColumnCount_) PrintRowCells(dc, row, 0, fixedColumnCount_ - 1, 0, y, -1);
    PrintRowCells(dc, row, print_.firstCol, columnCount_ - 1, FixedColumnsWidth(), y, print_.bodyWidth);
    y += rowHeights_[row];
  }
  if (printFont_) dc.SelectFont(old);
}

void CGridCtrl::OnPrint(draw::DC& dc, GridPrintInfo& info) {
  PrintMetrics& m = print_;
  if (m.pageWidth <= 0 || m.pageHeight <= 0) return;
  const int saved = dc.SaveDC();
  dc.SetMapMode(draw::MapMode::Anisotropic);
  dc.SetWindowExt(m.pageWidth, m.pageHeight);
  dc.SetViewportExt(m.deviceWidth, m.deviceHeight);
  const int left = -leftMarginChars_ * m.charWidth;
  const int bandWidth = m.pageWidth - (leftMarginChars_ + rightMarginChars_) * m.charWidth;
  dc.SetWindowOrg(left, 0);
  info.drawRect = draw::Rect(0, 0, bandWidth, headerLines_ * m.charHeight);
  PrintHeader(dc, info);
  const int top = (headerLines_ + headerGapLines_) * m.charHeight;
  dc.SetWindowOrg(left, -top);

  // Which row page and column page this page is.
  const int across = std::max(1, m.pagesAcross);
  const int n = info.currentPage;
  const int rowPage = n / across + (n % across ? 1 : 0);
  const int colPage = n % across ? n % across : across;
  const std::vector<int> rowStarts = PageStarts(rowHeights_, fixedRowCount_, rowCount_, m.bodyHeight);
  const std::vector<int> colStarts = PageStarts(columnWidths_, fixedColumnCount_, columnCount_, m.bodyWidth);
  if (rowPage > static_cast<int>(rowStarts.size())) {
    dc.RestoreDC(saved);
    return;
  }
  m.firstRow = rowStarts[rowPage - 1];
  const int lastRow = rowPage < static_cast<int>(rowStarts.size()) ? rowStarts[rowPage] - 1 : rowCount_ - 1;
  m.firstCol = colStarts[std::min(colPage, static_cast<int>(colStarts.size())) - 1];
  if (printFont_) dc.SelectFont(*printFont_);
  const int fixedHeight = FixedRowsHeight(), fixedWidth = FixedColumnsWidth();
  // Fixed columns of the page's rows, then the heading rows.
  for (int r = m.firstRow, y = fixedHeight; r <= lastRow; ++r) {
    PrintRowCells(dc, r, 0, fixedColumnCount_ - 1, 0, y, -1);
    y += rowHeights_[r];
  }
  PrintColumnHeadings(dc, info);
  // The body.
  for (int r = m.firstRow, y = fixedHeight; r <= lastRow; ++r) {
    PrintRowCells(dc, r, m.firstCol, columnCount_ - 1, fixedWidth, y, m.bodyWidth);
    y += rowHeights_[r];
  }

  dc.SetWindowOrg(left, -(m.pageHeight - footerLines_ * m.charHeight));
  info.drawRect = draw::Rect(0, 0, bandWidth, footerLines_ * m.charHeight);
  PrintFooter(dc, info);
  dc.RestoreDC(saved);
}

void CGridCtrl::PrintHeader(draw::DC& dc, GridPrintInfo& info) {
  std::string title;
  for (ui::Window* w = GetParent(); title.empty() && w; w = w->GetParent()) title = w->GetWindowText();
  draw::Font bold = printFont_ ? *printFont_ : draw::Font("Arial", -10, 400);
  bold.weight = 700;
  const draw::Font old = dc.SelectFont(bold);
  const draw::BkMode oldMode = dc.SetBkMode(draw::BkMode::Transparent);
  const draw::Rect band = info.drawRect;
  if (!title.empty()) dc.DrawText(title, band, 0x825);
  if (!ApplicationTitle().empty()) dc.DrawText(ApplicationTitle(), band, 0x826);
  dc.SelectFont(old);
  dc.SetBkMode(oldMode);
  const draw::Pen pen = dc.SelectPen(draw::Pen::Solid(draw::RGB(0, 0, 0)));
  dc.MoveTo(band.left, band.bottom);
  dc.LineTo(band.right, band.bottom);
  dc.SelectPen(pen);
}

void CGridCtrl::PrintFooter(draw::DC& dc, GridPrintInfo& info) {
  char page[64];
  std::snprintf(page, sizeof page, "Page %d of %d", info.currentPage, info.lastPage);
  const sys::LocalTime now = sys::Clock::Now();
  std::tm tm{};
  tm.tm_year = now.year - 1900;
  tm.tm_mon = now.month - 1;
  tm.tm_mday = now.day;
  tm.tm_hour = now.hour;
  tm.tm_min = now.minute;
  tm.tm_sec = now.second;
  tm.tm_wday = now.dayOfWeek;
  char when[128];
  std::strftime(when, sizeof when, "%c", &tm);
  const draw::Rect band = info.drawRect;
  const draw::Pen pen = dc.SelectPen(draw::Pen::Solid(draw::RGB(0, 0, 0)));
  dc.MoveTo(band.left, band.top);
  dc.LineTo(band.right, band.top);
  dc.SelectPen(pen);
  // The footer's font follows the layout scale of the screens (15 x scale, truncated).
  draw::Font font("Arial", static_cast<int>(CurrentLook().scale * 15), 400);
  font.charset = 1;
  const draw::Font old = dc.SelectFont(font);
  const draw::BkMode oldMode = dc.SetBkMode(draw::BkMode::Transparent);
  const draw::Color oldColour = dc.SetTextColor(draw::RGB(0, 0, 0));
  dc.DrawText(page, band, 0x824);
  dc.DrawText(when, band, 0x826);
  dc.SelectFont(old);
  dc.SetBkMode(oldMode);
  dc.SetTextColor(oldColour);
}
