// The read buffer that raw-data reads keep between calls (not exported).
#pragma once

#include <cstddef>
#include <cstdint>

#include "algorithm/RawdataFormat.h"

namespace zentil {

struct RawdataKept {
  std::uint8_t* data = nullptr;
  std::size_t size = 0;
  // What the last read handed out for the arrays behind the shared count fields, with the
  // element counts their items really hold.
  RawdataTrueCounts counts;
  const std::uint16_t* words1004 = nullptr;
  const std::uint16_t* words1005 = nullptr;
  const std::uint16_t* words1006 = nullptr;
  const std::uint16_t* words1015 = nullptr;
  const std::uint16_t* words1016 = nullptr;
};

RawdataKept& KeptRawdata();
// Zero-fills and releases the kept buffer and forgets it.
void ReleaseKeptRawdata();
// Replaces the kept buffer by a fresh zero-filled one of `size` bytes; false when none can
// be had (nothing is kept then). A size of 0 keeps no buffer and is no failure.
bool KeepNewRawdataBuffer(std::size_t size);

}  // namespace zentil
