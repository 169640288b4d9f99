#pragma once
// The resource store: bitmaps, icons and dialog templates by the numeric ids the screens
// use. Resources are registered at start-up (from files beside the program, from bitmaps
// drawn by a generator, or templates declared in code) and looked up by id afterwards.
#include <functional>
#include <string>

#include "platform/ui/dialog_template.h"
#include "platform/ui/draw/bitmap.h"

namespace ui {

class Resources {
 public:
  static void AddBitmap(int id, const draw::Bitmap& bmp);
  // Read from the file when first asked for (a program registers many more bitmaps than any
  // screen shows); when the file cannot be read then, `fallback` (if any) makes it instead.
  static void AddBitmapFile(int id, const std::string& path, std::function<draw::Bitmap()> fallback = {});
  // Made on first use by `make` (a generator drawing the skin).
  static void AddBitmapGenerator(int id, std::function<draw::Bitmap()> make);
  // A null bitmap when there is no such resource.
  static draw::Bitmap LoadBitmap(int id);
  static bool HasBitmap(int id);

  static void AddIcon(int id, const draw::Bitmap& bmp);
  static draw::Bitmap LoadIcon(int id);

  static void AddDialog(int id, const DialogTemplate& tmpl);
  static const DialogTemplate* FindDialog(int id);

  // Forgets everything (tests).
  static void Clear();
};

}  // namespace ui
