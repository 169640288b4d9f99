#include "core/layout.h"

#include <cmath>

#include "core/app_settings.h"
#include "platform/ui/foreign_window.h"

float LayoutScaleFor(int screenWidth, int screenHeight) {
  return (screenWidth == 640 && screenHeight == 480) ? 1.0f : 1.25f;
}

void CheckScreenSize(int screenWidth, int screenHeight) {
  AppSettings.LayoutScale = LayoutScaleFor(screenWidth, screenHeight);
  AppSettings.LargeScreen = AppSettings.LayoutScale == 1.0f ? 0 : 1;
}

int ScaleEdge(int edge, float scale) {
  return static_cast<int>(std::trunc(static_cast<double>(edge) * static_cast<double>(scale)));
}

draw::Rect ScaleRectEdges(const draw::Rect& r, float scale) {
  return draw::Rect(ScaleEdge(r.left, scale), ScaleEdge(r.top, scale), ScaleEdge(r.right, scale),
                    ScaleEdge(r.bottom, scale));
}

draw::Font MakeSharedDialogFont(float scale) {
  draw::Font f("Arial", static_cast<int>(16.0 * static_cast<double>(scale)), draw::kFontWeightNormal);
  f.width = 0;
  f.escapement = 0;
  f.charset = 0;
  return f;
}

namespace {
draw::Font g_sharedFont = MakeSharedDialogFont(1.0f);

bool RaiseOnDisplay(const char* title) { return ui::ActivateForeignWindow(title); }
ForeignWindowRaiser g_raiser = RaiseOnDisplay;
}  // namespace

const draw::Font& SharedDialogFont() { return g_sharedFont; }

void InitSharedDialogFont() { g_sharedFont = MakeSharedDialogFont(AppSettings.LayoutScale); }

std::vector<FrameLine> DialogFrameLines(const draw::Rect& c) {
  return {{{c.left, c.top}, {c.right, c.top}},
          {{c.right, c.top}, {c.right, c.bottom}},
          {{c.right, c.bottom}, {c.left, c.bottom}},
          {{c.left, c.bottom}, {c.left, c.top}}};
}

void SetForeignWindowRaiser(ForeignWindowRaiser raise) { g_raiser = raise != nullptr ? raise : RaiseOnDisplay; }

bool RaiseForeignWindow(const char* title) { return g_raiser(title); }
