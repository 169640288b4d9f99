// The raw-data record format: checksum, record walk and item tables (not exported).
#pragma once

#include <cstddef>
#include <cstdint>

#include "algorithm/Zentil.h"

namespace zentil {

// CRC-16/GENIBUS (polynomial 0x1021, initial 0xFFFF, final XOR 0xFFFF, no reflection),
// bitwise, most significant bit first.
std::uint16_t RawdataCrc(const std::uint8_t* data, std::size_t size);

inline constexpr std::uint8_t kRawdataDone = 0;
inline constexpr std::uint8_t kRawdataBadRecord = 254;
inline constexpr std::size_t kRawdataRecordHeader = 8;
inline constexpr std::size_t kRawdataHeaderRecord = 100;
inline constexpr std::size_t kRawdataItemsStart = 12;
inline constexpr std::size_t kRawdataItemHeader = 9;

// Bytes of one element of an item by its type code.
std::size_t RawdataElementSize(std::uint8_t code);

// Element counts that the items behind the shared count fields really hold (the static
// record keeps only the count of whichever of them was read last).
struct RawdataTrueCounts {
  std::uint32_t words1004 = 0, words1005 = 0, words1006 = 0;
  std::uint32_t words1015 = 0, words1016 = 0;
};

// Offset and length of the record that holds the last applied item 1004, 1005 and 1006.
struct RawdataTailRecords {
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t offset[3] = {kNone, kNone, kNone};
  std::size_t length[3] = {0, 0, 0};
};

// Walks the records of a file held in `buffer`. Header and pointer records are applied only
// when their output is given; static records always. A record is refused (result 254, the
// walk stops, what was applied before stays) when its type is unknown, its length is below
// its fixed part or runs past the file, or a record that passes its checksum holds items that
// run past it. Records whose checksum does not match are skipped. Array references point into
// `buffer`; an array's count is the number of whole elements of its width that its item holds.
std::uint8_t WalkRawdata(std::uint8_t* buffer, std::size_t size, RawdataHeader* header,
                         RawdataStaticData& staticData, RawdataPointerData* pointerData,
                         RawdataTrueCounts& counts, RawdataTailRecords* tails);

}  // namespace zentil
