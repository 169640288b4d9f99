// Writes the skin bitmaps into the folder given as the first argument.
#include <cstdio>
#include <string>

#include "resources/skin/skin_paint.h"

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
  if (argc > 2 && !skin::ContactSheet().SavePng(argv[2], &error)) {
    std::fprintf(stderr, "skin_gen: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
