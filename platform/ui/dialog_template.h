#pragma once
// Dialog templates declared in code. Positions and sizes are in dialog units: 2 pixels a
// unit in both directions, so 320 x 240 units make a 640 x 480 dialog (the application
// scales screens further by its layout scale).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/types.h"

namespace ui {

inline constexpr int kPixelsPerDialogUnit = 2;

struct ControlTemplate {
  std::string className;  // "Button", "Static", "Edit" ... or a registered custom class
  int id = 0;
  std::string text;
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  uint32_t style = 0;                // WS_CHILD is implied; WS_VISIBLE must be given
  uint32_t exStyle = 0;
};

struct DialogTemplate {
  int x = 0, y = 0, cx = 0, cy = 0;  // dialog units; the size is the client area
  uint32_t style = 0;
  uint32_t exStyle = 0;
  std::string caption;
  std::string fontFace;              // empty: the framework's default font
  int fontPoints = 0;
  std::vector<ControlTemplate> controls;

  DialogTemplate& Add(const std::string& cls, int id, const std::string& text, int x, int y, int cx, int cy,
                      uint32_t style, uint32_t exStyle = 0) {
    controls.push_back(ControlTemplate{cls, id, text, x, y, cx, cy, style, exStyle});
    return *this;
  }
};

inline Rect DialogUnitsToPixels(int x, int y, int cx, int cy) {
  return Rect::FromSize(x * kPixelsPerDialogUnit, y * kPixelsPerDialogUnit, cx * kPixelsPerDialogUnit,
                        cy * kPixelsPerDialogUnit);
}

}  // namespace ui
