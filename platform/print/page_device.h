#pragma once
// A page device: a printer device context whose pages become a PDF document.
//
//   print::PageDevice dev(mode);               // the DC exists at once (mapping, fonts …)
//   dev.StartDoc("Specimen");
//   dev.StartPage(); … draw on dev.Dc() … dev.EndPage();
//   dev.EndDoc();                              // submitted, or kept in PrintOutDir()
//   dev.Result().pdfPath / .jobId / .error
//
// Device units are dots at the nominal resolution (600 dpi unless the mode says otherwise);
// device (0, 0) is the top-left of the printable area, which starts marginMm into the sheet.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/print/device_mode.h"
#include "platform/ui/draw/dc.h"

namespace print {

struct JobResult {
  bool ok = false;
  bool submitted = false;  // handed to a CUPS queue
  int jobId = 0;           // the CUPS job id when submitted
  int pages = 0;
  std::string printer;
  std::string pdfPath;     // where the PDF is kept (empty when submitted and removed)
  std::string error;
};

class PageDevice {
 public:
  explicit PageDevice(const DeviceMode& mode = DeviceMode());
  ~PageDevice();
  PageDevice(const PageDevice&) = delete;
  PageDevice& operator=(const PageDevice&) = delete;

  draw::DC& Dc() { return dc_; }
  const DeviceMode& Mode() const { return mode_; }
  const std::string& PrinterName() const { return printer_; }
  int GetDeviceCaps(draw::DeviceCap cap) const { return dc_.GetDeviceCaps(cap); }

  // Each returns a value above 0 on success and 0 (the reason in Result().error) on failure.
  int StartDoc(const std::string& docName);
  int StartPage();
  int EndPage();
  int EndDoc();
  int AbortDoc();

  const JobResult& Result() const { return result_; }
  // The PDF bytes of the finished document (kept until the next StartDoc).
  const std::vector<uint8_t>& PdfBytes() const { return pdf_; }

 private:
  void NewSurface();
  int Fail(const std::string& why);  // records the reason; returns 0

  DeviceMode mode_;
  std::string printer_;
  draw::DC dc_;
  std::vector<uint8_t> pdf_;
  std::string docName_;
  enum class State { Idle, InDoc, InPage } state_ = State::Idle;
  int pages_ = 0;
  double widthPt_ = 0, heightPt_ = 0;
  JobResult result_;
};

}  // namespace print
