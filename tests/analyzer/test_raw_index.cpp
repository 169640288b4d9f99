// The raw-data index search over a large TDI.dat: records on both sides of the boundaries of the
// blocks it is read in, the last complete record, keys that are absent, and a torn tail.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "analyzer/raw_test_data.h"

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
