#pragma once
// The settings of one print job: printer, paper, orientation, resolution. Paper codes and
// sizes in tenths of a millimetre are the numbers the report code quotes (256 with
// 2100 x 2790 for the dot-matrix paper).
#include <string>

namespace print {

enum PaperCode {
  kPaperLetter = 1,
  kPaperA4 = 9,
  kPaperA5 = 11,
  kPaperUser = 256,  // paperWidth x paperLength
};

enum Orientation { kPortrait = 1, kLandscape = 2 };

struct DeviceMode {
  std::string printer;      // empty: the default printer
  int paperSize = kPaperA4;
  int paperWidth = 0;       // tenths of a millimetre, with kPaperUser
  int paperLength = 0;
  int orientation = kPortrait;
  int copies = 1;
  int dpi = 600;            // nominal resolution of the page device
  double marginMm = 100 * 25.4 / 600;  // unprintable edge on every side (100 dots at 600 dpi)
};

struct PaperMm {
  double width = 0, height = 0;
};

// The application's printer settings: print threads may change them (the dot-matrix paper)
// and the change stays for later print-outs; a page device is then built from a copy.
// Safe to call from any thread.
DeviceMode ApplicationDeviceMode();
void SetApplicationDeviceMode(const DeviceMode& mode);

// The sheet in millimetres, orientation applied. Unknown codes and bad user sizes give A4.
PaperMm PaperSizeMm(const DeviceMode& mode);
// The media name the printing system knows ("A4", "A5", "Letter", "Custom.210x279mm").
std::string MediaName(const DeviceMode& mode);

}  // namespace print
