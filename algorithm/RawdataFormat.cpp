// Raw-data record files: a chain of records, each [CRC u16][type u16][length u32] followed by
// either a 92-byte header payload (type 0) or an item list (types 1 and 2):
// [count u32] then items [id u32][type code u8][element count u32][elements].
#include "algorithm/RawdataFormat.h"

#include <cstring>

#include "algorithm/RawdataIo.h"

namespace zentil {

std::uint16_t RawdataCrc(const std::uint8_t* data, std::size_t size) {
  std::uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc = static_cast<std::uint16_t>(crc ^ (data[i] << 8));
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return static_cast<std::uint16_t>(crc ^ 0xFFFF);
}

std::size_t RawdataElementSize(std::uint8_t code) {
  switch (code) {
    case 7:
    case 8:
      return 2;
    case 9:
    case 10:
    case 11:
      return 4;
    case 12:
      return 8;
    default:
      return 1;
  }
}

namespace {

struct Item {
  std::uint32_t id;
  std::uint8_t* data;
  std::size_t bytes;
};

// Whole elements of the given width in an item.
std::uint32_t Elements(const Item& item, std::size_t width) {
  const std::size_t n = item.bytes / width;
  return n > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(n);
}

template <typename T>
T* Ref(const Item& item) {
  return reinterpret_cast<T*>(item.data);
}

float FirstFloat(const Item& item, float keep) {
  if (item.bytes < sizeof(float)) return keep;
  float v;
  std::memcpy(&v, item.data, sizeof v);
  return v;
}

std::uint8_t FirstByte(const Item& item, std::uint8_t keep) {
  return item.bytes >= 1 ? item.data[0] : keep;
}

void ApplyStatic(RawdataStaticData& s, const Item& it, RawdataTrueCounts& counts) {
  const std::uint32_t id = it.id;
  switch (id) {
    case 0: s.Bytes0 = Ref<std::uint8_t>(it); s.Bytes0Count = static_cast<std::uint16_t>(Elements(it, 1)); return;
    case 1: s.Bytes1 = Ref<std::uint8_t>(it); s.Bytes1Count = static_cast<std::uint16_t>(Elements(it, 1)); return;
    case 2: s.Bytes2 = Ref<std::uint8_t>(it); s.Bytes2Count = static_cast<std::uint16_t>(Elements(it, 1)); return;
    case 3: s.Bytes3 = Ref<std::uint8_t>(it); s.Bytes3Count = static_cast<std::uint16_t>(Elements(it, 1)); return;
    case 1001: s.Words1001 = Ref<std::uint16_t>(it); s.Words1001Count = Elements(it, 2); return;
    case 1002: s.Words1002 = Ref<std::uint16_t>(it); s.Words1002Count = Elements(it, 2); return;
    case 1003: s.Words1003 = Ref<std::uint16_t>(it); s.Words1003Count = Elements(it, 2); return;
    case 1004:
      s.Words1004 = Ref<std::uint16_t>(it);
      s.Words1004To1006Count = counts.words1004 = Elements(it, 2);
      return;
    case 1005:
      s.Words1005 = Ref<std::uint16_t>(it);
      s.Words1004To1006Count = counts.words1005 = Elements(it, 2);
      return;
    case 1006:
      s.Words1006 = Ref<std::uint16_t>(it);
      s.Words1004To1006Count = counts.words1006 = Elements(it, 2);
      return;
    case 1007: s.Longs1007 = Ref<std::uint32_t>(it); s.Longs1007Count = Elements(it, 4); return;
    case 1008: s.Longs1008 = Ref<std::uint32_t>(it); s.Longs1008Count = Elements(it, 4); return;
    case 1009: s.Longs1009 = Ref<std::uint32_t>(it); s.Longs1009Count = Elements(it, 4); return;
    case 1010: s.Longs1010 = Ref<std::uint32_t>(it); s.Longs1010Count = Elements(it, 4); return;
    case 1015:
      s.Words1015 = Ref<std::uint16_t>(it);
      s.Words1015To1016Count = counts.words1015 = Elements(it, 2);
      return;
    case 1016:
      s.Words1016 = Ref<std::uint16_t>(it);
      s.Words1015To1016Count = counts.words1016 = Elements(it, 2);
      return;
    case 1017: s.Byte1017 = FirstByte(it, s.Byte1017); return;
    case 1018: s.Byte1018 = FirstByte(it, s.Byte1018); return;
    case 1019: s.Byte1019 = FirstByte(it, s.Byte1019); return;
    case 10001: s.Words10001 = Ref<std::uint16_t>(it); s.Words10001Count = Elements(it, 2); return;
    case 10004: s.Words10004 = Ref<std::uint16_t>(it); s.Words10004Count = Elements(it, 2); return;
    case 10007: s.Words10007 = Ref<std::uint16_t>(it); s.Words10007Count = Elements(it, 2); return;
    case 10002: s.Value10002 = FirstFloat(it, s.Value10002); return;
    case 10003: s.Value10003 = FirstFloat(it, s.Value10003); return;
    case 10005: s.Value10005 = FirstFloat(it, s.Value10005); return;
    case 10006: s.Value10006 = FirstFloat(it, s.Value10006); return;
    case 10008: s.Value10008 = FirstFloat(it, s.Value10008); return;
    case 10009: s.Value10009 = FirstFloat(it, s.Value10009); return;
    default: break;
  }
  if (id >= 1020 && id <= 1036 && id != 1029) {
    const std::uint32_t slot = id < 1029 ? id - 1020 : id - 1021;
    s.Floats[slot] = FirstFloat(it, s.Floats[slot]);
  } else if (id >= 2001 && id <= 2010) {
    s.Bytes2001[id - 2001] = FirstByte(it, s.Bytes2001[id - 2001]);
  } else if (id >= 11001 && id <= 11008) {
    s.Bytes11001[id - 11001] = FirstByte(it, s.Bytes11001[id - 11001]);
  }
}

// Slot of a value id of the pointer record (12/13 and 18/19 land crosswise), or -1.
int PointerSlot(std::uint32_t id) {
  if (id >= 1 && id <= 11) return static_cast<int>(id) - 1;
  if (id == 12) return 12;
  if (id == 13) return 11;
  if (id >= 14 && id <= 17) return static_cast<int>(id) - 1;
  if (id == 18) return 18;
  if (id == 19) return 17;
  if (id >= 20 && id <= 25) return static_cast<int>(id) - 1;
  return -1;
}

void ApplyPointer(RawdataPointerData& p, const Item& it) {
  switch (it.id) {
    case 101: p.Words101 = Ref<std::uint16_t>(it); p.Words101Count = static_cast<std::uint16_t>(Elements(it, 2)); return;
    case 102: p.Words102 = Ref<std::uint16_t>(it); p.Words102Count = static_cast<std::uint16_t>(Elements(it, 2)); return;
    case 103: p.Words103 = Ref<std::uint16_t>(it); p.Words103Count = static_cast<std::uint16_t>(Elements(it, 2)); return;
    case 0: p.Bytes0 = Ref<std::uint8_t>(it); p.Bytes0Count = static_cast<std::uint16_t>(Elements(it, 1)); return;
    default: break;
  }
  const int slot = PointerSlot(it.id);
  if (slot >= 0) p.Values[slot] = FirstFloat(it, p.Values[slot]);
}

// Visits the items of the record [begin, begin+length); false when one runs past the record.
template <typename Visit>
bool ForEachItem(std::uint8_t* record, std::size_t length, Visit visit) {
  const std::uint32_t count = LoadU32(record + 8);
  std::size_t pos = kRawdataItemsStart;
  for (std::uint32_t k = 0; k < count; ++k) {
    if (length - pos < kRawdataItemHeader) return false;
    Item item;
    item.id = LoadU32(record + pos);
    const std::uint64_t bytes =
        static_cast<std::uint64_t>(LoadU32(record + pos + 5)) * RawdataElementSize(record[pos + 4]);
    pos += kRawdataItemHeader;
    if (bytes > length - pos) return false;
    item.data = record + pos;
    item.bytes = static_cast<std::size_t>(bytes);
    pos += item.bytes;
    visit(item);
  }
  return true;
}

bool ChecksumMatches(const std::uint8_t* record, std::size_t length) {
  return LoadU16(record) == RawdataCrc(record + 2, length - 2);
}

}  // namespace

std::uint8_t WalkRawdata(std::uint8_t* buffer, std::size_t size, RawdataHeader* header,
                         RawdataStaticData& staticData, RawdataPointerData* pointerData,
                         RawdataTrueCounts& counts, RawdataTailRecords* tails) {
  std::size_t off = 0;
  while (off < size) {
    if (size - off < kRawdataRecordHeader) return kRawdataBadRecord;
    std::uint8_t* record = buffer + off;
    const std::uint16_t type = LoadU16(record + 2);
    const std::size_t length = LoadU32(record + 4);
    if (type > 2 || length < kRawdataRecordHeader || length > size - off) return kRawdataBadRecord;
    if (type == 0) {
      if (length < kRawdataHeaderRecord) return kRawdataBadRecord;
      if (header != nullptr && ChecksumMatches(record, length))
        std::memcpy(header->Bytes, record + kRawdataRecordHeader, sizeof header->Bytes);
    } else {
      if (length < kRawdataItemsStart) return kRawdataBadRecord;
      if (ChecksumMatches(record, length)) {
        // The items are trusted only after the checksum, and applied only once all of them
        // were found to lie inside the record.
        if (!ForEachItem(record, length, [](const Item&) {})) return kRawdataBadRecord;
        if (type == 1) {
          ForEachItem(record, length, [&](const Item& item) {
            ApplyStatic(staticData, item, counts);
            if (tails != nullptr && item.id >= 1004 && item.id <= 1006) {
              tails->offset[item.id - 1004] = off;
              tails->length[item.id - 1004] = length;
            }
          });
        } else if (pointerData != nullptr) {
          ForEachItem(record, length, [&](const Item& item) { ApplyPointer(*pointerData, item); });
        }
      }
    }
    off += length;
  }
  return kRawdataDone;
}

}  // namespace zentil
