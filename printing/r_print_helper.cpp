#include "printing/r_print_helper.h"

#include <cstring>

namespace {
constexpr int kUnitsPerInch = 7200;
}  // namespace

int GreatestCommonDivisor(int a, int b) {
  if (a < 0) a = -a;
  if (b < 0) b = -b;
  while (a != 0) {
    const int r = b % a;
    b = a;
    a = r;
  }
  return b;
}

bool ComputePrintMapping(int dpiX, int dpiY, PrintMapping* out) {
  *out = PrintMapping();
  if (dpiX <= 0 || dpiY <= 0) return false;  // a broken device: no division by zero
  const int gX = GreatestCommonDivisor(dpiX % kUnitsPerInch, kUnitsPerInch);
  const int gY = GreatestCommonDivisor(dpiY % kUnitsPerInch, kUnitsPerInch);
  out->windowExtX = kUnitsPerInch / gX;
  out->windowExtY = kUnitsPerInch / gY;
  out->viewportExtX = dpiX / gX;
  out->viewportExtY = dpiY / gY;
  out->xScale = static_cast<double>(out->windowExtX) / out->viewportExtX;
  out->yScale = static_cast<double>(out->windowExtY) / out->viewportExtY;
  return true;
}

RPrintHelper::RPrintHelper() { Open(print::ApplicationDeviceMode()); }

RPrintHelper::RPrintHelper(const print::DeviceMode& mode) { Open(mode); }

void RPrintHelper::Open(const print::DeviceMode& mode) {
  device_ = std::make_unique<print::PageDevice>(mode);
  if (!device_->Dc().IsValid()) device_.reset();
  xScale_ = yScale_ = 1.0;
  SetMapping();
  if (device_) savedState_ = device_->Dc().SaveDC();
}

RPrintHelper::~RPrintHelper() {
  if (device_) {
    if (savedState_ > 0) device_->Dc().RestoreDC(savedState_);
    device_.reset();
  }
}

draw::DC* RPrintHelper::GetDC() { return device_ ? &device_->Dc() : nullptr; }

int RPrintHelper::SetMapping() {
  draw::DC* dc = GetDC();
  if (!dc) return 0;
  PrintMapping m;
  if (!ComputePrintMapping(dc->GetDeviceCaps(draw::DeviceCap::LogPixelsX),
                           dc->GetDeviceCaps(draw::DeviceCap::LogPixelsY), &m)) {
    return 0;
  }
  dc->SetMapMode(draw::MapMode::Anisotropic);
  dc->SetWindowExt(m.windowExtX, m.windowExtY);
  dc->SetViewportExt(m.viewportExtX, m.viewportExtY);
  xScale_ = m.xScale;
  yScale_ = m.yScale;
  return 1;
}

int RPrintHelper::GetPageWidth() {
  draw::DC* dc = GetDC();
  if (!dc) return 0;
  return static_cast<int>(dc->GetDeviceCaps(draw::DeviceCap::HorzSize) / 25.4 * kUnitsPerInch);
}

int RPrintHelper::GetPageHeight() {
  draw::DC* dc = GetDC();
  if (!dc) return 0;
  return static_cast<int>(dc->GetDeviceCaps(draw::DeviceCap::VertSize) / 25.4 * kUnitsPerInch);
}

draw::Font RPrintHelper::CreatePrintFont(int points, const std::string& faceName, int weight) {
  draw::Font f;
  f.height = -(points * 100);
  f.width = 0;
  f.escapement = 0;
  f.weight = weight == -1 ? 400 : weight;
  f.italic = f.underline = f.strikeOut = false;
  f.charset = 0;
  if (!faceName.empty()) {
    f.face = faceName;
  } else if (draw::DC* dc = GetDC()) {
    f.face = dc->GetFont().face;
  }
  return f;
}

int RPrintHelper::EnumLocalPrinters(std::vector<print::PrinterInfo>* printers) {
  if (!printers) return 0;
  *printers = print::ListPrinters();
  return static_cast<int>(printers->size());
}

int RPrintHelper::GetDefaultPrinterName(char* buffer, int* size) {
  if (!size) return 0;
  const std::string name = print::DefaultPrinterName();
  const int length = static_cast<int>(name.size());
  const int room = *size;
  *size = length + 1;
  if (!buffer || length >= room) return 0;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return 1;
}

std::string RPrintHelper::GetDefaultPrinterName() { return print::DefaultPrinterName(); }

int RPrintHelper::SetDefaultPrinter(const char* name) {
  if (!name) return 0;
  return print::SetDefaultPrinter(name) ? 1 : 0;
}
