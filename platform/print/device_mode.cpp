#include "platform/print/device_mode.h"

#include <cmath>
#include <cstdio>
#include <mutex>
#include <utility>

namespace print {

namespace {
std::mutex g_modeMutex;
DeviceMode g_appMode;
}  // namespace

DeviceMode ApplicationDeviceMode() {
  std::lock_guard<std::mutex> lock(g_modeMutex);
  return g_appMode;
}

void SetApplicationDeviceMode(const DeviceMode& mode) {
  std::lock_guard<std::mutex> lock(g_modeMutex);
  g_appMode = mode;
}

PaperMm PaperSizeMm(const DeviceMode& mode) {
  PaperMm p{210, 297};
  switch (mode.paperSize) {
    case kPaperLetter: p = {215.9, 279.4}; break;
    case kPaperA5: p = {148, 210}; break;
    case kPaperUser:
      // Sizes below 1 cm or above 2 m are no paper: keep A4.
      if (mode.paperWidth >= 100 && mode.paperLength >= 100 && mode.paperWidth <= 20000 && mode.paperLength <= 20000)
        p = {mode.paperWidth / 10.0, mode.paperLength / 10.0};
      break;
    default: break;
  }
  if (mode.orientation == kLandscape) std::swap(p.width, p.height);
  return p;
}

std::string MediaName(const DeviceMode& mode) {
  switch (mode.paperSize) {
    case kPaperLetter: return "Letter";
    case kPaperA5: return "A5";
    case kPaperUser: {
      DeviceMode portrait = mode;
      portrait.orientation = kPortrait;
      PaperMm p = PaperSizeMm(portrait);
      char buf[64];
      std::snprintf(buf, sizeof buf, "Custom.%gx%gmm", std::round(p.width * 10) / 10, std::round(p.height * 10) / 10);
      return buf;
    }
    default: return "A4";
  }
}

}  // namespace print
