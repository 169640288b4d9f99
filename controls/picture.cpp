#include "controls/picture.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/sys/path_map.h"
#include "platform/ui/message_box.h"
#include "platform/ui/resources.h"

namespace {

void Report(const std::string& text) {
  ui::DefaultMessageBox(nullptr, text, kPictureErrorCaption, ui::MB_OK | ui::MB_ICONHAND);
}

// Multiply and divide with rounding, as the sizes are converted.
int MulDivRound(int v, int mul, int div) {
  const long long p = static_cast<long long>(v) * mul;
  return static_cast<int>((p >= 0 ? p + div / 2 : p - div / 2) / div);
}

}  // namespace

int CPicture::HimetricWidth() const { return picture.IsNull() ? 0 : MulDivRound(picture.Width(), 2540, 96); }
int CPicture::HimetricHeight() const { return picture.IsNull() ? 0 : MulDivRound(picture.Height(), 2540, 96); }

void CPicture::Free() {
  picture = draw::Bitmap();
  width = height = 0;
}

bool CPicture::Load(const std::string& path) {
  Free();
  std::ifstream f(sys::MapPath(path), std::ios::binary);
  if (!f) {
    std::string reason = std::strerror(errno);
    if (reason.size() > 255) reason.resize(255);
    Report(reason);
    return false;
  }
  std::vector<uint8_t> data((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  fileSize = static_cast<uint32_t>(data.size());
  LoadFromBuffer(data.data(), static_cast<int>(data.size()));
  if (picture.IsNull()) {
    width = height = 0;
    return false;
  }
  height = MulDivRound(HimetricHeight(), 96, 2540);
  width = MulDivRound(HimetricWidth(), 96, 2540);
  return true;
}

bool CPicture::LoadFromBuffer(const uint8_t* data, int size) {
  if (!data || size <= 0) {
    Report("Can not allocate enough memory\t");
    return false;
  }
  std::string error;
  draw::Bitmap b = draw::Bitmap::LoadMemory(data, static_cast<size_t>(size), &error);
  if (b.IsNull()) {
    Report("The picture cannot be read: " + error);
    return false;
  }
  picture = b;
  return true;
}

bool CPicture::Draw(draw::DC* dc, int left, int top, int right, int bottom) {
  if (!dc || picture.IsNull()) return false;
  if (!dc->StretchBlt(left, top, right - left, bottom - top, picture, 0, 0, picture.Width(), picture.Height())) {
    Report("Can not allocate enough memory\t");
    return false;
  }
  return true;
}

bool CPicture::DrawScaled(draw::DC* dc, int x, int y, double fx, double fy) {
  if (!dc || picture.IsNull()) return false;
  const int w = static_cast<int>(HimetricWidth() * dc->GetDeviceCaps(draw::DeviceCap::LogPixelsX) / 2540.0 * fx);
  const int h = static_cast<int>(HimetricHeight() * dc->GetDeviceCaps(draw::DeviceCap::LogPixelsY) / 2540.0 * fy);
  if (!dc->StretchBlt(x, y, w, h, picture, 0, 0, picture.Width(), picture.Height())) {
    Report("Can not allocate enough memory\t");
    return false;
  }
  return true;
}

bool CPicture::ShowBitmapResource(draw::DC* dc, unsigned id, int x, int y) {
  if (!dc) return false;
  draw::Bitmap b = ui::Resources::LoadBitmap(static_cast<int>(id));
  if (b.IsNull()) return false;
  return dc->BitBlt(x, y, b.Width(), b.Height(), b, 0, 0);
}

bool CPicture::UpdateSizeToDevice(draw::DC* dc) {
  if (!dc || picture.IsNull()) {
    width = height = 0;
    return false;
  }
  const bool printing = dc->Info().printer;
  const int dpiX = printing ? 96 : dc->GetDeviceCaps(draw::DeviceCap::LogPixelsX);
  const int dpiY = printing ? 96 : dc->GetDeviceCaps(draw::DeviceCap::LogPixelsY);
  width = MulDivRound(HimetricWidth(), dpiX, 2540);
  height = MulDivRound(HimetricHeight(), dpiY, 2540);
  return true;
}
