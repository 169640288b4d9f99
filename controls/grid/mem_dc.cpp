#include "controls/grid/mem_dc.h"

CMemDC::CMemDC(draw::DC* target) : target_(target) {
  isMemory_ = !target->Info().printer;
  if (!isMemory_) return;
  area_ = target->GetClipBox();
  if (area_.IsEmpty()) {
    isMemory_ = false;
    return;
  }
  bitmap_ = draw::Bitmap::Create(area_.Width(), area_.Height(), target->GetBkColor());
  mem_.SelectBitmap(bitmap_);
  mem_.SelectFont(target->GetFont());
  mem_.SetWindowOrg(area_.left, area_.top);
}

CMemDC::~CMemDC() {
  if (!isMemory_) return;
  mem_.Flush();
  target_->BitBlt(area_.left, area_.top, area_.Width(), area_.Height(), mem_, area_.left, area_.top, draw::kSrcCopy);
}
