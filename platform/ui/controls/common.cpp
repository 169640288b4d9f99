#include "platform/ui/controls/controls.h"

#include "platform/ui/app.h"

namespace ui {

bool ForwardToUiThread(const std::function<void()>& fn) {
  if (!IsInitialized() || IsUiThread()) return false;
  RunOnUiThread(fn);
  return true;
}

size_t Utf8Length(const std::string& s) {
  size_t n = 0;
  for (unsigned char ch : s) n += (ch & 0xC0) != 0x80;
  return n;
}

size_t Utf8Offset(const std::string& s, size_t chars) {
  size_t i = 0, n = 0;
  while (i < s.size()) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
      if (n == chars) return i;
      ++n;
    }
    ++i;
  }
  return s.size();
}

std::string Utf8Encode(unsigned cp) {
  std::string o;
  if (cp < 0x80) {
    o += static_cast<char>(cp);
  } else if (cp < 0x800) {
    o += static_cast<char>(0xC0 | (cp >> 6));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    o += static_cast<char>(0xE0 | (cp >> 12));
    o += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    o += static_cast<char>(0xF0 | (cp >> 18));
    o += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    o += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return o;
}

void Draw3dFrame(draw::DC& dc, const Rect& r, bool sunken) {
  if (r.IsEmpty()) return;
  const Color light = SysColor(COLOR_BTNHIGHLIGHT), shadow = SysColor(COLOR_BTNSHADOW),
              dark = SysColor(COLOR_3DDKSHADOW);
  const Color tl = sunken ? shadow : light, br = sunken ? light : dark;
  dc.FillSolidRect(Rect(r.left, r.top, r.right, r.top + 1), tl);
  dc.FillSolidRect(Rect(r.left, r.top, r.left + 1, r.bottom), tl);
  dc.FillSolidRect(Rect(r.left, r.bottom - 1, r.right, r.bottom), br);
  dc.FillSolidRect(Rect(r.right - 1, r.top, r.right, r.bottom), br);
  if (r.Width() > 4 && r.Height() > 4) {
    const Color inner = sunken ? dark : shadow;
    if (sunken) {
      dc.FillSolidRect(Rect(r.left + 1, r.top + 1, r.right - 1, r.top + 2), inner);
      dc.FillSolidRect(Rect(r.left + 1, r.top + 1, r.left + 2, r.bottom - 1), inner);
    } else {
      dc.FillSolidRect(Rect(r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 1), inner);
      dc.FillSolidRect(Rect(r.right - 2, r.top + 1, r.right - 1, r.bottom - 1), inner);
    }
  }
}

}  // namespace ui
