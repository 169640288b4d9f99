#pragma once
// CPicture: loads a picture file (BMP or PNG) once and draws it stretched into a rectangle on
// every paint. Failures are reported in the framework's own message box titled
// "CPicture Error" and the call returns false; the object stays usable.
#include <cstdint>
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"

class CPicture {
 public:
  CPicture() = default;
  ~CPicture() { Free(); }

  bool Load(const std::string& path);
  bool LoadFromBuffer(const uint8_t* data, int size);
  // The whole picture stretched into the rectangle.
  bool Draw(draw::DC* dc, int left, int top, int right, int bottom);
  // At (x, y), each side its size at the device's resolution times a factor.
  bool DrawScaled(draw::DC* dc, int x, int y, double factorX = 1.0, double factorY = 1.0);
  // Copies bitmap resource `id` whole to (x, y).
  static bool ShowBitmapResource(draw::DC* dc, unsigned id, int x, int y);
  // Sizes in pixels at the device's resolution (96 dpi for a printing device).
  bool UpdateSizeToDevice(draw::DC* dc);
  void Free();

  // The picture's size in 0.01 mm, as the picture loader reports it (96 dpi pictures).
  int HimetricWidth() const;
  int HimetricHeight() const;
  bool IsLoaded() const { return !picture.IsNull(); }

  draw::Bitmap picture;
  int height = 0;
  uint32_t fileSize = 0;
  int width = 0;
};

// The caption of the picture loader's error boxes.
inline constexpr const char* kPictureErrorCaption = "CPicture Error";
