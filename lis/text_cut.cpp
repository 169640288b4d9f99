#include "lis/text_cut.h"

namespace lis {

std::string CutChars(std::string_view text, size_t maxChars) {
  size_t chars = 0, i = 0;
  while (i < text.size()) {
    if (chars == maxChars) break;
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > text.size()) len = text.size() - i;
    i += len;
    ++chars;
  }
  return std::string(text.substr(0, i));
}

}  // namespace lis
