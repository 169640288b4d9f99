// The raw-data pair while a rewrite (a delete or a purge) fails or stops at any of its steps:
// before and after the next start-up, a count and the next delete, every key reads its own
// histograms and no record written after the interruption is lost.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "analyzer/raw_test_data.h"
#include "analyzer/raw_test_data_rewrite.h"
#include "tests/support/io_faults.h"

using namespace analyzer;

namespace {

const char* g_stopAt = nullptr;
bool StopAt(const char* step) { return g_stopAt == nullptr || std::strcmp(step, g_stopAt) != 0; }

class RawRewriteRecovery : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string t = (std::filesystem::temp_directory_path() / "qxrawrw-XXXXXX").string();
    ASSERT_NE(mkdtemp(t.data()), nullptr);
    dir = t + "/";
  }
  void TearDown() override {
    SetRawRewriteCheckpoint(nullptr);
    std::filesystem::remove_all(dir);
  }

  RawWrite Put(const std::string& key, uint8_t fill, std::string* error = nullptr) {
    uint8_t record[kRawDataRecordSize];
    std::memset(record, fill, sizeof record);
    return WriteRawRecord(dir, key, record, error);
  }
  // The fill of a key's record as a reader finds it: -1 not found, -2 mixed bytes.
  int Fill(const std::string& key) {
    uint8_t record[kRawDataRecordSize];
    if (!ReadRawRecord(dir, key, record)) return -1;
    for (uint8_t b : record)
      if (b != record[0]) return -2;
    return record[0];
  }
  // Four samples; the rewrite removes the first two.
  void Reset() {
    for (const auto& e : std::filesystem::directory_iterator(dir)) std::filesystem::remove(e.path());
    for (int i = 0; i < 4; ++i) ASSERT_EQ(Put(kKeys[i], static_cast<uint8_t>(1 + i)), RawWrite::Written);
  }
  bool Rewrite(std::string* error) { return RemoveRawRecords(dir, {kKeys[0], kKeys[1]}, error); }

  // Each key reads its own record; a removed one may still be there (the rewrite did not
  // commit) but never with another's data.
  void ExpectOwnRecords(const std::string& where, bool withCount) {
    for (int i = 0; i < 4; ++i) {
      const int f = Fill(kKeys[i]);
      if (i < 2)
        EXPECT_TRUE(f == -1 || f == 1 + i) << where << ": " << kKeys[i] << " reads " << f;
      else
        EXPECT_EQ(f, 1 + i) << where << ": " << kKeys[i];
    }
    if (withCount) EXPECT_EQ(Fill(kCount), 9) << where << ": the count's record";
  }

  // What follows an interrupted rewrite: the view, a count, start-up, the view, another count,
  // the next delete.
  void Afterwards(const std::string& where) {
    ExpectOwnRecords(where + ", before start-up", false);
    std::string error;
    EXPECT_EQ(Put(kCount, 9, &error), RawWrite::Written) << where << ": " << error;
    ExpectOwnRecords(where + ", count before start-up", true);
    EXPECT_TRUE(RecoverRawRewrite(dir, &error)) << where << ": " << error;
    ExpectOwnRecords(where + ", after start-up", true);
    for (const char* f : {kRawIndexTemp, kRawDataTemp, kRawCommitMarker})
      EXPECT_FALSE(std::filesystem::exists(dir + f)) << where << ": " << f << " left";
    EXPECT_EQ(std::filesystem::file_size(dir + kRawIndexFile) / kRawIndexRecordSize,
              std::filesystem::file_size(dir + kRawDataFile) / kRawDataRecordSize)
        << where;
    EXPECT_EQ(Put(kLater, 7, &error), RawWrite::Written) << where << ": " << error;
    EXPECT_TRUE(RemoveRawRecords(dir, {kKeys[2]}, &error)) << where << ": " << error;
    EXPECT_EQ(Fill(kKeys[2]), -1) << where;
    EXPECT_EQ(Fill(kKeys[3]), 4) << where;
    EXPECT_EQ(Fill(kCount), 9) << where << ": the count's record after the next delete";
    EXPECT_EQ(Fill(kLater), 7) << where;
  }

  static constexpr const char* kKeys[4] = {"20240101 1", "20240101 2", "20240102 1", "20240102 2"};
  static constexpr const char* kCount = "20240103 1";
  static constexpr const char* kLater = "20240103 2";
  std::string dir;
};

TEST_F(RawRewriteRecovery, AnErrorAtAnyStepOfTheRewrite) {
  support::EachStepFailing([&] { Reset(); }, [&](std::string* e) { return Rewrite(e); },
                           [&](const std::string& where, bool, const std::string&) { Afterwards(where); });
}

TEST_F(RawRewriteRecovery, AStopAtAnyStepOfTheRewrite) {
  SetRawRewriteCheckpoint(StopAt);
  for (const char* step : {"temp-written", "committed", "index-renamed"}) {
    Reset();
    g_stopAt = step;
    EXPECT_FALSE(Rewrite(nullptr)) << step;
    g_stopAt = nullptr;
    Afterwards(std::string("stopped after ") + step);
  }
}

TEST_F(RawRewriteRecovery, ASecondRenameThatKeepsFailingStillLeavesEachRecordItsOwn) {
  // The data file's rename fails, and fails again when the count tries to finish it: the count
  // goes into the committed pair, which the next start-up puts in place.
  Reset();
  {
    support::IoFaults faults;
    faults.Add({sys::IoOp::Rename, kRawDataTemp, 1, support::IoFaults::Error(EIO), -1});
    std::string error;
    EXPECT_FALSE(Rewrite(&error));
    EXPECT_FALSE(error.empty());
    ExpectOwnRecords("rename failing", false);
    EXPECT_EQ(Put(kCount, 9, &error), RawWrite::Written) << error;
    ExpectOwnRecords("rename failing, count", true);
    EXPECT_FALSE(RecoverRawRewrite(dir, &error));
  }
  std::string error;
  EXPECT_TRUE(RecoverRawRewrite(dir, &error)) << error;
  EXPECT_EQ(Fill(kKeys[0]), -1);
  EXPECT_EQ(Fill(kKeys[1]), -1);
  ExpectOwnRecords("after start-up", true);
}

}  // namespace
