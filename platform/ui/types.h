#pragma once
// Basic values of the window framework: message parameters, window handles and the message
// record every loop passes around.
#include <cstdint>

#include "platform/ui/draw/color.h"
#include "platform/ui/draw/geometry.h"

namespace ui {

using Point = draw::Point;
using Size = draw::Size;
using Rect = draw::Rect;
using Color = draw::Color;
using draw::RGB;

using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

// A window's number. Handles are never reused while the process runs, so a message queued
// for a window that has since been destroyed finds no window and is dropped.
using WindowHandle = uint32_t;

struct Message {
  WindowHandle hwnd = 0;
  uint32_t message = 0;
  WParam wParam = 0;
  LParam lParam = 0;
  int64_t time = 0;  // program clock, ms
  Point pt;          // pointer position on the screen when the message was made
};

constexpr uint32_t MakeLong(unsigned lo, unsigned hi) { return (lo & 0xFFFFu) | ((hi & 0xFFFFu) << 16); }
constexpr unsigned LoWord(uintptr_t v) { return static_cast<unsigned>(v & 0xFFFFu); }
constexpr unsigned HiWord(uintptr_t v) { return static_cast<unsigned>((v >> 16) & 0xFFFFu); }
constexpr WParam MakeWParam(unsigned lo, unsigned hi) { return MakeLong(lo, hi); }
// A point in a mouse message's lParam (signed 16-bit x in the low word, y in the high word).
constexpr LParam MakePointLParam(int x, int y) {
  return static_cast<LParam>(MakeLong(static_cast<unsigned>(x) & 0xFFFFu, static_cast<unsigned>(y) & 0xFFFFu));
}
constexpr Point PointFromLParam(LParam l) {
  return Point(static_cast<int16_t>(l & 0xFFFF), static_cast<int16_t>((l >> 16) & 0xFFFF));
}

}  // namespace ui
