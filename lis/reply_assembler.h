#pragma once
// Joins the bytes the LIS sends across reads into whole frames: a frame runs from 0x0B to the
// first 0x0D after it. Bytes before a 0x0B are dropped; a frame that grows past the limit
// without its end is dropped too, so a peer that never ends a frame cannot grow the buffer.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lis {

class ReplyAssembler {
 public:
  explicit ReplyAssembler(size_t maxFrame = 256 * 1024) : maxFrame_(maxFrame) {}
  // Adds received bytes and returns the frames they completed, in order.
  std::vector<std::string> Feed(std::string_view bytes);
  // Bytes held for a frame still open.
  size_t Pending() const { return buffer_.size(); }
  void Clear() { buffer_.clear(); }

 private:
  size_t maxFrame_;
  std::string buffer_;
};

}  // namespace lis
