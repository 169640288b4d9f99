// Raw-data record files: checksum, record walk, item tables, the conveniences around a read,
// the conversion to an algorithm input, and the revision of repeated tails.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "algorithm/RawdataBuffer.h"
#include "algorithm/RawdataFormat.h"
#include "algorithm/RawdataIo.h"
#include "algorithm/Zentil.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint16_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

struct Item {
  std::uint32_t id;
  std::uint8_t code;
  std::uint32_t count;
  Bytes data;
};

Item W(std::uint32_t id, std::vector<std::uint16_t> words) {
  Item it{id, 7, static_cast<std::uint32_t>(words.size()), {}};
  for (auto w : words) Put16(it.data, w);
  return it;
}
Item L(std::uint32_t id, std::vector<std::uint32_t> longs) {
  Item it{id, 10, static_cast<std::uint32_t>(longs.size()), {}};
  for (auto v : longs) Put32(it.data, v);
  return it;
}
Item F(std::uint32_t id, float v) {
  Item it{id, 11, 1, Bytes(4)};
  std::memcpy(it.data.data(), &v, 4);
  return it;
}
Item B(std::uint32_t id, std::vector<std::uint8_t> bytes) {
  return Item{id, 1, static_cast<std::uint32_t>(bytes.size()), bytes};
}

void Seal(Bytes& record) {
  const std::uint16_t crc = zentil::RawdataCrc(record.data() + 2, record.size() - 2);
  record[0] = static_cast<std::uint8_t>(crc);
  record[1] = static_cast<std::uint8_t>(crc >> 8);
}

Bytes ItemRecord(std::uint16_t type, const std::vector<Item>& items, bool goodCrc = true) {
  Bytes r;
  Put16(r, 0);
  Put16(r, type);
  Put32(r, 0);
  Put32(r, static_cast<std::uint32_t>(items.size()));
  for (const Item& it : items) {
    Put32(r, it.id);
    r.push_back(it.code);
    Put32(r, it.count);
    r.insert(r.end(), it.data.begin(), it.data.end());
  }
  const auto n = static_cast<std::uint32_t>(r.size());
  std::memcpy(r.data() + 4, &n, 4);
  Seal(r);
  if (!goodCrc) r[0] ^= 0x5A;
  return r;
}

Bytes HeaderRecord(std::uint8_t fill, bool goodCrc = true) {
  Bytes r;
  Put16(r, 0);
  Put16(r, 0);
  Put32(r, 100);
  for (int i = 0; i < 92; ++i) r.push_back(static_cast<std::uint8_t>(fill + i));
  Seal(r);
  if (!goodCrc) r[1] ^= 0x01;
  return r;
}

Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

template <typename T>
std::vector<T> Elements(const T* p, std::size_t n) {
  std::vector<T> v(n);
  if (n) std::memcpy(v.data(), p, n * sizeof(T));
  return v;
}

class RawdataFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/zentil_rawdata_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    ClearRawdata();
    zentil::FailAllocationsAfter(-1);
    std::string cmd = "rm -rf '" + dir_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }
  static Bytes Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }
  std::uint8_t Read(const std::string& path) {
    return ReadRawdata(&header_, &static_, &pointer_, path.c_str());
  }

  std::string dir_;
  RawdataHeader header_;
  RawdataStaticData static_;
  RawdataPointerData pointer_;
};

TEST(RawdataChecksum, CatalogueValues) {
  const struct {
    const char* text;
    std::uint16_t crc;
  } cases[] = {{"", 0x0000}, {"123456789", 0xD64E}};
  for (const auto& c : cases) {
    EXPECT_EQ(zentil::RawdataCrc(reinterpret_cast<const std::uint8_t*>(c.text), std::strlen(c.text)),
              c.crc)
        << c.text;
  }
  // One flipped bit anywhere changes the checksum.
  std::uint8_t bytes[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  for (std::size_t i = 0; i < sizeof bytes; ++i) {
    bytes[i] ^= 0x10;
    EXPECT_NE(zentil::RawdataCrc(bytes, sizeof bytes), 0xD64E);
    bytes[i] ^= 0x10;
  }
}

TEST_F(RawdataFile, HeaderRecordIsTakenOnlyWithItsChecksum) {
  EXPECT_EQ(Read(Write("good.dat", HeaderRecord(7))), 0);
  for (int i = 0; i < 92; ++i) ASSERT_EQ(+header_.Bytes[i], static_cast<std::uint8_t>(7 + i));
  EXPECT_EQ(Read(Write("bad.dat", HeaderRecord(7, false))), 0);
  for (int i = 0; i < 92; ++i) ASSERT_EQ(+header_.Bytes[i], 0);
}

TEST_F(RawdataFile, NullRecordsMissingEmptyAndNoMemory) {
  const std::string path = Write("one.dat", HeaderRecord(1));
  EXPECT_EQ(ReadRawdata(nullptr, &static_, &pointer_, path.c_str()), 1);
  EXPECT_EQ(ReadRawdata(&header_, nullptr, &pointer_, path.c_str()), 1);
  EXPECT_EQ(ReadRawdata(&header_, &static_, nullptr, path.c_str()), 1);
  EXPECT_EQ(Read(dir_ + "/missing.dat"), 4);
  EXPECT_EQ(Read(dir_), 4);  // a folder is not a readable file
  EXPECT_EQ(ReadRawdata(&header_, &static_, &pointer_, nullptr), 4);
  EXPECT_EQ(Read(Write("empty.dat", {})), 0);
  zentil::FailAllocationsAfter(0);
  std::memset(&static_, 0x77, sizeof static_);
  EXPECT_EQ(Read(path), 3);
  EXPECT_EQ(+static_.Byte1017, 0);  // zero-filled before the attempt
  EXPECT_EQ(zentil::KeptRawdata().data, nullptr);
}

TEST_F(RawdataFile, StaticItemsLandInTheirFields) {
  std::vector<Item> items = {
      B(0, {1, 2, 3}),       W(1001, {11, 12}),     W(1002, {21}),        W(1003, {31, 32, 33}),
      L(1007, {70001, 70002}), L(1010, {100}),      W(1015, {5, 6, 7}),   W(1016, {8, 9, 10}),
      B(1017, {4}),          B(1018, {5}),          B(1019, {6}),         F(1020, 280.0f),
      F(1028, 8.5f),         F(1029, 99.0f),        F(1030, 1.25f),       F(1036, 3.5f),
      B(2001, {41}),         B(2010, {50}),         W(10001, {1, 2}),     F(10002, 2.5f),
      F(10009, 9.5f),        B(11001, {61}),        B(11008, {68}),       W(1011, {9, 9}),
      W(65535, {1}),
  };
  ASSERT_EQ(Read(Write("static.dat", Join({HeaderRecord(0), ItemRecord(1, items)}))), 0);
  const RawdataStaticData& s = static_;
  EXPECT_EQ(+s.Bytes0Count, 3);
  EXPECT_EQ(Elements(s.Bytes0, 3), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(+s.Words1001Count, 2u);
  EXPECT_EQ(Elements(s.Words1001, 2), (std::vector<std::uint16_t>{11, 12}));
  EXPECT_EQ(+s.Words1003Count, 3u);
  EXPECT_EQ(+s.Longs1007Count, 2u);
  EXPECT_EQ(Elements(s.Longs1007, 2), (std::vector<std::uint32_t>{70001, 70002}));
  EXPECT_EQ(+s.Words1015To1016Count, 3u);
  EXPECT_EQ(Elements(s.Words1016, 3), (std::vector<std::uint16_t>{8, 9, 10}));
  EXPECT_EQ(+s.Byte1017, 4);
  EXPECT_EQ(+s.Byte1019, 6);
  EXPECT_EQ(+s.Floats[0], 280.0f);
  EXPECT_EQ(+s.Floats[8], 8.5f);
  EXPECT_EQ(+s.Floats[9], 1.25f);  // 1029 has no slot: 1030 follows 1028
  EXPECT_EQ(+s.Floats[15], 3.5f);
  EXPECT_EQ(+s.Bytes2001[0], 41);
  EXPECT_EQ(+s.Bytes2001[9], 50);
  EXPECT_EQ(+s.Words10001Count, 2u);
  EXPECT_EQ(+s.Value10002, 2.5f);
  EXPECT_EQ(+s.Value10009, 9.5f);
  EXPECT_EQ(+s.Bytes11001[0], 61);
  EXPECT_EQ(+s.Bytes11001[7], 68);
  EXPECT_EQ(+s.Words1004, nullptr);
  // References point into the kept read buffer.
  const auto* base = zentil::KeptRawdata().data;
  const auto* p = reinterpret_cast<const std::uint8_t*>(s.Words1001);
  EXPECT_TRUE(p > base && p < base + zentil::KeptRawdata().size);
}

TEST_F(RawdataFile, PointerValuesLandCrosswiseWhereTheyShould) {
  std::vector<Item> items;
  for (std::uint32_t id = 1; id <= 25; ++id) items.push_back(F(id, 100.0f + id));
  items.push_back(W(101, {1, 2, 3}));
  items.push_back(W(103, {4}));
  items.push_back(B(0, {9, 8}));
  items.push_back(F(26, 1.0f));
  ASSERT_EQ(Read(Write("pointer.dat", ItemRecord(2, items))), 0);
  const int idOfSlot[25] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 13, 12,
                            14, 15, 16, 17, 19, 18, 20, 21, 22, 23, 24, 25};
  for (int slot = 0; slot < 25; ++slot)
    EXPECT_EQ(+pointer_.Values[slot], 100.0f + idOfSlot[slot]) << slot;
  EXPECT_EQ(+pointer_.Words101Count, 3);
  EXPECT_EQ(Elements(pointer_.Words101, 3), (std::vector<std::uint16_t>{1, 2, 3}));
  EXPECT_EQ(+pointer_.Words102, nullptr);
  EXPECT_EQ(+pointer_.Words103Count, 1);
  EXPECT_EQ(+pointer_.Bytes0Count, 2);
  // Type-2 items never reach the static record.
  EXPECT_EQ(+static_.Bytes0, nullptr);
}

TEST_F(RawdataFile, LaterItemsOverwriteEarlierOnesAndDamagedRecordsAreSkipped) {
  const Bytes file = Join({ItemRecord(1, {B(1017, {3})}), ItemRecord(1, {B(1017, {9})}),
                           ItemRecord(1, {B(1018, {5})}, false), ItemRecord(1, {B(1019, {6})})});
  ASSERT_EQ(Read(Write("dup.dat", file)), 0);
  EXPECT_EQ(+static_.Byte1017, 9);
  EXPECT_EQ(+static_.Byte1018, 0);
  EXPECT_EQ(+static_.Byte1019, 6);
}

TEST_F(RawdataFile, SharedCountIsThatOfTheLastRead) {
  const std::vector<std::uint16_t> ten(10, 1), twelve(12, 2);
  const struct {
    std::vector<std::uint32_t> order;
    std::uint32_t expect;
  } cases[] = {{{1004, 1005, 1006}, 10}, {{1004, 1006, 1005}, 12}, {{1005, 1004, 1006}, 10}};
  for (const auto& c : cases) {
    std::vector<Item> items;
    for (std::uint32_t id : c.order) items.push_back(W(id, id == 1005 ? twelve : ten));
    ASSERT_EQ(Read(Write("shared.dat", ItemRecord(1, items))), 0);
    EXPECT_EQ(+static_.Words1004To1006Count, c.expect);
  }
}

TEST_F(RawdataFile, UnknownTypeStopsWithEarlierRecordsApplied) {
  Bytes third = ItemRecord(1, {B(1019, {7})});
  third[2] = 3;
  Seal(third);
  const Bytes file = Join({ItemRecord(1, {B(1017, {1})}), ItemRecord(2, {F(1, 4.0f)}), third,
                           ItemRecord(1, {B(1018, {2})})});
  EXPECT_EQ(Read(Write("type3.dat", file)), 254);
  EXPECT_EQ(+static_.Byte1017, 1);
  EXPECT_EQ(+pointer_.Values[0], 4.0f);
  EXPECT_EQ(+static_.Byte1019, 0);
  EXPECT_EQ(+static_.Byte1018, 0);
}

// Records that lie about their size: refused with 254, never an endless walk or a read
// outside the file; the records before them stay applied.
TEST_F(RawdataFile, MalformedRecordsAreRefused) {
  const Bytes good = ItemRecord(1, {B(1017, {5})});
  auto withLength = [](Bytes r, std::uint32_t length, bool reseal) {
    std::memcpy(r.data() + 4, &length, 4);
    if (reseal) Seal(r);
    return r;
  };
  Bytes shortHeader = HeaderRecord(0);
  shortHeader.resize(60);
  const std::uint32_t len60 = 60;
  std::memcpy(shortHeader.data() + 4, &len60, 4);
  Seal(shortHeader);
  // An item whose element count runs past its record, with a checksum that matches.
  Bytes overrun = ItemRecord(1, {W(1001, {1, 2, 3})});
  const std::uint32_t many = 1000;
  std::memcpy(overrun.data() + 12 + 5, &many, 4);
  Seal(overrun);
  // An item count larger than the items present.
  Bytes tooManyItems = ItemRecord(1, {B(1019, {1})});
  const std::uint32_t hundred = 100;
  std::memcpy(tooManyItems.data() + 8, &hundred, 4);
  Seal(tooManyItems);
  Bytes itemHeaderOnly = ItemRecord(1, {});
  itemHeaderOnly.resize(10);
  const std::uint32_t len10 = 10;
  std::memcpy(itemHeaderOnly.data() + 4, &len10, 4);
  Seal(itemHeaderOnly);

  const struct {
    const char* what;
    Bytes tail;
  } cases[] = {
      {"length 0", withLength(ItemRecord(1, {B(1018, {1})}), 0, false)},
      {"length below the record header", withLength(ItemRecord(1, {B(1018, {1})}), 7, true)},
      {"length past the file", withLength(ItemRecord(1, {B(1018, {1})}), 5000, true)},
      {"header record shorter than 100 bytes", shortHeader},
      {"item record shorter than its item count", itemHeaderOnly},
      {"item data past the record", overrun},
      {"more items announced than present", tooManyItems},
      {"a tail shorter than a record header", Bytes{1, 2, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    const Bytes file = Join({good, c.tail});
    EXPECT_EQ(Read(Write("bad.dat", file)), 254) << c.what;
    EXPECT_EQ(+static_.Byte1017, 5) << c.what;
    EXPECT_EQ(+static_.Byte1018, 0) << c.what;
    EXPECT_EQ(+static_.Byte1019, 0) << c.what;
    EXPECT_EQ(+static_.Words1001, nullptr) << c.what;
  }
  // The same overrunning item under a checksum that does not match is only a damaged record.
  Bytes damaged = overrun;
  damaged[0] ^= 0xFF;
  EXPECT_EQ(Read(Write("damaged.dat", Join({good, damaged, good}))), 0);
}

TEST_F(RawdataFile, ItemsShorterThanTheirFieldAreNotReadPast) {
  // A float id given one byte, a byte id given none, a 16-bit array given 1-byte elements.
  const Bytes file = ItemRecord(1, {Item{1020, 1, 1, {0x42}}, Item{1017, 1, 0, {}},
                                    Item{1001, 1, 5, {1, 2, 3, 4, 5}}, F(1021, 7.0f)});
  ASSERT_EQ(Read(Write("short.dat", file)), 0);
  EXPECT_EQ(+static_.Floats[0], 0.0f);
  EXPECT_EQ(+static_.Byte1017, 0);
  EXPECT_EQ(+static_.Words1001Count, 2u);  // the whole 16-bit elements that the item holds
  EXPECT_EQ(+static_.Floats[1], 7.0f);
}

TEST_F(RawdataFile, ReadingAgainReplacesTheKeptBuffer) {
  const std::string a = Write("a.dat", ItemRecord(1, {W(1001, {1, 2, 3, 4})}));
  ASSERT_EQ(Read(a), 0);
  ASSERT_EQ(Read(a), 0);  // the first buffer is released here, not leaked
  EXPECT_EQ(zentil::KeptRawdata().size, Slurp(a).size());
  EXPECT_EQ(Elements(static_.Words1001, 4), (std::vector<std::uint16_t>{1, 2, 3, 4}));
  ClearRawdata();
  EXPECT_EQ(zentil::KeptRawdata().data, nullptr);
  ClearRawdata();  // nothing kept: no effect
}

TEST_F(RawdataFile, StaticDataConvenienceKeepsValuesAndDropsReferences) {
  const std::string path = Write("s.dat", ItemRecord(1, {W(1001, {1, 2}), B(1017, {3}), F(1027, 4.0f)}));
  EXPECT_EQ(GetRawdataStaticData(&header_, &static_, &pointer_, path.c_str()), 0);
  EXPECT_EQ(+static_.Byte1017, 3);
  EXPECT_EQ(+static_.Floats[7], 4.0f);
  EXPECT_EQ(+static_.Words1001Count, 2u);
  EXPECT_EQ(+static_.Words1001, nullptr);
  EXPECT_EQ(zentil::KeptRawdata().data, nullptr);
  EXPECT_EQ(GetRawdataStaticData(nullptr, &static_, &pointer_, path.c_str()), 1);
}

TEST_F(RawdataFile, PointerDataCopiesArraysWhoseCountsMatch) {
  std::vector<std::uint16_t> blank(301), sample(301);
  for (int i = 0; i < 301; ++i) blank[i] = static_cast<std::uint16_t>(1000 + i), sample[i] = static_cast<std::uint16_t>(i);
  const std::string path =
      Write("p.dat", Join({ItemRecord(1, {W(1001, {7, 8, 9}), W(1015, blank), W(1016, sample)}),
                           ItemRecord(2, {W(101, {5, 6}), B(0, {1})})}));
  std::vector<std::uint16_t> w1001(3), w1015(301, 0xEEEE), w1016(301), w101(2);
  std::uint8_t b0 = 0;
  RawdataStaticData mine{};
  RawdataPointerData minePtr{};
  mine.Words1001 = w1001.data();
  mine.Words1001Count = 3;
  mine.Words1015 = w1015.data();
  mine.Words1016 = w1016.data();
  mine.Words1015To1016Count = 301;
  minePtr.Words101 = w101.data();
  minePtr.Words101Count = 2;
  minePtr.Bytes0 = &b0;
  minePtr.Bytes0Count = 1;
  EXPECT_EQ(GetRawdataPointerData(&mine, &minePtr, path.c_str()), 0);
  EXPECT_EQ(w1001, (std::vector<std::uint16_t>{7, 8, 9}));
  EXPECT_EQ(w1015, blank);
  EXPECT_EQ(w1016, sample);
  EXPECT_EQ(w101, (std::vector<std::uint16_t>{5, 6}));
  EXPECT_EQ(b0, 1);
  EXPECT_EQ(zentil::KeptRawdata().data, nullptr);

  // A count of 300 against 301 in the file: result 2, that buffer untouched, other arrays copied.
  std::fill(w1015.begin(), w1015.end(), 0xEEEE);
  std::fill(w1001.begin(), w1001.end(), 0);
  std::fill(w101.begin(), w101.end(), 0);
  mine.Words1015To1016Count = 300;
  EXPECT_EQ(GetRawdataPointerData(&mine, &minePtr, path.c_str()), 2);
  EXPECT_EQ(w1015, std::vector<std::uint16_t>(301, 0xEEEE));
  EXPECT_EQ(w1001, (std::vector<std::uint16_t>{7, 8, 9}));
  EXPECT_EQ(w101, (std::vector<std::uint16_t>{0, 0}));  // pointer arrays are not visited after 2

  mine.Words1015To1016Count = 301;
  minePtr.Words101Count = 3;
  EXPECT_EQ(GetRawdataPointerData(&mine, &minePtr, path.c_str()), 3);
  EXPECT_EQ(GetRawdataPointerData(&mine, &minePtr, (dir_ + "/none.dat").c_str()), 1);
  EXPECT_EQ(GetRawdataPointerData(nullptr, &minePtr, path.c_str()), 1);
}

TEST_F(RawdataFile, PointerDataNeverCopiesMoreThanAnItemHolds) {
  // 1015 holds 2 readings, 1016 holds 4: the shared count (4, read last) exceeds 1015's item.
  const std::string path = Write("uneven.dat", ItemRecord(1, {W(1015, {1, 2}), W(1016, {3, 4, 5, 6})}));
  std::vector<std::uint16_t> a(4, 0xAAAA), b(4);
  RawdataStaticData mine{};
  RawdataPointerData minePtr{};
  mine.Words1015 = a.data();
  mine.Words1016 = b.data();
  mine.Words1015To1016Count = 4;
  EXPECT_EQ(GetRawdataPointerData(&mine, &minePtr, path.c_str()), 0);
  EXPECT_EQ(a, (std::vector<std::uint16_t>{1, 2, 0xAAAA, 0xAAAA}));
  EXPECT_EQ(b, (std::vector<std::uint16_t>{3, 4, 5, 6}));
}

TEST_F(RawdataFile, AlgorithmInputFromARecord) {
  const std::string path = Write(
      "input.dat",
      ItemRecord(1, {W(1001, {1}), W(1004, {1, 2}), W(1005, {3, 4}), W(1006, {5, 6}),
                     L(1009, {9, 9, 9}), W(1015, {100, 101, 102}), W(1016, {200, 201, 202}),
                     B(1017, {2}), B(1018, {1}), F(1020, 0.5f), F(1021, 0.0000005f), F(1022, 1.0f),
                     F(1026, 4.0f), F(1027, 5.0f), F(1030, 1.1f), F(1035, 1.6f), F(1036, 1.7f),
                     B(2001, {1}), B(2004, {4}), B(2009, {9}), B(2010, {10})}));
  ASSERT_EQ(Read(path), 0);
  AlgorithmInput in;
  std::memset(&in, 0xCC, sizeof in);
  ASSERT_EQ(GetAlgoDataFromRecord_1(&in, &static_), 0);
  EXPECT_EQ(+in.RawWords0, +static_.Words1001);
  EXPECT_EQ(+in.RawWords0Count, 1u);
  EXPECT_EQ(+in.AuxWords1, +static_.Words1005);
  EXPECT_EQ(+in.AuxBufferLength, 2);
  EXPECT_EQ(+in.RawLongs2Count, 3u);
  EXPECT_EQ(+in.RawLongs0, nullptr);
  EXPECT_EQ(+in.HgbBlankReadings, +static_.Words1015);
  EXPECT_EQ(+in.HgbSampleReadings, +static_.Words1016);
  EXPECT_EQ(+in.HgbReadingCount, 3u);
  EXPECT_EQ(+in.BloodMode, 2);
  EXPECT_EQ(+in.AuxDataFlag, 1);
  // Reciprocals: strictly between 1e-6 and 1 only.
  EXPECT_EQ(+in.WbcDilution, 2.0f);
  EXPECT_EQ(+in.RbcDilution, 0.0000005f);
  EXPECT_EQ(+in.RunConstant95, 1.0f);
  EXPECT_EQ(+in.WbcCountTime, 4.0f);
  EXPECT_EQ(+in.RbcCountTime, 5.0f);
  EXPECT_EQ(+in.WbcFactor, 1.1f);
  EXPECT_EQ(+in.MpvFactor, 1.6f);
  EXPECT_EQ(+in.RunConstant147, 1.7f);
  EXPECT_EQ(+in.RunBytes154[0], 1);
  EXPECT_EQ(+in.HgbReadingFault, 4);
  EXPECT_EQ(+in.HgbBlankFault, 9);
  EXPECT_EQ(+in.RunByte163, 10);
  // Bytes 151-153 and the histograms are not written.
  EXPECT_EQ(+in.Reserved151[0], 0xCC);
  EXPECT_EQ(+in.Reserved164[0], 0xCC);
  std::uint8_t first;
  std::memcpy(&first, &in.WbcHistogram, 1);
  EXPECT_EQ(first, 0xCC);
  EXPECT_EQ(GetAlgoDataFromRecord_1(nullptr, &static_), 1);
  EXPECT_EQ(GetAlgoDataFromRecord_1(&in, nullptr), 1);
}

TEST_F(RawdataFile, AlgorithmInputCountsNeverExceedTheReadings) {
  // The sample readings were read last and are longer than the blank readings.
  ASSERT_EQ(Read(Write("hgb.dat", ItemRecord(1, {W(1015, {1, 2}), W(1016, {3, 4, 5}),
                                                 W(1004, {1}), W(1005, {1, 2}), W(1006, {1, 2, 3})}))),
            0);
  EXPECT_EQ(+static_.Words1015To1016Count, 3u);
  AlgorithmInput in{};
  ASSERT_EQ(GetAlgoDataFromRecord_1(&in, &static_), 0);
  EXPECT_EQ(+in.HgbReadingCount, 2u);
  EXPECT_EQ(+in.AuxBufferLength, 1);
}

// ---- Revision --------------------------------------------------------------------------------

TEST_F(RawdataFile, ReviseClearsTheRepeatedTailAndRefreshesChecksums) {
  const Bytes file = Join({HeaderRecord(3),
                           ItemRecord(1, {W(1004, {1, 5, 7, 7, 7}), W(1005, {2, 5, 8, 8, 8})}),
                           ItemRecord(2, {F(1, 1.0f)}),
                           ItemRecord(1, {B(1017, {1}), W(1006, {3, 5, 9, 9, 9})})});
  const std::string src = Write("src.dat", file);
  const std::string dst = dir_ + "/dst.dat";
  ASSERT_EQ(ReviseRawdata(dst.c_str(), src.c_str()), 0);
  ClearRawdata();
  const Bytes out = Slurp(dst);
  ASSERT_EQ(out.size(), file.size());
  EXPECT_EQ(Slurp(src), file);
  ASSERT_EQ(Read(dst), 0);
  EXPECT_EQ(Elements(static_.Words1004, 5), (std::vector<std::uint16_t>{1, 5, 7, 0, 0}));
  EXPECT_EQ(Elements(static_.Words1005, 5), (std::vector<std::uint16_t>{2, 5, 8, 0, 0}));
  EXPECT_EQ(Elements(static_.Words1006, 5), (std::vector<std::uint16_t>{3, 5, 9, 0, 0}));
  EXPECT_EQ(+static_.Byte1017, 1);  // every record passed its fresh checksum
  EXPECT_EQ(+static_.Words1004To1006Count, 5u);
  EXPECT_EQ(+header_.Bytes[0], 3);
  EXPECT_EQ(+pointer_.Values[0], 1.0f);
}

TEST_F(RawdataFile, ReviseTableOfTails) {
  const struct {
    const char* what;
    std::vector<std::uint16_t> a, b, c;
    std::vector<std::uint16_t> ea, eb, ec;
  } cases[] = {
      {"all equal keeps index 0", {4, 4, 4}, {5, 5, 5}, {6, 6, 6}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}},
      {"last differs", {1, 2}, {1, 2}, {1, 3}, {1, 2}, {1, 2}, {1, 3}},
      {"one element", {7}, {7}, {7}, {7}, {7}, {7}},
      {"repeat in the middle only", {1, 1, 2}, {1, 1, 2}, {1, 1, 2}, {1, 1, 2}, {1, 1, 2}, {1, 1, 2}},
  };
  for (const auto& c : cases) {
    const Bytes file = ItemRecord(1, {W(1004, c.a), W(1005, c.b), W(1006, c.c)});
    const std::string path = Write("t.dat", file);
    ASSERT_EQ(ReviseRawdata(path.c_str(), path.c_str()), 0) << c.what;
    ASSERT_EQ(Read(path), 0) << c.what;
    EXPECT_EQ(Elements(static_.Words1004, c.a.size()), c.ea) << c.what;
    EXPECT_EQ(Elements(static_.Words1005, c.b.size()), c.eb) << c.what;
    EXPECT_EQ(Elements(static_.Words1006, c.c.size()), c.ec) << c.what;
    if (c.ea == c.a && c.eb == c.b && c.ec == c.c) {
      EXPECT_EQ(Slurp(path), file) << c.what;  // nothing cleared: checksums as they were
    }
  }
}

TEST_F(RawdataFile, ReviseStopsAtTheShortestOfUnevenArrays) {
  // The shared count (5, from 1006 read last) is longer than 1004 and 1005 hold.
  const std::string path =
      Write("uneven.dat", ItemRecord(1, {W(1004, {1, 2, 2}), W(1005, {1, 3, 3}), W(1006, {1, 4, 4, 4, 4})}));
  ASSERT_EQ(ReviseRawdata(path.c_str(), path.c_str()), 0);
  ASSERT_EQ(Read(path), 0);
  EXPECT_EQ(Elements(static_.Words1004, 3), (std::vector<std::uint16_t>{1, 2, 0}));
  EXPECT_EQ(Elements(static_.Words1006, 5), (std::vector<std::uint16_t>{1, 4, 0, 4, 4}));
}

TEST_F(RawdataFile, ReviseWithAnUnreadableSourceWritesNothing) {
  const Bytes before = ItemRecord(1, {B(1017, {1})});
  const std::string dst = Write("dst.dat", before);
  EXPECT_EQ(ReviseRawdata(dst.c_str(), (dir_ + "/missing.dat").c_str()), 4);
  EXPECT_EQ(Slurp(dst), before);
  EXPECT_EQ(ReviseRawdata(dst.c_str(), dir_.c_str()), 4);
  EXPECT_EQ(Slurp(dst), before);
  const std::string same = dir_ + "/same.dat";
  EXPECT_EQ(ReviseRawdata(same.c_str(), same.c_str()), 4);
  struct stat st;
  EXPECT_NE(::stat(same.c_str(), &st), 0);  // not created
}

TEST_F(RawdataFile, ReviseOutOfMemoryAndUnwritableDestination) {
  const Bytes file = ItemRecord(1, {W(1004, {1, 1}), W(1005, {1, 1}), W(1006, {1, 1})});
  const std::string src = Write("src.dat", file);
  const Bytes old = {1, 2, 3};
  const std::string dst = Write("dst.dat", old);
  zentil::FailAllocationsAfter(0);
  EXPECT_EQ(ReviseRawdata(dst.c_str(), src.c_str()), 3);
  EXPECT_EQ(Slurp(dst), old);
  // The work copy cannot be had: the source goes to the destination unchanged.
  zentil::FailAllocationsAfter(1);
  EXPECT_EQ(ReviseRawdata(dst.c_str(), src.c_str()), 5);
  EXPECT_EQ(Slurp(dst), file);
  zentil::FailAllocationsAfter(-1);
  EXPECT_EQ(ReviseRawdata((dir_ + "/no/such/folder/x.dat").c_str(), src.c_str()), 3);
  EXPECT_EQ(ReviseRawdata(nullptr, src.c_str()), 3);
}

TEST_F(RawdataFile, ReviseStillWritesWhenAnUnknownRecordEndsTheWalk) {
  Bytes bad = ItemRecord(1, {W(1004, {9, 9})});
  bad[2] = 7;
  const Bytes file = Join({ItemRecord(1, {W(1004, {1, 2, 2}), W(1005, {1, 2, 2}), W(1006, {1, 2, 2})}), bad});
  const std::string path = Write("u.dat", file);
  EXPECT_EQ(ReviseRawdata(path.c_str(), path.c_str()), 254);
  const Bytes out = Slurp(path);
  ASSERT_EQ(out.size(), file.size());
  EXPECT_TRUE(std::equal(bad.begin(), bad.end(), out.end() - static_cast<long>(bad.size())));
  EXPECT_EQ(Read(path), 254);
  EXPECT_EQ(Elements(static_.Words1006, 3), (std::vector<std::uint16_t>{1, 2, 0}));
}

}  // namespace
