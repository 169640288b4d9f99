#include "controls/grid/mem_dc.h"

namespace {

// The image of the last paint, kept for the next one: a grid repaints at one size over and
// over, and a fresh image for every paint made the heap grow with each one. Painting happens on
// the user-interface thread only; a paint inside a paint gets an image of its own.
struct SpareImage {
  draw::Bitmap bitmap;
  bool inUse = false;
};
SpareImage& Spare() {
  static SpareImage spare;
  return spare;
}

}  // namespace

CMemDC::CMemDC(draw::DC* target) : target_(target) {
  isMemory_ = !target->Info().printer;
  if (!isMemory_) return;
  area_ = target->GetClipBox();
  if (area_.IsEmpty()) {
    isMemory_ = false;
    return;
  }
  SpareImage& spare = Spare();
  const draw::Color back = target->GetBkColor();
  if (!spare.inUse && spare.bitmap && spare.bitmap.Width() == area_.Width() &&
      spare.bitmap.Height() == area_.Height()) {
    bitmap_ = spare.bitmap;
    ownsSpare_ = spare.inUse = true;
    mem_.SelectBitmap(bitmap_);
    mem_.FillSolidRect(draw::Rect(0, 0, area_.Width(), area_.Height()), back);
  } else {
    bitmap_ = draw::Bitmap::Create(area_.Width(), area_.Height(), back);
    if (!spare.inUse) {
      spare.bitmap = bitmap_;
      ownsSpare_ = spare.inUse = true;
    }
    mem_.SelectBitmap(bitmap_);
  }
  mem_.SelectFont(target->GetFont());
  mem_.SetWindowOrg(area_.left, area_.top);
}

CMemDC::~CMemDC() {
  if (!isMemory_) return;
  mem_.Flush();
  target_->BitBlt(area_.left, area_.top, area_.Width(), area_.Height(), mem_, area_.left, area_.top, draw::kSrcCopy);
  if (ownsSpare_) Spare().inUse = false;
}
