#pragma once
// CMemDC: an off-screen image of a target device context's clip box. Everything drawn on
// it uses the target's coordinates; the destructor copies the image onto the target in one
// go, so a repaint never flickers. On a printer page it draws straight onto the target.
#include "platform/ui/draw/bitmap.h"
#include "platform/ui/draw/dc.h"

class CMemDC {
 public:
  explicit CMemDC(draw::DC* target);
  ~CMemDC();
  CMemDC(const CMemDC&) = delete;
  CMemDC& operator=(const CMemDC&) = delete;

  // The context to draw on.
  draw::DC& DC() { return isMemory_ ? mem_ : *target_; }
  bool IsMemory() const { return isMemory_; }
  const draw::Rect& Area() const { return area_; }

 private:
  draw::DC* target_;
  draw::DC mem_;
  draw::Bitmap bitmap_;
  draw::Rect area_;
  bool isMemory_ = false;
  bool ownsSpare_ = false;  // drawing on the kept image of the last paint
};
