#pragma once
// Draws the skin bitmaps listed in skin_ids.h, writes them as files and lays them out on one
// contact sheet. The same entry always gives the same pixels.
#include <string>

#include "platform/ui/draw/bitmap.h"
#include "resources/skin/skin_ids.h"

namespace skin {

// The bitmap of one entry, at the entry's size.
draw::Bitmap Paint(const SkinBitmap& entry);

// Writes every bitmap of the table into `folder` (created when missing) as BMP files.
// False and `error` set when a file cannot be written.
bool WriteAll(const std::string& folder, std::string* error = nullptr);

// All bitmaps on one sheet, each with its id and name below it, over a neutral background.
draw::Bitmap ContactSheet();

}  // namespace skin
