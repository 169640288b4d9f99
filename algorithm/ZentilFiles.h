// Zentil's file and pulse exports: raw-data record files, pulse identification, pulse files.
//
// Included by algorithm/Zentil.h. The records here cross the library boundary and are
// byte-packed like the core records. The analyzer's original records were laid out for 32-bit
// pointers; here every pointer field is a native 64-bit pointer, so each field after a pointer
// sits 4 bytes further on. The comment beside each field gives its 32-bit offset; the
// static_asserts at the end pin the 64-bit offsets and sizes.
//
// Array references handed out by a read point into the library's read buffer and may be
// unaligned: copy the elements out (memcpy) rather than dereferencing them as typed values.
#pragma once

#include <cstddef>
#include <cstdint>

#include "algorithm/ZentilRecords.h"

#if !defined(ZENTIL_API)
#if defined(ZENTIL_BUILDING)
#define ZENTIL_API __attribute__((visibility("default")))
#else
#define ZENTIL_API
#endif
#endif

#pragma pack(push, 1)

// ---- Raw-data record file ------------------------------------------------------------------

// Payload of the header record (type 0), handed over uninterpreted.
struct RawdataHeader {
  std::uint8_t Bytes[92];
};

// Items of the static item records (type 1). Names carry the item id; references point into the
// read buffer, scalars are copies.
struct RawdataStaticData {
  std::uint8_t* Bytes0;              // 0   id 0
  std::uint16_t Bytes0Count;         // 4   low 16 bits of the element count
  std::uint8_t* Bytes1;              // 6   id 1
  std::uint16_t Bytes1Count;         // 10
  std::uint8_t* Bytes2;              // 12  id 2
  std::uint16_t Bytes2Count;         // 16
  std::uint8_t* Bytes3;              // 18  id 3
  std::uint16_t Bytes3Count;         // 22
  std::uint16_t* Words1001;          // 24
  std::uint8_t Reserved28[8];        // 28
  std::uint32_t Words1001Count;      // 36
  std::uint16_t* Words1002;          // 40
  std::uint8_t Reserved44[8];        // 44
  std::uint32_t Words1002Count;      // 52
  std::uint16_t* Words1003;          // 56
  std::uint8_t Reserved60[8];        // 60
  std::uint32_t Words1003Count;      // 68
  std::uint16_t* Words1004;          // 72
  std::uint8_t Reserved76[8];        // 76
  std::uint16_t* Words1005;          // 84
  std::uint8_t Reserved88[8];        // 88
  std::uint16_t* Words1006;          // 96
  std::uint8_t Reserved100[8];       // 100
  std::uint32_t Words1004To1006Count;  // 108 count of whichever of 1004-1006 was read last
  std::uint32_t* Longs1007;          // 112
  std::uint32_t Longs1007Count;      // 116
  std::uint32_t* Longs1008;          // 120
  std::uint32_t Longs1008Count;      // 124
  std::uint32_t* Longs1009;          // 128
  std::uint32_t Longs1009Count;      // 132
  std::uint32_t* Longs1010;          // 136
  std::uint32_t Longs1010Count;      // 140
  std::uint16_t* Words1015;          // 144 HGB blank readings
  std::uint16_t* Words1016;          // 148 HGB sample readings
  std::uint32_t Words1015To1016Count;  // 152 count of whichever of 1015, 1016 was read last
  std::uint8_t Byte1017;             // 156
  std::uint8_t Byte1018;             // 157
  std::uint8_t Byte1019;             // 158
  float Floats[16];                  // 159 slots 0-8: ids 1020-1028, slots 9-15: ids 1030-1036
  std::uint8_t Bytes2001[10];        // 223 ids 2001-2010
  std::uint16_t* Words10001;         // 233
  std::uint32_t Words10001Count;     // 237
  float Value10002;                  // 241
  float Value10003;                  // 245
  std::uint16_t* Words10004;         // 249
  std::uint32_t Words10004Count;     // 253
  float Value10005;                  // 257
  float Value10006;                  // 261
  std::uint16_t* Words10007;         // 265
  std::uint32_t Words10007Count;     // 269
  float Value10008;                  // 273
  float Value10009;                  // 277
  std::uint8_t Bytes11001[8];        // 281 ids 11001-11008
};

// Items of the pointer item records (type 2).
struct RawdataPointerData {
  float Values[25];                  // 0   ids 1-25 (12/13 and 18/19 crosswise)
  std::uint16_t* Words101;           // 100
  std::uint16_t Words101Count;       // 104
  std::uint16_t* Words102;           // 106
  std::uint16_t Words102Count;       // 110
  std::uint16_t* Words103;           // 112
  std::uint16_t Words103Count;       // 116
  std::uint8_t* Bytes0;              // 118 id 0
  std::uint16_t Bytes0Count;         // 122
};

// ---- Pulse identification ------------------------------------------------------------------

// Thresholds of one channel (15 u16, also the 30-byte records of the parameter file).
struct PulseIdenPara {
  std::uint16_t BaseLevel;
  std::uint16_t MinPeak;
  std::uint16_t MaxPeak;
  std::uint16_t MinWidth;
  std::uint16_t MaxWidth;
  std::uint16_t MinStartRise;
  std::uint16_t MinNextRise;
  std::uint16_t MinRiseSlope;
  std::uint16_t MinFallSlope;
  std::uint16_t TopLevel;
  std::uint16_t MaxTopWidth;
  std::uint16_t MaxStartPercent;
  std::uint16_t EndPercent;
  std::uint16_t ValleyPercent;
  std::uint16_t MinValleyPeak;
};

inline constexpr int kPulseSlots = 300;

// Accepted pulses of one channel. The caller provides the arrays and their capacities.
struct PulseResult {
  std::uint32_t Total;               // 0   pulses accepted
  std::uint32_t Stored;              // 4   entries written to the arrays
  std::uint16_t* PeakHeights;        // 8
  std::uint32_t PeakCapacity;        // 12  entries of PeakHeights
  std::uint32_t* PeakPositions;      // 16  optional
  std::uint32_t PositionCapacity;    // 20  entries of PeakPositions and of Widths
  std::uint32_t* Widths;             // 24  optional
  std::uint32_t WidthCapacity;       // 28  entries allocated for Widths (informational)
  std::uint32_t LastSlot;            // 32  last time slot that received a pulse
  std::uint32_t SlotCounts[kPulseSlots];  // 36
};

// ---- Pulse files ----------------------------------------------------------------------------

struct PulseDataLen {
  std::uint32_t WbcWords;
  std::uint32_t RbcWords;
  std::uint32_t PltWords;
  std::uint32_t Value1Count;
  std::uint32_t Value2Count;
  std::uint32_t Value3Count;
};

struct PulseData {
  std::uint16_t* Wbc;                // 0
  std::uint32_t WbcFilled;           // 4
  std::uint32_t WbcCapacity;         // 8
  std::uint16_t* Rbc;                // 12
  std::uint32_t RbcFilled;           // 16
  std::uint32_t RbcCapacity;         // 20
  std::uint16_t* Plt;                // 24
  std::uint32_t PltFilled;           // 28
  std::uint32_t PltCapacity;         // 32
  std::uint16_t* Value1;             // 36
  std::uint16_t* Value2;             // 40
  std::uint16_t* Value3;             // 44 with the time mark in bit 10 (second word layout)
  std::uint32_t PeakFilled;          // 48
  std::uint32_t PeakCapacity;        // 52
};

// One channel's accepted pulses in a batch run.
struct PulseIdenChannel {
  std::uint32_t Total;               // 0
  std::uint32_t Stored;              // 4
  std::uint16_t* PeakHeights;        // 8
  std::uint32_t* PeakPositions;      // 12
  std::uint32_t* Widths;             // 16
  std::uint32_t SlotCounts[kPulseSlots];  // 20
  std::uint32_t LastSlot;            // 1220
};

struct PulseIdenData {
  PulseIdenChannel Channel[3];       // 0 WBC, 1224 RBC, 2448 PLT
  std::uint32_t ListCount;           // 3672 entries in the peak list
  std::uint32_t ListCount2;          // 3676 the same count again
  std::uint16_t* ListValue1;         // 3680
  std::uint16_t* ListValue2;         // 3684
  std::uint16_t* ListValue3;         // 3688 low 10 bits
  std::uint32_t* ListIndex;          // 3692 index of the entry's peak word among all peak words
  std::uint32_t* ListSpare;          // 3696 allocated and released, never filled
  std::uint32_t ListSlotCounts[kPulseSlots];  // 3700
  std::uint32_t ListLastSlot;        // 4900
};

#pragma pack(pop)

// Entries of every array of AllocateMemoryForPulseIdenData (and of AllocateMemoryForPulse's
// codes 0-2).
inline constexpr std::uint32_t kPulseWorkingEntries = 500000;

extern "C" {

// Raw-data record file. Results: 0 done, 1 a null record, 3 no memory, 4 file not readable,
// 254 a record of an unknown type or a malformed record (records before it stay applied).
ZENTIL_API std::uint8_t ReadRawdata(RawdataHeader* header, RawdataStaticData* staticData,
                                    RawdataPointerData* pointerData, const char* path);
// Releases the read buffer (zero-filled first). Every reference of the last read ends here.
ZENTIL_API void ClearRawdata(void);
// ReadRawdata then ClearRawdata; only the by-value fields are usable (references are cleared).
ZENTIL_API std::uint8_t GetRawdataStaticData(RawdataHeader* header, RawdataStaticData* staticData,
                                             RawdataPointerData* pointerData, const char* path);
// Copies the file's arrays into the caller's buffers; 0 all copied, 1 read failed, 2 a static
// array count differed, 3 a pointer-record array count differed.
ZENTIL_API std::uint8_t GetRawdataPointerData(RawdataStaticData* staticData,
                                              RawdataPointerData* pointerData, const char* path);
// Fills the leading block of an algorithm input from a read static record; 1 when one is null.
ZENTIL_API std::uint8_t GetAlgoDataFromRecord_1(AlgorithmInput* input,
                                                const RawdataStaticData* staticData);
// Clears repeated tail triples of items 1004-1006 and writes the file with fresh checksums.
// 0 done, 3 no memory or destination not writable, 4 source not readable (nothing written),
// 5 no memory for the work copy (source copied unchanged), 254 as for ReadRawdata.
ZENTIL_API std::uint8_t ReviseRawdata(const char* destination, const char* source);

// Pulse identification.
ZENTIL_API std::uint8_t GetPulseIdenParaDefault(PulseIdenPara* para, std::uint8_t channel);
// 0 done, 1 null result, 2 null samples with a nonzero count, 3 null peak-height array.
ZENTIL_API std::uint8_t CbcPulseIdentify(PulseResult* result, const std::uint16_t* samples,
                                         std::uint32_t count, const PulseIdenPara* para,
                                         std::uint8_t channel);
// Peaks between baseline samples; the fourth argument is not used. Result codes as
// CbcPulseIdentify; writes never pass PeakCapacity and PositionCapacity.
ZENTIL_API std::uint8_t CbcFindPeak(PulseResult* result, const std::int16_t* samples,
                                    std::int32_t count, const PulseIdenPara* unused,
                                    std::uint8_t channel);
// Arrays for a result, capacities set to what was obtained: codes 0-2 500 000 entries each,
// code 3 1 500 000 peak heights, positions and widths. 0 done, 1 null record or unknown code,
// 3 no memory (the arrays of this call are released again).
ZENTIL_API std::uint8_t AllocateMemoryForPulse(PulseResult* result, std::uint8_t code);
ZENTIL_API void DeallocateMemoryForPulse(PulseResult* result);
// Writes "1.0.3.130115" and its zero when the buffer holds at least 13 bytes.
ZENTIL_API void GetPulseIdentifyVersion(char* buffer, std::uint16_t length);

// Pulse files. GetPulseDataLen: 0 done, 1 null record, 2 file not readable, 3 end not
// seekable, 4 no memory to read the file.
ZENTIL_API std::uint8_t GetPulseDataLen(PulseDataLen* length, const char* path);
// 0 done, 1 a null record, 3 no memory (nothing allocated is kept).
ZENTIL_API std::uint8_t AllocateMemoryForPulseData(PulseData* data, const PulseDataLen* length);
// 0 done, 1 null record or path, 2 file not readable, 3 no memory to read it.
ZENTIL_API std::uint8_t ParsePulseData(PulseData* data, const char* path);
ZENTIL_API void DeallocateMemoryForPulseData(PulseData* data);
// 0 done, 1 null record, 3 no memory (nothing allocated by this call is kept).
ZENTIL_API std::uint8_t AllocateMemoryForPulseIdenData(PulseIdenData* data);
ZENTIL_API void DeallocateMemoryForPulseIdenData(PulseIdenData* data);
// The first failing channel run's result, 3 when the peak list arrays are missing, else 0.
ZENTIL_API std::uint8_t DoPulseIdentify(PulseIdenData* idenData, const PulseData* data,
                                        const char* pulsePath, const char* paraPath);
// 0 done, 1 null record or path, 2 measuring failed, 3 splitting failed, else the result of
// DoPulseIdentify.
ZENTIL_API std::uint8_t DoFilePulseIdentify(PulseIdenData* idenData, const char* pulsePath,
                                            const char* paraPath);

}  // extern "C"

// ---- Layout checks ------------------------------------------------------------------------
namespace zentil_layout {
constexpr std::size_t RawdataStaticData_At(std::size_t old) {
  return Moved(old, {0, 6, 12, 18, 24, 40, 56, 72, 84, 96, 112, 120, 128, 136, 144, 148, 233,
                     249, 265});
}
constexpr std::size_t RawdataPointerData_At(std::size_t old) {
  return Moved(old, {100, 106, 112, 118});
}
constexpr std::size_t PulseResult_At(std::size_t old) { return Moved(old, {8, 16, 24}); }
constexpr std::size_t PulseData_At(std::size_t old) { return Moved(old, {0, 12, 24, 36, 40, 44}); }
constexpr std::size_t PulseIdenChannel_At(std::size_t old) { return Moved(old, {8, 12, 16}); }
constexpr std::size_t PulseIdenData_At(std::size_t old) {
  // Three channel blocks of three pointers each, then the list's five pointers.
  return Moved(old, {8, 12, 16, 1232, 1236, 1240, 2456, 2460, 2464, 3680, 3684, 3688, 3692,
                     3696});
}
}  // namespace zentil_layout

#define ZENTIL_FILES_AT(rec, field, old) \
  static_assert(offsetof(rec, field) == zentil_layout::rec##_At(old), #rec "::" #field)

static_assert(sizeof(RawdataHeader) == 92);
static_assert(sizeof(RawdataStaticData) == 289 + 19 * 4);
static_assert(sizeof(RawdataPointerData) == 124 + 4 * 4);
static_assert(sizeof(PulseIdenPara) == 30);
static_assert(sizeof(PulseResult) == 1236 + 3 * 4);
static_assert(sizeof(PulseDataLen) == 24);
static_assert(sizeof(PulseData) == 56 + 6 * 4);
static_assert(sizeof(PulseIdenChannel) == 1224 + 3 * 4);
static_assert(sizeof(PulseIdenData) == 4904 + 14 * 4);

ZENTIL_FILES_AT(RawdataStaticData, Bytes1, 6);
ZENTIL_FILES_AT(RawdataStaticData, Bytes1Count, 10);
ZENTIL_FILES_AT(RawdataStaticData, Bytes3Count, 22);
ZENTIL_FILES_AT(RawdataStaticData, Words1001, 24);
ZENTIL_FILES_AT(RawdataStaticData, Words1001Count, 36);
ZENTIL_FILES_AT(RawdataStaticData, Words1002Count, 52);
ZENTIL_FILES_AT(RawdataStaticData, Words1003Count, 68);
ZENTIL_FILES_AT(RawdataStaticData, Words1004, 72);
ZENTIL_FILES_AT(RawdataStaticData, Words1005, 84);
ZENTIL_FILES_AT(RawdataStaticData, Words1006, 96);
ZENTIL_FILES_AT(RawdataStaticData, Words1004To1006Count, 108);
ZENTIL_FILES_AT(RawdataStaticData, Longs1007, 112);
ZENTIL_FILES_AT(RawdataStaticData, Longs1010Count, 140);
ZENTIL_FILES_AT(RawdataStaticData, Words1015, 144);
ZENTIL_FILES_AT(RawdataStaticData, Words1016, 148);
ZENTIL_FILES_AT(RawdataStaticData, Words1015To1016Count, 152);
ZENTIL_FILES_AT(RawdataStaticData, Byte1017, 156);
ZENTIL_FILES_AT(RawdataStaticData, Floats, 159);
ZENTIL_FILES_AT(RawdataStaticData, Bytes2001, 223);
ZENTIL_FILES_AT(RawdataStaticData, Words10001, 233);
ZENTIL_FILES_AT(RawdataStaticData, Value10002, 241);
ZENTIL_FILES_AT(RawdataStaticData, Words10004Count, 253);
ZENTIL_FILES_AT(RawdataStaticData, Value10006, 261);
ZENTIL_FILES_AT(RawdataStaticData, Words10007, 265);
ZENTIL_FILES_AT(RawdataStaticData, Value10009, 277);
ZENTIL_FILES_AT(RawdataStaticData, Bytes11001, 281);
ZENTIL_FILES_AT(RawdataPointerData, Words101, 100);
ZENTIL_FILES_AT(RawdataPointerData, Words101Count, 104);
ZENTIL_FILES_AT(RawdataPointerData, Words102, 106);
ZENTIL_FILES_AT(RawdataPointerData, Words103Count, 116);
ZENTIL_FILES_AT(RawdataPointerData, Bytes0, 118);
ZENTIL_FILES_AT(RawdataPointerData, Bytes0Count, 122);
ZENTIL_FILES_AT(PulseResult, PeakHeights, 8);
ZENTIL_FILES_AT(PulseResult, PeakCapacity, 12);
ZENTIL_FILES_AT(PulseResult, PositionCapacity, 20);
ZENTIL_FILES_AT(PulseResult, WidthCapacity, 28);
ZENTIL_FILES_AT(PulseResult, LastSlot, 32);
ZENTIL_FILES_AT(PulseResult, SlotCounts, 36);
ZENTIL_FILES_AT(PulseData, WbcCapacity, 8);
ZENTIL_FILES_AT(PulseData, Rbc, 12);
ZENTIL_FILES_AT(PulseData, PltCapacity, 32);
ZENTIL_FILES_AT(PulseData, Value1, 36);
ZENTIL_FILES_AT(PulseData, Value3, 44);
ZENTIL_FILES_AT(PulseData, PeakFilled, 48);
ZENTIL_FILES_AT(PulseData, PeakCapacity, 52);
ZENTIL_FILES_AT(PulseIdenChannel, SlotCounts, 20);
ZENTIL_FILES_AT(PulseIdenChannel, LastSlot, 1220);
ZENTIL_FILES_AT(PulseIdenData, Channel, 0);
ZENTIL_FILES_AT(PulseIdenData, ListCount, 3672);
ZENTIL_FILES_AT(PulseIdenData, ListValue1, 3680);
ZENTIL_FILES_AT(PulseIdenData, ListIndex, 3692);
ZENTIL_FILES_AT(PulseIdenData, ListSpare, 3696);
ZENTIL_FILES_AT(PulseIdenData, ListSlotCounts, 3700);
ZENTIL_FILES_AT(PulseIdenData, ListLastSlot, 4900);
static_assert(offsetof(PulseIdenData, Channel) + sizeof(PulseIdenChannel) ==
              zentil_layout::PulseIdenData_At(1224));
static_assert(offsetof(PulseIdenData, Channel) + 2 * sizeof(PulseIdenChannel) ==
              zentil_layout::PulseIdenData_At(2448));
#undef ZENTIL_FILES_AT
