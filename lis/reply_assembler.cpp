#include "lis/reply_assembler.h"

namespace lis {

std::vector<std::string> ReplyAssembler::Feed(std::string_view bytes) {
  std::vector<std::string> frames;
  buffer_.append(bytes);
  size_t pos = 0;
  while (true) {
    size_t start = buffer_.find('\x0B', pos);
    if (start == std::string::npos) {
      pos = buffer_.size();
      break;
    }
    size_t end = buffer_.find('\x0D', start + 1);
    if (end == std::string::npos) {
      pos = start;
      break;
    }
    // A second 0x0B before the end starts the frame anew: the first one never ended.
    size_t restart = buffer_.rfind('\x0B', end);
    frames.emplace_back(buffer_, restart, end - restart + 1);
    pos = end + 1;
  }
  buffer_.erase(0, pos);
  if (buffer_.size() > maxFrame_) buffer_.clear();
  return frames;
}

}  // namespace lis
