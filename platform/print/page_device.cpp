#include "platform/print/page_device.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/print/printers.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/clock.h"

namespace print {

namespace {

cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  if (closure) {
    auto* out = static_cast<std::vector<uint8_t>*>(closure);
    out->insert(out->end(), data, data + length);
  }
  return CAIRO_STATUS_SUCCESS;
}

int Dots(double mm, int dpi) { return static_cast<int>(std::floor(mm / 25.4 * dpi + 0.5)); }

// Makes every folder of `dir` (ending in '/').
bool MakeDirs(const std::string& dir, std::string* error) {
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    std::string part = dir.substr(0, i);
    if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      if (error) *error = "cannot create " + part + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

// A file name from the document name: letters, digits and a few marks kept.
std::string SafeName(const std::string& doc) {
  std::string out;
  for (unsigned char c : doc) {
    if (c >= 0x80 || std::isalnum(c) || c == '-' || c == '_' || c == '.')
      out += static_cast<char>(c);
    else if (c == ' ')
      out += '_';
  }
  while (!out.empty() && out.front() == '.') out.erase(out.begin());
  if (out.size() > 80) out.resize(80);
  return out.empty() ? "document" : out;
}

}  // namespace

PageDevice::PageDevice(const DeviceMode& mode) : mode_(mode) {
  if (mode_.dpi < 72 || mode_.dpi > 2400) mode_.dpi = 600;
  if (mode_.copies < 1) mode_.copies = 1;
  if (mode_.marginMm < 0) mode_.marginMm = 0;
  printer_ = mode_.printer.empty() ? DefaultPrinterName() : mode_.printer;
  const PaperMm paper = PaperSizeMm(mode_);
  if (mode_.marginMm * 2 >= std::min(paper.width, paper.height)) mode_.marginMm = 0;
  widthPt_ = paper.width / 25.4 * 72.0;
  heightPt_ = paper.height / 25.4 * 72.0;

  draw::DeviceInfo info;
  info.printer = true;
  info.dpiX = info.dpiY = mode_.dpi;
  info.surfaceScale = 72.0 / mode_.dpi;
  info.physicalWidth = Dots(paper.width, mode_.dpi);
  info.physicalHeight = Dots(paper.height, mode_.dpi);
  info.offsetX = info.offsetY = Dots(mode_.marginMm, mode_.dpi);
  info.width = info.physicalWidth - 2 * info.offsetX;
  info.height = info.physicalHeight - 2 * info.offsetY;
  // Until a document starts, drawing goes to a page nobody keeps.
  cairo_surface_t* scratch = cairo_pdf_surface_create_for_stream(AppendBytes, nullptr, widthPt_, heightPt_);
  dc_ = draw::DC(scratch, info);
  dc_.SetDeviceOrigin(info.offsetX, info.offsetY);
  dc_.SetDeviceClip({draw::Rect(info.offsetX, info.offsetY, info.offsetX + info.width, info.offsetY + info.height)});
  result_.printer = printer_;
}

PageDevice::~PageDevice() {
  if (state_ != State::Idle) AbortDoc();
}

int PageDevice::Fail(const std::string& why) {
  result_.ok = false;
  result_.error = why;
  return 0;
}

void PageDevice::NewSurface() {
  pdf_.clear();
  cairo_surface_t* s = cairo_pdf_surface_create_for_stream(AppendBytes, &pdf_, widthPt_, heightPt_);
  cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_TITLE, docName_.c_str());
  cairo_pdf_surface_set_metadata(s, CAIRO_PDF_METADATA_CREATOR, "Quorvex");
  dc_.ReplaceSurface(s);
}

int PageDevice::StartDoc(const std::string& docName) {
  if (state_ != State::Idle) return Fail("a document is already open");
  result_ = JobResult();
  result_.printer = printer_;
  if (!dc_.IsValid()) return Fail("no page device");
  docName_ = docName;
  pages_ = 0;
  NewSurface();
  state_ = State::InDoc;
  return 1;
}

int PageDevice::StartPage() {
  if (state_ != State::InDoc) return Fail(state_ == State::Idle ? "no document started" : "a page is already open");
  state_ = State::InPage;
  return 1;
}

int PageDevice::EndPage() {
  if (state_ != State::InPage) return Fail("no page started");
  cairo_surface_show_page(dc_.Surface());
  ++pages_;
  state_ = State::InDoc;
  return 1;
}

int PageDevice::AbortDoc() {
  if (state_ == State::Idle) return Fail("no document started");
  state_ = State::Idle;
  cairo_surface_t* s = cairo_pdf_surface_create_for_stream(AppendBytes, nullptr, widthPt_, heightPt_);
  dc_.ReplaceSurface(s);  // the unfinished document is dropped with its surface
  pdf_.clear();
  result_.ok = false;
  result_.error = "aborted";
  return 1;
}

int PageDevice::EndDoc() {
  if (state_ == State::Idle) return Fail("no document started");
  if (state_ == State::InPage) EndPage();
  state_ = State::Idle;
  // Finishing the surface writes the rest of the PDF into pdf_; then start a fresh one.
  cairo_surface_t* scratch = cairo_pdf_surface_create_for_stream(AppendBytes, nullptr, widthPt_, heightPt_);
  dc_.ReplaceSurface(scratch);
  result_.pages = pages_;
  if (pages_ == 0) return Fail("the document has no pages");

  // The file first: kept for the PDF printer, and the spool copy for a CUPS queue.
  const std::string dir = PrintOutDir();
  std::string err;
  if (!MakeDirs(dir, &err)) return Fail(err);
  const sys::LocalTime t = sys::Clock::Now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "_%04d%02d%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  const std::string base = dir + SafeName(docName_) + stamp;
  std::string path = base + ".pdf";
  for (int n = 2; access(path.c_str(), F_OK) == 0 && n < 1000; ++n) path = base + "_" + std::to_string(n) + ".pdf";
  if (!sys::WriteFileAtomic(path, std::string(pdf_.begin(), pdf_.end()), &err)) return Fail(err);
  result_.pdfPath = path;

  if (printer_ == kPdfPrinterName) {
    result_.ok = true;
    return 1;
  }
  SubmitOptions opts;
  opts.media = MediaName(mode_);
  opts.copies = mode_.copies;
  int id = CurrentSpooler().Submit(printer_, path, docName_, opts, &err);
  if (id <= 0) {
    // Nothing is lost: the document stays in the folder and the caller learns why.
    return Fail("printer " + printer_ + ": " + (err.empty() ? "job refused" : err) + "; kept as " + path);
  }
  std::remove(path.c_str());
  result_.pdfPath.clear();
  result_.submitted = true;
  result_.jobId = id;
  result_.ok = true;
  return id;
}

}  // namespace print
