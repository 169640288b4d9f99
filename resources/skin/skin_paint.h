#pragma once
// Draws the skin bitmaps listed in skin_ids.h, writes them as files and lays them out on one
// contact sheet. The same entry always gives the same pixels.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/draw/bitmap.h"
#include "resources/skin/skin_ids.h"

namespace skin {

// The bitmap of one entry, at the entry's size.
draw::Bitmap Paint(const SkinBitmap& entry);

// The icon of one entry, at the entry's size, with an alpha channel.
draw::Bitmap PaintIcon(const SkinIcon& icon);

// Writes every bitmap of the table into `folder` (created when missing) as BMP files (the
// sixteen-colour stand-by picture as a 4-bit BMP), and every icon as a PNG file.
// False and `error` set when a file cannot be written.
bool WriteAll(const std::string& folder, std::string* error = nullptr);

// The 4-bit BMP file of a bitmap that holds at most 16 colours; empty when it holds more.
std::vector<uint8_t> EncodeBmp16(const draw::Bitmap& bmp);

// All bitmaps and icons on one sheet, each with its id and name below it, over a neutral background.
draw::Bitmap ContactSheet();

}  // namespace skin
