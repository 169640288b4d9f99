#pragma once
// Fonts the skinned controls draw their captions in; heights follow the layout scale.
#include "core/look.h"
#include "platform/ui/draw/font.h"

// The push-button caption: "微软雅黑" 22 x scale for Chinese, else "Arial" 17 x scale (cell
// heights, truncated).
inline draw::Font ButtonCaptionFont() { return CurrentLook().ButtonCaptionFont(); }
