#pragma once
// Fonts resolved to Pango faces and measured, cached per thread (Pango objects are not
// shared between threads; every print thread gets its own).
#include <pango/pango.h>

#include <string>

#include "platform/ui/draw/font.h"

namespace draw {

struct ResolvedFont {
  PangoFontDescription* desc = nullptr;  // owned by the cache
  // Device pixels.
  double emSize = 0;      // the character height asked for
  double ascent = 0, descent = 0;
  double aveCharWidth = 0, maxCharWidth = 0;
  double underlinePos = 0, underlineThickness = 1;
};

// `devHeight`: the font's height converted to device pixels, sign kept (negative:
// character height; positive: cell height; 0: the default).
const ResolvedFont& ResolveFont(const Font& font, double devHeight);
// The calling thread's context: smoothed (anti-aliased) text or crisp one-bit text. Both
// lay text out identically.
PangoContext* ThreadPangoContext(bool smooth = true);

// Adds a family attribute for every character of `text` (UTF-8) that the face picked by `rf`
// would draw blank: a face without the character, or one that lists it but whose glyph has
// no outline. The character is then drawn by an installed face whose glyph has ink.
void AddGlyphFallbacks(PangoAttrList* attrs, const ResolvedFont& rf, const std::string& text);

}  // namespace draw
