#pragma once
// Fonts the skinned controls draw their captions in; heights follow the layout scale.
#include "core/app_settings.h"
#include "platform/ui/draw/font.h"

// The push-button caption: "微软雅黑" 22 x scale for Chinese, else "Arial" 17 x scale (cell
// heights, truncated).
inline draw::Font ButtonCaptionFont() {
  const float s = AppSettings.LayoutScale;
  if (AppSettings.LanguageIndex == 0) return draw::Font("微软雅黑", static_cast<int>(s * 22.0f));
  return draw::Font("Arial", static_cast<int>(s * 17.0f));
}
