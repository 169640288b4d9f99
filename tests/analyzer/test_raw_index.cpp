// The raw-data index search over a large TDI.dat: records on both sides of the boundaries of the
// blocks it is read in, the last complete record, keys that are absent, and a torn tail.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"

namespace {

std::string KeyOf(long i) {
  char key[17];
  std::snprintf(key, sizeof key, "2026%04ld %ld", i % 10000, i);
  return key;
}

}  // namespace

TEST(RawIndex, FindsEveryPositionOfALargeIndex) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quorvex_raw_index_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string path = (dir / analyzer::kRawIndexFile).string();
  constexpr long kRecords = 5000;
  {
    std::ofstream out(path, std::ios::binary);
    for (long i = 0; i < kRecords; ++i) {
      char rec[32] = {};
      const std::string key = KeyOf(i);
      std::memcpy(rec, key.data(), key.size());
      out.write(rec, sizeof rec);
    }
    // A torn record at the end, holding a whole key: it is not a complete index record.
    out.write("20269999 99999\0\0\0\0", 18);
  }
  struct Case {
    std::string key;
    long expected;
  } cases[] = {
      {KeyOf(0), 0},       {KeyOf(1), 1},       {KeyOf(2047), 2047}, {KeyOf(2048), 2048},
      {KeyOf(2049), 2049}, {KeyOf(4095), 4095}, {KeyOf(4096), 4096}, {KeyOf(4999), 4999},
      {"20269999 99999", -1},                   // only in the torn tail
      {"2026000", -1},                          // a prefix of record 0's key
      {KeyOf(5000), -1},
  };
  for (const Case& c : cases) EXPECT_EQ(analyzer::FindRawIndex(path, c.key), c.expected) << c.key;
  EXPECT_EQ(analyzer::FindRawIndex((dir / "missing.dat").string(), KeyOf(1)), -1);
  std::filesystem::remove_all(dir);
}

namespace {

// The writer's record positions when the index changed since its last write: each case changes
// the pair behind the writer's back, then writes one key, and says at which record the key's
// data must be found and how many index records there must be.
class RawIndexWriter : public ::testing::Test {
 public:
  void SetUp() override {
    std::string t = (std::filesystem::temp_directory_path() / "qxrawidx-XXXXXX").string();
    ASSERT_NE(mkdtemp(t.data()), nullptr);
    dir = t + "/";
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  void Write(const std::string& key, uint8_t fill) {
    uint8_t record[analyzer::kRawDataRecordSize];
    std::memset(record, fill, sizeof record);
    std::string error;
    ASSERT_EQ(analyzer::WriteRawRecord(dir, key, record, &error), analyzer::RawWrite::Written) << error;
  }
  // Writes the pair as another program would: these keys, record i filled with fills[i].
  void Replace(const std::vector<std::string>& keys, const std::string& fills) {
    const std::string tdi = dir + analyzer::kRawIndexFile, td = dir + analyzer::kRawDataFile;
    std::filesystem::remove(tdi);
    std::filesystem::remove(td);
    Append(keys, fills);
  }
  void Append(const std::vector<std::string>& keys, const std::string& fills) {
    std::ofstream tdi(dir + analyzer::kRawIndexFile, std::ios::binary | std::ios::app);
    std::ofstream td(dir + analyzer::kRawDataFile, std::ios::binary | std::ios::app);
    for (size_t i = 0; i < keys.size(); ++i) {
      char rec[analyzer::kRawIndexRecordSize] = {};
      std::memcpy(rec, keys[i].data(), keys[i].size());
      tdi.write(rec, sizeof rec);
      const std::string data(analyzer::kRawDataRecordSize, fills[i]);
      td.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
  }
  // The fill of data record n, and the number of index records.
  int DataFill(long n) {
    std::ifstream td(dir + analyzer::kRawDataFile, std::ios::binary);
    td.seekg(n * static_cast<long>(analyzer::kRawDataRecordSize));
    const int c = td.get();
    return td ? c : -1;
  }
  long IndexRecords() {
    return static_cast<long>(std::filesystem::file_size(dir + analyzer::kRawIndexFile) / analyzer::kRawIndexRecordSize);
  }
  std::string dir;
};

}  // namespace

TEST_F(RawIndexWriter, ASampleIsFoundWhereverTheIndexNowHoldsIt) {
  const std::string a = "20260105 1", b = "20260105 2", c = "20260105 3";
  struct Case {
    const char* what;
    std::function<void(RawIndexWriter&)> change;
    std::string key;
    long at;       // the record the key's data is written to
    long records;  // index records afterwards
  };
  const Case cases[] = {
      {"nothing changed, a new key", [](RawIndexWriter&) {}, c, 2, 3},
      {"nothing changed, a key written before", [](RawIndexWriter&) {}, a, 0, 2},
      {"a record appended by another program", [&](RawIndexWriter& t) { t.Append({c}, "c"); }, c, 2, 3},
      {"the index cut short", [&](RawIndexWriter& t) { std::filesystem::resize_file(t.dir + analyzer::kRawIndexFile, 32); },
       b, 1, 2},
      // Replaced by the program's own rewrites, or by a restore that says so.
      {"the pair replaced in another order",
       [&](RawIndexWriter& t) {
         analyzer::NoteRawPairReplaced();
         t.Replace({b, a}, "ba");
       },
       a, 1, 2},
      {"the pair replaced by a longer one",
       [&](RawIndexWriter& t) {
         analyzer::NoteRawPairReplaced();
         t.Replace({c, b, a}, "cba");
       },
       a, 2, 3},
      {"a delete's rewrite", [&](RawIndexWriter& t) { ASSERT_TRUE(analyzer::RemoveRawRecords(t.dir, {a})); }, b, 0, 1},
      {"a delete's rewrite, then the pair extended",
       [&](RawIndexWriter& t) {
         ASSERT_TRUE(analyzer::RemoveRawRecords(t.dir, {a}));
         t.Append({a, c}, "ac");
       },
       c, 2, 3},
      {"the pair emptied", [&](RawIndexWriter& t) { ASSERT_TRUE(analyzer::ClearRawRecords(t.dir)); }, a, 0, 1},
  };
  for (const Case& k : cases) {
    Replace({}, "");
    Write(a, 'a');
    Write(b, 'b');
    k.change(*this);
    Write(k.key, 'n');
    EXPECT_EQ(DataFill(k.at), 'n') << k.what;
    EXPECT_EQ(IndexRecords(), k.records) << k.what;
    EXPECT_EQ(analyzer::FindRawIndex(dir + analyzer::kRawIndexFile, k.key), k.at) << k.what;
  }
}
