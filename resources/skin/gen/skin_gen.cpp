// Writes the skin bitmaps into the folder given as the first argument, and the start-up pictures
// and the About logo into the program folder above it.
#include <cstdio>
#include <string>

#include "resources/skin/skin_paint.h"
#include "resources/skin/skin_pictures.h"

#include <filesystem>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: skin_gen <folder> [contact-sheet.png]\n");
    return 2;
  }
  std::string error;
  if (!skin::WriteAll(argv[1], &error)) {
    std::fprintf(stderr, "skin_gen: %s\n", error.c_str());
    return 1;
  }
  const std::string programFolder = std::filesystem::path(argv[1]).parent_path().string();
  if (!skin::WritePictures(programFolder, &error)) {
    std::fprintf(stderr, "skin_gen: %s\n", error.c_str());
    return 1;
  }
  if (argc > 2 && !skin::ContactSheet().SavePng(argv[2], &error)) {
    std::fprintf(stderr, "skin_gen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
