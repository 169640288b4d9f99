#pragma once
// The Windows-printer helper of every report: a page device on the default printer with a
// fixed mapping of 7200 logical units per inch on both axes (100 units = one point), the
// printable page size in those units, fonts sized in points, and the printer-administration
// operations of the settings screen (list, default printer, set default).
//
// One object lives for one print job, on the print thread that made it. Pages go to the
// printer as a PDF job; on the PDF printer they are kept in print::PrintOutDir().
#include <memory>
#include <string>
#include <vector>

#include "platform/print/device_mode.h"
#include "platform/print/page_device.h"
#include "platform/print/printers.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/font.h"

// The mapping of a device with the given resolution to 7200 units per inch.
struct PrintMapping {
  int windowExtX = 1, windowExtY = 1;      // 7200 / g
  int viewportExtX = 1, viewportExtY = 1;  // dpi / g
  double xScale = 1.0, yScale = 1.0;       // logical units per device pixel
};
// g = gcd(dpi mod 7200, 7200) per axis, gcd(0, b) = b. False (and the 1:1 mapping) for a
// resolution that is not positive.
bool ComputePrintMapping(int dpiX, int dpiY, PrintMapping* out);
// Euclid's gcd by remainders; GreatestCommonDivisor(0, b) = b.
int GreatestCommonDivisor(int a, int b);

class RPrintHelper {
 public:
  // Opens the page device from the application's printer settings (which a print thread may
  // have changed just before), sets the mapping and saves the DC's state.
  RPrintHelper();
  // From explicit settings (a test, or a thread with its own paper).
  explicit RPrintHelper(const print::DeviceMode& mode);
  virtual ~RPrintHelper();
  RPrintHelper(const RPrintHelper&) = delete;
  RPrintHelper& operator=(const RPrintHelper&) = delete;

  // The printer DC; nullptr when there is no printer to print on.
  draw::DC* GetDC();
  print::PageDevice* Device() { return device_.get(); }

  // Anisotropic mapping, 7200 logical units per inch. 1, or 0 without a DC.
  int SetMapping();
  // Printable width and height in logical units: millimetres / 25.4 x 7200, truncated.
  int GetPageWidth();
  int GetPageHeight();
  double XScale() const { return xScale_; }
  double YScale() const { return yScale_; }

  // A font `points` high (character height -(points x 100) units), weight -1 meaning 400;
  // an empty face keeps the face of the font selected in the DC. The caller selects it.
  draw::Font CreatePrintFont(int points, const std::string& faceName, int weight);

  // Printer administration; no object state is used.
  // Every printer there is (the queues and the PDF printer); returns how many.
  int EnumLocalPrinters(std::vector<print::PrinterInfo>* printers);
  // Copies the default printer's name (UTF-8, with its terminating zero) when it is shorter
  // than *size bytes and returns 1; otherwise returns 0. Either way *size becomes the name's
  // length + 1.
  int GetDefaultPrinterName(char* buffer, int* size);
  std::string GetDefaultPrinterName();
  // Makes `name` the default printer: 1 on success, 0 for a null name or a refusal.
  int SetDefaultPrinter(const char* name);

 private:
  void Open(const print::DeviceMode& mode);

  std::unique_ptr<print::PageDevice> device_;
  int savedState_ = 0;
  double xScale_ = 1.0;
  double yScale_ = 1.0;
};
