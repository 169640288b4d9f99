#pragma once
// The pictures that live beside the program rather than among the skin bitmaps: the start-up
// and shutdown backgrounds (Picture/bg_ONOFF*.bmp, one pair for the Chinese edition, one for
// the others, each for a 640x480 and an 800x600 screen) and the About box logo
// (ProduceInfo/Logo.bmp). Our own artwork, drawn at build time like the skin.
#include <string>

#include "platform/ui/draw/bitmap.h"

namespace skin {

// The start-up/shutdown background at the given size: the product name and its line over a
// blood-cell motif in the upper part, and a calm lower band where the screen puts its progress
// text and bar.
draw::Bitmap PaintStartupPicture(int width, int height, bool chinese);
// The About box logo.
draw::Bitmap PaintLogo();

// Writes Picture/bg_ONOFF.bmp, bg_ONOFF2.bmp, bg_ONOFF_EN.bmp, bg_ONOFF_EN2.bmp and
// ProduceInfo/Logo.bmp below `programFolder`. False and `error` set on failure.
bool WritePictures(const std::string& programFolder, std::string* error = nullptr);

}  // namespace skin
