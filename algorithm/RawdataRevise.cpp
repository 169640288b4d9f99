// ReviseRawdata: clears the repeated tail of the triples of items 1004-1006 and writes the file
// again with fresh checksums.
#include <algorithm>
#include <cstdlib>

#include "algorithm/RawdataBuffer.h"
#include "algorithm/RawdataIo.h"

using namespace zentil;

namespace {
constexpr std::uint8_t kNoMemoryOrNotWritable = 3;
constexpr std::uint8_t kUnreadable = 4;
constexpr std::uint8_t kNoWorkMemory = 5;

// Sets the repeated triples at the end of the three arrays to zero: from the last index down
// to 1, while a triple equals the one before it. Index 0 is never cleared.
void ClearRepeatedTail(std::uint8_t* a, std::uint8_t* b, std::uint8_t* c, std::uint32_t n) {
  if (n < 2) return;
  for (std::uint32_t i = n - 1; i >= 1; --i) {
    const std::size_t at = 2 * static_cast<std::size_t>(i);
    const std::size_t before = at - 2;
    if (LoadU16(a + at) != LoadU16(a + before) || LoadU16(b + at) != LoadU16(b + before) ||
        LoadU16(c + at) != LoadU16(c + before))
      break;
    StoreU16(a + at, 0);
    StoreU16(b + at, 0);
    StoreU16(c + at, 0);
  }
}
}  // namespace

extern "C" {

ZENTIL_API std::uint8_t ReviseRawdata(const char* destination, const char* source) {
  std::size_t size = 0;
  FileSize(source, size);
  if (!KeepNewRawdataBuffer(size)) return kNoMemoryOrNotWritable;
  RawdataKept& kept = KeptRawdata();
  if (!ReadFile(source, kept.data, size)) {
    // Nothing was read, so nothing is written: the destination stays as it was.
    ReleaseKeptRawdata();
    return kUnreadable;
  }

  std::uint8_t result = 0;
  if (void* probe = Allocate(size); probe == nullptr) {
    result = kNoWorkMemory;
  } else {
    std::free(probe);
    RawdataStaticData items{};
    RawdataTailRecords tails;
    result = WalkRawdata(kept.data, size, nullptr, items, nullptr, kept.counts, &tails);
    if (items.Words1004 != nullptr && items.Words1005 != nullptr && items.Words1006 != nullptr) {
      // Never step past what one of the three items holds, whatever the shared count says.
      const std::uint32_t n =
          std::min({items.Words1004To1006Count, kept.counts.words1004, kept.counts.words1005,
                    kept.counts.words1006});
      ClearRepeatedTail(reinterpret_cast<std::uint8_t*>(items.Words1004),
                        reinterpret_cast<std::uint8_t*>(items.Words1005),
                        reinterpret_cast<std::uint8_t*>(items.Words1006), n);
      for (int k = 0; k < 3; ++k) {
        if (tails.offset[k] == RawdataTailRecords::kNone) continue;
        std::uint8_t* record = kept.data + tails.offset[k];
        StoreU16(record, RawdataCrc(record + 2, tails.length[k] - 2));
      }
    }
  }
  if (!WriteFileReplacing(destination, kept.data, size)) return kNoMemoryOrNotWritable;
  return result;
}

}  // extern "C"
